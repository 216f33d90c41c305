#include "model/StyleManager.h"

#include <string>

#include "model/BuiltInStyles.h"
#include "platform/MessageBox.h"

namespace quillane {

TStyleManager::TStyleManager(int32_t normalFontIndex) {
    auto normal = std::make_unique<TStyle>(BuiltInStyleName(0));
    normal->BasedOn = -1;
    normal->NextStyle = 0;
    normal->CharAttrs[caFont] = normalFontIndex;
    normal->CharAttrs[caSize] = 20;
    master_.Add(std::move(normal));
    for (int32_t i = 1; i <= 9; ++i) {
        master_.Add(std::make_unique<TStyle>(BuiltInStyleName(i)));
    }
    ClassifyNames(master_);
}

void TStyleManager::ClassifyNames(TStyleList& list) { ClassifyStyleNames(list); }

void TStyleManager::ImportMaster(TStyleList& list) const {
    TImportStylesInfo info;
    info.Source = &master_;
    info.Indexes = {0};
    TSilentMessageBox nobody;  // nothing is replaced, so nothing is asked
    list.Import(info, false, nobody);
}

int32_t TStyleManager::FindOrCreate(const TStyleList& list, const TStyleRequest& request, TMessageBox& messages,
                                    TCreatedStyle& created) {
    created = TCreatedStyle{};
    int32_t found = list.FindByDisplayName(request.TypedName);
    if (found < 0) {
        found = list.FindByName(request.TypedName);
    }
    if (found >= 0) {
        return found;
    }
    if (request.TypedName.empty()) {
        if (request.Required) {
            messages.Show("Style name cannot be blank", TMessageKind::Warning, TMessageButtons::Ok);
        }
        return -1;
    }
    const std::string question = FormatMessageText(
        "Style with name \"%s\" is absent from the Document Style List.||"
        "Add as new Style to the Document Style List using the formatting of the selected text?",
        {request.TypedName});
    if (messages.Show(question, TMessageKind::Confirmation, TMessageButtons::YesNo) != TMessageAnswer::Yes) {
        return -1;
    }
    auto copy = std::make_unique<TStyleList>(list.Tabs());
    copy->AssignFrom(list);
    auto style = std::make_unique<TStyle>(request.TypedName);
    style->CharAttrs = request.Char;
    style->ParAttrs = request.Par;
    int32_t parent = request.SelectionStyle == UndefinedAttr ? 0 : request.SelectionStyle;
    if (!copy->ValidIndex(parent)) {
        parent = -1;
    }
    style->BasedOn = parent;
    const int32_t index = copy->StyleCount();
    // A paragraph after one in the new style continues like one after its
    // parent, unless the parent simply repeats itself.
    if (parent < 0 || copy->Style(parent).NextStyle == parent) {
        style->NextStyle = index;
    } else {
        style->NextStyle = copy->ValidIndex(copy->Style(parent).NextStyle) ? copy->Style(parent).NextStyle : index;
    }
    copy->Add(std::move(style));
    ClassifyNames(*copy);
    created.List = std::move(copy);
    created.Index = index;
    created.Created = true;
    return index;
}

}  // namespace quillane
