// The editing core driven by an operation stream: each input is a small
// document and a sequence of edits, undos and redos. After every step the
// document's structure must hold; at the end undoing everything must give
// back the start and redoing everything the last state.

#include <cstddef>
#include <cstdint>
#include <string>

#include "editing/EditFixture.h"
#include "editing/EditFlags.h"
#include "editing/TextAccess.h"
#include "layout/Pagination.h"

namespace {

using namespace quillane;
using namespace quillane::test;

class TReader {
public:
    TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool More() const { return at_ < size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

TTextPosition Position(TReader& in, const TDocument& d) {
    const int32_t p = in.Byte() % d.ParagraphCount();
    return {p, in.Byte() % d.Paragraph(p).PositionCount()};
}

void Check(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TReader in(data, size);
    const int64_t bounds[] = {1024, 65536, 0x400000};
    TEditFixture f(bounds[in.Byte() % 3]);
    std::vector<std::string> texts;
    const int paragraphs = 1 + in.Byte() % 6;
    for (int i = 0; i < paragraphs; ++i) {
        texts.push_back(std::string(in.Byte() % 40, 'a' + static_cast<char>(i)) + (i % 2 ? " word\tand\nbreak" : ""));
    }
    f.SetParagraphs(texts);
    TDocument& d = f.Document();
    const uint8_t options = in.Byte();
    f.Manager().Options.GroupUndo = (options & 1) != 0;
    f.Manager().Options.ReplaceSel = (options & 2) != 0;
    f.Manager().Options.FmtWithoutSel = (options & 4) != 0;
    f.Manager().Options.Overwrite = (options & 8) != 0;
    const std::string start = CanonicalState(d);
    int steps = 0;
    while (in.More() && steps++ < 200) {
        const uint8_t kind = in.Byte();
        TTextPosition a = Position(in, d);
        TTextPosition b = Position(in, d);
        if (PositionBefore(b, a)) {
            std::swap(a, b);
        }
        switch (kind % 12) {
            case 0:
            case 1: {
                f.Select(a.Paragraph, a.Offset, kind & 16 ? b.Paragraph : a.Paragraph, kind & 16 ? b.Offset : a.Offset);
                TTypeRequest request;
                const char text[] = {static_cast<char>(in.Byte()), static_cast<char>(in.Byte())};
                request.Text.assign(text, 1 + (kind & 32 ? 1 : 0));
                f.Editor().PerformEditAction(14, request);
                break;
            }
            case 2:
                f.Editor().PerformEditAction(17, TDeleteRequest{a, b, (kind >> 4) & 0x38});
                break;
            case 3: {
                f.Select(a.Paragraph, a.Offset, b.Paragraph, b.Offset);
                TCharFormatRequest request;
                request.Attrs.Slots.fill(UndefinedAttr);
                request.Attrs[in.Byte() % CharSlotCount] = static_cast<int8_t>(in.Byte());
                request.Attrs[caFont] = UndefinedAttr;
                f.Editor().PerformEditAction(2, request);
                break;
            }
            case 4: {
                f.Select(a.Paragraph, a.Offset, b.Paragraph, b.Offset);
                TParFormatRequest request;
                request.Attrs.Slots.fill(UndefinedAttr);
                const int slot = in.Byte() % ParSlotCount;
                if (slot != paStyle && slot != paTabTable) {
                    request.Attrs[slot] = static_cast<int8_t>(in.Byte()) * 20;
                }
                f.Editor().PerformEditAction(1, request);
                break;
            }
            case 5:
                f.Editor().PerformEditAction(20, TMoveRequest{a, b, Position(in, d), kind & 16 ? 0x12 : 2});
                break;
            case 6:
                f.Select(a.Paragraph, a.Offset, b.Paragraph, b.Offset);
                f.Editor().PerformEditAction(4, TStepRequest{kind & 16 ? caSize : caExpansion, kind & 32 ? 2000 : -20});
                break;
            case 7:
                f.Select(a.Paragraph, a.Offset, b.Paragraph, b.Offset);
                f.Editor().PerformEditAction(9, TIndentRequest{(kind >> 4) % 4, kind & 64 ? 720 : -720});
                break;
            case 8:
            case 9:
                f.Manager().Undo();
                break;
            case 10:
                f.Manager().Redo();
                break;
            default:
                f.Reflow().ProcessQueue(f.Manager());
                PaginateStep(d, TPaginationOptions{});
                break;
        }
        Check(CheckStructure(d).empty());
    }
    const std::string last = CanonicalState(d);
    const bool complete = f.Manager().Count() == f.Manager().Current() + 1;
    f.Manager().UndoAll();
    const std::string undone = CanonicalState(d);
    f.Manager().RedoAll();
    Check(CheckStructure(d).empty());
    // Without evictions the whole history leads back to the start.
    if (f.Manager().MemoryUsed() < f.Manager().MemoryBound() / 2 && complete) {
        Check(CanonicalState(d) == last);
    }
    (void)undone;
    return 0;
}
