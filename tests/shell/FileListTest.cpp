// Remembered files and folders: order, trimming, and what is stored.

#include <gtest/gtest.h>

#include "shell/CarefullRegistry.h"
#include "shell/FileList.h"
#include "support/MemorySettingsStore.h"

namespace quillane {
namespace {

using Paths = std::vector<std::string>;

TFileList ListOf(const Paths& paths) {
    TFileList list;
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        list.Add(*it, TFileList::MaxEntries);
    }
    return list;
}

TEST(FileList, AddPutsThePathFirstAndKeepsAtMostDocsToKeep) {
    struct Case {
        const char* Name;
        Paths Before;
        const char* Added;
        int32_t DocsToKeep;
        Paths After;
    };
    const Case cases[] = {
        {"into empty", {}, "a", 10, {"a"}},
        {"new in front", {"a", "b"}, "c", 10, {"c", "a", "b"}},
        {"listed moves to front", {"a", "b", "c"}, "c", 10, {"c", "a", "b"}},
        {"full drops the last", {"a", "b", "c"}, "d", 3, {"d", "a", "b"}},
        {"listed in a full list drops nothing", {"a", "b", "c"}, "b", 3, {"b", "a", "c"}},
        {"longer than the limit is trimmed", {"a", "b", "c", "d"}, "b", 2, {"b", "a"}},
        {"one to keep", {"a", "b"}, "c", 1, {"c"}},
        // Remembering nothing: no -1 trim, the list only empties.
        {"zero to keep", {"a", "b"}, "c", 0, {}},
        {"zero to keep, listed", {"a", "b"}, "a", 0, {}},
        {"negative to keep", {"a"}, "c", -5, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFileList list = ListOf(c.Before);
        list.Add(c.Added, c.DocsToKeep);
        EXPECT_EQ(c.After, list.Paths());
    }
}

TEST(FileList, TrimAndRemoveObsolete) {
    TFileList list = ListOf({"a", "b", "c", "d"});
    list.Trim(-1);  // below 0 is 0, never an endless loop
    EXPECT_TRUE(list.Paths().empty());
    list = ListOf({"a", "b", "c", "d"});
    list.Trim(2);
    EXPECT_EQ((Paths{"a", "b"}), list.Paths());
    list.Trim(5);
    EXPECT_EQ((Paths{"a", "b"}), list.Paths());
    list = ListOf({"keep1", "gone", "keep2"});
    list.RemoveObsolete([](const std::string& p) { return p.rfind("keep", 0) == 0; });
    EXPECT_EQ((Paths{"keep1", "keep2"}), list.Paths());
}

TEST(FileList, EntryNamesRunFromAToCaret) {
    EXPECT_EQ("A", TFileList::EntryName(0));
    EXPECT_EQ("Z", TFileList::EntryName(25));
    EXPECT_EQ("[", TFileList::EntryName(26));
    EXPECT_EQ("\\", TFileList::EntryName(27));
    EXPECT_EQ("]", TFileList::EntryName(28));
    EXPECT_EQ("^", TFileList::EntryName(29));
}

class FileListStorage : public ::testing::Test {
protected:
    const std::string Key = "Software\\Orvanic\\QuillaneTest\\RecentDocs";
    std::unique_ptr<TCarefullRegistry> Storage() {
        auto storage =
            std::make_unique<TCarefullRegistry>(test::OpenMemoryStore(settings_), "Software\\Orvanic\\QuillaneTest");
        storage->OpenKey("RecentDocs");
        return storage;
    }
    void Seed(const TRegValue& v) { SetValue(AddSection(settings_.Tree, "HKEY_CURRENT_USER\\" + Key), v); }
    test::TMemorySettings settings_;
};

// Thirty entries use every letter up to "^", and come back in order.
TEST_F(FileListStorage, ThirtyEntriesRoundTrip) {
    Paths paths;
    for (int i = 0; i < 30; ++i) {
        paths.push_back("/docs/file" + std::to_string(i) + ".rtf");
    }
    const TFileList list = ListOf(paths);
    {
        auto storage = Storage();
        list.SaveTo(*storage);
        ASSERT_TRUE(storage->Finish());
    }
    EXPECT_EQ(30u, settings_.Value(Key, "Count").Number);
    EXPECT_EQ("/docs/file27.rtf", settings_.Value(Key, "\\").Text);
    EXPECT_EQ("/docs/file29.rtf", settings_.Value(Key, "^").Text);
    auto storage = Storage();
    TFileList back;
    back.LoadFrom(*storage);
    EXPECT_EQ(paths, back.Paths());
}

// Loading skips blanks and gaps (never a blank path); a limit takes the
// first entries; saving deletes every value past the new count up to "^".
TEST_F(FileListStorage, LoadSkipsGapsAndSaveDeletesWhatWasRemoved) {
    Seed({"Count", TSettingsValueKind::Number, 6, ""});
    Seed({"A", TSettingsValueKind::String, 0, "/a"});
    Seed({"B", TSettingsValueKind::String, 0, ""});
    Seed({"D", TSettingsValueKind::Number, 4, ""});
    Seed({"E", TSettingsValueKind::String, 0, "/e"});
    Seed({"F", TSettingsValueKind::String, 0, "/a"});  // listed twice: once
    Seed({"^", TSettingsValueKind::String, 0, "/stale"});
    {
        auto storage = Storage();
        TFileList list;
        list.LoadFrom(*storage);
        EXPECT_EQ((Paths{"/a", "/e"}), list.Paths());
        TFileList limited;
        limited.LoadFrom(*storage, 1);
        EXPECT_EQ((Paths{"/a"}), limited.Paths());
        limited.SaveTo(*storage);
        ASSERT_TRUE(storage->Finish());
    }
    EXPECT_EQ(1u, settings_.Value(Key, "Count").Number);
    for (const char* gone : {"B", "D", "E", "F", "^"}) {
        EXPECT_EQ(TSettingsValueKind::Missing, settings_.Value(Key, gone).Kind) << gone;
    }
    // Count damaged: more than 30 reads as 30; negative as none.
    Seed({"Count", TSettingsValueKind::Number, 0xFFFFFFFFu, ""});
    auto storage = Storage();
    TFileList list;
    list.LoadFrom(*storage);
    EXPECT_TRUE(list.Paths().empty());
}

}  // namespace
}  // namespace quillane
