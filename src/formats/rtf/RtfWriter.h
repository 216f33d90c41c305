#pragma once
// The RTF writer: turns a range of a document (the whole of it, or a
// selection) into RTF, into a file through the write sink or into a memory
// string (clipboard, undo, internal copies). It emits only the words the
// RTF reader knows, by their numbers in the reader's tables, so everything
// written reads back into the same model.

#include <cstdint>

#include "formats/DocOptions.h"
#include "formats/FormatServices.h"
#include "formats/WriteSink.h"

namespace quillane {

class TDocument;

// The two user options that change the output.
struct TRtfWriterOptions {
    // 8-bit characters unescaped, paragraph ends as a backslash and CR,
    // pictures as their PNG or JPEG data.
    bool SuperCompact = true;
    // The caret and the scroll position go into the information group.
    bool SaveCaretPosition = false;
};

// Writes the range of the saving options. The services must name the font
// registry (the font table lists registry entries). Returns WriteSucceeded,
// or WriteFailed after an exception; the sink holds what was written.
int32_t WriteRtf(const TDocument& document, TWriteSink& out, const TDocSavingOptions& options,
                 const TFormatServices& services, const TRtfWriterOptions& writerOptions = {});

}  // namespace quillane
