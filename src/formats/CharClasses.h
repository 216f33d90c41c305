#pragma once
// Byte tables shared by the text and RTF readers and writers.

#include <array>
#include <cstdint>

namespace quillane {

// The special character a byte of a text file stands for, or 0.
extern const std::array<uint8_t, 256> TextSpecialMap;

// Bytes that are copied in runs: all but 0..31, backslash, the braces and
// the three bytes that stand for specials (0x96, 0x97, 0xA0).
extern const std::array<bool, 256> OrdinaryCharClass;

// The length of the run of ordinary bytes at p, at most limit.
int32_t OrdinaryRunLength(const uint8_t* p, int32_t limit);

}  // namespace quillane
