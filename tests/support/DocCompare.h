#pragma once
// Compares two documents as a file would have to carry them: paragraphs
// (canonical text streams with each run of attribute tags in slot order,
// position strings, attributes), the style sheet,
// tab tables by content, document-wide settings and the embedded pictures
// and objects. Both documents must have been read with the same font
// registry, since font slots compare by registry index.

#include <string>
#include <vector>

#include "model/Document.h"

namespace quillane::test {

struct TDocCompareOptions {
    // Stops collecting after this many differences; the last entry then
    // says that more were left out.
    size_t MaxDifferences = 40;
    // Pixels of bitmap pictures (decoding every picture costs time in the
    // large corpus files).
    bool ComparePixels = true;
    // A bitmap picture of the first document may be a metafile in the
    // second: escaped RTF carries bitmaps inside Windows metafiles.
    bool BitmapsMayBecomeMetafiles = false;
};

// Readable differences between a and b, empty when they are equal.
std::vector<std::string> CompareDocuments(const TDocument& a, const TDocument& b,
                                          const TDocCompareOptions& options = {});

// The differences one per line, for test messages.
std::string JoinDifferences(const std::vector<std::string>& differences);

// A tab table as text, e.g. "L720 C1440. R2000_ B3000" (kind letter,
// position, leader mark).
std::string TabTableText(const TTabTable& table);

}  // namespace quillane::test
