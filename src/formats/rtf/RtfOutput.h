#pragma once
// The RTF writer's primitives over the write sink: control words by their
// numbers in the reader's tables, escaped text, hex data and groups. It
// remembers whether a control word was written last, so that text which
// follows one gets the single space that ends the word.

#include <cstdint>
#include <string_view>

#include "formats/WriteSink.h"
#include "formats/rtf/RtfControlWords.h"
#include "pictures/Bytes.h"

namespace quillane {

class TRtfOutput {
public:
    TRtfOutput(TWriteSink& sink, bool raw) : sink_(sink), raw_(raw) {}

    // High and control bytes go out unescaped while raw is on.
    bool Raw() const { return raw_; }
    void SetRaw(bool raw) { raw_ = raw; }

    void OpenGroup();
    void CloseGroup();
    // "{\*" and the destination word: a group other readers may skip.
    void OpenStarred(TRtfDestination word);
    void Destination(TRtfDestination word);

    void Body(TRtfBodyWord word);
    void Body(TRtfBodyWord word, int64_t value);
    void Special(TRtfSpecialWord word);
    void Special(TRtfSpecialWord word, int64_t value);
    // The word alone for on, the word and 0 for off.
    void Flag(TRtfBodyWord word, bool on);
    // A backslash and one character (\~, \_, \-): ends a word by itself.
    void Symbol(char c);
    // Bytes written as they stand (the header, separators); they end a
    // pending word only when they are not letters or digits.
    void Literal(std::string_view text);
    // A space that ends a pending word, written only when one is pending.
    void EndWord();

    // Text: plain runs copied, backslash and braces escaped, high and
    // control bytes raw or as \'hh.
    void Text(const uint8_t* bytes, int32_t n);
    void Text(std::string_view text) {
        Text(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int32_t>(text.size()));
    }
    // Text in a double-byte code page: each pair of a lead byte and its
    // trail byte stays whole, raw when both may stand as they are, else as
    // two \'hh escapes in one run, so that no reader splits it.
    void DoubleByteText(const uint8_t* bytes, int32_t n, int codePage);
    // "{\word text}", nothing for empty text; starred puts \* in front.
    void TextGroup(TRtfDestination word, std::string_view text, bool starred = false);

    // Two lower-case hex digits per byte, no line breaks.
    void Hex(TByteSpan bytes);

    // The paragraph end: \par, or a backslash and CR when raw.
    void ParagraphEnd();
    void LineBreak();  // CR LF between paragraphs of a readable file

private:
    void Word(const char* name);
    void Number(int64_t value);

    TWriteSink& sink_;
    bool raw_;
    bool pending_ = false;
};

}  // namespace quillane
