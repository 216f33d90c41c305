#pragma once
// Copied paragraph formatting, ready to paste into any document: the
// attribute record without its style, and the stops of its tab table kept
// privately since the source document's pool may not be the target's.

#include "model/ParAttrs.h"
#include "model/TabTable.h"

namespace quillane {

class TTabManager;

class TParFormatingStateClipboard {
public:
    bool HasContent() const { return hasContent_; }
    void Copy(const TParAttrs& attrs, const TTabManager& tabs);
    // The stored record, its tab table interned into the target's pool.
    TParAttrs Paste(TTabManager& tabs) const;

private:
    bool hasContent_ = false;
    TParAttrs attrs_;
    TTabTable stops_;
};

}  // namespace quillane
