#include "pictures/PictureFile.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "pictures/Dib.h"
#include "pictures/GifImage.h"
#include "pictures/Jpeg.h"
#include "pictures/Pcx.h"
#include "pictures/PictureError.h"
#include "pictures/Targa.h"

namespace quillane {

namespace {

std::string LowerExtension(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.') {
        extension.remove_prefix(1);
    }
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return lower;
}

// A PCX header as ZSoft's programs write it.
bool LooksLikePcx(TByteSpan data) {
    return data.size() >= 128 && data[0] == 10 && data[1] <= 5 && data[1] != 1 && data[2] == 1 &&
           (data[3] == 1 || data[3] == 2 || data[3] == 4 || data[3] == 8) && data[65] >= 1 && data[65] <= 4;
}

// A Targa header of a type and depth the reader knows.
bool LooksLikeTarga(TByteSpan data) {
    if (data.size() < 18 || data[1] > 1) {
        return false;
    }
    const uint8_t type = data[2];
    const uint8_t depth = data[16];
    const bool typeKnown = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
    const bool depthKnown = depth == 1 || depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    const bool mapKnown = data[1] == 0 || data[7] == 15 || data[7] == 16 || data[7] == 24 || data[7] == 32;
    return typeKnown && depthKnown && mapKnown && (data[17] & 0xC0) == 0;
}

}  // namespace

TPictureFormat DetectPictureFormat(TByteSpan data) {
    if (data.size() >= sizeof PngSignature && std::equal(std::begin(PngSignature), std::end(PngSignature), data.begin())) {
        return TPictureFormat::Png;
    }
    // Start of image, then the first marker.
    if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return TPictureFormat::Jpeg;
    }
    if (data.size() >= 4 && (data[0] | 0x20) == 'g' && (data[1] | 0x20) == 'i' && (data[2] | 0x20) == 'f' &&
        data[3] == '8') {
        return TPictureFormat::Gif;
    }
    // "BM", then a DIB header size the decoder knows.
    if (data.size() >= 18 && data[0] == 'B' && data[1] == 'M') {
        const uint32_t headerSize = ReadLittleEndian32(data.data() + 14);
        if (headerSize == 12 || (headerSize >= 40 && headerSize <= 124)) {
            return TPictureFormat::Bmp;
        }
    }
    return TPictureFormat::Unknown;
}

TPictureFormat PictureFormatOf(TByteSpan data, std::string_view extension) {
    const TPictureFormat bySignature = DetectPictureFormat(data);
    if (bySignature != TPictureFormat::Unknown) {
        return bySignature;
    }
    const std::string ext = LowerExtension(extension);
    if (ext == "tga" || ext == "targa" || ext == "vda" || ext == "icb" || ext == "vst") {
        return TPictureFormat::Targa;
    }
    if (ext == "pcx") {
        return TPictureFormat::Pcx;
    }
    if (LooksLikePcx(data)) {
        return TPictureFormat::Pcx;
    }
    return LooksLikeTarga(data) ? TPictureFormat::Targa : TPictureFormat::Unknown;
}

TPNGImage LoadPngOrJpeg(TByteSpan data) {
    TPNGImage picture;
    switch (DetectPictureFormat(data)) {
        case TPictureFormat::Png:
            picture.LoadFromBytes(data);
            break;
        case TPictureFormat::Jpeg:
            picture.AssignBitmap(DecodeJpeg(data));
            break;
        default:
            throw TPictureError("not a PNG or JPEG picture");
    }
    return picture;
}

TPNGImage LoadPictureFile(TByteSpan data, std::string_view extension) {
    TPNGImage picture;
    switch (PictureFormatOf(data, extension)) {
        case TPictureFormat::Png:
        case TPictureFormat::Jpeg: return LoadPngOrJpeg(data);
        case TPictureFormat::Gif: {
            TGIFImage gif;
            gif.LoadFromBytes(data);
            picture.AssignBitmap(gif.FirstFrameOnScreen());
            break;
        }
        case TPictureFormat::Bmp: picture.AssignBitmap(DecodeBmpFile(data)); break;
        case TPictureFormat::Targa: picture.AssignBitmap(DecodeTarga(data)); break;
        case TPictureFormat::Pcx: picture.AssignBitmap(DecodePcx(data)); break;
        case TPictureFormat::Unknown: throw TPictureError("not a picture format this program reads");
    }
    return picture;
}

}  // namespace quillane
