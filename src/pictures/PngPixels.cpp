#include "pictures/PngPixels.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "pictures/PictureError.h"
#include "pictures/PngFilters.h"

namespace quillane {

namespace {

struct TPass {
    int32_t X0, Y0, Dx, Dy;
};
constexpr TPass Adam7Passes[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                  {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr TPass WholeImage = {0, 0, 1, 1};

int32_t PassExtent(int32_t size, int32_t start, int32_t step) {
    return size > start ? (size - start + step - 1) / step : 0;
}

// Hands out the inflated image data in exact row-sized pieces.
class TRowInflater {
public:
    explicit TRowInflater(TByteSpan compressed) : data_(compressed) {
        if (inflateInit(&z_) != Z_OK) {
            throw TPictureError("cannot start decompression");
        }
    }
    ~TRowInflater() { inflateEnd(&z_); }
    TRowInflater(const TRowInflater&) = delete;
    TRowInflater& operator=(const TRowInflater&) = delete;

    void Read(uint8_t* target, size_t count) {
        z_.next_out = target;
        z_.avail_out = static_cast<uInt>(count);
        while (z_.avail_out > 0) {
            if (ended_) {
                throw TPictureError("PNG image data ends early");
            }
            if (z_.avail_in == 0 && consumed_ < data_.size()) {
                const size_t slice = std::min<size_t>(data_.size() - consumed_, 1u << 30);
                z_.next_in = const_cast<Bytef*>(data_.data() + consumed_);
                z_.avail_in = static_cast<uInt>(slice);
                consumed_ += slice;
            }
            const int rc = inflate(&z_, Z_NO_FLUSH);
            if (rc == Z_STREAM_END) {
                ended_ = true;
            } else if (rc == Z_BUF_ERROR) {
                if (z_.avail_in == 0 && consumed_ == data_.size()) {
                    throw TPictureError("PNG image data ends early");
                }
            } else if (rc != Z_OK) {
                throw TPictureError("PNG image data is corrupt");
            }
        }
    }

private:
    TByteSpan data_;
    size_t consumed_ = 0;
    bool ended_ = false;
    z_stream z_{};
};

// Converts unfiltered rows of file samples into the bitmap's pixels.
class TRowConverter {
public:
    TRowConverter(const TPngHeader& header, const TPngColours& colours, TBitmap& bitmap)
        : h_(header), bitmap_(bitmap) {
        for (int i = 0; i < 256; ++i) {
            gamma_[static_cast<size_t>(i)] =
                colours.Gamma != nullptr ? (*colours.Gamma)[static_cast<size_t>(i)] : static_cast<uint8_t>(i);
        }
        if (colours.Transparency) {
            const TByteSpan t = *colours.Transparency;
            if (h_.ColourType == ctGrey && t.size() == 2) {
                keyed_ = true;
                key_[0] = ReadBigEndian16(t.data());
            } else if (h_.ColourType == ctRgb && t.size() == 6) {
                keyed_ = true;
                for (size_t c = 0; c < 3; ++c) {
                    key_[c] = ReadBigEndian16(t.data() + 2 * c);
                }
            }
            // Samples below 16 bits compare with the key's low bits only.
            if (h_.BitDepth < 16) {
                for (uint16_t& k : key_) {
                    k = static_cast<uint16_t>(k & ((1u << h_.BitDepth) - 1));
                }
            }
        }
        if (bitmap_.HasPalette()) {
            BuildPalette(colours);
        }
    }

    bool Keyed() const { return keyed_; }

    void Put(const uint8_t* row, int32_t y, int32_t x0, int32_t dx, int32_t count) {
        if (bitmap_.HasPalette()) {
            PutIndexes(row, y, x0, dx, count);
            return;
        }
        uint8_t* out = bitmap_.Row(y);
        const bool deep = h_.BitDepth == 16;
        const int32_t step = deep ? 2 : 1;  // bytes per sample
        const int32_t pixelBytes = h_.Channels() * step;
        if (bitmap_.BitsPerPixel() == 24) {
            for (int32_t i = 0; i < count; ++i) {
                const uint8_t* s = row + static_cast<size_t>(i) * pixelBytes;
                uint8_t* p = out + static_cast<size_t>(x0 + i * dx) * 3;
                p[0] = gamma_[s[2 * step]];
                p[1] = gamma_[s[step]];
                p[2] = gamma_[s[0]];
            }
            return;
        }
        for (int32_t i = 0; i < count; ++i) {
            const uint8_t* s = row + static_cast<size_t>(i) * pixelBytes;
            uint8_t* p = out + static_cast<size_t>(x0 + i * dx) * 4;
            switch (h_.ColourType) {
                case ctRgba:
                    p[0] = gamma_[s[2 * step]];
                    p[1] = gamma_[s[step]];
                    p[2] = gamma_[s[0]];
                    p[3] = s[3 * step];
                    break;
                case ctGreyAlpha:
                    p[0] = p[1] = p[2] = gamma_[s[0]];
                    p[3] = s[step];
                    break;
                case ctRgb: {
                    p[0] = gamma_[s[2 * step]];
                    p[1] = gamma_[s[step]];
                    p[2] = gamma_[s[0]];
                    const bool clear = Sample(s, 0) == key_[0] && Sample(s + step, 0) == key_[1] &&
                                       Sample(s + 2 * step, 0) == key_[2];
                    p[3] = clear ? 0 : 255;
                    break;
                }
                default:  // 16-bit grey with a transparent level
                    p[0] = p[1] = p[2] = gamma_[s[0]];
                    p[3] = Sample(s, 0) == key_[0] ? 0 : 255;
                    break;
            }
        }
    }

private:
    // The full-depth value of the sample at s (8 or 16 bits).
    uint16_t Sample(const uint8_t* s, int) const {
        return h_.BitDepth == 16 ? ReadBigEndian16(s) : s[0];
    }

    void BuildPalette(const TPngColours& colours) {
        std::vector<TPaletteEntry>& palette = bitmap_.Palette;
        if (h_.ColourType == ctPalette) {
            const size_t count = colours.Palette.size() / 3;
            if (count == 0 || count > 256 || colours.Palette.size() % 3 != 0) {
                throw TPictureError("PNG palette image without a valid palette");
            }
            palette.resize(count);
            for (size_t i = 0; i < count; ++i) {
                palette[i] = TPaletteEntry{gamma_[colours.Palette[3 * i]], gamma_[colours.Palette[3 * i + 1]],
                                           gamma_[colours.Palette[3 * i + 2]], 255};
            }
            if (colours.Transparency) {
                const TByteSpan alpha = *colours.Transparency;
                for (size_t i = 0; i < std::min(count, alpha.size()); ++i) {
                    palette[i].Alpha = alpha[i];
                }
            }
            return;
        }
        // Grey: evenly spaced levels; 16-bit grey keeps its high byte.
        const int32_t levels = h_.BitDepth >= 8 ? 256 : 1 << h_.BitDepth;
        palette.resize(static_cast<size_t>(levels));
        for (int32_t i = 0; i < levels; ++i) {
            const uint8_t v = gamma_[static_cast<size_t>(i * 255 / (levels - 1))];
            palette[static_cast<size_t>(i)] = TPaletteEntry{v, v, v, 255};
        }
        if (keyed_) {
            palette[key_[0] % static_cast<size_t>(levels)].Alpha = 0;
        }
    }

    void PutIndexes(const uint8_t* row, int32_t y, int32_t x0, int32_t dx, int32_t count) {
        const int32_t depth = h_.BitDepth;
        if (x0 == 0 && dx == 1 && depth == bitmap_.BitsPerPixel()) {
            std::memcpy(bitmap_.Row(y), row, static_cast<size_t>(h_.RowBytes(count)));
            return;
        }
        for (int32_t i = 0; i < count; ++i) {
            uint8_t index;
            if (depth >= 8) {
                index = row[static_cast<size_t>(i) * static_cast<size_t>(depth / 8)];
            } else {
                const int64_t bit = int64_t{i} * depth;
                index = static_cast<uint8_t>((row[bit >> 3] >> (8 - depth - (bit & 7))) & ((1 << depth) - 1));
            }
            bitmap_.SetIndex(x0 + i * dx, y, index);
        }
    }

    const TPngHeader& h_;
    TBitmap& bitmap_;
    TGammaTable gamma_{};
    bool keyed_ = false;
    uint16_t key_[3] = {0, 0, 0};
};

// Deflates rows into a growing byte vector.
class TStreamDeflater {
public:
    explicit TStreamDeflater(int level) {
        if (deflateInit(&z_, level) != Z_OK) {
            throw TPictureError("cannot start compression");
        }
    }
    ~TStreamDeflater() { deflateEnd(&z_); }
    TStreamDeflater(const TStreamDeflater&) = delete;
    TStreamDeflater& operator=(const TStreamDeflater&) = delete;

    void Write(const uint8_t* data, size_t count) { Run(data, count, Z_NO_FLUSH); }
    TBytes Finish() {
        Run(nullptr, 0, Z_FINISH);
        out_.resize(produced_);
        return std::move(out_);
    }

private:
    void Run(const uint8_t* data, size_t count, int flush) {
        z_.next_in = const_cast<Bytef*>(data);
        z_.avail_in = static_cast<uInt>(count);
        for (;;) {
            if (out_.size() - produced_ < 4096) {
                out_.resize(std::max<size_t>(out_.size() * 2, 65536));
            }
            z_.next_out = out_.data() + produced_;
            z_.avail_out = static_cast<uInt>(std::min<size_t>(out_.size() - produced_, 1u << 30));
            const uInt before = z_.avail_out;
            const int rc = deflate(&z_, flush);
            produced_ += before - z_.avail_out;
            if (rc == Z_STREAM_END) {
                return;
            }
            if (rc != Z_OK && rc != Z_BUF_ERROR) {
                throw TPictureError("compression failed");
            }
            if (flush == Z_NO_FLUSH && z_.avail_in == 0 && z_.avail_out > 0) {
                return;
            }
        }
    }

    z_stream z_{};
    TBytes out_;
    size_t produced_ = 0;
};

}  // namespace

int32_t DecodedBitsPerPixel(const TPngHeader& header, bool hasTransparency) {
    switch (header.ColourType) {
        case ctRgb: return hasTransparency ? 32 : 24;
        case ctGreyAlpha:
        case ctRgba: return 32;
        case ctGrey:
            if (header.BitDepth == 16 && hasTransparency) {
                return 32;
            }
            [[fallthrough]];
        default:
            return header.BitDepth == 1 ? 1 : header.BitDepth <= 4 ? 4 : 8;
    }
}

TBitmap DecodePngPixels(const TPngHeader& header, TByteSpan compressed, const TPngColours& colours) {
    // Deflate packs at most 258 bytes into 2 bits (1032 : 1). Data too short
    // to hold every row is refused before the bitmap is allocated.
    const int64_t rawBytes = (header.RowBytes(header.Width) + 1) * header.Height;
    if (static_cast<int64_t>(compressed.size()) * 1032 + 1024 < rawBytes) {
        throw TPictureError("PNG image data ends early");
    }
    const size_t expectedKey = header.ColourType == ctGrey ? 2 : header.ColourType == ctRgb ? 6 : 0;
    const bool keyed = colours.Transparency && expectedKey != 0 && colours.Transparency->size() == expectedKey;
    TBitmap bitmap(header.Width, header.Height, DecodedBitsPerPixel(header, keyed));
    TRowConverter converter(header, colours, bitmap);
    TRowInflater inflater(compressed);

    const size_t widest = static_cast<size_t>(header.RowBytes(header.Width)) + 1;
    std::vector<uint8_t> current(widest);
    std::vector<uint8_t> previous(widest);
    const size_t distance = header.FilterDistance();
    const TPass* passes = header.Interlace != 0 ? Adam7Passes : &WholeImage;
    const int passCount = header.Interlace != 0 ? 7 : 1;
    for (int p = 0; p < passCount; ++p) {
        const TPass& pass = passes[p];
        const int32_t width = PassExtent(header.Width, pass.X0, pass.Dx);
        const int32_t height = PassExtent(header.Height, pass.Y0, pass.Dy);
        if (width == 0 || height == 0) {
            continue;  // an empty pass has no rows, not even filter bytes
        }
        const size_t rowBytes = static_cast<size_t>(header.RowBytes(width));
        std::fill(previous.begin(), previous.end(), 0);
        for (int32_t r = 0; r < height; ++r) {
            inflater.Read(current.data(), rowBytes + 1);
            if (!UnfilterRow(current[0], current.data() + 1, previous.data() + 1, rowBytes, distance)) {
                throw TPictureError("unknown PNG row filter " + std::to_string(current[0]));
            }
            converter.Put(current.data() + 1, pass.Y0 + r * pass.Dy, pass.X0, pass.Dx, width);
            std::swap(current, previous);
        }
    }
    return bitmap;
}

TPngHeader EncodedHeader(const TBitmap& bitmap) {
    TPngHeader h;
    h.Width = bitmap.Width();
    h.Height = bitmap.Height();
    if (bitmap.HasPalette()) {
        h.ColourType = ctPalette;
        h.BitDepth = static_cast<uint8_t>(bitmap.BitsPerPixel());
    } else {
        h.ColourType = bitmap.BitsPerPixel() == 32 ? ctRgba : ctRgb;
        h.BitDepth = 8;
    }
    return h;
}

std::vector<TPaletteEntry> EncodedPalette(const TBitmap& bitmap) {
    int32_t highest = 0;
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        for (int32_t x = 0; x < bitmap.Width(); ++x) {
            highest = std::max<int32_t>(highest, bitmap.IndexAt(x, y));
        }
    }
    const size_t limit = size_t{1} << bitmap.BitsPerPixel();
    std::vector<TPaletteEntry> palette = bitmap.Palette;
    if (palette.size() > limit) {
        palette.resize(limit);
    }
    if (palette.size() < static_cast<size_t>(highest) + 1) {
        palette.resize(static_cast<size_t>(highest) + 1);  // indexes past the palette show black
    }
    return palette;
}

TBytes EncodePngPixels(const TBitmap& bitmap, int compressionLevel, uint8_t allowedFilters) {
    const TPngHeader header = EncodedHeader(bitmap);
    const size_t rowBytes = static_cast<size_t>(header.RowBytes(header.Width));
    const size_t distance = header.FilterDistance();
    allowedFilters |= FilterBit(pfNone);
    const bool choose = allowedFilters != FilterBit(pfNone);

    std::vector<uint8_t> raw(rowBytes);
    std::vector<uint8_t> prior(rowBytes, 0);
    std::vector<uint8_t> filtered[PngFilterCount];
    for (int f = 0; f < PngFilterCount; ++f) {
        if ((allowedFilters & FilterBit(static_cast<TPngFilter>(f))) != 0) {
            filtered[f].resize(rowBytes + 1);
            filtered[f][0] = static_cast<uint8_t>(f);
        }
    }
    const int bits = bitmap.BitsPerPixel();
    // Bits past the last pixel of a packed row are written as zeros.
    const int usedBits = static_cast<int>((int64_t{header.Width} * bits) % 8);
    const uint8_t lastMask = usedBits == 0 ? 0xFF : static_cast<uint8_t>(0xFF << (8 - usedBits));

    TStreamDeflater deflater(compressionLevel);
    for (int32_t y = 0; y < header.Height; ++y) {
        const uint8_t* source = bitmap.Row(y);
        if (bits <= 8) {
            std::memcpy(raw.data(), source, rowBytes);
            raw[rowBytes - 1] &= lastMask;
        } else {
            const size_t pixelBytes = static_cast<size_t>(bits / 8);
            for (size_t i = 0; i < rowBytes; i += pixelBytes) {
                raw[i] = source[i + 2];
                raw[i + 1] = source[i + 1];
                raw[i + 2] = source[i];
                if (pixelBytes == 4) {
                    raw[i + 3] = source[i + 3];
                }
            }
        }
        int best = pfNone;
        if (choose) {
            int64_t bestScore = -1;
            for (int f = 0; f < PngFilterCount; ++f) {
                if (filtered[f].empty()) {
                    continue;
                }
                FilterRow(static_cast<TPngFilter>(f), raw.data(), prior.data(), filtered[f].data() + 1, rowBytes,
                          distance);
                const int64_t score = FilterScore(filtered[f].data() + 1, rowBytes);
                if (score > bestScore) {  // ties keep the earlier filter
                    best = f;
                    bestScore = score;
                }
            }
        } else {
            std::memcpy(filtered[pfNone].data() + 1, raw.data(), rowBytes);
        }
        deflater.Write(filtered[best].data(), rowBytes + 1);
        std::swap(raw, prior);
    }
    return deflater.Finish();
}

}  // namespace quillane
