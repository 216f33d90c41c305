#pragma once
// The user's settings as the system keeps them: a tree of keys below the
// user's own root, each holding named values that are numbers (32 bits) or
// strings. On Windows this is the registry under HKEY_CURRENT_USER; on POSIX
// a text file in the registry's export syntax. Key and value names compare
// without case, as the registry compares them. Strings are UTF-8.
//
// Writes may be kept until Commit: the registry writes at once, the file
// store writes its file only then. A store whose file could not be read
// refuses to commit rather than overwrite what it never saw.

#include <cstdint>
#include <memory>
#include <string>

namespace quillane {

enum class TSettingsValueKind {
    Missing,
    Number,  // a 32-bit number (REG_DWORD, "dword:")
    String,  // text (REG_SZ or REG_EXPAND_SZ, a quoted string)
    Other,   // any other type: kept, never interpreted
};

struct TSettingsValue {
    TSettingsValueKind Kind = TSettingsValueKind::Missing;
    uint32_t Number = 0;
    std::string Text;  // UTF-8, for strings
};

class TSettingsKey {
public:
    virtual ~TSettingsKey() = default;
    virtual TSettingsValue Read(const std::string& name) = 0;
    // Each returns false when the system refused the change.
    virtual bool WriteNumber(const std::string& name, uint32_t value) = 0;
    virtual bool WriteString(const std::string& name, const std::string& value) = 0;
    // Deleting a value that does not exist succeeds.
    virtual bool DeleteValue(const std::string& name) = 0;
};

class TSettingsStore {
public:
    virtual ~TSettingsStore() = default;
    // The key at a path below the user's root ("Software\\Orvanic\\..."),
    // with "\" between key names. With create, missing keys along the path
    // are made; without it a missing key gives null.
    virtual std::unique_ptr<TSettingsKey> OpenKey(const std::string& path, bool create) = 0;
    // Removes a key with everything below it; a missing key succeeds. Tests
    // clean up their own roots with it.
    virtual bool DeleteTree(const std::string& path) = 0;
    // Makes every write so far durable; false when that failed (then the
    // stored settings are those from before this store's writes).
    virtual bool Commit() = 0;
};

// The store of the user who runs the program. On POSIX the file named by
// $QUILLANE_SETTINGS, else $XDG_CONFIG_HOME/quillane/registry.reg, else
// ~/.config/quillane/registry.reg.
std::unique_ptr<TSettingsStore> OpenUserSettingsStore();

}  // namespace quillane
