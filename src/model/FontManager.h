#pragma once
// The program-wide font registry. Slot 0 of every character-attribute record
// is an index into it. An entry joins a font name and a character set; it is
// linked to an installed family when one exists, and otherwise remembers a
// font that documents use but the system lacks. Entries are only appended,
// so indexes stored in documents stay valid for the life of the program.
//
// Above the registry sits a small cache of shared fonts: the platform fonts
// that layout and painting use, each with its metrics and a width table for
// the 256 byte codes, so that measuring text needs no platform call per
// character.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/CharAttrs.h"
#include "platform/FontSystem.h"

namespace quillane {

class TMessageBox;
class TKerningPairsManager;

struct TFontFamily {
    std::string Name;
    int32_t CharSet = 0;  // the character set the face was first met with
    int32_t PitchAndFamily = 0;
    bool Registered = false;  // a registry entry is linked to it

    friend bool operator==(const TFontFamily&, const TFontFamily&) = default;
};

struct TRegisteredFont {
    bool Linked = false;
    int32_t Family = -1;  // index into the family list when linked
    int32_t Tag = 0;      // the same font in other character sets shares it
    std::string Name;
    int32_t CharSet = 0;
    int32_t FontCharSet = 0;  // used when a platform font is made
    int32_t PitchAndFamily = 0;

    friend bool operator==(const TRegisteredFont&, const TRegisteredFont&) = default;
};

// One platform font with its measures. The key is the attribute record it was
// made for with slot 1 replaced by the pixel height.
struct TSharedFont {
    std::unique_ptr<TPlatformFont> Font;
    TCharAttrs Key;
    TFontMetrics Metrics;
    int32_t Ascent = 0;
    int32_t Descent = 0;  // metric descent + external leading
    TCharWidths Widths{};
    int32_t UseCount = 0;
};

// An entry of a document's font table as a reader finds it; Index receives
// the registry's font index.
struct TDocFontInfo {
    std::string Name;
    int32_t CharSet = UndefinedAttr;
    int32_t Family = 0;  // the family bits of a pitch-and-family byte
    int32_t Pitch = 0;   // its pitch bits
    int32_t Index = -1;
};

// Fonts are interchangeable when they agree in font index, height, bold,
// italic, strike-through and underline; colours, offsets and the rest do not
// change the platform font.
TCharAttrs FontKey(const TCharAttrs& attrs, int32_t height);
bool SameFontKey(const TCharAttrs& key, const TCharAttrs& attrs, int32_t height);

// A font's name against a family list, case-insensitively (ASCII).
int CompareFontNames(const std::string& a, const std::string& b);
bool SameFontName(const std::string& a, const std::string& b);

class TFontManager final : public TFontTagLookup {
public:
    static constexpr size_t SharedFontCacheSize = 40;
    static constexpr size_t MaxFaceNameLength = 31;

    // Enumerates the families, registers every scalable face with its own
    // character sets and then the three standard entries. Does not own the
    // font system, which must outlive the manager.
    explicit TFontManager(TFontSystem& fonts);
    TFontManager(const TFontManager&) = delete;
    TFontManager& operator=(const TFontManager&) = delete;

    // Family list and registry.
    void EnumerateFamilies(const std::vector<TFaceInfo>& faces);
    void SynchronizeRegistry();
    int32_t Register(const std::string& name, int32_t charSet, bool allowPrefix, int32_t pitchAndFamily);
    // Registers a document's font table, with prefix matching.
    void RegisterDocumentFonts(std::vector<TDocFontInfo>& fonts);
    int32_t FindFamily(const std::string& name) const;
    int32_t FindRegistered(const std::string& name) const;
    int32_t WithCharacterSet(int32_t fontIndex, int32_t charSet);
    std::string DisplayName(int32_t fontIndex) const;
    // The names for a font list, each with its family index.
    std::vector<std::pair<std::string, int32_t>> FamilyNames() const;
    int32_t TagOf(int32_t fontIndex) const override;

    // Checks a name typed into a font dialog. fontIndex is the current font
    // (negative or UndefinedAttr: none) and receives the chosen one. A name
    // the registry lacks is accepted only when the user confirms it.
    bool ValidateFontName(int32_t& fontIndex, const std::string& name, TMessageBox& messages);

    const std::vector<TFontFamily>& Families() const { return families_; }
    const std::vector<TRegisteredFont>& Registry() const { return registry_; }
    const TRegisteredFont& Entry(int32_t fontIndex) const { return registry_.at(static_cast<size_t>(fontIndex)); }
    int32_t ArialIndex() const { return arial_; }
    int32_t TimesNewRomanIndex() const { return timesNewRoman_; }
    int32_t SymbolIndex() const { return symbol_; }

    // Shared fonts. The chosen font becomes current; select says whether the
    // caller draws or measures with it now (a font found in the cache without
    // select is current but not yet selected).
    const TSharedFont& SelectFont(const TCharAttrs& attrs, int32_t height, bool strict, bool select);
    const TSharedFont* Current() const { return current_; }
    bool CurrentSelected() const { return currentSelected_; }
    const std::vector<std::unique_ptr<TSharedFont>>& Cache() const { return cache_; }
    void SortCacheByUse();
    // Requested face and the face the platform delivered for it.
    const std::vector<std::pair<std::string, std::string>>& Substitutions() const { return substitutions_; }
    std::string SubstituteFor(const std::string& face) const;

    // After a change of the installed fonts: new family list, registry linked
    // again (no entry is removed), every cache emptied; then relayout is
    // called so that open documents are laid out again.
    void Rebuild(TKerningPairsManager& kerning, const std::function<void()>& relayout);
    // The platform's font engine behind the registry (metafile text makes
    // its fonts there directly).
    TFontSystem& FontSystem() const { return fonts_; }

private:
    int32_t SearchFamily(const std::string& name) const;
    int32_t FindPrefixFamily(const std::string& name) const;
    int32_t SystemCharSet() const { return fonts_.SystemCharSet(); }
    std::unique_ptr<TSharedFont> MakeSharedFont(const TCharAttrs& attrs, int32_t height, bool strict);
    std::string RequestedFace(const TRegisteredFont& entry) const;
    void RecordSubstitution(const std::string& requested, const std::string& delivered);
    void ClearSharedFonts();

    TFontSystem& fonts_;
    std::vector<TFontFamily> families_;
    std::vector<TRegisteredFont> registry_;
    std::vector<std::pair<std::string, std::string>> substitutions_;
    std::vector<std::unique_ptr<TSharedFont>> cache_;  // newest first
    TSharedFont* current_ = nullptr;                  // one of cache_
    bool currentSelected_ = false;
    int32_t nextTag_ = 0;
    int32_t arial_ = -1;
    int32_t timesNewRoman_ = -1;
    int32_t symbol_ = -1;
};

// The size used for superscript and subscript, in half-points.
int32_t ScriptSize(int32_t size);

}  // namespace quillane
