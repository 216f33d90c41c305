#pragma once
// Unicode text of Word 97/2000 pieces as the 8-bit text of the model:
// characters of the ANSI code page (1252) keep their byte, others get a
// best-fit substitute or '?', and symbol-font characters of the private
// use area (0xF000-0xF0FF) keep their low byte. Converting a run into the
// code page of its Unicode block, with the font switched to the matching
// character set, is the RTF reader's normalisation; this is the fallback
// the Word reader uses until it can call that.

#include <cstdint>
#include <vector>

#include "platform/CodePages.h"

namespace quillane {

class TUnicodeToAnsi {
public:
    explicit TUnicodeToAnsi(const TCodePageDecoding& ansi);
    uint8_t Convert(char16_t c) const;

private:
    static constexpr uint16_t NotYet = 0xFFFF;
    mutable std::vector<uint16_t> cache_;  // 65536 entries, filled on first use of each
};

}  // namespace quillane
