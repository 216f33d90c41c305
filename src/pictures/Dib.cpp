#include "pictures/Dib.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <optional>
#include <string>

#include "pictures/DibRle.h"
#include "pictures/PngImage.h"

namespace quillane {

namespace {

constexpr uint32_t CoreHeaderSize = 12;
constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t MasksHeaderSize = 52;
constexpr uint32_t BiRgb = 0;
constexpr uint32_t BiRle8 = 1;
constexpr uint32_t BiRle4 = 2;
constexpr uint32_t BiBitfields = 3;

struct TDibHeader {
    int64_t Width = 0;
    int64_t Height = 0;  // negative: rows top down
    uint32_t BitsPerPixel = 0;
    uint32_t Compression = BiRgb;
    uint32_t ColorsUsed = 0;
    uint32_t Masks[3] = {};
    bool Core = false;
    size_t HeaderSize = 0;  // header and masks: where the colour table starts
};

// One colour channel through its mask, scaled to eight bits.
class TMaskChannel {
public:
    explicit TMaskChannel(uint32_t mask) : mask_(mask) {
        if (mask != 0) {
            shift_ = std::countr_zero(mask);
            const uint32_t bits = mask >> shift_;
            max_ = bits;
        }
    }
    uint8_t Get(uint32_t pixel) const {
        if (max_ == 0) {
            return 0;
        }
        const uint32_t value = (pixel & mask_) >> shift_;
        // Scaled down, not rounded: 0 and the maximum stay black and full,
        // and the levels between are the ones other decoders give.
        return static_cast<uint8_t>(uint64_t{value} * 255 / max_);
    }

private:
    uint32_t mask_;
    int shift_ = 0;
    uint32_t max_ = 0;
};

TDibHeader ReadHeader(TByteSpan dib) {
    if (dib.size() < 4) {
        throw TPictureError("bitmap header is missing");
    }
    TDibHeader h;
    const uint32_t size = ReadLittleEndian32(dib.data());
    if (size == CoreHeaderSize && dib.size() >= CoreHeaderSize) {
        h.Core = true;
        h.Width = ReadLittleEndian16(dib.data() + 4);
        h.Height = ReadLittleEndian16(dib.data() + 6);
        h.BitsPerPixel = ReadLittleEndian16(dib.data() + 10);
        h.HeaderSize = CoreHeaderSize;
        return h;
    }
    if (size < InfoHeaderSize || size > dib.size()) {
        throw TPictureError("unknown bitmap header of " + std::to_string(size) + " bytes");
    }
    const uint8_t* p = dib.data();
    h.Width = static_cast<int32_t>(ReadLittleEndian32(p + 4));
    h.Height = static_cast<int32_t>(ReadLittleEndian32(p + 8));
    h.BitsPerPixel = ReadLittleEndian16(p + 14);
    h.Compression = ReadLittleEndian32(p + 16);
    h.ColorsUsed = ReadLittleEndian32(p + 32);
    h.HeaderSize = size;
    if (h.Compression == BiBitfields) {
        // Headers from 52 bytes on hold the masks; shorter ones are
        // followed by them.
        size_t masksAt = InfoHeaderSize;
        if (size < MasksHeaderSize) {
            masksAt = size;
            h.HeaderSize = size + 12;
            if (dib.size() < h.HeaderSize) {
                throw TPictureError("bitmap colour masks are missing");
            }
        }
        for (size_t i = 0; i < 3; ++i) {
            h.Masks[i] = ReadLittleEndian32(p + masksAt + 4 * i);
        }
    } else if (h.BitsPerPixel == 16) {
        h.Masks[0] = 0x7C00;
        h.Masks[1] = 0x03E0;
        h.Masks[2] = 0x001F;
    } else if (h.BitsPerPixel == 32) {
        h.Masks[0] = 0xFF0000;
        h.Masks[1] = 0x00FF00;
        h.Masks[2] = 0x0000FF;
    }
    return h;
}

// A DIB whose pixels start at `pixelsAt` when given (a bitmap file says
// where), else right after the colour table.
TBitmap DecodeDibAt(TByteSpan dib, std::optional<size_t> pixelsAt) {
    const TDibHeader h = ReadHeader(dib);
    const uint32_t bpp = h.BitsPerPixel;
    const bool runLength = (h.Compression == BiRle8 && bpp == 8) || (h.Compression == BiRle4 && bpp == 4);
    if (h.Compression != BiRgb && !runLength && !(h.Compression == BiBitfields && (bpp == 16 || bpp == 32))) {
        throw TPictureError("compressed bitmaps are not supported");
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        throw TPictureError("bitmap of " + std::to_string(bpp) + " bits per pixel");
    }
    if (h.Width < 1 || h.Height == 0 || h.Width > INT32_MAX || std::llabs(h.Height) > INT32_MAX) {
        throw TPictureError("bitmap size is out of range");
    }
    const auto width = static_cast<int32_t>(h.Width);
    const auto height = static_cast<int32_t>(std::llabs(h.Height));
    const bool topDown = h.Height < 0;
    const bool paletted = bpp <= 8;

    size_t at = h.HeaderSize;
    std::vector<TPaletteEntry> palette;
    if (paletted) {
        const uint32_t maximum = 1u << bpp;
        const uint32_t count = h.ColorsUsed == 0 || h.Core ? maximum : h.ColorsUsed;
        if (count > maximum) {
            throw TPictureError("bitmap colour table is too long");
        }
        const size_t entry = h.Core ? 3 : 4;
        if (dib.size() - at < count * entry) {
            throw TPictureError("bitmap colour table ends early");
        }
        for (uint32_t i = 0; i < count; ++i, at += entry) {
            palette.push_back({dib[at + 2], dib[at + 1], dib[at], 255});
        }
    }
    if (pixelsAt) {
        if (*pixelsAt < h.HeaderSize || *pixelsAt > dib.size()) {
            throw TPictureError("bitmap pixels lie outside the file");
        }
        at = *pixelsAt;
    }

    if (runLength) {
        if (topDown) {
            throw TPictureError("run-length bitmaps are stored bottom up");
        }
        TBitmap bitmap(width, height, static_cast<int32_t>(bpp));
        bitmap.Palette = std::move(palette);
        DecodeDibRunLength(dib.subspan(at), bitmap);
        return bitmap;
    }

    // Source rows are padded to four bytes like ours; 64-bit products
    // cannot overflow for 32-bit sizes.
    const int64_t sourceStride = (int64_t{width} * bpp + 31) / 32 * 4;
    if (sourceStride > TBitmap::MaxPixelBytes || static_cast<int64_t>(dib.size() - at) / sourceStride < height) {
        throw TPictureError("bitmap pixels end early");
    }
    TBitmap bitmap(width, height, paletted ? static_cast<int32_t>(bpp) : 24);
    bitmap.Palette = std::move(palette);
    const TMaskChannel red(h.Masks[0]);
    const TMaskChannel green(h.Masks[1]);
    const TMaskChannel blue(h.Masks[2]);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* source = dib.data() + at + static_cast<size_t>(topDown ? y : height - 1 - y) * sourceStride;
        uint8_t* row = bitmap.Row(y);
        if (paletted || bpp == 24) {
            std::copy(source, source + bitmap.Stride(), row);
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t pixel = bpp == 16 ? ReadLittleEndian16(source + 2 * x) : ReadLittleEndian32(source + 4 * x);
            row[3 * x] = blue.Get(pixel);
            row[3 * x + 1] = green.Get(pixel);
            row[3 * x + 2] = red.Get(pixel);
        }
    }
    return bitmap;
}

}  // namespace

TBitmap DecodeDib(TByteSpan dib) { return DecodeDibAt(dib, std::nullopt); }

TBitmap DecodeBmpFile(TByteSpan file) {
    constexpr size_t FileHeaderSize = 14;
    if (file.size() < FileHeaderSize || file[0] != 'B' || file[1] != 'M') {
        throw TPictureError("not a bitmap file");
    }
    const uint32_t pixelsAt = ReadLittleEndian32(file.data() + 10);
    if (pixelsAt < FileHeaderSize) {
        throw TPictureError("bitmap pixels lie outside the file");
    }
    return DecodeDibAt(file.subspan(FileHeaderSize), pixelsAt - FileHeaderSize);
}

TBytes DibToPng(TByteSpan dib) {
    TPNGImage png;
    png.AssignBitmap(DecodeDib(dib));
    return png.SaveToBytes();
}

}  // namespace quillane
