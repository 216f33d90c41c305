// The paragraphs: their format, the attributes in force at the start of the
// range, and the walk over the text stream.
#include "formats/UnicodeCodePages.h"
#include "formats/rtf/RtfUnicode.h"
#include "formats/rtf/RtfWriterCore.h"
#include "platform/CodePages.h"
#include "model/Document.h"
#include "model/Paragraph.h"
#include "model/TextStream.h"
#include "pictures/DocObject.h"
#include "pictures/ObjectManager.h"

namespace quillane {

namespace {

// The byte offset of the k-th item of the stream (attribute tags before it
// passed over); the stream's length when there are k items or fewer.
int32_t ItemOffset(const uint8_t* p, int32_t n, int32_t k) {
    int32_t item = 0;
    int32_t i = 0;
    while (i < n) {
        if (p[i] != 0) {
            const int32_t run = CharRunLength(p + i, n - i);
            if (item + run > k) {
                return i + (k - item);
            }
            item += run;
            i += run;
            continue;
        }
        if (i + TagSize > n) {
            break;
        }
        if (OccupiesPosition(p[i + 1])) {
            if (item == k) {
                return i;
            }
            ++item;
        }
        i += TagSize;
    }
    return n;
}

bool IsAttributeTagAt(const uint8_t* p, int32_t i, int32_t end) {
    return i + TagSize <= end && p[i] == 0 && IsAttributeKind(p[i + 1]);
}

}  // namespace

void TRtfWriter::WriteParagraph(const TParagraph& paragraph, int32_t startPosition, int32_t endPosition) {
    WriteParagraphFormat(paragraph.Attributes);

    const uint8_t* p = paragraph.Text.Data();
    const int32_t n = paragraph.Text.Length();
    const int32_t start = ItemOffset(p, n, startPosition);
    const int32_t end = endPosition >= paragraph.PositionCount() ? n : ItemOffset(p, n, endPosition);

    TCharAttrs state = AttributesAt(paragraph.Text, start, doc_.DefaultCharAttrs);
    WriteCharDifferences(state, written_);
    written_ = state;

    bool groupOpen = false;
    TCharAttrs saved;
    int32_t i = start;
    while (i < end) {
        if (p[i] != 0) {
            const int32_t run = CharRunLength(p + i, end - i);
            WriteText(p + i, run);
            i += run;
            continue;
        }
        if (i + TagSize > end) {
            break;  // a cut-off tag at the end of a damaged stream
        }
        const TTag tag = ReadTag(p + i);
        if (IsAttributeKind(tag.Kind)) {
            TCharAttrs after = state;
            int32_t j = i;
            while (IsAttributeTagAt(p, j, end)) {
                const TTag next = ReadTag(p + j);
                after[next.Kind] = next.Value;
                j += TagSize;
            }
            if (after == state) {
                // Tags that change nothing write nothing and leave an open
                // group open: a document read back, which no longer has
                // them, is then written the same way.
                i = j;
                continue;
            }
            if (groupOpen) {
                // The run that undoes the group's changes: closing the group
                // restores them.
                out_.CloseGroup();
                written_ = saved;
                groupOpen = false;
            }
            if (after != written_) {
                if (UndoneLater(paragraph, j, end, written_, after)) {
                    out_.OpenGroup();
                    saved = written_;
                    groupOpen = true;
                }
                WriteCharDifferences(after, written_);
                written_ = after;
            }
            state = after;
            i = j;
            continue;
        }
        switch (tag.Kind) {
            case tkSpecial: WriteSpecial(static_cast<uint8_t>(tag.Value)); break;
            case tkPicture:
            case tkObject:
                if (const TDocObject* object = doc_.Objects().Find(tag.Value)) {
                    if (tag.Kind == tkObject && object->IsOLEObject()) {
                        WriteObject(*object);
                    } else {
                        WritePicture(*object);
                    }
                }
                break;
            default: break;  // kinds the program does not know take no position
        }
        i += TagSize;
    }
    if (groupOpen) {
        out_.CloseGroup();
        written_ = saved;
    }
    if (!out_.Raw()) {
        out_.LineBreak();
    }
}

bool TRtfWriter::UndoneLater(const TParagraph& paragraph, int32_t from, int32_t end, const TCharAttrs& before,
                             const TCharAttrs& after) const {
    const uint8_t* p = paragraph.Text.Data();
    int32_t k = from;
    while (k < end) {
        if (p[k] != 0) {
            k += CharRunLength(p + k, end - k);
            continue;
        }
        if (k + TagSize > end) {
            return false;
        }
        const TTag tag = ReadTag(p + k);
        if (IsAttributeKind(tag.Kind)) {
            TCharAttrs next = after;
            while (IsAttributeTagAt(p, k, end)) {
                const TTag change = ReadTag(p + k);
                next[change.Kind] = change.Value;
                k += TagSize;
            }
            if (next == after) {
                continue;  // changes nothing, as the walk above sees it too
            }
            return next == before;
        }
        if (tag.Kind == tkSpecial && tag.Value == spParagraphEnd) {
            return false;  // a group never spans the paragraph's end
        }
        k += TagSize;
    }
    return false;
}

void TRtfWriter::WriteText(const uint8_t* bytes, int32_t n) {
    // A reader takes the text in the code page of the font it holds.
    const int32_t font = written_[caFont];
    if (font != codePageFont_) {
        codePageFont_ = font;
        codePage_ = CodePageOfFont(fonts_, font, services_.CodePages.AnsiCodePage());
    }
    if (IsDoubleByteCodePage(codePage_)) {
        out_.DoubleByteText(bytes, n, codePage_);
    } else {
        out_.Text(bytes, n);
    }
}

void TRtfWriter::WriteSpecial(uint8_t code) {
    switch (code) {
        case spParagraphEnd:
            out_.ParagraphEnd();
            // A reader starts the next paragraph with the document's widow
            // control.
            writtenFormat_[paWidowControl] = doc_.WidowControl;
            break;
        case spLineBreak: out_.Body(bwLine); break;
        case spPageBreak: out_.Body(bwPage); break;
        case spTab: out_.Body(bwTab); break;
        case spNonbreakingSpace: out_.Symbol('~'); break;
        case spNonbreakingHyphen: out_.Symbol('_'); break;
        case spLongDash: out_.Body(bwEmdash); break;
        case spShortDash: out_.Body(bwEndash); break;
        case spOptionalHyphen: out_.Symbol('-'); break;
        default: break;
    }
}

}  // namespace quillane
