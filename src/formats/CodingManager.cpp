#include "formats/CodingManager.h"

#include <algorithm>
#include <cctype>

namespace quillane {

namespace {

// Where the last component of a name starts: after the last separator of
// either system or a drive's colon.
size_t LastComponent(const std::string& name) {
    const size_t at = name.find_last_of("\\/:");
    return at == std::string::npos ? 0 : at + 1;
}

// The position of the extension's dot, or npos.
size_t ExtensionDot(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot < LastComponent(name) ? std::string::npos : dot;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

TCodingManager::TCodingManager() {
    for (int32_t i = 0; i < DocumentFormatCount; ++i) {
        if (DocumentFormats[i].Savable) {
            savable_.push_back(i);
        }
    }
}

std::string TCodingManager::OpenFilter() const {
    std::string filter;
    for (const TDocumentFormatInfo& format : DocumentFormats) {
        filter += format.Filter;
        filter += '|';
    }
    return filter + "All Files (*.*)|*.*";
}

std::string TCodingManager::SaveFilter() const {
    std::string filter;
    for (const int32_t format : savable_) {
        if (!filter.empty()) {
            filter += '|';
        }
        filter += DocumentFormats[format].Filter;
    }
    return filter;
}

int32_t TCodingManager::FormatOfSaveFilter(int32_t filterIndex) const {
    if (filterIndex < 1 || filterIndex > static_cast<int32_t>(savable_.size())) {
        return dfFailed;
    }
    return savable_[static_cast<size_t>(filterIndex - 1)];
}

int32_t TCodingManager::SaveFilterOfFormat(int32_t format) const {
    const auto at = std::find(savable_.begin(), savable_.end(), format);
    return at == savable_.end() ? 0 : static_cast<int32_t>(at - savable_.begin()) + 1;
}

std::string TCodingManager::ApplyDefaultExtension(const std::string& name, int32_t format) {
    if (!name.empty() && name.back() == '.') {
        return name.substr(0, name.size() - 1);
    }
    if (ExtensionDot(name) != std::string::npos || !IsValidFormat(format)) {
        return name;
    }
    return name + "." + Lower(DocumentFormats[format].Extension);
}

std::string TCodingManager::Extension(const std::string& name) {
    const size_t dot = ExtensionDot(name);
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string TCodingManager::ReplaceExtension(const std::string& name, const std::string& extension) {
    const size_t dot = ExtensionDot(name);
    return (dot == std::string::npos ? name : name.substr(0, dot)) + extension;
}

std::string TCodingManager::BackupName(const std::string& name) {
    return ReplaceExtension(name, Lower(Extension(name)) == "bak" ? ".bak_bak" : ".bak");
}

std::string TCodingManager::BaseName(const std::string& name) { return name.substr(LastComponent(name)); }

}  // namespace quillane
