#pragma once
// The Windows Write reader (Write 3.0 and 3.1, and the Word for DOS files
// of the same layout): the text with its character and paragraph formats,
// fonts from the file's font table, and metafile pictures, each in a
// paragraph of its own. Headers and footers, bitmaps and OLE objects are
// dropped and the document is marked as opened with data losses. The file
// is held whole in memory; every page and offset it names is checked
// against it first.

#include <cstdint>

#include "formats/DocOptions.h"
#include "formats/FormatServices.h"
#include "formats/word/WordBytes.h"
#include "platform/File.h"

namespace quillane {

class TDocument;

// Fills the empty document from the bytes of a Write file. A damaged
// header fails the load before the document is touched: the message goes
// to the message box (for a file source) and the result is false.
bool ReadWrite(TDocument& document, TByteView file, TDocOpeningOptions& options, const TFormatServices& services);

// The same for an open file, read whole from its start (a Write file
// addresses at most 8 MB; anything beyond is not read).
bool ReadWriteFile(TDocument& document, TFile& file, TDocOpeningOptions& options, const TFormatServices& services);

}  // namespace quillane
