#include "setup/InstallLog.h"

#include <algorithm>
#include <memory>

#include "platform/File.h"
#include "platform/FileSystem.h"

namespace quillane {

void TInstallLog::Add(std::string line) {
    if (Active()) {
        lines_.push_back(std::move(line));
    }
}

void TInstallLog::Resume() {
    if (suspended_ > 0) {
        --suspended_;
    }
}

TLogLoad TInstallLog::Load(const std::string& path) {
    auto opened = OpenFile(path, TFileMode::Read);
    if (!opened.File) {
        return opened.Error == TFileError::NotFound ? TLogLoad::Missing : TLogLoad::Failed;
    }
    const int64_t size = opened.File->Size();
    if (size < 0 || size > static_cast<int64_t>(InstallLogLimit)) {
        return TLogLoad::Failed;
    }
    std::string text(static_cast<size_t>(size), '\0');
    if (opened.File->Read(text.data(), static_cast<int32_t>(size)) != size) {
        return TLogLoad::Failed;
    }
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines_.push_back(std::move(line));
        }
        at = end + 1;
    }
    return TLogLoad::Loaded;
}

bool TInstallLog::Save(const std::string& path) const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    // Beside the target, so the final step is a rename on one drive.
    std::string temporary;
    std::unique_ptr<TFile> file;
    for (int n = 0; n < 1000 && !file; ++n) {
        temporary = path + ".~" + std::to_string(n);
        auto opened = OpenFile(temporary, TFileMode::CreateNew);
        if (opened.File) {
            file = std::move(opened.File);
        } else if (opened.Error != TFileError::Exists) {
            return false;
        }
    }
    if (!file) {
        return false;
    }
    bool written = true;
    for (size_t at = 0; at < text.size() && written; at += 1u << 20) {
        const size_t count = std::min<size_t>(text.size() - at, 1u << 20);
        written = file->Write(text.data() + at, static_cast<int32_t>(count));
    }
    written = written && file->Flush();
    file.reset();
    std::string message;
    if (!written || ReplaceFileAtomically(path, temporary, message) != TFileError::None) {
        RemoveFile(temporary);
        return false;
    }
    return true;
}

}  // namespace quillane
