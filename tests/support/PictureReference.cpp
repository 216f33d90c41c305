#include "support/PictureReference.h"

#include <cstdlib>
#include <string>

#include "support/Corpus.h"

namespace quillane::test {

uint32_t TReferencePixels::At(int32_t x, int32_t y) const {
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)) * 4;
    return uint32_t{Rgba[at]} | uint32_t{Rgba[at + 1]} << 8 | uint32_t{Rgba[at + 2]} << 16 | uint32_t{Rgba[at + 3]} << 24;
}

#ifndef _WIN32
namespace {

std::string Python() {
    const char* fromEnv = std::getenv("QUILLANE_PYTHON");
    return fromEnv != nullptr && *fromEnv != 0 ? fromEnv : QUILLANE_PYTHON_DEFAULT;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

}  // namespace

bool PillowAvailable() {
    return !Python().empty() &&
           std::system((Quoted(Python()) + " " + Quoted(QUILLANE_PNG_REFERENCE) + " --check 2>/dev/null").c_str()) == 0;
}

bool RunPillow(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& files) {
    std::string command = Quoted(Python()) + " " + Quoted(QUILLANE_PNG_REFERENCE) + " " + Quoted(folder.string());
    for (const auto& path : files) {
        command += " " + Quoted(path.string());
    }
    // Pillow warns about large pictures on stderr; the results are files.
    return std::system((command + " 2>/dev/null").c_str()) == 0;
}

std::optional<TReferencePixels> PillowPixels(const std::filesystem::path& folder, const std::string& name) {
    const auto path = folder / (name + ".rgba");
    if (!std::filesystem::exists(path)) {
        return std::nullopt;
    }
    const std::string bytes = ReadWholeFile(path);
    if (bytes.size() < 8) {
        return std::nullopt;
    }
    const auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
               static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
               static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
               static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
    };
    TReferencePixels pixels;
    pixels.Width = static_cast<int32_t>(u32(0));
    pixels.Height = static_cast<int32_t>(u32(4));
    pixels.Rgba.assign(bytes.begin() + 8, bytes.end());
    if (pixels.Rgba.size() != static_cast<size_t>(pixels.Width) * static_cast<size_t>(pixels.Height) * 4) {
        return std::nullopt;
    }
    return pixels;
}
#endif

}  // namespace quillane::test
