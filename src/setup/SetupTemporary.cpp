#include "setup/SetupTemporary.h"

#include "platform/File.h"
#include "platform/FileSystem.h"

namespace quillane {

namespace {

std::string Join(const std::string& folder, const std::string& name) {
    const char separator = PathSeparator();
    if (!folder.empty() && (folder.back() == separator || folder.back() == '/')) {
        return folder + name;
    }
    return folder + separator + name;
}

// Deletes a folder's contents and then the folder; links inside are
// removed as links. Depth is bounded so a pathological tree cannot
// exhaust the stack.
void DeleteTree(const std::string& path, int depth) {
    if (depth > 64) {
        return;
    }
    for (const TFolderEntry& entry : ListFolder(path)) {
        const std::string inner = Join(path, entry.Name);
        if (entry.Link) {
            RemoveLink(inner);
        } else if (entry.Folder) {
            DeleteTree(inner, depth + 1);
        } else {
            RemoveFile(inner);
        }
    }
    RemoveEmptyFolder(path);
}

}  // namespace

std::string ClaimSetupTemporary(const std::string& folder) {
    for (int n = 0; n < 10000; ++n) {
        const std::string path = Join(folder, SetupTemporaryPrefix + std::to_string(n) + ".tmp");
        const TFileOpenResult opened = OpenFile(path, TFileMode::CreateNew);
        if (opened.File) {
            return path;
        }
        if (opened.Error != TFileError::Exists) {
            return {};
        }
    }
    return {};
}

void DeleteSetupTemporaries(const std::string& folder) {
    const std::string prefix = SetupTemporaryPrefix;
    for (const TFolderEntry& entry : ListFolder(folder)) {
        if (entry.Name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const std::string path = Join(folder, entry.Name);
        if (entry.Link) {
            RemoveLink(path);
        } else if (entry.Folder) {
            DeleteTree(path, 0);
        } else {
            RemoveFile(path);
        }
    }
}

}  // namespace quillane
