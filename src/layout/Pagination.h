#pragma once
// Distributes the laid-out lines of a document over pages: hard page breaks,
// page break before, keep lines together, keep with next, widow and orphan
// control, and the paragraph spacing at page tops. Pages are built
// incrementally from any page on; the caller decides how far.

#include <cstdint>
#include <functional>

namespace quillane {

class TDocument;
class TPage;
class TParagraph;

// The state flag set while a document is being paginated.
constexpr int dsPaginating = 14;
// The flag that keeps pagination from showing its progress.
constexpr int dsNoProgress = 15;

struct TPaginationOptions {
    // Off: between paragraphs the larger of space after and space before
    // counts, not their sum.
    bool AccumulateSpacing = false;
    // Told of each new page when the progress is worth showing.
    std::function<void(int32_t pageCount)> Progress;
};

enum TPlacement : int32_t { plNone = 0, plPart = 1, plWhole = 2 };

// Places what fits of paragraph p (index i) on the page.
TPlacement PlaceParagraph(TPage& page, TParagraph& p, int32_t i, const TPaginationOptions& options);

// Rebuilds the pages from page `first` on, stopping once more than `target`
// pages exist (and no keep chain is open) or the document ends. base only
// decides whether progress is shown.
void Paginate(TDocument& document, int32_t first, int32_t target, int32_t base, const TPaginationOptions& options);

// Extends pagination in growing batches until the page holding a position
// exists; returns that page's index.
int32_t PaginateUntil(TDocument& document, int32_t paragraph, int32_t position, const TPaginationOptions& options);

// One background step: 8 more pages when pagination is not complete.
// Returns whether work was done.
bool PaginateStep(TDocument& document, const TPaginationOptions& options);

}  // namespace quillane
