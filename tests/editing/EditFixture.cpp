#include "editing/EditFixture.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "editing/TextAccess.h"
#include "layout/LineGeometry.h"
#include "layout/Pagination.h"
#include "model/TextStream.h"
#include "pictures/DocObject.h"
#include "pictures/ObjectManager.h"

namespace quillane::test {

TEditFixture::TEditFixture(int64_t memoryBound, bool layout) : host_(memoryBound) {
    fontSystem_.Faces = StandardFakeFaces();
    fonts_ = std::make_unique<TFontManager>(fontSystem_);
    layout_ = std::make_unique<TLineLayout>(*fonts_, kerning_, 96);
    document_ = std::make_unique<TDocument>(TModelDefaults::BuiltIn(fonts_->TimesNewRomanIndex()), &host_);
    if (layout) {
        document_->SetLayouter(layout_.get());
    }
    editor_ = std::make_unique<TDocumentEditor>(*document_, OperationManagerOf(*document_));
    document_->Paragraph(0).AppendSpecial(spParagraphEnd);
}

void TEditFixture::SetParagraphs(const std::vector<std::string>& texts) {
    TDocument& d = *document_;
    d.FreePagesFrom(0);
    while (d.ParagraphCount() > 1) {
        d.RemoveParagraph(d.ParagraphCount() - 1);
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        TParagraph& p = i == 0 ? d.Paragraph(0) : d.AddParagraph();
        p.DropLayout(false);
        p.Text.Clear();
        p.Positions.Clear();
        for (const char c : texts[i]) {
            switch (c) {
                case '\t': p.AppendSpecial(spTab); break;
                case '\n': p.AppendSpecial(spLineBreak); break;
                case '\f': p.AppendSpecial(spPageBreak); break;
                default: {
                    const auto byte = static_cast<uint8_t>(c);
                    p.AppendChars(&byte, 1);
                }
            }
        }
        p.AppendSpecial(spParagraphEnd);
    }
    d.SetPaginationComplete(false);
    Caret(0, 0);
}

void TEditFixture::Select(int32_t p1, int32_t o1, int32_t p2, int32_t o2) {
    TDocument& d = *document_;
    d.View.SelectionStart = {p1, o1};
    d.View.SelectionEnd = {p2, o2};
    d.View.Caret.Position = {p2, o2};
    d.Flags.Assign(21, false);
    editor_->UpdateSelectionAttrs();
}

void TEditFixture::PaginateAll() {
    while (PaginateStep(*document_, TPaginationOptions{})) {
    }
}

std::string TEditFixture::Text(int32_t p) {
    const TParagraph& paragraph = document_->Paragraph(p);
    std::string text;
    for (int32_t k = 0; k + 1 < paragraph.PositionCount(); ++k) {
        const uint8_t c = paragraph.Positions[k];
        text += c == spTab ? '\t' : c == spLineBreak ? '\n' : c == spPageBreak ? '\f' : static_cast<char>(c);
    }
    return text;
}

namespace {

std::string ShowTag(const uint8_t* tag) {
    const TTag t = ReadTag(tag);
    return "<" + std::to_string(t.Kind) + ":" + std::to_string(t.Value) + ">";
}

std::string ShowChar(uint8_t c) {
    if (c >= 32 && c < 127 && c != '<' && c != '>') {
        return std::string(1, static_cast<char>(c));
    }
    return "<#" + std::to_string(c) + ">";
}

// Each run of attribute tags in slot order, after normalising.
std::string CanonicalStream(const TParagraph& p) {
    TFlexibleString copy(p.Text);
    NormalizeTagStream(copy, p.Document().DefaultCharAttrs);
    std::string out;
    const uint8_t* bytes = copy.Data();
    const int32_t n = copy.Length();
    int32_t i = 0;
    std::vector<std::string> run;
    auto flush = [&]() {
        std::sort(run.begin(), run.end());
        for (const std::string& tag : run) {
            out += tag;
        }
        run.clear();
    };
    while (i < n) {
        if (bytes[i] != 0) {
            flush();
            out += ShowChar(bytes[i]);
            ++i;
            continue;
        }
        const std::string tag = ShowTag(bytes + i);
        if (IsAttributeKind(bytes[i + 1])) {
            run.push_back(tag);
        } else {
            flush();
            out += tag;
        }
        i += TagSize;
    }
    flush();
    return out;
}

}  // namespace

std::string CanonicalState(const TDocument& document) {
    std::string out;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& p = document.Paragraph(i);
        out += "P" + std::to_string(i) + ":";
        out += CanonicalStream(p);
        out += "|";
        for (int32_t k = 0; k < p.Positions.Length(); ++k) {
            out += ShowChar(p.Positions[k]);
        }
        out += "|";
        for (int slot = 0; slot < ParSlotCount; ++slot) {
            out += std::to_string(p.Attributes[slot]) + ",";
        }
        out += "\n";
    }
    const TPageSettings& page = document.PageSettings();
    out += "page " + std::to_string(page.PaperWidth) + "x" + std::to_string(page.PaperHeight);
    out += " margins " + std::to_string(page.LeftMargin) + "," + std::to_string(page.RightMargin);
    out += " lang " + std::to_string(document.DefaultLanguageCoding);
    out += " tabs " + std::to_string(document.Tabs().DefaultInterval());
    for (int32_t i = 0; i < document.Styles().StyleCount(); ++i) {
        const TStyle& style = document.Styles().Style(i);
        out += "\nstyle " + style.Name + " " + std::to_string(style.BasedOn) + " " + std::to_string(style.NextStyle);
        for (int slot = 0; slot < CharSlotCount; ++slot) {
            out += "," + std::to_string(style.CharAttrs[slot]);
        }
        for (int slot = 0; slot < ParSlotCount; ++slot) {
            out += "," + std::to_string(style.ParAttrs[slot]);
        }
    }
    // The objects the text refers to (the history's buffers hold others).
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        std::vector<int32_t> ids;
        const TParagraph& p = document.Paragraph(i);
        CollectObjectIds(p.Text.Data(), p.Text.Length(), ids);
        for (int32_t id : ids) {
            const TDocObject* object = document.Objects().Find(id);
            out += object == nullptr ? " missing object"
                                     : " object " + std::to_string(object->Width) + "x" +
                                           std::to_string(object->Height) + "@" +
                                           std::to_string(object->HorizontalScale) + "," +
                                           std::to_string(object->VerticalScale);
        }
    }
    return out;
}

