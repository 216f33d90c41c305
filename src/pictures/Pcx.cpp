#include "pictures/Pcx.h"

#include <algorithm>
#include <string>

namespace quillane {

namespace {

constexpr size_t HeaderSize = 128;
constexpr size_t PaletteBlockSize = 769;  // the 0x0C marker and 256 RGB triples
constexpr uint8_t PaletteMarker = 0x0C;

// The colours of an EGA adapter after reset, for files that carry none.
constexpr uint8_t EgaColors[16][3] = {
    {0, 0, 0},     {0, 0, 170},    {0, 170, 0},    {0, 170, 170},  {170, 0, 0},    {170, 0, 170},
    {170, 85, 0},  {170, 170, 170}, {85, 85, 85},  {85, 85, 255},  {85, 255, 85},  {85, 255, 255},
    {255, 85, 85}, {255, 85, 255}, {255, 255, 85}, {255, 255, 255},
};

// The decoded bytes of the file, as one stream: a run may carry on into
// the next row. Bytes past the end of the data are zero.
class TPcxBytes {
public:
    TPcxBytes(TByteSpan data, bool runLength) : data_(data), runLength_(runLength) {}

    // Fills `out` with the next decoded bytes; false once the data has ended
    // (the rest of `out` is then zero).
    bool Fill(std::vector<uint8_t>& out) {
        size_t filled = 0;
        while (filled < out.size()) {
            if (left_ > 0) {
                const size_t n = std::min<size_t>(left_, out.size() - filled);
                std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(filled), n, value_);
                filled += n;
                left_ -= n;
                continue;
            }
            if (at_ >= data_.size()) {
                std::fill(out.begin() + static_cast<std::ptrdiff_t>(filled), out.end(), uint8_t{0});
                return false;
            }
            const uint8_t byte = data_[at_++];
            if (runLength_ && byte >= 0xC0) {
                if (at_ >= data_.size()) {
                    continue;  // a count without its value: the data ends here
                }
                left_ = byte & 0x3F;
                value_ = data_[at_++];
            } else {
                out[filled++] = byte;
            }
        }
        return true;
    }

private:
    TByteSpan data_;
    bool runLength_;
    size_t at_ = 0;
    size_t left_ = 0;
    uint8_t value_ = 0;
};

int BitmapBitsFor(int bits, int planes) {
    if (bits == 1 && planes == 1) {
        return 1;
    }
    if ((bits == 1 && planes >= 2 && planes <= 4) || (planes == 1 && (bits == 2 || bits == 4))) {
        return 4;
    }
    if (bits == 8 && planes == 1) {
        return 8;
    }
    if (bits == 8 && planes == 3) {
        return 24;
    }
    if (bits == 8 && planes == 4) {
        return 32;
    }
    throw TPictureError("PCX picture of " + std::to_string(planes) + " planes of " + std::to_string(bits) +
                        " bits is not supported");
}

// The 256-colour palette that follows the pixels, when its marker is there.
bool HasPalette256(TByteSpan data) {
    return data.size() >= HeaderSize + PaletteBlockSize && data[data.size() - PaletteBlockSize] == PaletteMarker;
}

std::vector<TPaletteEntry> PaletteOf(TByteSpan data, int version, int bitmapBits) {
    std::vector<TPaletteEntry> palette;
    if (bitmapBits == 1) {
        palette = {{0, 0, 0, 255}, {255, 255, 255, 255}};
    } else if (bitmapBits == 4) {
        // Version 0 and 3 files say they carry no palette.
        const bool ega = version == 0 || version == 3;
        for (int i = 0; i < 16; ++i) {
            const uint8_t* c = ega ? EgaColors[i] : data.data() + 16 + 3 * i;
            palette.push_back({c[0], c[1], c[2], 255});
        }
    } else if (bitmapBits == 8) {
        const bool stored = HasPalette256(data);
        const uint8_t* c = data.data() + data.size() - PaletteBlockSize + 1;
        for (int i = 0; i < 256; ++i) {
            const auto grey = static_cast<uint8_t>(i);
            palette.push_back(stored ? TPaletteEntry{c[3 * i], c[3 * i + 1], c[3 * i + 2], 255}
                                     : TPaletteEntry{grey, grey, grey, 255});
        }
    }
    return palette;
}

}  // namespace

TBitmap DecodePcx(TByteSpan data) {
    if (data.size() < HeaderSize) {
        throw TPictureError("PCX header is cut short");
    }
    const uint8_t* h = data.data();
    const int version = h[1];
    if (h[0] != 10 || version > 5 || h[2] > 1) {
        throw TPictureError("not a PCX picture this program reads");
    }
    const int bits = h[3];
    const int planes = h[65];
    const int bitmapBits = BitmapBitsFor(bits, planes);
    const int32_t xMin = ReadLittleEndian16(h + 4);
    const int32_t yMin = ReadLittleEndian16(h + 6);
    const int32_t xMax = ReadLittleEndian16(h + 8);
    const int32_t yMax = ReadLittleEndian16(h + 10);
    const int64_t bytesPerLine = ReadLittleEndian16(h + 66);
    if (xMax < xMin || yMax < yMin) {
        throw TPictureError("PCX picture has a negative size");
    }
    const int32_t width = xMax - xMin + 1;
    const int32_t height = yMax - yMin + 1;
    if (bytesPerLine * 8 < int64_t{width} * bits) {
        throw TPictureError("PCX rows are shorter than the picture's width");
    }
    TBitmap bitmap(width, height, bitmapBits);  // refuses sizes beyond the limit
    bitmap.Palette = PaletteOf(data, version, bitmapBits);

    // The pixels never run into the palette block at the end.
    const size_t end = bitmapBits == 8 && HasPalette256(data) ? data.size() - PaletteBlockSize : data.size();
    TPcxBytes bytes(data.subspan(HeaderSize, end - HeaderSize), h[2] == 1);
    std::vector<uint8_t> line(static_cast<size_t>(bytesPerLine * planes));
    const auto plane = [&](int p) { return line.data() + static_cast<size_t>(p * bytesPerLine); };
    for (int32_t y = 0; y < height; ++y) {
        const bool more = bytes.Fill(line);
        uint8_t* row = bitmap.Row(y);
        switch (bitmapBits) {
            case 1:
            case 8: std::copy_n(line.begin(), std::min<int64_t>(bitmap.Stride(), bytesPerLine), row); break;
            case 4:
                for (int32_t x = 0; x < width; ++x) {
                    uint8_t index = 0;
                    if (planes == 1) {
                        const int32_t bit = x * bits;
                        index = static_cast<uint8_t>((line[bit >> 3] >> (8 - bits - (bit & 7))) & ((1 << bits) - 1));
                    } else {
                        for (int p = 0; p < planes; ++p) {
                            index |= static_cast<uint8_t>(((plane(p)[x >> 3] >> (7 - (x & 7))) & 1) << p);
                        }
                    }
                    bitmap.SetIndex(x, y, index);
                }
                break;
            default: {
                const int channels = bitmapBits / 8;
                for (int32_t x = 0; x < width; ++x) {
                    uint8_t* p = row + static_cast<size_t>(x) * channels;
                    p[0] = plane(2)[x];
                    p[1] = plane(1)[x];
                    p[2] = plane(0)[x];
                    if (channels == 4) {
                        p[3] = plane(3)[x];
                    }
                }
            }
        }
        if (!more) {
            break;  // the rest stays zero
        }
    }
    return bitmap;
}

}  // namespace quillane
