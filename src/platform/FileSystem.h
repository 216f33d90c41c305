#pragma once
// What the save workflow needs from the file system beyond an open file:
// the state of a name, deleting, replacing a file by another in one step,
// the temporary folder and the full form of a name. Names are UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// A wall-clock time in the computer's local time zone, as file times are
// shown to users and as an installer's payload records them.
struct TLocalTime {
    int Year = 1980;
    int Month = 1;  // 1..12
    int Day = 1;    // 1..31
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
    bool operator==(const TLocalTime&) const = default;
};

// A file's last-write time in local time; nothing when the file cannot be
// asked or its time cannot be expressed.
std::optional<TLocalTime> FileLastWriteTime(const std::string& path);

// Sets a file's last-write time from a local time; false when the file or
// the time cannot be set.
bool SetFileLastWriteTime(const std::string& path, const TLocalTime& time);

// Creates a folder and every missing folder above it. `created` receives
// each folder made, outermost first (also when a later one fails); false
// when the folder does not exist afterwards.
bool CreateFolders(const std::string& path, std::vector<std::string>& created);

// Removes a folder that is empty; false otherwise.
bool RemoveEmptyFolder(const std::string& path);

// One name in a folder. A link (symbolic link, junction or other reparse
// point) is reported as a link and never as a folder, so walkers that
// delete never descend through one to somewhere else.
struct TFolderEntry {
    std::string Name;
    bool Folder = false;
    bool Link = false;
};

// The names in a folder, without "." and ".."; nothing when it cannot be read.
std::vector<TFolderEntry> ListFolder(const std::string& path);

// Removes a link itself, never what it points to.
bool RemoveLink(const std::string& path);

// The allocation unit of the drive that holds `path` (the nearest existing
// folder above it counts), 4096 when the system does not tell.
int64_t ClusterBytes(const std::string& path);

// The bytes the current user may still write on the drive holding `path`;
// -1 when unknown.
int64_t FreeDiskBytes(const std::string& path);

}  // namespace quillane