std::string CheckStructure(TDocument& document) {
    std::ostringstream faults;
    if (document.ParagraphCount() < 1) {
        return "no paragraphs";
    }
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        TParagraph& p = document.Paragraph(i);
        try {
            CheckTextStream(p.Text, p.Positions);
        } catch (const std::exception& e) {
            faults << "paragraph " << i << ": " << e.what() << "\n";
            continue;
        }
        const int32_t n = p.PositionCount();
        if (n == 0 || p.Positions[n - 1] != spParagraphEnd) {
            faults << "paragraph " << i << " does not end with its mark\n";
        }
        for (int32_t k = 0; k + 1 < n; ++k) {
            const uint8_t c = p.Positions[k];
            if (c == spParagraphEnd || c == 29 || c == 30) {
                faults << "paragraph " << i << " holds byte " << int{c} << " at " << k << "\n";
            }
        }
        if (p.LaidOut) {
            for (int32_t l = 0; l < p.LineCount(); ++l) {
                const TParLine& line = p.Line(l);
                if (line.FirstPosition + line.PositionCount > n) {
                    faults << "paragraph " << i << " line " << l << " past the positions\n";
                }
            }
        }
    }
    // Every picture and object tag names an object of its own.
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& p = document.Paragraph(i);
        CollectObjectIds(p.Text.Data(), p.Text.Length(), ids);
    }
    std::sort(ids.begin(), ids.end());
    for (size_t k = 0; k < ids.size(); ++k) {
        if (document.Objects().Find(ids[k]) == nullptr) {
            faults << "object " << ids[k] << " is not in the document's objects\n";
        }
        if (k > 0 && ids[k] == ids[k - 1]) {
            faults << "object " << ids[k] << " is named twice\n";
        }
    }
    for (int32_t pg = 0; pg < document.PageCount(); ++pg) {
        const TPage& page = document.Page(pg);
        for (int32_t k = 0; k < page.PieceCount(); ++k) {
            const TPiece& piece = page.Piece(k);
            if (piece.Paragraph < 0 || piece.Paragraph >= document.ParagraphCount()) {
                faults << "page " << pg << " piece " << k << " names paragraph " << piece.Paragraph << "\n";
                continue;
            }
            const TParagraph& p = document.Paragraph(piece.Paragraph);
            if (piece.LastLine >= p.LineCount()) {
                faults << "page " << pg << " piece " << k << " names line " << piece.LastLine << " of "
                       << p.LineCount() << "\n";
            }
        }
        for (int32_t l = 0; l < page.LineCount(); ++l) {
            if (page.Line(l).Page != &page) {
                faults << "page " << pg << " line " << l << " points to another page\n";
            }
        }
    }
    const TCaretRecord& caret = document.View.Caret;
    if (caret.Position.Paragraph < 0 || caret.Position.Paragraph >= document.ParagraphCount() ||
        caret.Position.Offset < 0 ||
        caret.Position.Offset >= document.Paragraph(caret.Position.Paragraph).PositionCount()) {
        faults << "caret outside the document\n";
    }
    if (const TOperationManager* manager = OperationManagerOf(document)) {
        int64_t sum = 0;
        for (int32_t i = 0; i < manager->Count(); ++i) {
            sum += manager->Items(i).MemorySize();
        }
        if (sum != manager->MemoryUsed()) {
            faults << "memory used " << manager->MemoryUsed() << " but the operations hold " << sum << "\n";
        }
        if (manager->Current() < -1 || manager->Current() >= manager->Count()) {
            faults << "current " << manager->Current() << " of " << manager->Count() << "\n";
        }
        if (document.Modified() != (manager->Current() != manager->SavedIndex())) {
            faults << "modified flag disagrees with the saved index\n";
        }
    }
    if (auto* reflow = dynamic_cast<TParReformatingManager*>(document.Reflow())) {
        for (int32_t p : reflow->Queued()) {
            if (p < 0 || p >= document.ParagraphCount()) {
                faults << "reflow queue holds paragraph " << p << "\n";
            }
        }
    }
    return faults.str();
}

