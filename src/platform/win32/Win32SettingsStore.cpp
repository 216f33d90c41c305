// The settings store on Windows: the registry under HKEY_CURRENT_USER,
// written at once (the registry itself makes each write durable). Text goes
// to and from UTF-16; numbers are REG_DWORD.

#include <windows.h>

#include <string>

#include "platform/RegFile.h"
#include "platform/SettingsStore.h"
#include "platform/win32/WideText.h"

namespace quillane {

namespace {

class TRegistryKey final : public TSettingsKey {
public:
    explicit TRegistryKey(HKEY key) : key_(key) {}
    ~TRegistryKey() override { RegCloseKey(key_); }
    TRegistryKey(const TRegistryKey&) = delete;
    TRegistryKey& operator=(const TRegistryKey&) = delete;

    TSettingsValue Read(const std::string& name) override {
        TSettingsValue result;
        const std::wstring wideName = Utf8ToWide(name);
        DWORD type = 0;
        DWORD size = 0;
        LONG status = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) {
            return result;
        }
        if (type == REG_DWORD && size == sizeof(DWORD)) {
            DWORD number = 0;
            size = sizeof number;
            if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD) {
                result.Kind = TSettingsValueKind::Number;
                result.Number = number;
            }
            return result;
        }
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            result.Kind = TSettingsValueKind::Other;
            return result;
        }
        // The value may change between the two queries: ask again until the
        // buffer holds it whole.
        std::wstring text;
        for (int attempt = 0; attempt < 4; ++attempt) {
            text.assign(size / sizeof(wchar_t) + 1, L'\0');
            DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
            status = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                                      &bytes);
            if (status == ERROR_MORE_DATA) {
                size = bytes;
                continue;
            }
            if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
                return result;
            }
            // Stored strings need not end in a null; stop at the first one.
            text.resize(bytes / sizeof(wchar_t));
            const size_t end = text.find(L'\0');
            if (end != std::wstring::npos) {
                text.resize(end);
            }
            result.Kind = TSettingsValueKind::String;
            result.Text = WideToUtf8(text);
            return result;
        }
        return result;
    }

    bool WriteNumber(const std::string& name, uint32_t value) override {
        const DWORD number = value;
        return RegSetValueExW(key_, Utf8ToWide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                              sizeof number) == ERROR_SUCCESS;
    }

    bool WriteString(const std::string& name, const std::string& value) override {
        const std::wstring text = Utf8ToWide(value);
        return RegSetValueExW(key_, Utf8ToWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

    bool DeleteValue(const std::string& name) override {
        const LONG status = RegDeleteValueW(key_, Utf8ToWide(name).c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }

private:
    HKEY key_;
};

class TRegistryStore final : public TSettingsStore {
public:
    std::unique_ptr<TSettingsKey> OpenKey(const std::string& path, bool create) override {
        const std::wstring widePath = Utf8ToWide(NormalizeKeyPath(path));
        HKEY key = nullptr;
        const LONG status =
            create ? RegCreateKeyExW(HKEY_CURRENT_USER, widePath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
                   : RegOpenKeyExW(HKEY_CURRENT_USER, widePath.c_str(), 0, KEY_READ | KEY_WRITE, &key);
        if (status != ERROR_SUCCESS) {
            return nullptr;
        }
        return std::make_unique<TRegistryKey>(key);
    }

    bool DeleteTree(const std::string& path) override {
        const std::wstring widePath = Utf8ToWide(NormalizeKeyPath(path));
        if (widePath.empty()) {
            return false;  // never the user's whole hive
        }
        // With a subkey named, the key itself goes too.
        const LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, widePath.c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }

    bool Commit() override { return true; }
};

}  // namespace

std::unique_ptr<TSettingsStore> OpenUserSettingsStore() { return std::make_unique<TRegistryStore>(); }

}  // namespace quillane
