// The options holder's load and save around the hooks, and the options
// dialog's model.

#include <gtest/gtest.h>

#include "model/ColorScheme.h"
#include "shell/CarefullRegistry.h"
#include "shell/OptionsDialogModel.h"
#include "shell/OptionsHolder.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingMessageBox.h"

namespace quillane {
namespace {

class RecordingHooks final : public TOptionsHooks {
public:
    void Apply(const TOptions& options) override { Applied.push_back(options); }
    void Collect(TOptions& options) override {
        if (Window) {
            options.MainWindow = *Window;
        }
    }
    void ApplyChanged(const TOptions&, const TOptions& after) override { Changed.push_back(after); }
    std::string CurrentFolder() override { return Current; }
    bool OnRemovableDrive(const std::string& folder) override { return folder.rfind("A:", 0) == 0; }
    std::string DesktopFolder() override { return "C:\\Desktop"; }

    std::vector<TOptions> Applied;
    std::vector<TOptions> Changed;
    std::optional<TStoredPlacement> Window;
    std::string Current = "C:\\Now";
};

class OptionsHolderTest : public ::testing::Test {
protected:
    OptionsHolderTest() : holder_(Environment(), hooks_, messages_, [this] { return Storage(); }) {}

    static TOptionsEnvironment Environment() {
        TOptionsEnvironment env;
        env.CurrentFolder = "C:\\Start";
        env.DocumentsFolder = "C:\\Docs";
        return env;
    }
    std::unique_ptr<TSettingsStorage> Storage() {
        return std::make_unique<TCarefullRegistry>(test::OpenMemoryStore(settings_), QuillaneSettingsRoot);
    }
    TSettingsValue Stored(const std::string& key, const char* name) {
        return settings_.Value("Software\\Orvanic\\Quillane.1_x\\" + key, name);
    }
    void LoadFromStore() { holder_.Load(*Storage()); }

