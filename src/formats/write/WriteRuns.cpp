#include "formats/write/WriteRuns.h"

#include <algorithm>

#include "formats/write/WriteHeader.h"

namespace quillane {

namespace {

// Descriptors start at byte 4, 6 bytes each; the count is in byte 127, so
// more than 20 would overlap it.
constexpr uint32_t FirstDescriptor = 4;
constexpr uint32_t DescriptorSize = 6;
constexpr uint32_t MaxDescriptors = 20;
constexpr uint32_t CountByte = 127;
constexpr uint16_t DefaultProperties = 0xFFFF;

}  // namespace

TWriteRunCursor::TWriteRunCursor(TByteView file, uint32_t firstPage, uint32_t endPage, uint32_t textEnd,
                                 const TWriteRecord& defaults)
    : file_(file), page_(firstPage), endPage_(endPage), textEnd_(textEnd), defaults_(defaults),
      lastEnd_(std::min(WritePageSize, textEnd)) {}

TWriteRun TWriteRunCursor::Next() {
    while (page_ < endPage_) {
        const TByteView page = file_.Sub(uint64_t{page_} * WritePageSize, WritePageSize);
        const uint32_t count = std::min<uint32_t>(page.U8(CountByte), MaxDescriptors);
        if (page.Size() != WritePageSize || descriptor_ >= count) {
            ++page_;
            descriptor_ = 0;
            continue;
        }
        const uint32_t at = FirstDescriptor + descriptor_ * DescriptorSize;
        ++descriptor_;
        TWriteRun run;
        run.End = std::clamp(page.U32(at), lastEnd_, textEnd_);
        lastEnd_ = run.End;
        run.Record = defaults_;
        const uint16_t offset = page.U16(at + 4);
        if (offset != DefaultProperties) {
            // The length byte and the stored bytes must lie within the
            // descriptors' part of the page; a record that does not stays
            // the default one.
            const uint32_t start = FirstDescriptor + offset;
            const uint32_t length = start < CountByte ? page.U8(start) : 0;
            if (start < CountByte && start + 1 + length <= CountByte) {
                const uint32_t stored = std::min<uint32_t>(length, WriteRecordSize);
                std::copy_n(page.Data() + start + 1, stored, run.Record.begin());
            }
        }
        return run;
    }
    lastEnd_ = textEnd_;
    return TWriteRun{textEnd_, defaults_};
}

}  // namespace quillane
