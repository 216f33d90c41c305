#pragma once
// Paragraph attributes changed over paragraphs: (paragraph, slot, value)
// entries whose values are exchanged with the paragraphs' at each
// execution, so the record always holds the values to restore. Paragraph
// indexes and values are full 32-bit words.

#include <cstdint>
#include <vector>

#include "editing/Operation.h"

namespace quillane {

class TFormatParagraphsOperation final : public TSubOperation {
public:
    explicit TFormatParagraphsOperation(TDocument& document) : TSubOperation(document) {}

    struct TEntry {
        int32_t Paragraph;
        int32_t Slot;
        int32_t Value;
    };
    void AddEntry(int32_t paragraph, int32_t slot, int32_t value) { entries_.push_back({paragraph, slot, value}); }
    bool IsEmpty() const { return entries_.empty(); }
    const std::vector<TEntry>& Entries() const { return entries_; }

    int64_t MemorySize() const override {
        return int64_t{sizeof(*this)} + static_cast<int64_t>(entries_.size() * sizeof(TEntry));
    }
    void Undo(TChangeRecord& change) override { Exchange(change); }
    void Redo(TChangeRecord& change) override { Exchange(change); }

private:
    void Exchange(TChangeRecord& change);
    std::vector<TEntry> entries_;
};

}  // namespace quillane
