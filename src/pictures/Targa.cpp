#include "pictures/Targa.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace quillane {

namespace {

constexpr size_t HeaderSize = 18;

enum class TTargaKind { Mapped8, Grey1, Grey8, GreyAlpha16, True16, True24, True32, Blank };

struct TTargaHeader {
    uint8_t IdLength = 0;
    uint8_t ColorMapType = 0;
    uint8_t ImageType = 0;
    uint16_t MapFirst = 0;
    uint16_t MapLength = 0;
    uint8_t MapEntryBits = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t Depth = 0;
    uint8_t Descriptor = 0;
};

TTargaHeader ReadHeader(TByteSpan data) {
    if (data.size() < HeaderSize) {
        throw TPictureError("Targa header is cut short");
    }
    const uint8_t* p = data.data();
    TTargaHeader h;
    h.IdLength = p[0];
    h.ColorMapType = p[1];
    h.ImageType = p[2];
    h.MapFirst = ReadLittleEndian16(p + 3);
    h.MapLength = ReadLittleEndian16(p + 5);
    h.MapEntryBits = p[7];
    h.Width = ReadLittleEndian16(p + 12);
    h.Height = ReadLittleEndian16(p + 14);
    h.Depth = p[16];
    h.Descriptor = p[17];
    return h;
}

// What the pixels are, by image type and depth together: the depth alone
// does not say (16 bits are grey and alpha in a grey image, colours in a
// true-colour one).
TTargaKind KindOf(const TTargaHeader& h) {
    const int type = h.ImageType;
    const int baseType = type & 7;
    const bool known = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
    if (known && h.Depth == 4 && (baseType == 1 || baseType == 3)) {
        return TTargaKind::Blank;
    }
    if (known && baseType == 1 && h.Depth == 8) {
        return TTargaKind::Mapped8;
    }
    if (known && baseType == 2) {
        switch (h.Depth) {
            case 15:
            case 16: return TTargaKind::True16;
            case 24: return TTargaKind::True24;
            case 32: return TTargaKind::True32;
            default: break;
        }
    }
    if (known && baseType == 3) {
        switch (h.Depth) {
            case 1: return TTargaKind::Grey1;
            case 8: return TTargaKind::Grey8;
            case 16: return TTargaKind::GreyAlpha16;
            default: break;
        }
    }
    throw TPictureError("Targa image type " + std::to_string(h.ImageType) + " of depth " + std::to_string(h.Depth) +
                        " is not supported");
}

// Five bits to eight over the whole range (0 -> 0, 31 -> 255).
uint8_t Expand5(uint32_t v) { return static_cast<uint8_t>((v & 31) * 255 / 31); }

TPaletteEntry MapEntry(const uint8_t* p, int bits) {
    switch (bits) {
        case 15:
        case 16: {
            const uint32_t v = ReadLittleEndian16(p);
            return {Expand5(v >> 10), Expand5(v >> 5), Expand5(v), 255};
        }
        case 24: return {p[2], p[1], p[0], 255};
        default: return {p[2], p[1], p[0], p[3]};
    }
}

// The pixel values in file order, raw or from run-length packets; a packet
// carries on into the next row. Values are 1 to 4 bytes (for 1-bit images a
// byte of eight pixels).
class TTargaPixels {
public:
    TTargaPixels(TByteSpan data, size_t at, size_t valueBytes, bool runLength)
        : data_(data), at_(at), valueBytes_(valueBytes), runLength_(runLength) {}

    // The next value into `out`; false once the data has ended.
    bool Next(uint8_t* out) {
        if (!runLength_) {
            return Take(out);
        }
        if (left_ == 0) {
            if (at_ >= data_.size()) {
                return false;
            }
            const uint8_t packet = data_[at_++];
            left_ = (packet & 0x7F) + 1;
            repeating_ = (packet & 0x80) != 0;
            if (repeating_ && !Take(run_)) {
                left_ = 0;
                return false;
            }
        }
        --left_;
        if (repeating_) {
            std::memcpy(out, run_, valueBytes_);
            return true;
        }
        return Take(out);
    }

private:
    bool Take(uint8_t* out) {
        if (at_ > data_.size() || data_.size() - at_ < valueBytes_) {
            return false;
        }
        std::memcpy(out, data_.data() + at_, valueBytes_);
        at_ += valueBytes_;
        return true;
    }

    TByteSpan data_;
    size_t at_;
    size_t valueBytes_;
    bool runLength_;
    int left_ = 0;
    bool repeating_ = false;
    uint8_t run_[4] = {};
};

int BitsPerPixelOf(TTargaKind kind) {
    switch (kind) {
        case TTargaKind::Grey1: return 1;
        case TTargaKind::True16:
        case TTargaKind::True24: return 24;
        case TTargaKind::True32:
        case TTargaKind::GreyAlpha16: return 32;
        default: return 8;
    }
}

std::vector<TPaletteEntry> GreyRamp() {
    std::vector<TPaletteEntry> palette(256);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(i);
        palette[i] = {v, v, v, 255};
    }
    return palette;
}

}  // namespace

