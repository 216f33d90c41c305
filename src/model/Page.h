#pragma once
// A page of a paginated document: the portions of paragraphs placed on it
// (pieces) and their lines in order. A line points back to its page; a page
// that goes away clears those pointers, and a line that goes away leaves its
// page's list.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillane {

class TDocument;
class TParLine;

struct TPiece {
    int32_t Paragraph = 0;
    int32_t FirstLine = 0;
    int32_t LastLine = 0;
    int32_t Height = 0;  // what the lines added to the used height, pixels at 100 %
};

struct TPageRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};

class TPage {
public:
    TPage(TDocument& document, int32_t index) : Index(index), document_(&document) {}
    ~TPage();
    TPage(const TPage&) = delete;
    TPage& operator=(const TPage&) = delete;

    TDocument& Document() const { return *document_; }

    int32_t PieceCount() const { return static_cast<int32_t>(pieces_.size()); }
    const TPiece& Piece(int32_t i) const { return pieces_[static_cast<size_t>(i)]; }
    int32_t LineCount() const { return static_cast<int32_t>(lines_.size()); }
    TParLine& Line(int32_t i) const { return *lines_[static_cast<size_t>(i)]; }

    // The piece of a paragraph (by index), -1 when it has none here.
    int32_t FindPiece(int32_t paragraph) const;
    // Appends the piece: its lines join the page, which becomes their page.
    void AddPiece(int32_t paragraph, int32_t first, int32_t last, int32_t height);
    void RemovePiece(int32_t i);
    // A line being destroyed leaves the page.
    void ForgetLine(const TParLine* line);
    // Puts a line back at an index of the page's list (a paragraph laid out
    // again with unchanged line heights keeps its place); the line's page
    // becomes this one.
    void InsertLine(int32_t index, TParLine& line);

    int32_t Index;
    TPageRect Rect;  // in the view, zoomed pixels
    int32_t UsedHeight = 0;
    bool Closed = false;  // ended by a page break

private:
    TDocument* document_;
    std::vector<TPiece> pieces_;  // ascending by paragraph
    std::vector<TParLine*> lines_;
};

}  // namespace quillane
