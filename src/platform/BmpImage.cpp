#include "platform/BmpImage.h"

#include <cstdint>

namespace quillane {

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr size_t InfoHeaderSize = 40;

void Put16(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8 & 0xFF));
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::string EncodeBmp(const TBitmapView& bitmap) {
    if (!bitmap.IsValid() || bitmap.Width > MaxSurfaceSide || bitmap.Height > MaxSurfaceSide) {
        return {};
    }
    const size_t width = static_cast<size_t>(bitmap.Width);
    const size_t height = static_cast<size_t>(bitmap.Height);
    const size_t rowBytes = (width * 3 + 3) / 4 * 4;
    const size_t imageBytes = rowBytes * height;
    const size_t offset = FileHeaderSize + InfoHeaderSize;
    std::string out;
    out.reserve(offset + imageBytes);
    out += "BM";
    Put32(out, static_cast<uint32_t>(offset + imageBytes));
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(offset));
    Put32(out, InfoHeaderSize);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));  // positive: bottom-up
    Put16(out, 1);                              // planes
    Put16(out, 24);                             // bits per pixel
    Put32(out, 0);                              // uncompressed
    Put32(out, static_cast<uint32_t>(imageBytes));
    Put32(out, 3780);  // 96 pixels per inch, in pixels per metre
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    const bool rgba = bitmap.Order == TPixelOrder::Rgba;
    for (size_t row = height; row-- > 0;) {
        const uint8_t* p = bitmap.Pixels + row * static_cast<size_t>(bitmap.Stride);
        for (size_t x = 0; x < width; ++x, p += 4) {
            out.push_back(static_cast<char>(rgba ? p[2] : p[0]));
            out.push_back(static_cast<char>(p[1]));
            out.push_back(static_cast<char>(rgba ? p[0] : p[2]));
        }
        out.append(rowBytes - width * 3, '\0');
    }
    return out;
}

}  // namespace quillane