TBitmap DecodeTarga(TByteSpan data) {
    const TTargaHeader h = ReadHeader(data);
    if (h.ColorMapType > 1) {
        throw TPictureError("Targa colour-map type " + std::to_string(h.ColorMapType) + " is not supported");
    }
    const TTargaKind kind = KindOf(h);
    const bool mapped = (h.ImageType & 7) == 1;
    if (h.Width == 0 || h.Height == 0) {
        throw TPictureError("Targa picture has no pixels");
    }
    // Refuses sizes beyond the limit before anything is read.
    TBitmap bitmap(h.Width, h.Height, BitsPerPixelOf(kind));

    size_t at = HeaderSize + h.IdLength;
    std::vector<TPaletteEntry> palette;
    if (h.ColorMapType == 1) {
        // The whole map is skipped whatever part of it we keep: the pixels
        // start after it.
        const size_t entryBytes = (size_t{h.MapEntryBits} + 7) / 8;
        const size_t mapBytes = entryBytes * h.MapLength;
        if (at > data.size() || data.size() - at < mapBytes) {
            throw TPictureError("Targa colour map is cut short");
        }
        if (mapped) {
            const int bits = h.MapEntryBits;
            if (bits != 15 && bits != 16 && bits != 24 && bits != 32) {
                throw TPictureError("Targa colour-map entries of " + std::to_string(bits) + " bits are not supported");
            }
            palette.resize(256);
            for (size_t i = 0; i < h.MapLength && h.MapFirst + i < 256; ++i) {
                palette[h.MapFirst + i] = MapEntry(data.data() + at + i * entryBytes, bits);
            }
        }
        at += mapBytes;
    } else if (mapped) {
        throw TPictureError("colour-mapped Targa picture has no colour map");
    }

    if (kind == TTargaKind::Grey1) {
        bitmap.Palette = {{0, 0, 0, 255}, {255, 255, 255, 255}};
    } else if (mapped) {
        bitmap.Palette = std::move(palette);
    } else if (bitmap.HasPalette()) {
        bitmap.Palette = GreyRamp();
    }
    if (kind == TTargaKind::Blank) {
        return bitmap;
    }

    const int32_t width = h.Width;
    const int32_t height = h.Height;
    const bool topDown = (h.Descriptor & 0x20) != 0;
    const bool rightToLeft = (h.Descriptor & 0x10) != 0;
    const size_t valueBytes = kind == TTargaKind::Grey1 ? 1 : (size_t{h.Depth} + 7) / 8;
    // A 1-bit image's values are bytes, rows padded to whole bytes.
    const int64_t perRow = kind == TTargaKind::Grey1 ? (int64_t{width} + 7) / 8 : width;
    const int64_t count = perRow * height;
    TTargaPixels pixels(data, at, valueBytes, (h.ImageType & 8) != 0);
    uint8_t value[4] = {};
    for (int64_t i = 0; i < count; ++i) {
        if (!pixels.Next(value)) {
            break;  // the rest stays zero
        }
        const auto fileRow = static_cast<int32_t>(i / perRow);
        const auto column = static_cast<int32_t>(i % perRow);
        uint8_t* row = bitmap.Row(topDown ? fileRow : height - 1 - fileRow);
        const auto place = [&](int32_t x) { return rightToLeft ? width - 1 - x : x; };
        switch (kind) {
            case TTargaKind::Grey1:
                for (int32_t bit = 0; bit < 8 && column * 8 + bit < width; ++bit) {
                    bitmap.SetIndex(place(column * 8 + bit), topDown ? fileRow : height - 1 - fileRow,
                                    static_cast<uint8_t>((value[0] >> (7 - bit)) & 1));
                }
                break;
            case TTargaKind::Mapped8:
            case TTargaKind::Grey8: row[place(column)] = value[0]; break;
            case TTargaKind::GreyAlpha16: {
                uint8_t* p = row + 4 * static_cast<size_t>(place(column));
                p[0] = p[1] = p[2] = value[0];
                p[3] = value[1];
                break;
            }
            case TTargaKind::True16: {
                // The top bit is an attribute most writers leave at random;
                // the picture stays opaque.
                const uint32_t v = ReadLittleEndian16(value);
                uint8_t* p = row + 3 * static_cast<size_t>(place(column));
                p[0] = Expand5(v);
                p[1] = Expand5(v >> 5);
                p[2] = Expand5(v >> 10);
                break;
            }
            case TTargaKind::True24: std::memcpy(row + 3 * static_cast<size_t>(place(column)), value, 3); break;
            case TTargaKind::True32: std::memcpy(row + 4 * static_cast<size_t>(place(column)), value, 4); break;
            case TTargaKind::Blank: break;
        }
    }
    return bitmap;
}

}  // namespace quillane
