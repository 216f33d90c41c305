#pragma once
// Pixels of pictures as an independent decoder (Pillow, through
// scripts/png-reference.py) reads them, for the tests that compare our
// decoders with it. Native builds only: under Wine there is no Python.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace quillane::test {

struct TReferencePixels {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Rgba;  // R, G, B, A, row after row

    uint32_t At(int32_t x, int32_t y) const;  // R in the low byte
};

#ifndef _WIN32
// Whether the interpreter (QUILLANE_PYTHON or the build's) has Pillow.
bool PillowAvailable();
// Decodes the files with Pillow, the results landing in `folder`; false
// when the script could not run.
bool RunPillow(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& files);
// Pillow's pixels of the file called `name`, nothing when Pillow refused it.
std::optional<TReferencePixels> PillowPixels(const std::filesystem::path& folder, const std::string& name);
#endif

}  // namespace quillane::test
