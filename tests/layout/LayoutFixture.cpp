#include "layout/LayoutFixture.h"

#include "model/TextStream.h"

namespace quillane::test {

TLayoutFixture::TLayoutFixture(int32_t textWidth) {
    fonts_.Faces = StandardFakeFaces();
    manager_ = std::make_unique<TFontManager>(fonts_);
    layout_ = std::make_unique<TLineLayout>(*manager_, kerning_, 96);
    document_ = std::make_unique<TDocument>(TModelDefaults::BuiltIn(manager_->ArialIndex()));
    TPageSettings page;
    page.PaperWidth = textWidth + 2 * 1800;
    document_->ApplyPageSettings(page, false);
    document_->SetLayouter(layout_.get());
    document_->SetObjectExtents(&objects_);
}

bool TLayoutFixture::TObjects::Extent(uint8_t kind, int32_t id, TObjectExtent& extent) const {
    const auto it = pictures_.find(id);
    if (kind != tkPicture || it == pictures_.end()) {
        return false;
    }
    extent = it->second;
    return true;
}

TParagraph& TLayoutFixture::SetText(const std::string& notation) { return SetText(notation, {}); }

TParagraph& TLayoutFixture::SetText(const std::string& notation, const std::vector<std::array<int32_t, 3>>& tags) {
    TParagraph& p = document_->Paragraph(0);
    p.DropLayout(false);
    p.Text.Clear();
    p.Positions.Clear();
    for (size_t i = 0; i <= notation.size(); ++i) {
        for (const auto& tag : tags) {
            if (tag[0] == static_cast<int32_t>(i)) {
                if (tag[1] == tkPicture) {
                    p.Text.AppendTag(tkPicture, tag[2]);
                    p.Positions.AppendByte(spPicture);
                } else {
                    p.AppendAttributeTag(tag[1], tag[2]);
                }
            }
        }
        if (i == notation.size()) {
            break;
        }
        const char c = notation[i];
        switch (c) {
            case '\t': p.AppendSpecial(spTab); break;
            case '\n': p.AppendSpecial(spLineBreak); break;
            case '\f': p.AppendSpecial(spPageBreak); break;
            case '^': p.AppendSpecial(spOptionalHyphen); break;
            case '_': p.AppendSpecial(spNonbreakingSpace); break;
            case '=': p.AppendSpecial(spNonbreakingHyphen); break;
            default: {
                const auto byte = static_cast<uint8_t>(c);
                p.AppendChars(&byte, 1);
            }
        }
    }
    p.AppendSpecial(spParagraphEnd);
    return p;
}

TParagraph& TLayoutFixture::LayOut() {
    TParagraph& p = document_->Paragraph(0);
    p.DropLayout(true);
    return p;
}

std::string LineNotation(const TParLine& line) {
    std::string text;
    for (int32_t k = 0; k < line.PositionCount; ++k) {
        const uint8_t c = line.Code(k);
        switch (c) {
            case spParagraphEnd: text += '$'; break;
            case spTab: text += '\t'; break;
            case spLineBreak: text += '\n'; break;
            case spPageBreak: text += '\f'; break;
            case spOptionalHyphen: text += '^'; break;
            case spNonbreakingSpace: text += '_'; break;
            case spNonbreakingHyphen: text += '='; break;
            case spPicture: text += '#'; break;
            default: text += static_cast<char>(c);
        }
    }
    return text;
}

std::vector<std::string> TLayoutFixture::LineTexts() {
    std::vector<std::string> lines;
    const TParagraph& p = document_->Paragraph(0);
    for (int32_t i = 0; i < p.LineCount(); ++i) {
        lines.push_back(LineNotation(p.Line(i)));
    }
    return lines;
}

std::vector<int32_t> TLayoutFixture::Xs(int32_t line) {
    const TParLine& l = document_->Paragraph(0).Line(line);
    std::vector<int32_t> xs;
    for (int32_t k = 0; k <= l.PositionCount; ++k) {
        xs.push_back(l.X(k));
    }
    return xs;
}

}  // namespace quillane::test
