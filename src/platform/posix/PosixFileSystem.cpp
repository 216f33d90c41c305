#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/FileSystem.h"

namespace quillane {

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is on the disk only once its folder is.
void FlushFolder(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

TFileError Fail(int error, std::string& message) {
    message = std::strerror(error);
    switch (error) {
        case ENOENT:
        case ENOTDIR: return TFileError::NotFound;
        case EACCES:
        case EPERM:
        case EROFS: return TFileError::AccessDenied;
        case EWOULDBLOCK: return TFileError::SharingViolation;
        default: return TFileError::Other;
    }
}

}  // namespace

TFileStatus FileStatus(const std::string& path) {
    TFileStatus status;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return status;
    }
    status.Exists = true;
    status.Folder = S_ISDIR(st.st_mode);
    status.ReadOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return status;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

TFileError ReplaceFileAtomically(const std::string& target, const std::string& replacement, std::string& message) {
    struct stat st {};
    int guard = -1;
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            message = "not a regular file";
            return TFileError::AccessDenied;
        }
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            message = "the file is read-only";
            return TFileError::AccessDenied;
        }
        // rename ignores advisory locks: without this check a save would
        // replace the file another open document (or program) holds.
        guard = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
        if (guard < 0) {
            return Fail(errno, message);
        }
        if (::flock(guard, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(guard);
            return Fail(error, message);
        }
        ::chmod(replacement.c_str(), st.st_mode & 07777);
    }
    const bool renamed = ::rename(replacement.c_str(), target.c_str()) == 0;
    const int error = errno;
    if (guard >= 0) {
        ::close(guard);
    }
    if (!renamed) {
        return Fail(error, message);
    }
    FlushFolder(target);
    return TFileError::None;
}

std::string TemporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

std::string FullPathName(const std::string& path) {
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) != nullptr) {
            absolute = std::string(cwd) + "/" + path;
        }
    }
    char resolved[PATH_MAX];
    if (::realpath(absolute.c_str(), resolved) != nullptr) {
        return resolved;
    }
    // A file yet to be made: resolve its folder.
    const size_t slash = absolute.rfind('/');
    const std::string folder = slash == 0 ? "/" : absolute.substr(0, slash);
    if (::realpath(folder.c_str(), resolved) != nullptr) {
        const std::string base(resolved);
        return (base == "/" ? "" : base) + absolute.substr(slash);
    }
    return absolute;
}

bool SamePath(const std::string& a, const std::string& b) { return FullPathName(a) == FullPathName(b); }

char PathSeparator() { return '/'; }

}  // namespace quillane
