#include "formats/rtf/RtfOutput.h"

#include <array>
#include <charconv>

#include "formats/rtf/RtfUnicode.h"

namespace quillane {

namespace {

enum TByteClass : uint8_t { bcPlain, bcControl, bcSpecial, bcHigh };

constexpr std::array<uint8_t, 256> MakeByteClasses() {
    std::array<uint8_t, 256> classes{};
    for (int b = 0; b < 256; ++b) {
        classes[static_cast<size_t>(b)] = b < 32 ? bcControl : b >= 128 ? bcHigh : bcPlain;
    }
    classes['\\'] = bcSpecial;
    classes['{'] = bcSpecial;
    classes['}'] = bcSpecial;
    return classes;
}

constexpr std::array<uint8_t, 256> ByteClasses = MakeByteClasses();
constexpr char HexDigits[] = "0123456789abcdef";

}  // namespace

void TRtfOutput::OpenGroup() {
    sink_.PutByte('{');
    pending_ = false;
}

void TRtfOutput::CloseGroup() {
    sink_.PutByte('}');
    pending_ = false;
}

void TRtfOutput::OpenStarred(TRtfDestination word) {
    sink_.PutBytes("{\\*", 3);
    Word(RtfDestinationNames[static_cast<size_t>(word)]);
}

void TRtfOutput::Destination(TRtfDestination word) { Word(RtfDestinationNames[static_cast<size_t>(word)]); }

void TRtfOutput::Body(TRtfBodyWord word) { Word(RtfBodyWordNames[static_cast<size_t>(word)]); }

void TRtfOutput::Body(TRtfBodyWord word, int64_t value) {
    Body(word);
    Number(value);
}

void TRtfOutput::Special(TRtfSpecialWord word) { Word(RtfSpecialWordNames[static_cast<size_t>(word)]); }

void TRtfOutput::Special(TRtfSpecialWord word, int64_t value) {
    Special(word);
    Number(value);
}

void TRtfOutput::Flag(TRtfBodyWord word, bool on) {
    Body(word);
    if (!on) {
        sink_.PutByte('0');
    }
}

void TRtfOutput::Symbol(char c) {
    const char pair[2] = {'\\', c};
    sink_.PutBytes(pair, 2);
    pending_ = false;
}

void TRtfOutput::Literal(std::string_view text) {
    if (text.empty()) {
        return;
    }
    sink_.PutBytes(text.data(), static_cast<int32_t>(text.size()));
    const auto last = static_cast<unsigned char>(text.back());
    const bool wordChar = (last >= 'a' && last <= 'z') || (last >= 'A' && last <= 'Z') || (last >= '0' && last <= '9');
    pending_ = wordChar;
}

void TRtfOutput::EndWord() {
    if (pending_) {
        sink_.PutByte(' ');
        pending_ = false;
    }
}

void TRtfOutput::Text(const uint8_t* bytes, int32_t n) {
    int32_t i = 0;
    while (i < n) {
        const uint8_t kind = ByteClasses[bytes[i]];
        int32_t j = i + 1;
        while (j < n && ByteClasses[bytes[j]] == kind) {
            ++j;
        }
        switch (kind) {
            case bcPlain:
                EndWord();
                sink_.PutBytes(bytes + i, j - i);
                break;
            case bcSpecial:
                for (int32_t k = i; k < j; ++k) {
                    Symbol(static_cast<char>(bytes[k]));
                }
                break;
            default:
                if (raw_) {
                    EndWord();
                    sink_.PutBytes(bytes + i, j - i);
                } else {
                    for (int32_t k = i; k < j; ++k) {
                        const char escaped[4] = {'\\', '\'', HexDigits[bytes[k] >> 4], HexDigits[bytes[k] & 15]};
                        sink_.PutBytes(escaped, 4);
                    }
                    pending_ = false;
                }
                break;
        }
        i = j;
    }
}

void TRtfOutput::DoubleByteText(const uint8_t* bytes, int32_t n, int codePage) {
    int32_t start = 0;  // the run of single bytes not yet written
    int32_t i = 0;
    while (i < n) {
        if (!IsLeadByte(codePage, bytes[i]) || i + 1 >= n) {
            ++i;
            continue;
        }
        Text(bytes + start, i - start);
        const uint8_t trail = bytes[i + 1];
        if (raw_ && trail >= 0x40 && ByteClasses[trail] != bcSpecial) {
            EndWord();
            sink_.PutBytes(bytes + i, 2);
        } else {
            const char escaped[8] = {'\\', '\'', HexDigits[bytes[i] >> 4], HexDigits[bytes[i] & 15],
                                     '\\', '\'', HexDigits[trail >> 4],    HexDigits[trail & 15]};
            sink_.PutBytes(escaped, 8);
            pending_ = false;
        }
        i += 2;
        start = i;
    }
    Text(bytes + start, n - start);
}

void TRtfOutput::TextGroup(TRtfDestination word, std::string_view text, bool starred) {
    if (text.empty()) {
        return;
    }
    if (starred) {
        OpenStarred(word);
    } else {
        OpenGroup();
        Destination(word);
    }
    EndWord();
    Text(text);
    CloseGroup();
}

void TRtfOutput::Hex(TByteSpan bytes) {
    EndWord();
    // Blocks of a few kilobytes keep the sink's puts large.
    char block[4096];
    size_t fill = 0;
    for (const uint8_t b : bytes) {
        block[fill++] = HexDigits[b >> 4];
        block[fill++] = HexDigits[b & 15];
        if (fill == sizeof block) {
            sink_.PutBytes(block, static_cast<int32_t>(fill));
            fill = 0;
        }
    }
    sink_.PutBytes(block, static_cast<int32_t>(fill));
}

void TRtfOutput::ParagraphEnd() {
    if (raw_) {
        sink_.PutBytes("\\\r", 2);
        pending_ = false;
    } else {
        Body(bwPar);
    }
}

void TRtfOutput::LineBreak() {
    sink_.PutWord(0x0A0D);
    pending_ = false;
}

void TRtfOutput::Word(const char* name) {
    sink_.PutByte('\\');
    int32_t n = 0;
    while (name[n] != 0) {
        ++n;
    }
    sink_.PutBytes(name, n);
    pending_ = true;
}

void TRtfOutput::Number(int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    sink_.PutBytes(digits, static_cast<int32_t>(result.ptr - digits));
}

}  // namespace quillane
