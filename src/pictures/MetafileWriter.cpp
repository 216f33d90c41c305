#include "pictures/MetafileWriter.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace quillane {

namespace {

constexpr uint16_t RecordSetMapMode = 0x0103;
constexpr uint16_t RecordSetWindowOrg = 0x020B;
constexpr uint16_t RecordSetWindowExt = 0x020C;
constexpr uint16_t RecordStretchDib = 0x0F43;
constexpr uint16_t RecordEnd = 0x0000;
constexpr uint16_t MapModeAnisotropic = 8;
constexpr uint32_t SourceCopy = 0x00CC0020;
constexpr int32_t MaxSide = std::numeric_limits<int16_t>::max();

class TRecordWriter {
public:
    void Put16(uint32_t value) {
        bytes.push_back(static_cast<uint8_t>(value));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    void Put32(uint32_t value) {
        Put16(value & 0xFFFF);
        Put16(value >> 16);
    }
    // A record of `words` 16-bit words in all, header included.
    void Begin(uint32_t words, uint16_t function) {
        Put32(words);
        Put16(function);
        largest = std::max(largest, words);
    }

    TBytes bytes;
    uint32_t largest = 0;
};

uint8_t OverWhite(uint8_t value, uint8_t alpha) {
    return static_cast<uint8_t>((value * alpha + 255 * (255 - alpha) + 127) / 255);
}

}  // namespace

TBytes WindowsMetafileOfBitmap(const TBitmap& bitmap) {
    const int32_t width = bitmap.Width();
    const int32_t height = bitmap.Height();
    if (bitmap.Empty() || width > MaxSide || height > MaxSide) {
        return {};
    }
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint64_t imageBytes = uint64_t{stride} * static_cast<uint64_t>(height);
    const uint64_t dibBytes = 40 + imageBytes;
    const uint64_t stretchWords = 3 + 2 + 1 + 8 + (dibBytes + 1) / 2;
    if (stretchWords > std::numeric_limits<uint32_t>::max() / 2) {
        return {};
    }

    TRecordWriter out;
    out.bytes.reserve(static_cast<size_t>(18 + 2 * (4 + 5 + 5 + 3) + 2 * stretchWords));
    // The header; its total size and largest record are filled in below.
    out.Put16(1);       // in memory
    out.Put16(9);       // header words
    out.Put16(0x0300);  // version
    out.Put32(0);
    out.Put16(0);       // no objects
    out.Put32(0);
    out.Put16(0);

    out.Begin(4, RecordSetMapMode);
    out.Put16(MapModeAnisotropic);
    out.Begin(5, RecordSetWindowOrg);
    out.Put16(0);
    out.Put16(0);
    out.Begin(5, RecordSetWindowExt);
    out.Put16(static_cast<uint32_t>(height));
    out.Put16(static_cast<uint32_t>(width));

    out.Begin(static_cast<uint32_t>(stretchWords), RecordStretchDib);
    out.Put32(SourceCopy);
    out.Put16(0);  // colours are RGB values
    out.Put16(static_cast<uint32_t>(height));  // source height, width, y, x
    out.Put16(static_cast<uint32_t>(width));
    out.Put16(0);
    out.Put16(0);
    out.Put16(static_cast<uint32_t>(height));  // destination height, width, y, x
    out.Put16(static_cast<uint32_t>(width));
    out.Put16(0);
    out.Put16(0);
    out.Put32(40);  // the bitmap's header
    out.Put32(static_cast<uint32_t>(width));
    out.Put32(static_cast<uint32_t>(height));  // positive: rows bottom-up
    out.Put16(1);
    out.Put16(24);
    out.Put32(0);
    out.Put32(static_cast<uint32_t>(imageBytes));
    out.Put32(3780);  // 96 pixels per inch
    out.Put32(3780);
    out.Put32(0);
    out.Put32(0);
    std::vector<uint8_t> row(stride, 0);
    for (int32_t y = height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < width; ++x) {
            const TRgba pixel = bitmap.PixelAt(x, y);
            row[static_cast<size_t>(x) * 3] = OverWhite(pixel.Blue, pixel.Alpha);
            row[static_cast<size_t>(x) * 3 + 1] = OverWhite(pixel.Green, pixel.Alpha);
            row[static_cast<size_t>(x) * 3 + 2] = OverWhite(pixel.Red, pixel.Alpha);
        }
        out.bytes.insert(out.bytes.end(), row.begin(), row.end());
    }
    if (dibBytes % 2 != 0) {
        out.bytes.push_back(0);
    }
    out.Begin(3, RecordEnd);

    const auto totalWords = static_cast<uint32_t>(out.bytes.size() / 2);
    auto patch32 = [&](size_t at, uint32_t value) {
        for (int k = 0; k < 4; ++k) {
            out.bytes[at + static_cast<size_t>(k)] = static_cast<uint8_t>(value >> (8 * k));
        }
    };
    patch32(6, totalWords);
    patch32(12, out.largest);
    return std::move(out.bytes);
}

}  // namespace quillane
