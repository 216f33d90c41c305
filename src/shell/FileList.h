#pragma once
// A remembered list of files or folders, most recent first: the recent
// documents and the histories of the file dialogs. Stored under a key of its
// own as "Count" and one value per entry named "A", "B", ... (the character
// 65 + index, so the thirtieth is "^").

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell/SettingsStorage.h"

namespace quillane {

enum class TFileListKind { Folders, Files };

class TFileList {
public:
    static constexpr int32_t MaxEntries = 30;

    explicit TFileList(TFileListKind kind = TFileListKind::Files) : kind_(kind) {}

    TFileListKind Kind() const { return kind_; }
    const std::vector<std::string>& Paths() const { return paths_; }
    bool operator==(const TFileList&) const = default;

    // With the list's key open. At most `limit` entries (0..30) are taken;
    // empty and missing entries are skipped, so a damaged list never
    // records a blank path.
    void LoadFrom(TSettingsStorage& storage, int32_t limit = MaxEntries);
    // Writes Count and the entries, and deletes the values after them up to
    // the thirtieth, so entries removed in this run leave no trace.
    void SaveTo(TSettingsStorage& storage) const;

    // Moves or puts the path at the front. With docsToKeep 0 or less the
    // list only empties: nothing is remembered.
    void Add(const std::string& path, int32_t docsToKeep);
    // Deletes entries from the end while more than n remain (n below 0 is 0).
    void Trim(int32_t n);
    // Drops entries that no longer exist; `keep` says whether one does (for
    // folders it also keeps those on removable and CD drives).
    void RemoveObsolete(const std::function<bool(const std::string&)>& keep);

    // The value name of an entry: "A" for 0, ..., "^" for 29.
    static std::string EntryName(int32_t index);

private:
    TFileListKind kind_;
    std::vector<std::string> paths_;
};

}  // namespace quillane
