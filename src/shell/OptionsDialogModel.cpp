#include "shell/OptionsDialogModel.h"

#include <algorithm>
#include <charconv>

#include "model/ColorScheme.h"

namespace quillane {

const char* const OptionsPageTitles[5] = {"General", "View", "Edit", "Load / Save", "Hot Calculator"};

#define FIELD(member) [](TOptions& o) -> bool& { return o.member; }

const std::vector<TOptionsCheckBox> OptionsCheckBoxes = {
    {TOptionsPage::General, "Create a &new document at startup", FIELD(NewDocAtStartUp)},
    {TOptionsPage::General, "&Continuous numeration", FIELD(NewDocsContNum)},
    {TOptionsPage::General, "Always show tem&plates window", FIELD(AlwaysShowTemplWnd)},
    {TOptionsPage::General, "Always show &full paths", FIELD(FullPaths)},
    {TOptionsPage::General, "Minimize to &system tray when closed", FIELD(MoveToSysTray)},
    {TOptionsPage::General, "Offer document prop&erties on saving", FIELD(OfferDocProp)},
    {TOptionsPage::View, "R&uler", FIELD(View.Ruler)},
    {TOptionsPage::View, "D&ocument bar", FIELD(View.DocBtnBar)},
    {TOptionsPage::View, "&Status bar", FIELD(View.StatusBar)},
    {TOptionsPage::Edit, "&Replace selection on input", FIELD(ReplaceSel)},
    {TOptionsPage::Edit, "Enable &Drag && Drop", FIELD(DragDrop)},
    {TOptionsPage::Edit, "&Group undo", FIELD(GroupUndo)},
    {TOptionsPage::Edit, "Undo &after save", FIELD(UndoAfterSave)},
    {TOptionsPage::Edit, "&Find word at cursor", FIELD(FindWordAtCursor)},
    {TOptionsPage::Edit, "Select w&hole words automatically", FIELD(SelWholeWords)},
    {TOptionsPage::Edit, "&Zigzag block selection mode", FIELD(StepLikeColumns)},
    {TOptionsPage::Edit, "&Smart Cut && Paste", FIELD(WiseCutPaste)},
    {TOptionsPage::Edit, "A&nticipatory scrolling", FIELD(DiscrVerScroll)},
    {TOptionsPage::Edit, "F&ormat without selection", FIELD(FmtWithoutSel)},
    {TOptionsPage::Edit, "&Treat Internet addresses as words", FIELD(TreatURLsAsWords)},
    {TOptionsPage::Edit, "Cu&mulative spacing between paragraphs", FIELD(AccumSBSA)},
    {TOptionsPage::LoadSave, "Save s&upercompact RTF documents", FIELD(SuperCmpctSave)},
    {TOptionsPage::LoadSave, "E&xtract file name from document", FIELD(GetFileNameFromDoc)},
    {TOptionsPage::LoadSave, "Save cursor &position", FIELD(SaveCaretPos)},
    {TOptionsPage::LoadSave, "Create &backup file", FIELD(CreateBackup)},
    {TOptionsPage::LoadSave, "Use &Document Folder:", FIELD(UseDocFolder)},
    {TOptionsPage::HotCalculator, "Enable auto&detection of expressions", FIELD(Autodetect)},
    {TOptionsPage::HotCalculator, "B&eep after successful calculation", FIELD(Beep)},
};

#undef FIELD

namespace {

const TNumberBoxInfo NumberBoxes[] = {
    {TOptionsPage::General, "&Remember documents:", 0, 30},
    {TOptionsPage::HotCalculator, "digits &before point", 1, 18},
    {TOptionsPage::HotCalculator, "digits &after point", 1, 18},
};

int32_t& NumberField(TOptions& options, TNumberBox box) {
    switch (box) {
        case TNumberBox::DocsToKeep: return options.DocsToKeep;
        case TNumberBox::DigitsBeforePoint: return options.DigitsBeforePoint;
        case TNumberBox::DigitsAfterPoint: break;
    }
    return options.DigitsAfterPoint;
}

constexpr TNumberBox AllNumberBoxes[] = {TNumberBox::DocsToKeep, TNumberBox::DigitsBeforePoint,
                                         TNumberBox::DigitsAfterPoint};

}  // namespace

const TNumberBoxInfo& NumberBoxInfo(TNumberBox box) { return NumberBoxes[static_cast<size_t>(box)]; }

std::optional<int32_t> ParseNumberBox(const std::string& text, int32_t min, int32_t max) {
    const auto begin = text.find_first_not_of(' ');
    const auto end = text.find_last_not_of(' ');
    if (begin == std::string::npos) {
        return std::nullopt;
    }
    int32_t value = 0;
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    const auto [ptr, error] = std::from_chars(first, last, value);
    if (error != std::errc() || ptr != last || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

TOptionsDialogModel::TOptionsDialogModel(const TOptions& options, bool hideAll)
    : edited_(options), hideAll_(hideAll), page_(static_cast<TOptionsPage>(std::clamp(options.EditOptionsTab, 0, 4))) {
    for (TNumberBox box : AllNumberBoxes) {
        numbers_.push_back(std::to_string(NumberField(edited_, box)));
    }
    schemeChoice_ = -1;
    for (int32_t i = 0; i < NamedSchemeCount; ++i) {
        schemeChoices_.push_back(NamedSchemes[i].Name);
        if (edited_.ColorScheme == NamedSchemes[i].Text) {
            schemeChoice_ = i;
        }
    }
    if (schemeChoice_ < 0) {
        schemeChoices_.push_back("Custom");
        schemeChoice_ = NamedSchemeCount;
        customScheme_ = edited_.ColorScheme;
    }
}

void TOptionsDialogModel::SetScrollBar(int32_t bit, bool on) {
    const int32_t mask = 1 << bit;
    edited_.View.ScrollBars = on ? (edited_.View.ScrollBars | mask) : (edited_.View.ScrollBars & ~mask);
}

void TOptionsDialogModel::SetBrowsedFolder(std::string folder, char separator) {
    if (!folder.empty() && folder.back() != separator) {
        folder += separator;
    }
    edited_.DocFolder = std::move(folder);
}

void TOptionsDialogModel::SetSchemeChoice(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(schemeChoices_.size())) {
        return;
    }
    schemeChoice_ = index;
    edited_.ColorScheme = index < NamedSchemeCount ? NamedSchemes[index].Text : customScheme_;
}

std::optional<TOptions> TOptionsDialogModel::Accept() {
    TOptions result = edited_;
    for (TNumberBox box : AllNumberBoxes) {
        const TNumberBoxInfo& info = NumberBoxInfo(box);
        const std::optional<int32_t> value = ParseNumberBox(NumberText(box), info.Min, info.Max);
        if (!value) {
            page_ = info.Page;
            return std::nullopt;
        }
        NumberField(result, box) = *value;
    }
    result.EditOptionsTab = static_cast<int32_t>(page_);
    return result;
}

}  // namespace quillane
