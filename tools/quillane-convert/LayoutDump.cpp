#include "LayoutDump.h"

#include <ostream>

#include "layout/LineLayout.h"
#include "model/Document.h"
#include "model/ParLine.h"

namespace quillane {

void PrintLayout(TDocument& document, TLineLayout& layout, std::ostream& out) {
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        TParagraph& paragraph = document.Paragraph(i);
        layout.LayoutParagraph(paragraph);
        for (int32_t j = 0; j < paragraph.LineCount(); ++j) {
            const TParLine& line = paragraph.Line(j);
            out << i << '\t' << j << '\t' << line.FirstPosition << '\t' << line.PositionCount << '\t' << line.X(0)
                << '\t' << line.X(line.PositionCount) << '\t' << paragraph.Width << '\t' << line.Height << '\n';
        }
        // Lines are only needed while they are printed.
        paragraph.DropLayout(false);
    }
}

}  // namespace quillane
