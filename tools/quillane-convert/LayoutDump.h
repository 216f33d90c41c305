#pragma once
// quillane-convert --layout: every laid-out line as one line of text, so a
// layout can be inspected without a window.

#include <cstdint>
#include <iosfwd>

namespace quillane {

class TDocument;
class TLineLayout;

// Lays out every paragraph and prints, tab-separated: paragraph index, line
// index, first position, position count, start x and end x (layout units),
// the paragraph's line width (layout units) and the line height (pixels at
// 100 %).
void PrintLayout(TDocument& document, TLineLayout& layout, std::ostream& out);

}  // namespace quillane
