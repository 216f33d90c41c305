#include <windows.h>
#include <shlobj.h>

#include "platform/UserEnvironment.h"
#include "platform/win32/WideText.h"

namespace quillane {

TScreenSize PrimaryScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

bool UserLocaleIsMetric() {
    // LOCALE_IMEASURE: "0" metric, "1" U.S.
    wchar_t value[4] = {};
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, value, 4) == 0 || value[0] != L'1';
}

std::string UserDocumentsFolder() {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path))) {
        std::string folder = WideToUtf8(path);
        while (folder.size() > 3 && folder.back() == '\\') {
            folder.pop_back();
        }
        return folder;
    }
    return {};
}

uint16_t UserDefaultLanguage() { return GetUserDefaultLangID(); }

bool SamePathText(std::string_view a, std::string_view b) {
    const std::wstring wa = Utf8ToWide(std::string(a));
    const std::wstring wb = Utf8ToWide(std::string(b));
    return CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(), static_cast<int>(wb.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace quillane
