#include "formats/rtf/RtfInput.h"

#include <algorithm>
#include <climits>

namespace quillane {

bool TRtfInput::AtControlWord() { return Peek() == '\\' && IsRtfLetter(Peek(1)); }

TRtfWord TRtfInput::ReadWord() {
    TRtfWord word;
    Skip();  // the backslash
    for (int c = Peek(); IsRtfLetter(c); c = Peek()) {
        if (word.Length < TRtfWord::MaxName) {
            word.Name[word.Length] = static_cast<char>(c | 0x20);  // folded to lower case
        }
        ++word.Length;
        Skip();
    }
    if (word.Length > TRtfWord::MaxName) {
        word.Length = 0;  // an overlong name is no word of ours
    }
    int c = Peek();
    if (c == ' ') {
        Skip();
        return word;
    }
    // The parameter counts from its last digit back to a minus sign or the
    // start; the value saturates instead of overflowing.
    int64_t magnitude = 0;
    bool negative = false;
    while (c == '-' || (c >= '0' && c <= '9')) {
        word.HasParam = true;
        if (c == '-') {
            negative = true;
            magnitude = 0;
        } else if (magnitude <= INT32_MAX) {
            magnitude = magnitude * 10 + (c - '0');
        }
        Skip();
        c = Peek();
    }
    if (word.HasParam) {
        if (negative) {
            word.Value = static_cast<int32_t>(-std::min<int64_t>(magnitude, -static_cast<int64_t>(INT32_MIN)));
        } else {
            word.Value = static_cast<int32_t>(std::min<int64_t>(magnitude, INT32_MAX));
        }
        if (c == ' ') {
            Skip();
        }
    }
    return word;
}

bool TRtfInput::AtHexEscape() {
    return Peek() == '\\' && Peek(1) == '\'' && HexDigitValue(Peek(2)) >= 0 && HexDigitValue(Peek(3)) >= 0;
}

void TRtfInput::ReadHexRun(std::string& out) {
    while (AtHexEscape()) {
        out.push_back(static_cast<char>(HexDigitValue(Peek(2)) * 16 + HexDigitValue(Peek(3))));
        Skip(4);
    }
}

void TRtfInput::SkipGroup() {
    int64_t depth = 1;
    for (;;) {
        // Plain bytes are passed over in blocks.
        const uint8_t* p = Current();
        const int32_t n = Available();
        int32_t i = 0;
        while (i < n && p[i] != '{' && p[i] != '}' && p[i] != '\\') {
            ++i;
        }
        Skip(i);
        const int c = Peek();
        if (c < 0) {
            return;
        }
        if (c == '{') {
            ++depth;
            Skip();
        } else if (c == '}') {
            Skip();
            if (--depth == 0) {
                return;
            }
        } else if (AtControlWord()) {
            const TRtfWord word = ReadWord();
            if (word.View() == "bin" && word.HasParam) {
                SkipBinary(word.Value);
            }
        } else {
            Skip(Peek(1) < 0 ? 1 : 2);  // a backslash takes the byte after it along
        }
    }
}

void TRtfInput::SkipBinary(int64_t n) {
    n = std::clamp<int64_t>(n, 0, std::max<int64_t>(Remaining(), 0));
    while (n > 0 && !AtEnd()) {
        const int32_t step = static_cast<int32_t>(std::min<int64_t>(n, Available()));
        Skip(step);
        n -= step;
    }
}

void TRtfInput::ReadBinary(int64_t n, std::string& out) {
    n = std::clamp<int64_t>(n, 0, std::max<int64_t>(Remaining(), 0));
    while (n > 0 && !AtEnd()) {
        const int32_t step = static_cast<int32_t>(std::min<int64_t>(n, Available()));
        out.append(reinterpret_cast<const char*>(Current()), static_cast<size_t>(step));
        Skip(step);
        n -= step;
    }
}

void TRtfInput::SkipBlanks() {
    for (int c = Peek(); c >= 0 && c < 33; c = Peek()) {
        Skip();
    }
}

TRtfWord TRtfInput::ReadGroupWord() {
    if (Peek() == '\\' && Peek(1) == '*') {
        Skip(2);
    }
    return AtControlWord() ? ReadWord() : TRtfWord{};
}

}  // namespace quillane
