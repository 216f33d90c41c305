#pragma once
// "ANSI Plain Text" and "DOS Plain Text": one byte per character, lines
// ended by CR LF (any of CR LF, LF CR, CR or LF when reading). Reading gives
// every character the template's formatting; writing drops formatting and
// turns special characters into ordinary bytes.

#include <cstdint>

#include "formats/DocOptions.h"
#include "formats/FormatServices.h"
#include "formats/ReadBuffer.h"
#include "formats/WriteSink.h"

namespace quillane {

class TDocument;

// Appends the buffered text to the document's paragraphs. `templateDocument`
// (optional) gives the formatting of the first character and paragraph.
// Returns false after an error, which has been reported for a file source.
bool ReadPlainText(TDocument& document, TReadBuffer& in, TDocOpeningOptions& options,
                   const TFormatServices& services, const TDocument* templateDocument = nullptr);

// Result codes of the writers.
constexpr int32_t WriteSucceeded = 0;
constexpr int32_t WriteFailed = 2;

// Writes the range of the options as text into the sink.
int32_t WritePlainText(const TDocument& document, TWriteSink& out, const TDocSavingOptions& options,
                       TProgressSink* progress = nullptr);

}  // namespace quillane
