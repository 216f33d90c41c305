#pragma once
// The program's version and its number as the settings store keeps it:
// a.b.c.d is a * 10,000,000 + b * 100,000 + c * 1,000 + d.

#include <cstdint>

namespace quillane {

constexpr int32_t VersionNumber(int32_t a, int32_t b, int32_t c, int32_t d) {
    return a * 10'000'000 + b * 100'000 + c * 1'000 + d;
}

// Quillane 1.0.0.71.
constexpr int32_t ProgramVersionNumber = VersionNumber(1, 0, 0, 71);

// Runs from before this version reset the default time format when they
// were upgraded across it.
constexpr int32_t TimeFormatResetVersion = VersionNumber(1, 1, 2, 4);

}  // namespace quillane
