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

}  // namespace quillane
