#pragma once
// The property pages of a Write file. Each 128-byte page holds up to 20
// run descriptors (the run's end and where its property record lies in the
// page) and the count in its last byte; character pages lie in
// [pnChar, pnPara), paragraph pages in [pnPara, pnFntb). A record is the
// default record overlaid with the stored part: its length byte, then
// record bytes from 0 on. Runs come out in text order and are bounded so
// that a damaged page can neither move backwards nor beyond the text.

#include <array>
#include <cstdint>

#include "formats/word/WordBytes.h"

namespace quillane {

// A paragraph record (the larger one) is 78 bytes: 22 bytes of fields and
// 14 tab stops of 4 bytes.
constexpr size_t WriteRecordSize = 78;
using TWriteRecord = std::array<uint8_t, WriteRecordSize>;

struct TWriteRun {
    uint32_t End = 0;  // the run covers the text up to here
    TWriteRecord Record{};
};

class TWriteRunCursor {
public:
    // Pages [firstPage, endPage) of `file`, which must hold them and
    // outlive the cursor; runs start at byte 128 and end by textEnd.
    TWriteRunCursor(TByteView file, uint32_t firstPage, uint32_t endPage, uint32_t textEnd,
                    const TWriteRecord& defaults);

    // The next run. Its end is at least the previous one's and at most the
    // text's end; once the pages are used up, the rest of the text is one
    // run of the default record.
    TWriteRun Next();

private:
    TByteView file_;
    uint32_t page_;
    uint32_t endPage_;
    uint32_t textEnd_;
    TWriteRecord defaults_;
    uint32_t descriptor_ = 0;  // the next descriptor in page_
    uint32_t lastEnd_;
};

}  // namespace quillane
