#pragma once
// A settings store in memory for tests, over the same tree the file store
// keeps, with switches that make writes or the commit fail. Text() shows the
// tree in the registry-export form.

#include <memory>
#include <string>

#include "platform/RegFile.h"
#include "platform/SettingsStore.h"

namespace quillane::test {

struct TMemorySettings {
    TRegDocument Tree;
    bool FailWrites = false;
    bool FailCommit = false;
    int Commits = 0;

    std::string Text() const { return FormatRegText(Tree); }
    // The value at "Key\\Path" below HKEY_CURRENT_USER.
    TSettingsValue Value(const std::string& path, const std::string& name);
};

// A store over shared settings (not owned; they outlive the store), so a
// test can make several stores over one tree as the program makes several
// storages over the one registry.
std::unique_ptr<TSettingsStore> OpenMemoryStore(TMemorySettings& settings);

}  // namespace quillane::test
