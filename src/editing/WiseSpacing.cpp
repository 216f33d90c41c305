// The wise space adjustment that cut, paste and drag apply where text was
// taken out or put in.

#include "editing/DocumentEditor.h"
#include "editing/InsertDelete.h"
#include "editing/TextAccess.h"
#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane {

namespace {

bool IsBreakLike(uint8_t c) {
    return c == spParagraphEnd || c == spLineBreak || c == spPageBreak || c == spTab || c == spNonbreakingSpace ||
           c == spNonbreakingHyphen || c == ' ';
}

bool IsOpening(uint8_t c) {
    if (IsBreakLike(c)) {
        return true;
    }
    switch (c) {
        case '#': case '$': case '(': case '*': case '+': case '-': case '/': case '=': case '[': case '^':
        case '_': case '{': case '~': case '@': case 128: case 132: case 147: case 171:
            return true;
        default:
            return false;
    }
}

bool IsClosing(uint8_t c) {
    if (IsBreakLike(c)) {
        return true;
    }
    switch (c) {
        case '!': case '%': case ')': case '*': case '+': case ',': case '-': case '.': case '/': case ':':
        case ';': case '?': case ']': case '^': case '_': case '}': case '~': case '@': case 148: case 187:
            return true;
        default:
            return false;
    }
}

// A straight quote stands for the typographic one its place implies.
uint8_t Classified(const TParagraph& p, int32_t k) {
    const uint8_t c = p.Positions[k];
    if (c != '"' && c != '\'') {
        return c;
    }
    if (k == 0) {
        return 147;
    }
    const uint8_t before = p.Positions[k - 1];
    return IsOpening(before) && before != 132 && before != 147 && before != 171 ? 147 : 148;
}

enum TSide { sdStart, sdSpace, sdOpening, sdClosing, sdOther, sdEnd };

TSide LeftSide(const TParagraph& p, int32_t k) {
    if (k <= 0) {
        return sdStart;
    }
    if (p.Positions[k - 1] == ' ') {
        return sdSpace;
    }
    const uint8_t c = Classified(p, k - 1);
    return IsOpening(c) ? sdOpening : IsClosing(c) ? sdClosing : sdOther;
}

TSide RightSide(const TParagraph& p, int32_t k) {
    if (k >= p.PositionCount() - 1) {
        return sdEnd;
    }
    if (p.Positions[k] == ' ') {
        return sdSpace;
    }
    const uint8_t c = Classified(p, k);
    return IsClosing(c) ? sdClosing : IsOpening(c) ? sdOpening : sdOther;
}

bool WordLeft(TSide s) { return s == sdClosing || s == sdOther; }
bool WordRight(TSide s) { return s == sdOpening || s == sdOther; }

}  // namespace

TDocumentEditor::TSpacingCounts TDocumentEditor::AdjustSpacing(TTextPosition position, TChangeRecord& change,
                                                               TOperation* operation) {
    TSpacingCounts counts;
    TDocument& d = Document();
    if (position.Paragraph < 0 || position.Paragraph >= d.ParagraphCount()) {
        return counts;
    }
    const TParagraph& p = d.Paragraph(position.Paragraph);
    const int32_t k = std::clamp(position.Offset, 0, p.PositionCount() - 1);
    if (WordLeft(LeftSide(p, k)) && WordRight(RightSide(p, k))) {
        PrepareInputAttrs({position.Paragraph, k}, false);
        TChangeRecord own;
        InsertPlainText(" ", {position.Paragraph, k}, own, operation, 0);
        MergeChange(change, own);
        counts.Inserted = 1;
        return counts;
    }
    int32_t left = 0;
    while (k - left > 0 && p.Positions[k - left - 1] == ' ') {
        ++left;
    }
    int32_t right = 0;
    while (k + right < p.PositionCount() - 1 && p.Positions[k + right] == ' ') {
        ++right;
    }
    if (left + right == 0) {
        return counts;
    }
    int32_t keepLeft = 0;
    int32_t keepRight = 0;
    if (WordLeft(LeftSide(p, k - left)) && WordRight(RightSide(p, k + right))) {
        (left == 0 ? keepRight : keepLeft) = 1;
    }
    counts.RemovedLeft = left - keepLeft;
    counts.RemovedRight = right - keepRight;
    if (counts.RemovedLeft + counts.RemovedRight > 0) {
        const int32_t from = k - left + keepLeft;
        const int32_t to = k + right - keepRight;
        auto sub = TInsertDeleteOperation::Deletion(d, position.Paragraph, from, position.Paragraph, to, true);
        TChangeRecord own;
        sub->Execute(own);
        MergeChange(change, own);
        if (operation != nullptr) {
            operation->Add(std::move(sub));
        }
    }
    return counts;
}

}  // namespace quillane
