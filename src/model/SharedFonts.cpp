// The shared-font cache of the font manager: choosing, creating and freeing
// the platform fonts that layout and painting measure and draw with.
#include <algorithm>
#include <stdexcept>

#include "model/FontManager.h"

namespace quillane {

namespace {

// Positions of the fonts freed when a full cache takes a new one: the ten
// oldest but one, so the font used before them survives as well.
constexpr size_t EvictFirst = 29;
constexpr size_t EvictCount = 10;

bool CharSetNamesAnyFace(int32_t charSet) { return charSet == AnsiCharSet || charSet == DefaultCharSet; }

// At most max bytes, cut before a UTF-8 sequence rather than inside it.
std::string LimitFaceName(std::string face, size_t max) {
    if (face.size() <= max) {
        return face;
    }
    size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(face[end]) & 0xC0) == 0x80) {
        --end;
    }
    face.resize(end);
    return face;
}

}  // namespace

TCharAttrs FontKey(const TCharAttrs& attrs, int32_t height) {
    TCharAttrs key = attrs;
    key[caSize] = height;
    return key;
}

bool SameFontKey(const TCharAttrs& key, const TCharAttrs& attrs, int32_t height) {
    return key[caFont] == attrs[caFont] && key[caSize] == height && key[caBold] == attrs[caBold] &&
           key[caItalic] == attrs[caItalic] && key[caStrikeOut] == attrs[caStrikeOut] &&
           key[caUnderline] == attrs[caUnderline];
}

const TSharedFont& TFontManager::SelectFont(const TCharAttrs& attrs, int32_t height, bool strict, bool select) {
    if (current_ != nullptr && SameFontKey(current_->Key, attrs, height)) {
        if (select) {
            currentSelected_ = true;
        }
        return *current_;
    }
    for (const auto& font : cache_) {
        if (font.get() != current_ && SameFontKey(font->Key, attrs, height)) {
            current_ = font.get();
            currentSelected_ = select;
            ++font->UseCount;
            return *current_;
        }
    }
    std::unique_ptr<TSharedFont> made = MakeSharedFont(attrs, height, strict);
    if (cache_.size() >= SharedFontCacheSize) {
        const auto first = cache_.begin() + static_cast<std::ptrdiff_t>(EvictFirst);
        cache_.erase(first, first + static_cast<std::ptrdiff_t>(EvictCount));
    }
    ++made->UseCount;
    cache_.insert(cache_.begin(), std::move(made));
    current_ = cache_.front().get();
    currentSelected_ = true;
    return *current_;
}

std::string TFontManager::RequestedFace(const TRegisteredFont& entry) const {
    if (entry.Linked) {
        return LimitFaceName(families_[static_cast<size_t>(entry.Family)].Name, MaxFaceNameLength);
    }
    const std::string substitute = SubstituteFor(entry.Name);
    return LimitFaceName(substitute.empty() ? entry.Name : substitute, MaxFaceNameLength);
}

std::unique_ptr<TSharedFont> TFontManager::MakeSharedFont(const TCharAttrs& attrs, int32_t height, bool strict) {
    const int32_t index = attrs[caFont];
    if (index < 0 || static_cast<size_t>(index) >= registry_.size()) {
        throw std::out_of_range("TFontManager::SelectFont: no font " + std::to_string(index) + " in the registry");
    }
    const TRegisteredFont& entry = registry_[static_cast<size_t>(index)];
    TFontRequest request;
    request.Face = RequestedFace(entry);
    request.Height = height;
    request.Weight = attrs[caBold] != 0 ? 700 : 400;
    request.Italic = attrs[caItalic] != 0;
    request.Underline = attrs[caUnderline] != 0;
    request.StrikeOut = attrs[caStrikeOut] != 0;
    request.CharSet = entry.FontCharSet;

    std::unique_ptr<TPlatformFont> font = fonts_.CreatePlatformFont(request);
    std::string delivered = font->FaceName();
    if (!SameFontName(delivered, request.Face)) {
        // The face may exist without this character set: try again with the
        // default set before calling it a substitution.
        const bool anyFace = CharSetNamesAnyFace(request.CharSet);
        if (!anyFace) {
            request.CharSet = DefaultCharSet;
            font = fonts_.CreatePlatformFont(request);
        }
        if (!strict) {
            if (!anyFace) {
                delivered = font->FaceName();
            }
            if (anyFace || !SameFontName(delivered, request.Face)) {
                RecordSubstitution(request.Face, delivered);
            }
        }
    }

    auto shared = std::make_unique<TSharedFont>();
    shared->Key = FontKey(attrs, height);
    shared->Metrics = font->Metrics();
    shared->Ascent = shared->Metrics.Ascent;
    shared->Descent = shared->Metrics.Descent + shared->Metrics.ExternalLeading;
    shared->Widths = font->Widths();
    shared->Font = std::move(font);
    return shared;
}

std::string TFontManager::SubstituteFor(const std::string& face) const {
    for (const auto& [requested, delivered] : substitutions_) {
        if (SameFontName(requested, face)) {
            return delivered;
        }
    }
    return {};
}

void TFontManager::RecordSubstitution(const std::string& requested, const std::string& delivered) {
    for (auto& pair : substitutions_) {
        if (SameFontName(pair.first, requested)) {
            pair.second = delivered;
            return;
        }
    }
    substitutions_.emplace_back(requested, delivered);
}

void TFontManager::SortCacheByUse() {
    std::stable_sort(cache_.begin(), cache_.end(),
                     [](const auto& a, const auto& b) { return a->UseCount > b->UseCount; });
}

void TFontManager::ClearSharedFonts() {
    current_ = nullptr;
    currentSelected_ = false;
    cache_.clear();
}

}  // namespace quillane
