#include "support/DocText.h"

namespace quillane::test {

std::string PositionsText(const TParagraph& paragraph) {
    std::string text;
    for (int32_t i = 0; i < paragraph.PositionCount(); ++i) {
        const uint8_t c = paragraph.Positions[i];
        if (c < 32) {
            text += "<" + std::to_string(c) + ">";
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

std::vector<std::string> ParagraphTexts(const TDocument& document) {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        texts.push_back(PositionsText(document.Paragraph(i)));
    }
    return texts;
}

std::string StreamText(const TFlexibleString& text) {
    std::string out;
    int32_t i = 0;
    while (i < text.Length()) {
        if (text[i] != 0) {
            out += static_cast<char>(text[i]);
            ++i;
            continue;
        }
        const TTag tag = ReadTag(text.Data() + i);
        if (tag.Kind == tkSpecial) {
            out += "<" + std::to_string(tag.Value) + ">";
        } else {
            out += "[" + std::to_string(tag.Kind) + "=" + std::to_string(tag.Value) + "]";
        }
        i += TagSize;
    }
    return out;
}

}  // namespace quillane::test
