#include <windows.h>

#include <string>

#include "platform/FileSystem.h"
#include "platform/win32/WideText.h"

namespace quillane {

namespace {

TFileError Fail(DWORD code, std::string& message) {
    message = "error " + std::to_string(code);
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return TFileError::NotFound;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return TFileError::SharingViolation;
        case ERROR_ACCESS_DENIED:
        case ERROR_NETWORK_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT: return TFileError::AccessDenied;
        default: return TFileError::Other;
    }
}

// A name beside the target for ReplaceFileW's own copy of the old file,
// which lets a half-done replace (error 1177) be put back.
std::wstring SpareName(const std::wstring& target) {
    for (int n = 0;; ++n) {
        std::wstring name = target + L".~r" + std::to_wstring(n);
        if (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return name;
        }
    }
}

}  // namespace

TFileStatus FileStatus(const std::string& path) {
    TFileStatus status;
    const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return status;
    }
    status.Exists = true;
    status.Folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    status.ReadOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    return status;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(Utf8ToWide(path).c_str()) != 0; }

TFileError ReplaceFileAtomically(const std::string& target, const std::string& replacement, std::string& message) {
    const std::wstring to = Utf8ToWide(target);
    const std::wstring from = Utf8ToWide(replacement);
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return TFileError::None;
        }
        return Fail(GetLastError(), message);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        // Writing through the attribute succeeds for administrators (and
        // under Wine as root); the user asked for the file to stay as it is.
        message = "the file is read-only";
        return TFileError::AccessDenied;
    }
    // ReplaceFileW keeps the target's attributes, security and creation time.
    const std::wstring spare = SpareName(to);
    if (ReplaceFileW(to.c_str(), from.c_str(), spare.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        DeleteFileW(spare.c_str());
        return TFileError::None;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file went to the spare name and the new one did not
        // follow: put the old one back.
        MoveFileExW(spare.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    return Fail(code, message);
}

std::string TemporaryFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    std::string folder = n > 0 && n <= MAX_PATH ? WideToUtf8(std::wstring(buffer, n)) : ".";
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    return folder;
}

std::string FullPathName(const std::string& path) {
    const std::wstring wide = Utf8ToWide(path);
    DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) {
        return path;
    }
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    full.resize(n);
    const DWORD m = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (m > 0) {
        std::wstring longName(m, L'\0');
        const DWORD got = GetLongPathNameW(full.c_str(), longName.data(), m);
        if (got > 0 && got < m) {
            longName.resize(got);
            return WideToUtf8(longName);
        }
    }
    return WideToUtf8(full);
}

bool SamePath(const std::string& a, const std::string& b) {
    const std::wstring x = Utf8ToWide(FullPathName(a));
    const std::wstring y = Utf8ToWide(FullPathName(b));
    return CompareStringOrdinal(x.c_str(), static_cast<int>(x.size()), y.c_str(), static_cast<int>(y.size()),
                                TRUE) == CSTR_EQUAL;
}

char PathSeparator() { return '\\'; }

}  // namespace quillane
