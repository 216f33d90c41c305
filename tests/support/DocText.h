#pragma once
// Readable views of paragraphs for assertions, and a builder for text
// streams: characters as they are, special characters as "<n>", attribute
// tags as "[slot=value]".

#include <cstdint>
#include <string>
#include <vector>

#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane::test {

// The position string, specials shown as "<n>".
std::string PositionsText(const TParagraph& paragraph);
// Every paragraph's PositionsText.
std::vector<std::string> ParagraphTexts(const TDocument& document);
// The text stream, tags shown as "[slot=value]" or "<n>" for specials.
std::string StreamText(const TFlexibleString& text);

// Builds a paragraph's text stream and position string together.
class TStreamBuilder {
public:
    explicit TStreamBuilder(TParagraph& paragraph) : paragraph_(paragraph) {}
    TStreamBuilder& Chars(const std::string& chars) {
        paragraph_.AppendChars(reinterpret_cast<const uint8_t*>(chars.data()), static_cast<int32_t>(chars.size()));
        return *this;
    }
    TStreamBuilder& Attr(int slot, int32_t value) {
        paragraph_.AppendAttributeTag(slot, value);
        return *this;
    }
    TStreamBuilder& Special(uint8_t code) {
        paragraph_.AppendSpecial(code);
        return *this;
    }
    TStreamBuilder& End() { return Special(spParagraphEnd); }

private:
    TParagraph& paragraph_;
};

}  // namespace quillane::test