std::vector<TCharAttrs> PositionAttrs(const TParagraph& p) {
    std::vector<TCharAttrs> attrs;
    attrs.reserve(static_cast<size_t>(p.PositionCount()));
    for (int32_t k = 0; k < p.PositionCount(); ++k) {
        attrs.push_back(AttrsOfItem(p, k));
    }
    return attrs;
}

std::string CompareWithFreshLayout(TDocument& document) {
    struct TLine {
        int32_t First, Count, Height, Base;
        bool operator==(const TLine&) const = default;
    };
    std::vector<std::vector<TLine>> before(static_cast<size_t>(document.ParagraphCount()));
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& p = document.Paragraph(i);
        for (int32_t l = 0; l < p.LineCount(); ++l) {
            before[static_cast<size_t>(i)].push_back({p.Line(l).FirstPosition, p.Line(l).PositionCount, p.Line(l).Height,
                                                      LineHeightBase(p.Line(l), document.View.ScreenPpi)});
        }
    }
    std::vector<std::vector<TPiece>> pages;
    for (int32_t pg = 0; pg < document.PageCount(); ++pg) {
        std::vector<TPiece> pieces;
        for (int32_t k = 0; k < document.Page(pg).PieceCount(); ++k) {
            pieces.push_back(document.Page(pg).Piece(k));
        }
        pages.push_back(pieces);
    }
    document.FreePagesFrom(0);
    document.DropAllLayouts();
    document.SetPaginationComplete(false);
    while (PaginateStep(document, TPaginationOptions{})) {
    }
    std::ostringstream out;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        const TParagraph& p = document.Paragraph(i);
        std::vector<TLine> fresh;
        for (int32_t l = 0; l < p.LineCount(); ++l) {
            fresh.push_back({p.Line(l).FirstPosition, p.Line(l).PositionCount, p.Line(l).Height,
                             LineHeightBase(p.Line(l), document.View.ScreenPpi)});
        }
        if (fresh != before[static_cast<size_t>(i)]) {
            out << "paragraph " << i << ": " << before[static_cast<size_t>(i)].size() << " lines kept, "
                << fresh.size() << " laid out afresh, or they differ\n";
        }
    }
    if (static_cast<int32_t>(pages.size()) != document.PageCount()) {
        out << pages.size() << " pages kept, " << document.PageCount() << " paginated afresh\n";
        for (size_t pg = 0; pg < pages.size(); ++pg) {
            out << "  kept page " << pg << ":";
            for (const TPiece& piece : pages[pg]) {
                out << " " << piece.Paragraph << "[" << piece.FirstLine << "-" << piece.LastLine << "]";
            }
            out << "\n";
        }
        for (int32_t pg = 0; pg < document.PageCount(); ++pg) {
            out << "  fresh page " << pg << ":";
            for (int32_t k = 0; k < document.Page(pg).PieceCount(); ++k) {
                const TPiece& piece = document.Page(pg).Piece(k);
                out << " " << piece.Paragraph << "[" << piece.FirstLine << "-" << piece.LastLine << "]";
            }
            out << "\n";
        }
    } else {
        for (int32_t pg = 0; pg < document.PageCount(); ++pg) {
            const auto& kept = pages[static_cast<size_t>(pg)];
            const TPage& page = document.Page(pg);
            bool same = static_cast<int32_t>(kept.size()) == page.PieceCount();
            for (int32_t k = 0; same && k < page.PieceCount(); ++k) {
                const TPiece& a = kept[static_cast<size_t>(k)];
                const TPiece& b = page.Piece(k);
                same = a.Paragraph == b.Paragraph && a.FirstLine == b.FirstLine && a.LastLine == b.LastLine;
            }
            if (!same) {
                out << "page " << pg << " has other pieces\n";
            }
        }
    }
    return out.str();
}

}  // namespace quillane::test
