#include "model/FontManager.h"

#include <algorithm>

#include "model/KerningPairs.h"
#include "model/Units.h"
#include "platform/MessageBox.h"

namespace quillane {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The name without its last word (everything from the last space), or
// nothing when no space is left.
bool DropLastWord(std::string& name) {
    const size_t space = name.rfind(' ');
    if (space == std::string::npos || space == 0) {
        return false;
    }
    name.resize(space);
    return true;
}

}  // namespace

int CompareFontNames(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(LowerAscii(a[i]));
        const auto cb = static_cast<unsigned char>(LowerAscii(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameFontName(const std::string& a, const std::string& b) { return CompareFontNames(a, b) == 0; }

int32_t ScriptSize(int32_t size) { return MulDivRound(size, 65, 100); }

TFontManager::TFontManager(TFontSystem& fonts) : fonts_(fonts) {
    // Enumerating opens every face the system has: once is enough.
    const std::vector<TFaceInfo> faces = fonts_.EnumerateFaces();
    EnumerateFamilies(faces);
    SynchronizeRegistry();
    // Every character set of every face gets its own entry, sharing the
    // face's tag.
    for (const TFaceInfo& face : faces) {
        if (face.Scalable) {
            Register(face.Name, face.CharSet, true, face.PitchAndFamily);
        }
    }
    arial_ = Register("Arial", SystemCharSet(), false, FamilySwiss);
    timesNewRoman_ = Register("Times New Roman", SystemCharSet(), false, FamilyRoman);
    symbol_ = Register("Symbol", DefaultCharSet, false, 0);
}

void TFontManager::EnumerateFamilies(const std::vector<TFaceInfo>& faces) {
    families_.clear();
    std::string previous;
    bool havePrevious = false;
    for (const TFaceInfo& face : faces) {
        // A face comes once per character set; only its first set counts.
        const bool repeated = havePrevious && face.Name == previous;
        previous = face.Name;
        havePrevious = true;
        if (face.Scalable && !repeated) {
            families_.push_back(TFontFamily{face.Name, face.CharSet, face.PitchAndFamily, false});
        }
    }
    std::stable_sort(families_.begin(), families_.end(), [](const TFontFamily& a, const TFontFamily& b) {
        return CompareFontNames(a.Name, b.Name) < 0;
    });
}

int32_t TFontManager::SearchFamily(const std::string& name) const {
    const auto it = std::lower_bound(families_.begin(), families_.end(), name,
                                     [](const TFontFamily& f, const std::string& n) { return CompareFontNames(f.Name, n) < 0; });
    if (it == families_.end() || !SameFontName(it->Name, name)) {
        return -1;
    }
    return static_cast<int32_t>(it - families_.begin());
}

int32_t TFontManager::FindPrefixFamily(const std::string& name) const {
    std::string shorter = name;
    while (DropLastWord(shorter)) {
        const int32_t family = SearchFamily(shorter);
        if (family >= 0) {
            return family;
        }
    }
    return -1;
}

void TFontManager::SynchronizeRegistry() {
    std::vector<int32_t> work;
    for (size_t i = 0; i < registry_.size(); ++i) {
        work.push_back(static_cast<int32_t>(i));
    }
    for (TFontFamily& family : families_) {
        family.Registered = false;
    }
    auto link = [this](int32_t entry, int32_t family) {
        registry_[static_cast<size_t>(entry)].Linked = true;
        registry_[static_cast<size_t>(entry)].Family = family;
    };
    // Every entry of a family's own name is linked to it: the same face is
    // registered once per character set, and each of them stays usable.
    for (size_t f = 0; f < families_.size(); ++f) {
        const auto family = static_cast<int32_t>(f);
        std::erase_if(work, [&](int32_t entry) {
            if (!SameFontName(registry_[static_cast<size_t>(entry)].Name, families_[f].Name)) {
                return false;
            }
            link(entry, family);
            families_[f].Registered = true;
            return true;
        });
    }
    // Then names that extend a family's name ("Arial Cyr", "Courier New
    // Baltic") the way Register matches them.
    std::erase_if(work, [&](int32_t entry) {
        const int32_t family = FindPrefixFamily(registry_[static_cast<size_t>(entry)].Name);
        if (family < 0) {
            return false;
        }
        link(entry, family);
        return true;
    });
    for (size_t f = 0; f < families_.size(); ++f) {
        TFontFamily& family = families_[f];
        if (!family.Registered) {
            registry_.push_back(TRegisteredFont{true, static_cast<int32_t>(f), nextTag_++, family.Name, family.CharSet,
                                                family.CharSet, family.PitchAndFamily});
            family.Registered = true;
        }
    }
    for (int32_t entry : work) {
        registry_[static_cast<size_t>(entry)].Linked = false;
        registry_[static_cast<size_t>(entry)].Family = -1;
    }
}

int32_t TFontManager::Register(const std::string& name, int32_t charSet, bool allowPrefix, int32_t pitchAndFamily) {
    int32_t family = SearchFamily(name);
    if (family < 0 && allowPrefix) {
        family = FindPrefixFamily(name);
    }
    bool haveTag = false;
    int32_t tag = 0;
    if (family >= 0) {
        if (charSet == UndefinedAttr) {
            for (size_t i = 0; i < registry_.size(); ++i) {
                if (registry_[i].Family == family && SameFontName(registry_[i].Name, name)) {
                    return static_cast<int32_t>(i);
                }
            }
            charSet = SystemCharSet();
        }
        for (size_t i = registry_.size(); i-- > 0;) {
            if (registry_[i].Linked && registry_[i].Family == family) {
                if (registry_[i].CharSet == charSet) {
                    return static_cast<int32_t>(i);
                }
                tag = registry_[i].Tag;
                haveTag = true;
            }
        }
        // A symbol face has only the symbol set; any other face has none.
        // Redirect only when the sets differ, or the same request would come
        // back here for ever.
        const int32_t familySet = families_[static_cast<size_t>(family)].CharSet;
        if (familySet == SymbolCharSet && charSet != SymbolCharSet) {
            return Register(name, SymbolCharSet, allowPrefix, pitchAndFamily);
        }
        if (charSet == SymbolCharSet && familySet != SymbolCharSet) {
            const int32_t systemSet = SystemCharSet();
            return Register(name, systemSet != SymbolCharSet ? systemSet : AnsiCharSet, allowPrefix, pitchAndFamily);
        }
    } else {
        for (size_t i = 0; i < registry_.size(); ++i) {
            const TRegisteredFont& entry = registry_[i];
            if (!entry.Linked && SameFontName(entry.Name, name)) {
                if (charSet == UndefinedAttr || entry.CharSet == charSet) {
                    return static_cast<int32_t>(i);
                }
                if (!haveTag) {
                    tag = entry.Tag;
                    haveTag = true;
                }
            }
        }
        if (charSet == UndefinedAttr) {
            charSet = SystemCharSet();
        }
    }
    if (!haveTag) {
        tag = nextTag_++;
    }
    registry_.push_back(TRegisteredFont{family >= 0, family, tag, name, charSet, charSet, pitchAndFamily});
    return static_cast<int32_t>(registry_.size() - 1);
}

void TFontManager::RegisterDocumentFonts(std::vector<TDocFontInfo>& fonts) {
    for (TDocFontInfo& font : fonts) {
        font.Index = Register(font.Name, font.CharSet, true, font.Family | font.Pitch);
    }
}

int32_t TFontManager::FindFamily(const std::string& name) const {
    for (size_t i = families_.size(); i-- > 0;) {
        if (SameFontName(families_[i].Name, name)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t TFontManager::FindRegistered(const std::string& name) const {
    for (size_t i = 0; i < registry_.size(); ++i) {
        if (SameFontName(registry_[i].Name, name)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t TFontManager::WithCharacterSet(int32_t fontIndex, int32_t charSet) {
    const TRegisteredFont& entry = Entry(fontIndex);
    const int32_t tag = entry.Tag;
    const auto first = std::find_if(registry_.begin(), registry_.end(), [tag](const TRegisteredFont& e) { return e.Tag == tag; });
    if (first->Linked) {
        const int32_t familySet = families_[static_cast<size_t>(first->Family)].CharSet;
        if ((familySet == SymbolCharSet) != (charSet == SymbolCharSet)) {
            charSet = familySet;
        }
    }
    for (size_t i = 0; i < registry_.size(); ++i) {
        if (registry_[i].Tag == tag && registry_[i].CharSet == charSet) {
            return static_cast<int32_t>(i);
        }
    }
    TRegisteredFont copy = entry;
    copy.CharSet = charSet;
    copy.FontCharSet = charSet;
    registry_.push_back(std::move(copy));
    return static_cast<int32_t>(registry_.size() - 1);
}

std::string TFontManager::DisplayName(int32_t fontIndex) const {
    const TRegisteredFont& entry = Entry(fontIndex);
    return entry.Linked ? families_[static_cast<size_t>(entry.Family)].Name : entry.Name;
}

std::vector<std::pair<std::string, int32_t>> TFontManager::FamilyNames() const {
    std::vector<std::pair<std::string, int32_t>> names;
    names.reserve(families_.size());
    for (size_t i = 0; i < families_.size(); ++i) {
        names.emplace_back(families_[i].Name, static_cast<int32_t>(i));
    }
    return names;
}

int32_t TFontManager::TagOf(int32_t fontIndex) const { return Entry(fontIndex).Tag; }

bool TFontManager::ValidateFontName(int32_t& fontIndex, const std::string& name, TMessageBox& messages) {
    const bool haveCurrent = fontIndex >= 0 && static_cast<size_t>(fontIndex) < registry_.size();
    if (name.empty()) {
        if (!haveCurrent) {
            messages.Show("Font name cannot be blank", TMessageKind::Error, TMessageButtons::Ok);
            return false;
        }
        return true;  // the font stays as it is
    }
    if (FindRegistered(name) < 0) {
        const std::string question = FormatMessageText(
            "The \"%s\" Font is absent from the System Font List. Ignore and use this font anyway?", {name});
        if (messages.Show(question, TMessageKind::Warning, TMessageButtons::YesNo) != TMessageAnswer::Yes) {
            return false;
        }
    }
    const int32_t charSet = haveCurrent ? Entry(fontIndex).CharSet : UndefinedAttr;
    fontIndex = Register(name, charSet, false, 0);
    return true;
}

void TFontManager::Rebuild(TKerningPairsManager& kerning, const std::function<void()>& relayout) {
    EnumerateFamilies(fonts_.EnumerateFaces());
    SynchronizeRegistry();
    ClearSharedFonts();
    substitutions_.clear();
    kerning.Clear();
    if (relayout) {
        relayout();
    }
}

}  // namespace quillane
