#include <windows.h>

#include <string>

#include "platform/File.h"
#include "platform/win32/WideText.h"

namespace quillane {

namespace {

class TWin32File final : public TFile {
public:
    explicit TWin32File(HANDLE handle) : handle_(handle) {}
    ~TWin32File() override { CloseHandle(handle_); }
    TWin32File(const TWin32File&) = delete;
    TWin32File& operator=(const TWin32File&) = delete;

    int64_t Size() const override {
        LARGE_INTEGER size;
        return GetFileSizeEx(handle_, &size) ? static_cast<int64_t>(size.QuadPart) : -1;
    }

    int32_t Read(void* buffer, int32_t count) override {
        DWORD done = 0;
        if (!ReadFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) {
            return -1;
        }
        return static_cast<int32_t>(done);
    }

    bool Write(const void* buffer, int32_t count) override {
        DWORD done = 0;
        return WriteFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr) &&
               done == static_cast<DWORD>(count);
    }

    bool Seek(int64_t offset) override {
        LARGE_INTEGER to;
        to.QuadPart = offset;
        return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) != 0;
    }

    int64_t Tell() const override {
        LARGE_INTEGER zero;
        zero.QuadPart = 0;
        LARGE_INTEGER at;
        return SetFilePointerEx(handle_, zero, &at, FILE_CURRENT) ? static_cast<int64_t>(at.QuadPart) : -1;
    }

    bool Truncate() override { return SetEndOfFile(handle_) != 0; }
    bool Flush() override { return FlushFileBuffers(handle_) != 0; }

private:
    HANDLE handle_;
};

TFileError ErrorFromCode(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return TFileError::NotFound;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return TFileError::SharingViolation;
        case ERROR_ACCESS_DENIED:
        case ERROR_NETWORK_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT: return TFileError::AccessDenied;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return TFileError::Exists;
        default: return TFileError::Other;
    }
}

std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = text != nullptr ? WideToUtf8(text) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

}  // namespace

TFileOpenResult OpenFile(const std::string& path, TFileMode mode) {
    DWORD access = GENERIC_READ;
    DWORD share = FILE_SHARE_READ;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
        case TFileMode::Read: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
        case TFileMode::ReadWrite: access |= GENERIC_WRITE; break;
        case TFileMode::CreateAlways:
            access |= GENERIC_WRITE;
            disposition = CREATE_ALWAYS;
            break;
        case TFileMode::CreateNew:
            access |= GENERIC_WRITE;
            disposition = CREATE_NEW;
            break;
    }
    TFileOpenResult result;
    const HANDLE handle = CreateFileW(Utf8ToWide(path).c_str(), access, share, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        result.Error = ErrorFromCode(code);
        result.Message = SystemMessage(code);
        return result;
    }
    result.File = std::make_unique<TWin32File>(handle);
    return result;
}

}  // namespace quillane
