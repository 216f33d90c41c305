#pragma once
// The requests every reader and writer takes, for files and for memory.

#include <cstdint>
#include <string>

#include "formats/DocumentFormat.h"
#include "model/FlexibleString.h"
#include "model/ViewState.h"

namespace quillane {

class TDocument;

struct TDocOpeningOptions {
    bool FromMemory = false;
    int32_t Format = dfDetect;  // requested; becomes the detected or final one, dfFailed on failure
    std::string FileName;
    const uint8_t* MemoryData = nullptr;
    int32_t MemorySize = 0;
    int32_t ParagraphCount = 0;  // out: paragraphs read
    int32_t CharacterCount = 0;  // out: text characters read (paragraph ends not counted)
    // out, from readers whose files record them: the caret and the view's
    // scroll origin when the document was saved, and whether its styles
    // should be reduced to what each changes.
    TTextPosition StoredCaret;
    int32_t StoredScrollX = 0;
    int32_t StoredScrollY = 0;
    bool NormalizeStyles = false;
    // out: whether the source's last paragraph ended with a paragraph end.
    // A loaded document always ends with one; inserting callers use this
    // flag to leave the last paragraph open.
    bool LastParagraphComplete = true;
    // The template whose page settings, styles and first formatting a text
    // file receives; not owned. Set by the open workflow.
    const TDocument* Template = nullptr;
};

enum TSavingFlag : uint8_t {
    sfCopyOnly = 1,  // writing leaves the document's name, format and modified state alone
    sfFlatten = 2,   // special characters become spaces and hyphens
};

struct TDocSavingOptions {
    bool ToMemory = false;
    // The range to write: from (paragraph, offset) up to, not including,
    // (paragraph, offset); offsets index the position strings.
    int32_t FirstParagraph = 0;
    int32_t FirstOffset = 0;
    int32_t LastParagraph = 0;
    int32_t LastOffset = 0;
    TTextPosition SelectionStart;  // the selection that travels with the range
    TTextPosition SelectionEnd;
    int32_t Format = dfRtf;
    TFlexibleString* Memory = nullptr;  // the target when ToMemory is set; not owned
    std::string Text;
    uint8_t Flags = 0;

    // The whole document, up to and including its final paragraph end.
    static TDocSavingOptions WholeDocument(const TDocument& document, int32_t format);
};

}  // namespace quillane
