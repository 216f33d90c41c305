#pragma once
// The MS Word 6.0/95 and 97/2000 reader: the main text of a document in a
// compound file, with its character and paragraph formatting, as paragraphs
// of the model. Footnotes, headers, annotations and text boxes lie outside
// the main text and are not read; field instructions are skipped (their
// results stay); table cells become tab-separated text.

#include <cstdint>

#include "formats/DocOptions.h"
#include "formats/FormatServices.h"
#include "platform/CompoundFile.h"

namespace quillane {

class TDocument;

// The format check: the file's "WordDocument" stream starts with the Word
// magic and a version above 100. Gives dfWord6 or dfWord97 by the FIB's
// identifier, or dfFailed.
int32_t ProbeWordFormat(TCompoundFile& storage);

// Fills the empty document from the compound file. Sets options.Format and
// document.Format to dfWord6 or dfWord97. An encrypted document and any
// failure are reported through the message box (for a file source) and
// give false.
bool ReadWord(TDocument& document, TCompoundFile& storage, TDocOpeningOptions& options,
              const TFormatServices& services);

}  // namespace quillane
