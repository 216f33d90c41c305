#include "setup/AttachedFiles.h"

#include "setup/NameCodePage.h"
#include "setup/PayloadInflate.h"
#include "setup/PayloadTime.h"

namespace quillane {

namespace {

bool StartsWithFolded(const std::string& folded, const std::string& prefix) {
    return folded.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool ShouldInstall(TOverwriteRule rule, bool present, const std::optional<TLocalTime>& presentTime,
                   double entryTime) {
    if (!present) {
        return rule != TOverwriteRule::OnlyExisting;
    }
    const std::optional<uint32_t> ours = DosDateTime(LocalTimeFromPayloadTime(entryTime));
    const std::optional<uint32_t> theirs = presentTime ? DosDateTime(*presentTime) : std::nullopt;
    switch (rule) {
        case TOverwriteRule::KeepExisting: return false;
        case TOverwriteRule::ReplaceOlder: return !theirs || !ours || *theirs < *ours;
        case TOverwriteRule::ReplaceChanged: return !theirs || !ours || *theirs != *ours;
        case TOverwriteRule::OnlyExisting:
        case TOverwriteRule::Always: return true;
    }
    return false;
}

std::unique_ptr<TAttachedFiles> TAttachedFiles::Open(const std::string& path) {
    auto opened = OpenFile(path, TFileMode::Read);
    if (!opened.File) {
        throw TPayloadError("the installer's file cannot be opened: " + opened.Message);
    }
    return std::make_unique<TAttachedFiles>(std::move(opened.File));
}

TAttachedFiles::TAttachedFiles(std::unique_ptr<TFile> file) : file_(std::move(file)) {
    const int64_t size = file_->Size();
    if (size < static_cast<int64_t>(PayloadTrailerBytes)) {
        throw TPayloadError("file too short for a payload");
    }
    unsigned char trailer[PayloadTrailerBytes];
    if (!file_->Seek(size - PayloadTrailerBytes) ||
        file_->Read(trailer, PayloadTrailerBytes) != static_cast<int32_t>(PayloadTrailerBytes)) {
        throw TPayloadError("trailer could not be read");
    }
    const uint32_t directoryOffset = DecodeTrailer(trailer, static_cast<uint64_t>(size));
    std::string records;
    InflateWhole(*file_, directoryOffset, static_cast<uint64_t>(size) - PayloadTrailerBytes - directoryOffset,
                 PayloadDirectoryLimit, records);
    entries_ = ParseDirectory(reinterpret_cast<const unsigned char*>(records.data()), records.size(),
                              directoryOffset);
}

const TAttachedFile* TAttachedFiles::Find(std::string_view name) const {
    const auto encoded = Utf8ToCp1252(name);
    if (!encoded) {
        return nullptr;
    }
    const std::string folded = FoldCp1252(*encoded);
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        if (FoldCp1252(entry->Name) == folded) {
            return &*entry;
        }
    }
    return nullptr;
}

std::vector<const TAttachedFile*> TAttachedFiles::Select(std::string_view nameOrPrefix) const {
    std::vector<const TAttachedFile*> selected;
    if (!nameOrPrefix.empty() && nameOrPrefix.back() == '\\') {
        const auto encoded = Utf8ToCp1252(nameOrPrefix);
        if (!encoded) {
            return selected;
        }
        const std::string prefix = FoldCp1252(*encoded);
        for (const TAttachedFile& entry : entries_) {
            if (StartsWithFolded(FoldCp1252(entry.Name), prefix)) {
                selected.push_back(&entry);
            }
        }
    } else if (const TAttachedFile* entry = Find(nameOrPrefix)) {
        selected.push_back(entry);
    }
    return selected;
}

bool TAttachedFiles::QueueFiles(std::string_view nameOrPrefix, const std::string& folder, TOverwriteRule rule,
                                int queue, bool logged) {
    bool queued = false;
    for (const TAttachedFile* entry : Select(nameOrPrefix)) {
        TFileToInstall item{*entry, DestinationPath(folder, *entry), logged};
        const TFileStatus status = FileStatus(item.Path);
        if (ShouldInstall(rule, status.Exists, status.Exists ? FileLastWriteTime(item.Path) : std::nullopt,
                          entry->Time)) {
            Queue(queue).push_back(std::move(item));
            queued = true;
        }
    }
    return queued;
}

void TAttachedFiles::ClearQueues() {
    for (auto& queue : queues_) {
        queue.clear();
    }
}

int64_t TAttachedFiles::ComponentSize(std::string_view list, int64_t clusterBytes) const {
    if (clusterBytes <= 0) {
        clusterBytes = 4096;
    }
    int64_t total = 0;
    size_t at = 0;
    while (at <= list.size()) {
        size_t end = list.find('\r', at);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        const std::string_view name = list.substr(at, end - at);
        if (!name.empty()) {
            for (const TAttachedFile* entry : Select(name)) {
                total += (static_cast<int64_t>(entry->Size) + clusterBytes - 1) / clusterBytes * clusterBytes;
            }
        }
        at = end + 1;
    }
    return total;
}

std::string DestinationPath(const std::string& folder, const TAttachedFile& entry) {
    const char separator = PathSeparator();
    std::string path = folder;
    if (path.empty() || (path.back() != separator && path.back() != '\\' && path.back() != '/')) {
        path += separator;
    }
    std::string name = Cp1252ToUtf8(entry.Name);
    for (char& ch : name) {
        if (ch == '\\') {
            ch = separator;
        }
    }
    return path + name;
}

}  // namespace quillane
