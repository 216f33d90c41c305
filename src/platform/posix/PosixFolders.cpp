#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace quillane {

namespace {

// The nearest folder at or above `path` that exists, for the questions
// asked of a drive before the destination has been made.
std::string ExistingFolderAbove(std::string path) {
    while (!path.empty()) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            return path;
        }
        const size_t slash = path.rfind('/');
        if (slash == std::string::npos) {
            return ".";
        }
        path = slash == 0 ? "/" : path.substr(0, slash);
        if (path == "/") {
            return path;
        }
    }
    return ".";
}

}  // namespace

std::optional<TLocalTime> FileLastWriteTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    struct tm local {};
    const time_t seconds = st.st_mtim.tv_sec;
    if (::localtime_r(&seconds, &local) == nullptr) {
        return std::nullopt;
    }
    TLocalTime time;
    time.Year = local.tm_year + 1900;
    time.Month = local.tm_mon + 1;
    time.Day = local.tm_mday;
    time.Hour = local.tm_hour;
    time.Minute = local.tm_min;
    time.Second = local.tm_sec;
    time.Millisecond = static_cast<int>(st.st_mtim.tv_nsec / 1000000);
    return time;
}

bool SetFileLastWriteTime(const std::string& path, const TLocalTime& time) {
    struct tm local {};
    local.tm_year = time.Year - 1900;
    local.tm_mon = time.Month - 1;
    local.tm_mday = time.Day;
    local.tm_hour = time.Hour;
    local.tm_min = time.Minute;
    local.tm_sec = time.Second;
    local.tm_isdst = -1;  // the zone's rule for that date decides
    local.tm_wday = -1;   // set by a successful mktime: -1 is also a valid result
    const time_t seconds = ::mktime(&local);
    if (local.tm_wday < 0) {
        return false;
    }
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // the access time stays
    times[1].tv_sec = seconds;
    times[1].tv_nsec = static_cast<long>(time.Millisecond) * 1000000L;
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool CreateFolders(const std::string& path, std::vector<std::string>& created) {
    if (path.empty()) {
        return false;
    }
    size_t at = path[0] == '/' ? 1 : 0;
    while (true) {
        const size_t slash = path.find('/', at);
        const std::string prefix = path.substr(0, slash);
        if (!prefix.empty() && prefix.back() != '/') {
            struct stat st {};
            if (::lstat(prefix.c_str(), &st) != 0) {
                if (::mkdir(prefix.c_str(), 0777) == 0) {
                    created.push_back(prefix);
                } else if (errno != EEXIST) {
                    return false;
                }
            }
        }
        if (slash == std::string::npos) {
            break;
        }
        at = slash + 1;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveEmptyFolder(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    return ::rmdir(path.c_str()) == 0;
}

std::vector<TFolderEntry> ListFolder(const std::string& path) {
    std::vector<TFolderEntry> entries;
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) {
        return entries;
    }
    while (const dirent* item = ::readdir(folder)) {
        const std::string name = item->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        TFolderEntry entry;
        entry.Name = name;
        struct stat st {};
        if (::fstatat(::dirfd(folder), item->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            entry.Link = S_ISLNK(st.st_mode);
            entry.Folder = S_ISDIR(st.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(folder);
    return entries;
}

bool RemoveLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::unlink(path.c_str()) == 0;
}

int64_t ClusterBytes(const std::string& path) {
    struct statvfs info {};
    if (::statvfs(ExistingFolderAbove(path).c_str(), &info) != 0 || info.f_frsize == 0) {
        return 4096;
    }
    return static_cast<int64_t>(info.f_frsize);
}

int64_t FreeDiskBytes(const std::string& path) {
    struct statvfs info {};
    if (::statvfs(ExistingFolderAbove(path).c_str(), &info) != 0) {
        return -1;
    }
    return static_cast<int64_t>(info.f_bavail) * static_cast<int64_t>(info.f_frsize);
}

}  // namespace quillane
