#include "pictures/PngHeader.h"

#include <cstring>
#include <string>

#include "pictures/PictureError.h"
#include "pictures/PngImage.h"

namespace quillane {

bool TPngHeader::ValidPair(uint8_t colourType, uint8_t bitDepth) {
    switch (colourType) {
        case ctGrey: return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
        case ctPalette: return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
        case ctRgb:
        case ctGreyAlpha:
        case ctRgba: return bitDepth == 8 || bitDepth == 16;
        default: return false;
    }
}

int32_t TPngHeader::Channels() const {
    switch (ColourType) {
        case ctRgb: return 3;
        case ctGreyAlpha: return 2;
        case ctRgba: return 4;
        default: return 1;
    }
}

TPngHeader TPngHeader::Parse(TByteSpan data) {
    if (data.size() != Size) {
        throw TPictureError("PNG header has " + std::to_string(data.size()) + " bytes instead of 13");
    }
    const uint32_t width = ReadBigEndian32(&data[0]);
    const uint32_t height = ReadBigEndian32(&data[4]);
    // The format allows up to 2^31 - 1; zero is invalid and would divide.
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) {
        throw TPictureError("PNG size " + std::to_string(width) + " x " + std::to_string(height) + " is invalid");
    }
    TPngHeader h;
    h.Width = static_cast<int32_t>(width);
    h.Height = static_cast<int32_t>(height);
    h.BitDepth = data[8];
    h.ColourType = data[9];
    h.Compression = data[10];
    h.FilterMethod = data[11];
    h.Interlace = data[12];
    if (!ValidPair(h.ColourType, h.BitDepth)) {
        throw TPictureError("PNG colour type " + std::to_string(h.ColourType) + " with bit depth " +
                            std::to_string(h.BitDepth) + " is invalid");
    }
    // Method 0 is the only one the format defines for each; data under
    // another method cannot be read as deflate with the five filters.
    if (h.Compression != 0) {
        throw TPictureError("unknown PNG compression method " + std::to_string(h.Compression));
    }
    if (h.FilterMethod != 0) {
        throw TPictureError("unknown PNG filter method " + std::to_string(h.FilterMethod));
    }
    if (h.Interlace > 1) {
        throw TPictureError("unknown PNG interlace method " + std::to_string(h.Interlace));
    }
    if (h.RowBytes(h.Width) > MaxRowBytes) {
        throw TPictureError("PNG rows of " + std::to_string(width) + " pixels are too long");
    }
    return h;
}

TPngHeader TPngHeader::OfFile(TByteSpan png) {
    constexpr size_t HeaderAt = sizeof PngSignature + 8;  // the chunk's length and type
    if (png.size() < sizeof PngSignature || std::memcmp(png.data(), PngSignature, sizeof PngSignature) != 0) {
        throw TPictureError("not a PNG file");
    }
    if (png.size() < HeaderAt + Size || ReadBigEndian32(&png[8]) != Size || std::memcmp(&png[12], "IHDR", 4) != 0) {
        throw TPictureError("PNG file does not start with its header");
    }
    return Parse(png.subspan(HeaderAt, Size));
}

TBytes TPngHeader::Serialize() const {
    TBytes out;
    AppendBigEndian32(out, static_cast<uint32_t>(Width));
    AppendBigEndian32(out, static_cast<uint32_t>(Height));
    out.insert(out.end(), {BitDepth, ColourType, Compression, FilterMethod, Interlace});
    return out;
}

}  // namespace quillane
