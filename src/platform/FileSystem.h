#pragma once
// What the save workflow needs from the file system beyond an open file:
// the state of a name, deleting, replacing a file by another in one step,
// the temporary folder and the full form of a name. Names are UTF-8.

#include <string>

#include "platform/File.h"

namespace quillane {

struct TFileStatus {
    bool Exists = false;
    bool Folder = false;
    // The read-only attribute; on POSIX, no write permission for anyone.
    // Checked by the program itself, because an administrator (or Wine
    // running as root) could write the file anyway.
    bool ReadOnly = false;
};

TFileStatus FileStatus(const std::string& path);

// Deletes a file; false when it could not be deleted (a missing file too).
bool RemoveFile(const std::string& path);

// Puts `replacement` in the place of `target` in one step: afterwards the
// target holds either all the old bytes or all the new ones. An existing
// target keeps its attributes and permissions. A read-only target gives
// AccessDenied, a target another handle holds (on POSIX: under flock)
// SharingViolation; in every failure both files stay as they were.
TFileError ReplaceFileAtomically(const std::string& target, const std::string& replacement, std::string& message);

// The system's folder for temporary files, without a final separator.
std::string TemporaryFolder();

// The absolute name of a file, with links and short names resolved as far
// as the file or its folder exists.
std::string FullPathName(const std::string& path);

// Whether two names denote one file: their full names compared exactly on
// POSIX, without case on Windows.
bool SamePath(const std::string& a, const std::string& b);

// The separator the system puts between folders.
char PathSeparator();

}  // namespace quillane
