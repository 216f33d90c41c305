#pragma once
// The font table of a Write file: a 16-bit count, then entries of a
// 16-bit size (the bytes that follow it), a family byte and a
// zero-terminated name. A size of 0xFFFF moves on to the next page, a size
// of 0 ends the table. The Write font number is the entry's position.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/word/WordBytes.h"
#include "formats/write/WriteHeader.h"

namespace quillane {

struct TWriteFont {
    std::string Name;   // at most 32 characters; may be empty
    uint8_t Family = 0; // the family bits of a pitch-and-family byte
};

// The table on pages [PnFfntb, PnMac); none for Word for DOS files, whose
// fonts are the printer's. Reading stops at the count, at the end marker
// and at the last page, whichever comes first.
std::vector<TWriteFont> ParseWriteFonts(TByteView file, const TWriteHeader& header);

}  // namespace quillane
