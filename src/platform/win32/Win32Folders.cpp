#include <windows.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/win32/WideText.h"

namespace quillane {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Where the folders of a path begin: after "C:\", after "\\server\share\",
// or at the start of a relative path.
size_t RootLength(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':') {
        return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        size_t at = path.find_first_of(L"\\/", 2);  // end of the server
        if (at == std::wstring::npos) {
            return path.size();
        }
        at = path.find_first_of(L"\\/", at + 1);  // end of the share
        return at == std::wstring::npos ? path.size() : at + 1;
    }
    return IsSeparator(path[0]) ? 1 : 0;
}

// The root of the volume holding `path`, found from the nearest existing
// folder above it.
std::wstring VolumeRoot(const std::string& path) {
    const std::wstring wide = Utf8ToWide(path);
    wchar_t root[MAX_PATH + 1];
    if (GetVolumePathNameW(wide.c_str(), root, MAX_PATH + 1)) {
        return root;
    }
    return wide.substr(0, RootLength(wide));
}

}  // namespace

std::optional<TLocalTime> FileLastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    FILETIME local;
    SYSTEMTIME fields;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &fields)) {
        return std::nullopt;
    }
    return TLocalTime{fields.wYear, fields.wMonth, fields.wDay, fields.wHour,
                      fields.wMinute, fields.wSecond, fields.wMilliseconds};
}

bool SetFileLastWriteTime(const std::string& path, const TLocalTime& time) {
    SYSTEMTIME fields{};
    fields.wYear = static_cast<WORD>(time.Year);
    fields.wMonth = static_cast<WORD>(time.Month);
    fields.wDay = static_cast<WORD>(time.Day);
    fields.wHour = static_cast<WORD>(time.Hour);
    fields.wMinute = static_cast<WORD>(time.Minute);
    fields.wSecond = static_cast<WORD>(time.Second);
    fields.wMilliseconds = static_cast<WORD>(time.Millisecond);
    FILETIME local;
    FILETIME utc;
    if (!SystemTimeToFileTime(&fields, &local) || !LocalFileTimeToFileTime(&local, &utc)) {
        return false;
    }
    const HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool done = SetFileTime(file, nullptr, nullptr, &utc) != 0;
    CloseHandle(file);
    return done;
}

bool CreateFolders(const std::string& path, std::vector<std::string>& created) {
    const std::wstring wide = Utf8ToWide(path);
    if (wide.empty()) {
        return false;
    }
    size_t at = RootLength(wide);
    while (at <= wide.size()) {
        size_t end = wide.find_first_of(L"\\/", at);
        if (end == std::wstring::npos) {
            end = wide.size();
        }
        if (end > at) {
            const std::wstring prefix = wide.substr(0, end);
            if (GetFileAttributesW(prefix.c_str()) == INVALID_FILE_ATTRIBUTES) {
                if (CreateDirectoryW(prefix.c_str(), nullptr)) {
                    created.push_back(WideToUtf8(prefix));
                } else if (GetLastError() != ERROR_ALREADY_EXISTS) {
                    return false;
                }
            }
        }
        at = end + 1;
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool RemoveEmptyFolder(const std::string& path) { return RemoveDirectoryW(Utf8ToWide(path).c_str()) != 0; }

std::vector<TFolderEntry> ListFolder(const std::string& path) {
    std::vector<TFolderEntry> entries;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((Utf8ToWide(path) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        TFolderEntry entry;
        entry.Name = WideToUtf8(name);
        entry.Link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.Folder = !entry.Link && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

bool RemoveLink(const std::string& path) {
    const std::wstring wide = Utf8ToWide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return false;
    }
    // A directory link (junction) goes with RemoveDirectoryW, which removes
    // the link and leaves its target alone; a file link with DeleteFileW.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return RemoveDirectoryW(wide.c_str()) != 0;
    }
    return DeleteFileW(wide.c_str()) != 0;
}

int64_t ClusterBytes(const std::string& path) {
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD clusters = 0;
    if (!GetDiskFreeSpaceW(VolumeRoot(path).c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &clusters) ||
        sectorsPerCluster == 0 || bytesPerSector == 0) {
        return 4096;
    }
    return static_cast<int64_t>(sectorsPerCluster) * static_cast<int64_t>(bytesPerSector);
}

int64_t FreeDiskBytes(const std::string& path) {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(VolumeRoot(path).c_str(), &available, nullptr, nullptr)) {
        return -1;
    }
    return static_cast<int64_t>(available.QuadPart);
}

}  // namespace quillane
