#include "editing/FormatStyles.h"

#include <algorithm>

#include "editing/DocumentEditor.h"
#include "model/Document.h"
#include "model/TabManager.h"

namespace quillane {

int64_t TFormatStyleListInfo::MemorySize() const {
    int64_t size = sizeof(*this) + static_cast<int64_t>((DeletedStyles.size() + ChangedStyles.size()) * 4);
    if (StyleList) {
        for (int32_t i = 0; i < StyleList->StyleCount(); ++i) {
            const TStyle& style = StyleList->Style(i);
            size += sizeof(TStyle) + static_cast<int64_t>(style.Name.size() + style.DisplayName.size());
        }
    }
    return size;
}

int64_t TFormatStyleListOperation::MemorySize() const {
    return int64_t{sizeof(*this)} + (Info ? Info->MemorySize() : 0) + (Nested ? Nested->MemorySize() : 0);
}

void TFormatStyleListOperation::ExchangeLists() {
    TStyleList& current = Document.Styles();
    TStyleList previous(&Document.Tabs());
    previous.AssignFrom(current);
    current.AssignFrom(*Info->StyleList);
    Info->StyleList->AssignFrom(previous);
}

void TFormatStyleListOperation::Restyle(TChangeRecord& change) {
    // Info now holds the old list; the document the new one.
    const TStyleList& old = *Info->StyleList;
    const TStyleList& fresh = Document.Styles();
    const int32_t count = old.StyleCount();
    std::vector<int32_t> newIndex(static_cast<size_t>(count));
    std::vector<bool> flagged(static_cast<size_t>(count), false);
    auto deleted = [&](int32_t i) {
        return std::find(Info->DeletedStyles.begin(), Info->DeletedStyles.end(), i) != Info->DeletedStyles.end();
    };
    int32_t removed = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!deleted(i)) {
            newIndex[static_cast<size_t>(i)] = i - removed;
            flagged[static_cast<size_t>(i)] =
                std::find(Info->ChangedStyles.begin(), Info->ChangedStyles.end(), i) != Info->ChangedStyles.end();
            continue;
        }
        ++removed;
        flagged[static_cast<size_t>(i)] = true;
    }
    for (int32_t i = 0; i < count; ++i) {
        if (!deleted(i)) {
            continue;
        }
        // The style of the same name in the new list, else the nearest
        // surviving ancestor, else "Normal".
        int32_t target = fresh.FindByName(old.Style(i).Name);
        if (target < 0) {
            std::vector<int32_t> chain;
            old.Ancestors(i, chain);
            target = 0;
            for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
                if (*it >= 0 && *it < count && !deleted(*it)) {
                    target = newIndex[static_cast<size_t>(*it)];
                    break;
                }
            }
        }
        newIndex[static_cast<size_t>(i)] = fresh.ValidIndex(target) ? target : 0;
    }
    TDocumentEditor& editor = *editor_;
    auto keyOf = [&](int32_t p) {
        const int32_t style = Document.Paragraph(p).Attributes[paStyle];
        const bool known = style >= 0 && style < count;
        return std::make_pair(known ? newIndex[static_cast<size_t>(style)] : 0,
                              known ? static_cast<bool>(flagged[static_cast<size_t>(style)]) : true);
    };
    int32_t runStart = 0;
    for (int32_t p = 0; p <= Document.ParagraphCount(); ++p) {
        if (p < Document.ParagraphCount() && keyOf(p) == keyOf(runStart)) {
            continue;
        }
        const auto [index, restyle] = keyOf(runStart);
        TApplyStyleRequest request;
        request.Style = index;
        request.WithFormatting = restyle && !Info->IndexOnly;
        TChangeRecord own;
        editor.ApplyStyle(runStart, p - 1, request, own, Nested.get());
        MergeLayoutChange(change, own);
        runStart = p;
    }
}

void TFormatStyleListOperation::Redo(TChangeRecord& change) {
    ExchangeLists();
    if (Executed) {
        TChangeRecord own;
        Nested->Redo(own);
        MergeLayoutChange(change, own);
        return;
    }
    Nested = std::make_unique<TOperation>(Document, 8);
    Restyle(change);
    Executed = true;
}

void TFormatStyleListOperation::Undo(TChangeRecord& change) {
    if (Nested) {
        TChangeRecord own;
        Nested->Undo(own);
        MergeLayoutChange(change, own);
    }
    ExchangeLists();
}

}  // namespace quillane
