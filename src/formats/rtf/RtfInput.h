#pragma once
// The RTF tokenizer over the shared input buffer: control words with their
// parameters, hex escapes, runs of text, and skipping. Every step looks at
// most a few bytes ahead, which the buffer always holds after a refill, and
// every loop consumes input, so no file can make it read past the data or
// spin in place.

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/ReadBuffer.h"

namespace quillane {

// A control word as scanned: the name folded to lower case, and its
// parameter (Value is 0 without one).
struct TRtfWord {
    static constexpr int32_t MaxName = 32;  // longer names are kept cut (and match nothing)
    char Name[MaxName]{};
    int32_t Length = 0;
    bool HasParam = false;
    int32_t Value = 0;

    std::string_view View() const { return {Name, static_cast<size_t>(Length)}; }
    // The on/off value of toggles such as \b: 1 without a parameter.
    int32_t Flag() const { return HasParam ? Value : 1; }
};

class TRtfInput {
public:
    explicit TRtfInput(TReadBuffer& in) : in_(in) {}

    // The byte `ahead` places on, or -1 past the end (ahead < 32).
    int Peek(int32_t ahead = 0) {
        if (in_.Pos() + ahead >= in_.End()) {
            in_.Fill();
            if (in_.Pos() + ahead >= in_.End()) {
                return -1;
            }
        }
        return in_.Data()[in_.Pos() + ahead];
    }
    bool AtEnd() { return Peek() < 0; }
    // The group being read is over: at the end of the data, or at its
    // closing brace, which is taken.
    bool EndOfGroup() {
        const int c = Peek();
        if (c == '}') {
            Skip();
        }
        return c < 0 || c == '}';
    }
    void Skip(int32_t n = 1) { in_.Advance(n); }
    // Refills when needed, after a step of the reader.
    void Refill() { in_.Fill(); }

    // The unconsumed bytes in the buffer now (at least one unless at end).
    const uint8_t* Current() const { return in_.Data() + in_.Pos(); }
    int32_t Available() const { return in_.End() - in_.Pos(); }
    int64_t Remaining() const { return in_.Size() - (in_.Base() + in_.Pos()); }

    // Whether a backslash and a letter come next.
    bool AtControlWord();
    // Scans a control word; the input is at its backslash.
    TRtfWord ReadWord();
    // Just inside a group's opening brace: passes over "\*" and reads the
    // word that names the group; a word of length 0, with nothing taken,
    // when the group starts with anything else.
    TRtfWord ReadGroupWord();
    // Whether "\'" and two hex digits come next.
    bool AtHexEscape();
    // Decodes a run of consecutive hex escapes, appending the bytes.
    void ReadHexRun(std::string& out);
    // Skips the rest of a group whose opening brace has been read, nested
    // groups and binary data included; without recursion.
    void SkipGroup();
    // Skips n bytes of binary data, never more than the input holds.
    void SkipBinary(int64_t n);
    // Reads n bytes of binary data (bounded by the input) into out.
    void ReadBinary(int64_t n, std::string& out);
    // Skips bytes below 33 (line breaks and blanks between groups).
    void SkipBlanks();

private:
    TReadBuffer& in_;
};

inline bool IsRtfLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline int HexDigitValue(int c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace quillane
