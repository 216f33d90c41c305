#include "formats/word/WordFkp.h"

#include <algorithm>

namespace quillane {

TWordFkpIndex::TWordFkpIndex(TWordStreamWindow& main, TByteView binTable, TWordGeneration generation, TKind kind,
                             uint16_t pageCount)
    : main_(main), generation_(generation), kind_(kind),
      // Word 97/2000 paragraph entries carry 12 bytes of height cache after
      // the offset byte, Word 6.0/95 ones 6; character entries are one byte.
      entrySize_(kind == TKind::Character ? 1 : (generation == TWordGeneration::Word97 ? 13 : 7)) {
    const uint64_t pnSize = generation == TWordGeneration::Word97 ? 4 : 2;
    if (binTable.Size() < 4) {
        return;
    }
    const uint64_t count = (binTable.Size() - 4) / (4 + pnSize);
    const uint64_t pnBase = (count + 1) * 4;
    for (uint64_t i = 0; i < count; ++i) {
        const uint32_t start = binTable.U32(i * 4);
        const uint32_t end = binTable.U32((i + 1) * 4);
        const uint32_t page = pnSize == 4 ? binTable.U32(pnBase + i * 4) & 0x3FFFFF : binTable.U16(pnBase + i * 2);
        if (end <= start || (!pages_.empty() && start < pages_.back().FcEnd)) {
            break;  // positions must increase; the rest is not trusted
        }
        pages_.push_back({start, end, page});
    }
    // Word 6.0/95 may leave the last pages out of the bin table: they follow
    // in page order, each starting where the previous one ends.
    if (generation == TWordGeneration::Word6 && !pages_.empty() && pageCount > pages_.size()) {
        uint32_t page = pages_.back().Page;
        const size_t missing = pageCount - pages_.size();
        for (size_t i = 0; i < missing; ++i) {
            ++page;
            const TByteView bytes = main_.Range(uint64_t{page} * FkpPageSize, FkpPageSize);
            if (bytes.Size() != FkpPageSize) {
                break;
            }
            const uint8_t runs = bytes.U8(FkpPageSize - 1);
            const uint32_t first = bytes.U32(0);
            const uint32_t last = bytes.U32(uint64_t{runs} * 4);
            if (runs == 0 || first < pages_.back().FcEnd || last <= first) {
                break;
            }
            pages_.push_back({first, last, page});
        }
    }
}

bool TWordFkpIndex::LoadPage(uint32_t pageNumber) {
    if (loadedPage_ == int64_t{pageNumber}) {
        return loadedValid_;
    }
    loadedPage_ = pageNumber;
    loadedValid_ = false;
    cursor_ = 0;
    const TByteView bytes = main_.Range(uint64_t{pageNumber} * FkpPageSize, FkpPageSize);
    if (bytes.Size() != FkpPageSize) {
        return false;
    }
    std::copy_n(bytes.Data(), FkpPageSize, pageBytes_);
    const TByteView page(pageBytes_, FkpPageSize);
    runs_ = page.U8(FkpPageSize - 1);
    const uint64_t entriesAt = (uint64_t{runs_} + 1) * 4;
    if (runs_ == 0 || entriesAt + uint64_t{runs_} * entrySize_ > FkpPageSize - 1) {
        return false;
    }
    for (uint32_t i = 0; i <= runs_; ++i) {
        bounds_[i] = page.U32(uint64_t{i} * 4);
    }
    loadedValid_ = true;
    return true;
}

bool TWordFkpIndex::FindInPage(uint32_t fc, TFkpRun& run) {
    // Runs are in FC order: the last one starting at or before fc, looked
    // for from the run found last.
    uint32_t i = fc >= bounds_[cursor_] ? cursor_ : 0;
    while (i + 1 < runs_ && bounds_[i + 1] <= fc) {
        ++i;
    }
    cursor_ = i;
    const uint32_t start = bounds_[i];
    const uint32_t end = bounds_[i + 1];
    if (fc < start || fc >= end) {
        return false;
    }
    run.FcStart = start;
    run.FcEnd = end;
    const TByteView page(pageBytes_, FkpPageSize);
    const uint64_t entriesAt = (uint64_t{runs_} + 1) * 4;
    const uint64_t offset = uint64_t{page.U8(entriesAt + uint64_t{i} * entrySize_)} * 2;
    if (offset == 0) {
        return true;  // no properties: the defaults (of the style)
    }
    // The property block must end inside the page, before the run count.
    const TByteView block = page.Sub(0, FkpPageSize - 1);
    if (kind_ == TKind::Character) {
        const uint8_t size = block.U8(offset);
        run.Grpprl = block.Sub(offset + 1, size);
        return true;
    }
    uint64_t size = 0;
    uint64_t at = offset + 1;
    const uint8_t cb = block.U8(offset);
    if (generation_ == TWordGeneration::Word97) {
        if (cb != 0) {
            size = uint64_t{cb} * 2 - 1;
        } else {
            size = uint64_t{block.U8(at)} * 2;
            ++at;
        }
    } else {
        size = uint64_t{cb} * 2;
    }
    const TByteView papx = block.Sub(at, size);
    if (papx.Size() >= 2) {
        run.Istd = papx.U16(0);
        run.Grpprl = papx.From(2);
    }
    return true;
}

TFkpRun TWordFkpIndex::Find(uint32_t fc) {
    TFkpRun run;
    run.FcStart = fc;
    run.FcEnd = fc + 1;
    if (lastRef_ >= pages_.size() || fc < pages_[lastRef_].FcStart || fc >= pages_[lastRef_].FcEnd) {
        const auto it = std::upper_bound(pages_.begin(), pages_.end(), fc,
                                         [](uint32_t value, const TPageRef& ref) { return value < ref.FcStart; });
        if (it == pages_.begin()) {
            return run;
        }
        lastRef_ = static_cast<size_t>(it - 1 - pages_.begin());
    }
    const TPageRef& ref = pages_[lastRef_];
    if (fc >= ref.FcEnd) {
        return run;
    }
    TFkpRun found;
    if (LoadPage(ref.Page) && FindInPage(fc, found)) {
        return found;
    }
    return run;
}

}  // namespace quillane
