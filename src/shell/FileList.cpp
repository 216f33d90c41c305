#include "shell/FileList.h"

#include <algorithm>

#include "platform/UserEnvironment.h"

namespace quillane {

std::string TFileList::EntryName(int32_t index) { return std::string(1, static_cast<char>('A' + index)); }

void TFileList::LoadFrom(TSettingsStorage& storage, int32_t limit) {
    paths_.clear();
    const int32_t count = storage.ReadInteger("Count", 0, 0, std::clamp(limit, 0, MaxEntries));
    for (int32_t i = 0; i < count; ++i) {
        std::string path = storage.ReadString(EntryName(i), "");
        const bool listed = std::any_of(paths_.begin(), paths_.end(),
                                        [&](const std::string& p) { return SamePathText(p, path); });
        if (!path.empty() && !listed) {
            paths_.push_back(std::move(path));
        }
    }
}

void TFileList::SaveTo(TSettingsStorage& storage) const {
    const auto count = static_cast<int32_t>(std::min<size_t>(paths_.size(), MaxEntries));
    storage.WriteInteger("Count", count);
    for (int32_t i = 0; i < count; ++i) {
        storage.WriteString(EntryName(i), paths_[static_cast<size_t>(i)]);
    }
    for (int32_t i = count; i < MaxEntries; ++i) {
        if (storage.HasValue(EntryName(i))) {
            storage.DeleteValue(EntryName(i));
        }
    }
}

void TFileList::Add(const std::string& path, int32_t docsToKeep) {
    const auto listed =
        std::find_if(paths_.begin(), paths_.end(), [&](const std::string& p) { return SamePathText(p, path); });
    if (listed != paths_.end()) {
        paths_.erase(listed);
    } else {
        Trim(docsToKeep - 1);
    }
    if (docsToKeep > 0) {
        paths_.insert(paths_.begin(), path);
        Trim(std::min(docsToKeep, MaxEntries));
    } else {
        paths_.clear();
    }
}

void TFileList::Trim(int32_t n) {
    const auto keep = static_cast<size_t>(std::max(n, 0));
    if (paths_.size() > keep) {
        paths_.resize(keep);
    }
}

void TFileList::RemoveObsolete(const std::function<bool(const std::string&)>& keep) {
    std::erase_if(paths_, [&](const std::string& p) { return !keep(p); });
}

}  // namespace quillane
