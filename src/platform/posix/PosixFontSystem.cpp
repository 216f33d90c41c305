// Fonts on POSIX: fontconfig finds and matches faces, FreeType measures them.
// A family the system lacks resolves as fontconfig resolves it (its aliases
// map "Times New Roman" to a metric-compatible face where one is installed),
// and the delivered face is reported, so the registry can remember it.
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <strings.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <tuple>

#include "platform/posix/FreeTypeFont.h"

namespace quillane {

namespace {

constexpr int SystemAnsiCodePage = 1252;

// A pattern, destroyed with its owner.
class TPattern {
public:
    explicit TPattern(FcPattern* pattern) : pattern_(pattern) {}
    ~TPattern() {
        if (pattern_ != nullptr) {
            FcPatternDestroy(pattern_);
        }
    }
    TPattern(const TPattern&) = delete;
    TPattern& operator=(const TPattern&) = delete;
    FcPattern* get() const { return pattern_; }

private:
    FcPattern* pattern_;
};

std::string StringOf(FcPattern* pattern, const char* object, int index = 0) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, index, &value) != FcResultMatch || value == nullptr) {
        return {};
    }
    return reinterpret_cast<const char*>(value);
}

int IntOf(FcPattern* pattern, const char* object, int fallback) {
    int value = fallback;
    FcPatternGetInteger(pattern, object, 0, &value);
    return value;
}

bool BoolOf(FcPattern* pattern, const char* object) {
    FcBool value = FcFalse;
    FcPatternGetBool(pattern, object, 0, &value);
    return value != FcFalse;
}

// The face's family as the Windows font engine names it: of the names
// fontconfig gives (the typographic family first, then the legacy one, then
// translations) the last English one.
std::string FamilyOf(FcPattern* pattern) {
    std::string chosen;
    for (int i = 0;; ++i) {
        const std::string name = StringOf(pattern, FC_FAMILY, i);
        if (name.empty()) {
            break;
        }
        const std::string lang = StringOf(pattern, FC_FAMILYLANG, i);
        if (chosen.empty() || lang.empty() || lang == "en") {
            chosen = name;
        }
    }
    return chosen;
}

// fontconfig slants an upright face it gives for an italic request through
// the pattern's matrix.
bool IsSlanted(FcPattern* pattern) {
    FcMatrix* matrix = nullptr;
    return FcPatternGetMatrix(pattern, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix != nullptr &&
           matrix->xy != 0.0;
}

bool HasFamily(FcPattern* pattern, const std::string& wanted) {
    for (int i = 0;; ++i) {
        const std::string name = StringOf(pattern, FC_FAMILY, i);
        if (name.empty()) {
            return false;
        }
        if (strcasecmp(name.c_str(), wanted.c_str()) == 0) {
            return true;
        }
    }
}

class TPosixFontSystem final : public TFontSystem {
public:
    TPosixFontSystem() : config_(FcInitLoadConfigAndFonts()) {
        if (config_ == nullptr) {
            throw std::runtime_error("fontconfig: no configuration");
        }
        try {
            library_ = OpenFreeTypeLibrary();
        } catch (...) {
            FcConfigDestroy(config_);
            throw;
        }
    }
    ~TPosixFontSystem() override { FcConfigDestroy(config_); }

    std::vector<TFaceInfo> EnumerateFaces() override;
    std::unique_ptr<TPlatformFont> CreatePlatformFont(const TFontRequest& request) override;
    int32_t SystemCharSet() const override { return AnsiCharSet; }

private:
    struct TFaceDescription {
        std::vector<int32_t> CharSets;
        int32_t PitchAndFamily = 0;
    };
    TFaceDescription Describe(FcPattern* font);
    FcPattern* Match(const TFontRequest& request, bool byCharSetOnly);
    const TCodePageDecoding& Decoding(int codePage);

    FcConfig* config_;
    TFreeTypeLibrary library_;
    std::map<int, TCodePageDecoding> decodings_;
};

const TCodePageDecoding& TPosixFontSystem::Decoding(int codePage) {
    auto it = decodings_.find(codePage);
    if (it == decodings_.end()) {
        TCodePageDecoding decoding{};
        try {
            decoding = DecodeCodePage(codePage);
        } catch (const std::exception&) {
            decoding = DecodeCodePage(SystemAnsiCodePage);  // a page iconv lacks
        }
        it = decodings_.emplace(codePage, decoding).first;
    }
    return it->second;
}

// Character sets from the face's own declaration, or, for a face that
// declares none, the code pages whose every character it covers.
TPosixFontSystem::TFaceDescription TPosixFontSystem::Describe(FcPattern* font) {
    TFaceDescription description;
    const int spacing = IntOf(font, FC_SPACING, FC_PROPORTIONAL);
    const bool fixed = spacing == FC_MONO || spacing == FC_CHARCELL;
    FT_Face face = nullptr;
    if (FT_New_Face(library_.get(), StringOf(font, FC_FILE).c_str(), IntOf(font, FC_INDEX, 0), &face) == 0) {
        description.CharSets = DeclaredCharSets(face);
        description.PitchAndFamily = PitchAndFamilyOf(face, fixed);
        FT_Done_Face(face);
    } else {
        description.PitchAndFamily = fixed ? (FixedPitch | FamilyModern) : VariablePitch;
    }
    if (description.CharSets.empty()) {
        FcCharSet* coverage = nullptr;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &coverage) == FcResultMatch) {
            for (int32_t charSet : {0, 238, 204, 161, 162, 177, 178, 186, 163, 222}) {
                const TCodePageDecoding& decoding = Decoding(CodePageOfCharSet(charSet));
                const bool covered = std::all_of(decoding.begin() + 0x80, decoding.end(), [&](const auto& c) {
                    return !c || FcCharSetHasChar(coverage, static_cast<FcChar32>(*c));
                });
                if (covered) {
                    description.CharSets.push_back(charSet);
                }
            }
        }
    }
    return description;
}