    test::TMemorySettings settings_;
    RecordingHooks hooks_;
    test::TRecordingMessageBox messages_;
    TOptionsHolder holder_;
};

TEST_F(OptionsHolderTest, LoadPlacesTheWindowAndAppliesOnce) {
    SetValue(AddSection(settings_.Tree, "HKEY_CURRENT_USER\\Software\\Orvanic\\Quillane.1_x\\Internal\\MainWnd"),
             {"x", TSettingsValueKind::Number, 10000, ""});
    LoadFromStore();
    ASSERT_EQ(1u, hooks_.Applied.size());
    EXPECT_EQ((TStoredPlacement{2, 170, 128, 682, 512}), hooks_.Applied[0].MainWindow);
    // Saved as placed when no window says otherwise.
    ASSERT_TRUE(holder_.Save());
    EXPECT_EQ(170u, Stored("Internal\\MainWnd", "x").Number);
    EXPECT_EQ(682u, Stored("Internal\\MainWnd", "cx").Number);
    hooks_.Window = TStoredPlacement{0, 5, 6, 700, 500};
    ASSERT_TRUE(holder_.Save());
    EXPECT_EQ(5u, Stored("Internal\\MainWnd", "x").Number);
    EXPECT_EQ(0u, Stored("Internal\\MainWnd", "State").Number);
}

TEST_F(OptionsHolderTest, SaveIsIdempotent) {
    LoadFromStore();
    ASSERT_TRUE(holder_.Save());
    const std::string first = settings_.Text();
    ASSERT_TRUE(holder_.Save());  // at the session's end and again at exit
    EXPECT_EQ(first, settings_.Text());
    EXPECT_EQ(1u, Stored("Internal", "RunCount_FREE").Number);
}

TEST_F(OptionsHolderTest, InitDirIsTheDocumentFolderOrTheCurrentOne) {
    struct Case {
        const char* Name;
        bool UseDocFolder;
        const char* DocFolder;
        const char* Current;
        const char* Expected;
    };
    const Case cases[] = {
        {"document folder", true, "D:\\Letters\\", "C:\\Now", "D:\\Letters\\"},
        {"no document folder set", true, "", "C:\\Now", "C:\\Now"},
        {"document folder not used", false, "D:\\Letters\\", "C:\\Now", "C:\\Now"},
        {"current folder on a removable drive", false, "", "A:\\", "C:\\Desktop"},
        {"no current folder known", false, "", "", "C:\\Start"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        holder_.Options().UseDocFolder = c.UseDocFolder;
        holder_.Options().DocFolder = c.DocFolder;
        hooks_.Current = c.Current;
        ASSERT_TRUE(holder_.Save());
        EXPECT_EQ(c.Expected, Stored("Internal", "InitDir").Text);
    }
}

TEST_F(OptionsHolderTest, FailureIsReportedExceptAtTheSessionEnd) {
    LoadFromStore();
    settings_.FailCommit = true;
    EXPECT_FALSE(holder_.Save());
    EXPECT_EQ((std::vector<std::string>{"Error saving options"}), messages_.Shown);
    EXPECT_FALSE(holder_.Save(true));
    EXPECT_EQ(1u, messages_.Shown.size());  // a modal box would hold the shutdown
}

// Lowering "Remember documents" drops older entries of every list at once.
TEST_F(OptionsHolderTest, AcceptingTheDialogTrimsListsAndSaysWhenToReformat) {
    TOptions& options = holder_.Options();
    for (const char* path : {"/1", "/2", "/3", "/4", "/5"}) {
        options.RecentDocs.Add(path, 10);
        options.SaveDocAsFiles.Add(path, 10);
        options.InsertPictureFolders.Add(path, 10);
    }
    TOptions edited = options;
    edited.DocsToKeep = 3;
    EXPECT_FALSE(holder_.AcceptEdited(edited));
    EXPECT_EQ((std::vector<std::string>{"/5", "/4", "/3"}), holder_.Options().RecentDocs.Paths());
    EXPECT_EQ(3u, holder_.Options().SaveDocAsFiles.Paths().size());
    EXPECT_EQ(3u, holder_.Options().InsertPictureFolders.Paths().size());
    ASSERT_EQ(1u, hooks_.Changed.size());

    edited = holder_.Options();
    edited.AccumSBSA = !edited.AccumSBSA;
    EXPECT_TRUE(holder_.AcceptEdited(edited));  // spacing changes every layout
    // Then remembering nothing: the next document opened leaves every list empty.
    edited = holder_.Options();
    edited.DocsToKeep = 0;
    holder_.AcceptEdited(edited);
    holder_.Options().OpenDocFiles.Add("/folder", holder_.Options().DocsToKeep);
    EXPECT_TRUE(holder_.Options().OpenDocFiles.Paths().empty());
    EXPECT_TRUE(holder_.Options().RecentDocs.Paths().empty());
}

TEST(OptionsDialogModel, NumberBoxesRefuseOkAndShowTheirPage) {
    struct Case {
        const char* Name;
        TNumberBox Box;
        const char* Text;
        bool Accepted;
    };
    const Case cases[] = {
        {"30 documents", TNumberBox::DocsToKeep, "30", true},
        {"0 documents", TNumberBox::DocsToKeep, " 0 ", true},
        {"31 documents", TNumberBox::DocsToKeep, "31", false},
        {"-1 documents", TNumberBox::DocsToKeep, "-1", false},
        {"empty", TNumberBox::DocsToKeep, "", false},
        {"letters", TNumberBox::DocsToKeep, "1a", false},
        {"overflow", TNumberBox::DocsToKeep, "99999999999", false},
        {"18 digits", TNumberBox::DigitsBeforePoint, "18", true},
        {"19 digits", TNumberBox::DigitsBeforePoint, "19", false},
        {"0 digits after", TNumberBox::DigitsAfterPoint, "0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TOptions options;
        options.EditOptionsTab = 2;
        TOptionsDialogModel model(options, false);
        EXPECT_EQ(TOptionsPage::Edit, model.StartPage());
        model.SetNumberText(c.Box, c.Text);
        const std::optional<TOptions> result = model.Accept();
        EXPECT_EQ(c.Accepted, result.has_value());
        if (c.Accepted) {
            EXPECT_EQ(2, result->EditOptionsTab);  // the page shown last is remembered
        } else {
            EXPECT_EQ(NumberBoxInfo(c.Box).Page, model.CurrentPage());
        }
    }
}

// Every check box reads back on OK: turning all of them over changes
// exactly the options the table names.
TEST(OptionsDialogModel, EveryControlIsReadBack) {
    TOptions options;
    TOptionsDialogModel model(options, false);
    for (const TOptionsCheckBox& box : OptionsCheckBoxes) {
        bool& field = box.Field(model.Edited());
        field = !field;
    }
    model.SetScrollBar(0, false);
    model.SetNumberText(TNumberBox::DocsToKeep, "7");
    model.SetNumberText(TNumberBox::DigitsAfterPoint, "2");
    model.Edited().Measurements = 2;
    model.Edited().PictDrawing = 1;
    model.Edited().ResHandling = 0;
    model.ShowPage(TOptionsPage::HotCalculator);
    const std::optional<TOptions> result = model.Accept();
    ASSERT_TRUE(result);
    TOptions expected = options;
    for (const TOptionsCheckBox& box : OptionsCheckBoxes) {
        bool& field = box.Field(expected);
        field = !field;
    }
    expected.View.ScrollBars = 2;
    expected.DocsToKeep = 7;
    expected.DigitsAfterPoint = 2;
    expected.Measurements = 2;
    expected.PictDrawing = 1;
    expected.ResHandling = 0;
    expected.EditOptionsTab = 4;
    EXPECT_EQ(expected, *result);
    EXPECT_EQ(28u, OptionsCheckBoxes.size());
}

TEST(OptionsDialogModel, EnablingFolderAndColourScheme) {
    TOptions options;
    options.UseDocFolder = false;
    TOptionsDialogModel hidden(options, true);
    EXPECT_FALSE(hidden.ViewChecksEnabled());
    EXPECT_FALSE(hidden.FolderControlsEnabled());
    hidden.Edited().UseDocFolder = true;
    EXPECT_TRUE(hidden.FolderControlsEnabled());
    hidden.SetBrowsedFolder("C:\\Letters", '\\');
    EXPECT_EQ("C:\\Letters\\", hidden.Edited().DocFolder);
    hidden.SetBrowsedFolder("C:\\", '\\');
    EXPECT_EQ("C:\\", hidden.Edited().DocFolder);

    // A named scheme is chosen by name; a stored scheme that is none of them
    // shows as "Custom" and can be chosen again after trying another.
    EXPECT_EQ(NamedSchemeCount, static_cast<int32_t>(hidden.SchemeChoices().size()));
    EXPECT_EQ(0, hidden.SchemeChoice());  // empty: "Standard"
    options.ColorScheme = "000000FF";
    TOptionsDialogModel custom(options, false);
    ASSERT_EQ(NamedSchemeCount + 1, static_cast<int32_t>(custom.SchemeChoices().size()));
    EXPECT_EQ("Custom", custom.SchemeChoices().back());
    custom.SetSchemeChoice(1);
    EXPECT_EQ(NamedSchemes[1].Text, custom.Edited().ColorScheme);
    custom.SetSchemeChoice(NamedSchemeCount);
    EXPECT_EQ("000000FF", custom.Edited().ColorScheme);
}

}  // namespace
}  // namespace quillane
