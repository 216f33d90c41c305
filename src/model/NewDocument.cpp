#include "model/NewDocument.h"

#include "model/Document.h"
#include "model/StyleManager.h"
#include "model/TextStream.h"

namespace quillane {

void InitNewDocument(TDocument& document, const TStyleManager& styles, const std::string& userName, double now) {
    document.Flags.SetFlag(dsForceModifiedRefresh);
    document.Information.Properties.Author = userName;
    document.Information.Operator = userName;
    document.Information.CreationTime = now;
    TParagraph& first = document.Paragraph(0);
    if (first.PositionCount() == 0) {
        first.Text.Clear();
        first.AppendAttributeTag(caSize, 20);
        first.AppendSpecial(spParagraphEnd);
    }
    document.ApplyPageSettings(document.PageSettings(), false);
    styles.ImportMaster(document.Styles());
    document.Flags.PopFlags(1);
}

}  // namespace quillane
