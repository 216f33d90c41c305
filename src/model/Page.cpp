#include "model/Page.h"

#include <algorithm>

#include "model/Document.h"
#include "model/ParLine.h"
#include "model/Paragraph.h"

namespace quillane {

TPage::~TPage() {
    for (TParLine* line : lines_) {
        line->Page = nullptr;
    }
}

int32_t TPage::FindPiece(int32_t paragraph) const {
    const auto it = std::lower_bound(pieces_.begin(), pieces_.end(), paragraph,
                                     [](const TPiece& piece, int32_t p) { return piece.Paragraph < p; });
    return it != pieces_.end() && it->Paragraph == paragraph ? static_cast<int32_t>(it - pieces_.begin()) : -1;
}

void TPage::AddPiece(int32_t paragraph, int32_t first, int32_t last, int32_t height) {
    pieces_.push_back(TPiece{paragraph, first, last, height});
    TParagraph& p = document_->Paragraph(paragraph);
    for (int32_t i = first; i <= last; ++i) {
        TParLine& line = p.Line(i);
        line.Page = this;
        lines_.push_back(&line);
    }
    UsedHeight += height;
}

void TPage::RemovePiece(int32_t i) {
    const TPiece piece = pieces_[static_cast<size_t>(i)];
    UsedHeight -= piece.Height;
    // The piece's lines are consecutive in the page's list.
    int32_t before = 0;
    for (int32_t k = 0; k < i; ++k) {
        before += pieces_[static_cast<size_t>(k)].LastLine - pieces_[static_cast<size_t>(k)].FirstLine + 1;
    }
    const int32_t count = piece.LastLine - piece.FirstLine + 1;
    const auto from = lines_.begin() + std::min<ptrdiff_t>(before, LineCount());
    const auto to = from + std::min<ptrdiff_t>(count, lines_.end() - from);
    for (auto it = from; it != to; ++it) {
        if ((*it)->Page == this) {
            (*it)->Page = nullptr;
        }
    }
    lines_.erase(from, to);
    pieces_.erase(pieces_.begin() + i);
}

void TPage::ForgetLine(const TParLine* line) {
    const auto it = std::find(lines_.begin(), lines_.end(), line);
    if (it != lines_.end()) {
        lines_.erase(it);
    }
}

void TPage::InsertLine(int32_t index, TParLine& line) {
    index = std::clamp(index, 0, LineCount());
    lines_.insert(lines_.begin() + index, &line);
    line.Page = this;
}

}  // namespace quillane
