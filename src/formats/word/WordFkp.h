#pragma once
// Formatted disk pages (FKPs): 512-byte pages of the main stream that map
// ranges of file positions (FCs) to character properties (CHPX) or
// paragraph properties (PAPX). A bin table (PlcfBte) in the table stream
// says which page covers which FCs. Every offset inside a page is checked
// against the page, every page against the stream.

#include <cstdint>
#include <vector>

#include "formats/word/WordBytes.h"
#include "formats/word/WordFib.h"
#include "formats/word/WordStreamWindow.h"

namespace quillane {

constexpr uint32_t FkpPageSize = 512;

// The properties in force over [FcStart, FcEnd).
struct TFkpRun {
    uint32_t FcStart = 0;
    uint32_t FcEnd = 0;
    TByteView Grpprl;   // SPRMs (empty: none)
    uint16_t Istd = 0;  // paragraph pages only: the paragraph's style
};

class TWordFkpIndex {
public:
    enum class TKind { Character, Paragraph };

    // Pages are read from `main`, which must outlive the index. A Word
    // 6.0/95 bin table may list fewer pages than `pageCount`; the missing
    // ones follow the last listed page.
    TWordFkpIndex(TWordStreamWindow& main, TByteView binTable, TWordGeneration generation, TKind kind,
                  uint16_t pageCount = 0);

    // The run covering fc; a position no page covers gives an empty run of
    // one FC, so the caller moves on. The run's grpprl lies in the index's
    // copy of its page: valid until the next Find.
    TFkpRun Find(uint32_t fc);

    int32_t PageCount() const { return static_cast<int32_t>(pages_.size()); }

private:
    struct TPageRef {
        uint32_t FcStart;
        uint32_t FcEnd;
        uint32_t Page;
    };
    bool LoadPage(uint32_t pageNumber);
    bool FindInPage(uint32_t fc, TFkpRun& run);

    TWordStreamWindow& main_;
    TWordGeneration generation_;
    TKind kind_;
    uint32_t entrySize_;  // bytes per run after the run boundaries
    std::vector<TPageRef> pages_;  // sorted by FcStart

    // The page last looked in, its run boundaries decoded, and the run last
    // found: text is read in order, so the next run is usually the next one.
    size_t lastRef_ = 0;
    int64_t loadedPage_ = -1;
    bool loadedValid_ = false;
    uint8_t pageBytes_[FkpPageSize] = {};
    uint32_t runs_ = 0;
    uint32_t bounds_[256] = {};
    uint32_t cursor_ = 0;
};

}  // namespace quillane
