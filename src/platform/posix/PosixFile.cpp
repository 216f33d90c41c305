#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/File.h"

namespace quillane {

namespace {

class TPosixFile final : public TFile {
public:
    explicit TPosixFile(int fd) : fd_(fd) {}
    ~TPosixFile() override { ::close(fd_); }
    TPosixFile(const TPosixFile&) = delete;
    TPosixFile& operator=(const TPosixFile&) = delete;

    int64_t Size() const override {
        struct stat st {};
        return ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
    }

    int32_t Read(void* buffer, int32_t count) override {
        auto* p = static_cast<char*>(buffer);
        int32_t done = 0;
        while (done < count) {
            const ssize_t n = ::read(fd_, p + done, static_cast<size_t>(count - done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return -1;
            }
            if (n == 0) {
                break;
            }
            done += static_cast<int32_t>(n);
        }
        return done;
    }

    bool Write(const void* buffer, int32_t count) override {
        const auto* p = static_cast<const char*>(buffer);
        int32_t done = 0;
        while (done < count) {
            const ssize_t n = ::write(fd_, p + done, static_cast<size_t>(count - done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            done += static_cast<int32_t>(n);
        }
        return true;
    }

    bool Seek(int64_t offset) override { return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == offset; }
    int64_t Tell() const override { return static_cast<int64_t>(::lseek(fd_, 0, SEEK_CUR)); }
    bool Truncate() override { return ::ftruncate(fd_, ::lseek(fd_, 0, SEEK_CUR)) == 0; }
    bool Flush() override { return ::fsync(fd_) == 0; }

private:
    int fd_;
};

TFileError ErrorFromErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: return TFileError::NotFound;
        case EACCES:
        case EPERM:
        case EROFS: return TFileError::AccessDenied;
        case ETXTBSY:
        case EWOULDBLOCK: return TFileError::SharingViolation;
        case EEXIST: return TFileError::Exists;
        default: return TFileError::Other;
    }
}

}  // namespace

TFileOpenResult OpenFile(const std::string& path, TFileMode mode) {
    int flags = O_CLOEXEC;
    switch (mode) {
        case TFileMode::Read: flags |= O_RDONLY; break;
        case TFileMode::ReadWrite: flags |= O_RDWR; break;
        // Truncated only once the lock is ours, as a locked file on Windows
        // refuses CREATE_ALWAYS.
        case TFileMode::CreateAlways: flags |= O_RDWR | O_CREAT; break;
        case TFileMode::CreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; break;
    }
    TFileOpenResult result;
    auto fail = [&result](int fd, int error) {
        if (fd >= 0) {
            ::close(fd);
        }
        result.Error = ErrorFromErrno(error);
        result.Message = std::strerror(error);
        return std::move(result);
    };
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        return fail(-1, errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        result.Error = TFileError::AccessDenied;
        result.Message = "is a folder";
        return result;
    }
    if (mode != TFileMode::Read) {
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            return fail(fd, errno);
        }
        if (mode == TFileMode::CreateAlways && ::ftruncate(fd, 0) != 0) {
            return fail(fd, errno);
        }
    }
    result.File = std::make_unique<TPosixFile>(fd);
    return result;
}

}  // namespace quillane
