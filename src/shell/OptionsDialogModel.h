#pragma once
// What the options dialog edits and how it checks it, apart from its
// windows: a copy of the options, the number boxes' texts as typed, the
// colour scheme choice, and the rules that enable controls. The property
// sheet maps its controls onto this model and calls Accept on OK.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/Options.h"

namespace quillane {

enum class TOptionsPage : int32_t { General = 0, View = 1, Edit = 2, LoadSave = 3, HotCalculator = 4 };

extern const char* const OptionsPageTitles[5];  // "General", "View", "Edit", "Load / Save", "Hot Calculator"

// A check box and the option it edits.
struct TOptionsCheckBox {
    TOptionsPage Page;
    const char* Caption;
    bool& (*Field)(TOptions&);
};
extern const std::vector<TOptionsCheckBox> OptionsCheckBoxes;

enum class TNumberBox { DocsToKeep, DigitsBeforePoint, DigitsAfterPoint };

struct TNumberBoxInfo {
    TOptionsPage Page;
    const char* Caption;
    int32_t Min;
    int32_t Max;
};
const TNumberBoxInfo& NumberBoxInfo(TNumberBox box);

// The first value of a number box's text, or none when the text is not a
// whole number within min..max.
std::optional<int32_t> ParseNumberBox(const std::string& text, int32_t min, int32_t max);

class TOptionsDialogModel {
public:
    // hideAll: the view's "Hide All" mode, which disables the view checks.
    TOptionsDialogModel(const TOptions& options, bool hideAll);

    TOptions& Edited() { return edited_; }
    TOptionsPage StartPage() const { return static_cast<TOptionsPage>(edited_.EditOptionsTab); }
    void ShowPage(TOptionsPage page) { page_ = page; }
    TOptionsPage CurrentPage() const { return page_; }

    const std::string& NumberText(TNumberBox box) const { return numbers_[static_cast<size_t>(box)]; }
    void SetNumberText(TNumberBox box, std::string text) { numbers_[static_cast<size_t>(box)] = std::move(text); }

    // The view page's "Horizontal scrollbar" and "Vertical scrollbar".
    bool ScrollBar(int32_t bit) const { return (edited_.View.ScrollBars >> bit) & 1; }
    void SetScrollBar(int32_t bit, bool on);

    bool ViewChecksEnabled() const { return !hideAll_; }
    bool FolderControlsEnabled() const { return edited_.UseDocFolder; }
    // A folder chosen with Browse, given its trailing separator.
    void SetBrowsedFolder(std::string folder, char separator);

    // The colour scheme drop-down: every named scheme, and "Custom" at the
    // end when the stored scheme is none of them.
    const std::vector<std::string>& SchemeChoices() const { return schemeChoices_; }
    int32_t SchemeChoice() const { return schemeChoice_; }
    void SetSchemeChoice(int32_t index);

    // OK: every number box is checked; the first invalid one's page comes to
    // the front and OK is refused (none). Otherwise the edited options, with
    // the page shown last remembered.
    std::optional<TOptions> Accept();

private:
    TOptions edited_;
    bool hideAll_;
    TOptionsPage page_;
    std::vector<std::string> numbers_;
    std::vector<std::string> schemeChoices_;
    int32_t schemeChoice_ = 0;
    std::string customScheme_;
};

}  // namespace quillane