std::vector<TFaceInfo> TPosixFontSystem::EnumerateFaces() {
    TPattern all(FcPatternCreate());
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_SCALABLE, FC_FILE, FC_INDEX, FC_SLANT,
                                            FC_WEIGHT, FC_WIDTH, FC_SPACING, FC_CHARSET, nullptr);
    const std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> list(FcFontList(config_, all.get(), objects),
                                                                        FcFontSetDestroy);
    FcObjectSetDestroy(objects);
    if (list == nullptr) {
        return {};
    }
    // One description per family, taken from its face nearest to upright,
    // regular weight and normal width, the face a request for the family
    // name gets. The list holds every face already: matching each family
    // again would run the configuration's rules once per family.
    struct TFamily {
        FcPattern* Face = nullptr;
        int Slant = 0;
        int Weight = 0;
        int Width = 0;
        bool Scalable = false;
    };
    std::map<std::string, TFamily> families;
    for (int i = 0; i < list->nfont; ++i) {
        FcPattern* face = list->fonts[i];
        const std::string name = FamilyOf(face);
        if (name.empty()) {
            continue;
        }
        TFamily& family = families[name];
        family.Scalable = family.Scalable || BoolOf(face, FC_SCALABLE);
        const int slant = std::abs(IntOf(face, FC_SLANT, FC_SLANT_ROMAN) - FC_SLANT_ROMAN);
        const int weight = std::abs(IntOf(face, FC_WEIGHT, FC_WEIGHT_REGULAR) - FC_WEIGHT_REGULAR);
        const int width = std::abs(IntOf(face, FC_WIDTH, FC_WIDTH_NORMAL) - FC_WIDTH_NORMAL);
        if (family.Face == nullptr ||
            std::tie(slant, weight, width) < std::tie(family.Slant, family.Weight, family.Width)) {
            family.Face = face;
            family.Slant = slant;
            family.Weight = weight;
            family.Width = width;
        }
    }
    std::vector<TFaceInfo> faces;
    for (const auto& [name, family] : families) {
        TFaceDescription description = Describe(family.Face);
        if (description.CharSets.empty()) {
            description.CharSets.push_back(DefaultCharSet);
        }
        for (int32_t charSet : description.CharSets) {
            faces.push_back(TFaceInfo{name, charSet, description.PitchAndFamily, family.Scalable});
        }
    }
    return faces;
}

FcPattern* TPosixFontSystem::Match(const TFontRequest& request, bool byCharSetOnly) {
    TPattern pattern(FcPatternCreate());
    if (!request.Face.empty() && !byCharSetOnly) {
        FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(request.Face.c_str()));
    }
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, request.Weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, request.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcCharSet* needed = nullptr;
    if (byCharSetOnly) {
        needed = FcCharSetCreate();
        for (const auto& c : Decoding(CodePageOfCharSet(request.CharSet, SystemAnsiCodePage))) {
            if (c && *c >= 0x80) {
                FcCharSetAddChar(needed, static_cast<FcChar32>(*c));
            }
        }
        FcPatternAddCharSet(pattern.get(), FC_CHARSET, needed);
        FcCharSetDestroy(needed);
    }
    FcConfigSubstitute(config_, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    return FcFontMatch(config_, pattern.get(), &result);
}

std::unique_ptr<TPlatformFont> TPosixFontSystem::CreatePlatformFont(const TFontRequest& request) {
    TPattern match(Match(request, false));
    if (match.get() == nullptr) {
        throw std::runtime_error("fontconfig: no font for \"" + request.Face + "\"");
    }
    FcPattern* chosen = match.get();
    std::unique_ptr<TPattern> other;
    // Like the Windows engine, a face that lacks the requested character set
    // gives way to one that has it.
    const bool specificSet = request.CharSet != AnsiCharSet && request.CharSet != DefaultCharSet &&
                             request.CharSet != SymbolCharSet && request.CharSet != OemCharSet;
    if (specificSet) {
        const std::vector<int32_t> sets = Describe(chosen).CharSets;
        if (std::find(sets.begin(), sets.end(), request.CharSet) == sets.end()) {
            other = std::make_unique<TPattern>(Match(request, true));
            if (other->get() != nullptr) {
                chosen = other->get();
            }
        }
    }
    TFreeTypeFontSource source;
    source.File = StringOf(chosen, FC_FILE);
    source.Index = IntOf(chosen, FC_INDEX, 0);
    source.FaceName = HasFamily(chosen, request.Face) ? request.Face : FamilyOf(chosen);
    source.Embolden = BoolOf(chosen, FC_EMBOLDEN);
    source.Oblique = IsSlanted(chosen);
    const TCodePageDecoding& decoding = Decoding(CodePageOfCharSet(request.CharSet, SystemAnsiCodePage));
    return std::make_unique<TFreeTypeFont>(library_, source, request, decoding);
}

}  // namespace

std::unique_ptr<TFontSystem> CreateFontSystem() { return std::make_unique<TPosixFontSystem>(); }

}  // namespace quillane
