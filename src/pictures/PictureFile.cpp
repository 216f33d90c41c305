#include "pictures/PictureFile.h"

#include <algorithm>

#include "pictures/Jpeg.h"
#include "pictures/PictureError.h"

namespace quillane {

TPictureFormat DetectPictureFormat(TByteSpan data) {
    if (data.size() >= sizeof PngSignature && std::equal(std::begin(PngSignature), std::end(PngSignature), data.begin())) {
        return TPictureFormat::Png;
    }
    // Start of image, then the first marker.
    if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return TPictureFormat::Jpeg;
    }
    return TPictureFormat::Unknown;
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

}  // namespace quillane
