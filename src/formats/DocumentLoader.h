#pragma once
// Opening a file or a memory block into an empty document: the format is
// checked or detected from the first bytes, the reader fills the document,
// and the end of the document is tidied. Saving writes a document into an
// open file through the writer of its format.

#include <cstdint>
#include <string>

#include "formats/DocOptions.h"
#include "formats/FormatServices.h"
#include "formats/rtf/RtfWriter.h"
#include "formats/PlainText.h"
#include "formats/ReadBuffer.h"
#include "platform/File.h"

namespace quillane {

class TDocument;

// The format the first bytes show: RTF, Write, Word (by the compound-file
// signature), else ANSI text.
int32_t DetectFormat(const TReadBuffer& in);
// Whether the first bytes may be a file of `format` (text always may).
bool LooksLikeFormat(const TReadBuffer& in, int32_t format);
// Whether this version has a reader for the format.
bool CanReadFormat(int32_t format);

// Fills the empty document; options.Format becomes the format read, or
// dfFailed. Problems are reported through the services' message box.
bool LoadDocument(TDocument& document, TDocOpeningOptions& options, const TFormatServices& services);

// After a reader: drops a final empty paragraph and makes sure the last
// paragraph ends with a paragraph end; updates the counts.
void FinishLoadedDocument(TDocument& document, TDocOpeningOptions& options);

// Puts the caret and the view where the file recorded them, clamped into
// the document (for the open workflow when the user keeps caret positions).
void PlaceStoredCaret(TDocument& document, const TDocOpeningOptions& options);

// Writes the range of the options into the file (from its start; the name
// is for messages) or into memory, in options.Format; returns WriteSucceeded or WriteFailed.
int32_t WriteDocument(const TDocument& document, TFile* file, const std::string& fileName,
                      const TDocSavingOptions& options,
                      const TFormatServices& services, const TRtfWriterOptions& rtfOptions = {});

}  // namespace quillane
