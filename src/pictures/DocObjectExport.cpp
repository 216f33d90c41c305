// The forms in which writers save an image.
#include "pictures/DocObjectImage.h"
#include "pictures/Jpeg.h"
#include "pictures/PictureError.h"
#include "pictures/PngImage.h"
#include "pictures/Zlib.h"

namespace quillane {

TBytes TDocObjectImage::MetafileData() const {
    if (kind_ != TImageKind::Metafile) {
        throw TPictureError("the image is not a metafile");
    }
    if (!packed_ && !metafile_.empty()) {
        return metafile_;
    }
    if (Compressed) {
        if (UncompressedSize == 0 || UncompressedSize > MaxMetafileBytes) {
            throw TPictureError("the metafile's recorded size is not believable");
        }
        return Inflate(Stored, static_cast<size_t>(UncompressedSize));
    }
    return Stored;
}

TBytes TDocObjectImage::PngData() const {
    if (kind_ != TImageKind::Bitmap) {
        throw TPictureError("the image is not a bitmap");
    }
    if (!Stored.empty()) {
        return Stored;
    }
    TPNGImage png;
    png.AssignBitmap(Pixels());
    return png.SaveToBytes();
}

TBitmap TDocObjectImage::Pixels() const {
    if (kind_ != TImageKind::Bitmap) {
        throw TPictureError("the image is not a bitmap");
    }
    if (!packed_ && !bitmap_.Empty()) {
        return bitmap_;
    }
    if (!Stored.empty()) {
        TPNGImage png;
        png.LoadFromBytes(Stored);
        return std::move(png.Bitmap);
    }
    if (!Jpeg.empty()) {
        return DecodeJpeg(Jpeg);
    }
    throw TPictureError("the image has no pixels");
}

}  // namespace quillane
