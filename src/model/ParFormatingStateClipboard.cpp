#include "model/ParFormatingStateClipboard.h"

#include "model/TabManager.h"

namespace quillane {

void TParFormatingStateClipboard::Copy(const TParAttrs& attrs, const TTabManager& tabs) {
    attrs_ = attrs;
    attrs_[paStyle] = UndefinedAttr;
    stops_.Clear();
    if (tabs.ValidIndex(attrs[paTabTable])) {
        stops_.CopyFrom(tabs.Table(attrs[paTabTable]));
    }
    hasContent_ = true;
}

TParAttrs TParFormatingStateClipboard::Paste(TTabManager& tabs) const {
    TParAttrs attrs = attrs_;
    if (attrs[paTabTable] != UndefinedAttr && attrs[paTabTable] != -1) {
        attrs[paTabTable] = tabs.Intern(stops_);
    }
    return attrs;
}

}  // namespace quillane
