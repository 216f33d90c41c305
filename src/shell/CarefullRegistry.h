#pragma once
// The settings storage over the user's settings store (the registry on
// Windows, the settings file on POSIX). It never trusts what it reads: a
// number is clamped to its range, a value of the wrong type reads as
// missing, and a long string whose piece count is damaged reads as its
// default instead of being assembled from billions of pieces.

#include <memory>
#include <string>

#include "platform/SettingsStore.h"
#include "shell/SettingsStorage.h"

namespace quillane {

// The program's own root below the user's hive.
extern const char QuillaneSettingsRoot[];  // "\\Software\\Orvanic\\Quillane.1_x\\"

class TCarefullRegistry final : public TSettingsStorage {
public:
    // Long strings are stored in pieces of this many characters; at most
    // MaxLongStringPieces (1 MiB of characters) are read back.
    static constexpr int32_t LongStringPiece = 512;
    static constexpr int32_t MaxLongStringPieces = 2048;

    TCarefullRegistry(std::unique_ptr<TSettingsStore> store, std::string rootPath);
    TCarefullRegistry(const TCarefullRegistry&) = delete;
    TCarefullRegistry& operator=(const TCarefullRegistry&) = delete;

    bool OpenKey(const std::string& relativePath) override;
    bool ReadBool(const std::string& name, bool defaultValue) override;
    int32_t ReadInteger(const std::string& name, int32_t min, int32_t defaultValue, int32_t max) override;
    std::string ReadString(const std::string& name, const std::string& defaultValue) override;
    std::string ReadLongString(const std::string& key, const std::string& defaultValue) override;
    void WriteBool(const std::string& name, bool value) override;
    void WriteInteger(const std::string& name, int32_t value) override;
    void WriteString(const std::string& name, const std::string& value) override;
    void WriteLongString(const std::string& key, const std::string& value) override;
    bool HasValue(const std::string& name) override;
    void DeleteValue(const std::string& name) override;
    bool Finish() override;

    const std::string& RootPath() const { return root_; }

private:
    TSettingsValue Read(const std::string& name);
    void Written(bool ok) { failed_ = failed_ || !ok; }

    std::unique_ptr<TSettingsStore> store_;
    std::string root_;
    std::string keyPath_;                // relative path of the open key
    std::unique_ptr<TSettingsKey> key_;  // null when none is open or it could not be made
    bool failed_ = false;
};

}  // namespace quillane
