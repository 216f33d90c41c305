#pragma once
// The payload reader of one installer run: its own executable held open
// for reading, the checked directory, and the two install queues (0 for
// the program files, 1 for the help file) that the wizard fills and the
// worker empties. Created before any window: a payload that breaks a rule
// of the format throws TPayloadError and the installer shows its one
// corrupt-file message and ends.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "setup/PayloadFormat.h"

namespace quillane {

// What happens to a payload file whose destination already exists.
enum class TOverwriteRule : uint8_t {
    KeepExisting = 0,   // install only when absent
    ReplaceOlder = 1,   // also when the present file is older
    ReplaceChanged = 2, // also when the present file's time differs
    OnlyExisting = 3,   // only when present
    Always = 4,
};

// Whether a file is installed under `rule`, given the present file's state
// and last-write time (local time) and the entry's payload time. Times are
// compared as DOS date and time; a present time that cannot be one
// (before 1980, after 2107) counts as older and as different.
bool ShouldInstall(TOverwriteRule rule, bool present, const std::optional<TLocalTime>& presentTime,
                   double entryTime);

struct TFileToInstall {
    TAttachedFile Entry;
    std::string Path;    // full destination (UTF-8)
    bool Logged = true;  // false when queued while logging was suspended
};

constexpr int InstallQueueCount = 2;

class TAttachedFiles {
public:
    // Reads the payload of the file at `path` (the running installer).
    static std::unique_ptr<TAttachedFiles> Open(const std::string& path);
    // Reads the payload of an open file, which it keeps.
    explicit TAttachedFiles(std::unique_ptr<TFile> file);
    TAttachedFiles(const TAttachedFiles&) = delete;
    TAttachedFiles& operator=(const TAttachedFiles&) = delete;

    const std::vector<TAttachedFile>& Entries() const { return entries_; }
    // The entry of a name (UTF-8), compared without regard to case; the
    // last match counts, as names are searched from the end.
    const TAttachedFile* Find(std::string_view name) const;

    // The file the streams are read from. One thread at a time: the
    // user-interface thread before the worker starts and after it ends,
    // the worker in between.
    TFile& Source() { return *file_; }

    // Queues one file (a name) or every file under a folder (a prefix
    // ending in a backslash) for `folder`, as `rule` decides; true when
    // anything was queued. `logged` is whether logging is active now.
    bool QueueFiles(std::string_view nameOrPrefix, const std::string& folder, TOverwriteRule rule, int queue,
                    bool logged);
    std::vector<TFileToInstall>& Queue(int queue) { return queues_.at(static_cast<size_t>(queue)); }
    void ClearQueues();

    // The bytes the files of a component list (names or prefixes separated
    // by CR) take on the drive of `folder`: each size rounded up to whole
    // clusters of `clusterBytes`.
    int64_t ComponentSize(std::string_view list, int64_t clusterBytes) const;

private:
    std::vector<const TAttachedFile*> Select(std::string_view nameOrPrefix) const;

    std::unique_ptr<TFile> file_;
    std::vector<TAttachedFile> entries_;
    std::vector<std::vector<TFileToInstall>> queues_{InstallQueueCount};
};

// The destination of an entry: the folder, one separator, and the entry's
// name in UTF-8 with the system's separators.
std::string DestinationPath(const std::string& folder, const TAttachedFile& entry);

}  // namespace quillane
