#pragma once
// The RTF reader: turns an RTF byte stream, from a file or from memory,
// into the paragraphs, formatting, fonts, colours, styles, page settings
// and document information of one document. What the model cannot hold
// (tables, headers, footers, footnotes, pictures the sink refuses) is
// flattened or dropped, and the document is then marked as opened with data
// losses.

#include "formats/DocOptions.h"
#include "formats/FormatServices.h"
#include "formats/ReadBuffer.h"

namespace quillane {

class TDocument;

// Reads the whole stream into the (empty) document. The services must name
// the font registry. Failures are reported as the other readers report them
// (for a file source) and give false.
bool ReadRtf(TDocument& document, TReadBuffer& in, TDocOpeningOptions& options, const TFormatServices& services);

// Lets every style of the list store only what differs from its base style
// (or from the defaults for a style without one).
void NormalizeStyleList(TDocument& document);

}  // namespace quillane
