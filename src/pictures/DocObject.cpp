#include "pictures/DocObject.h"

#include <algorithm>
#include <climits>

#include "pictures/Jpeg.h"
#include "pictures/PngImage.h"

namespace quillane {

namespace {

// Pixels at 96 per inch (15 twips each), within the believable sizes.
int32_t TwipsAt96(int64_t pixels) { return static_cast<int32_t>(std::clamp<int64_t>(pixels * 15, 0, MaxMetafileTwips)); }

// Hundredths of a millimetre to twips.
int32_t HundredthsOfMmToTwips(int32_t extent) {
    return static_cast<int32_t>(std::clamp<int64_t>((int64_t{extent} * 1440 + 1270) / 2540, 0, MaxMetafileTwips));
}

int32_t ScaledPixels(int32_t twips, int32_t scale, int32_t zoomedPpi) {
    const int64_t denominator = int64_t{100} * 1440;
    const int64_t numerator = int64_t{std::max(twips, 0)} * std::max(scale, 0) * std::max(zoomedPpi, 0);
    return static_cast<int32_t>(std::min<int64_t>((numerator + denominator / 2) / denominator, INT32_MAX));
}

}  // namespace

TDocObject::TDocObject(std::unique_ptr<TDocObjectImage> image) : image_(std::move(image)) {
    if (!image_) {
        image_ = std::make_unique<TDocObjectImage>(TImageKind::Bitmap);
    }
    image_->Owner = this;
}

int64_t TDocObject::MemorySize() const { return static_cast<int64_t>(sizeof(TDocObject)) + image_->MemorySize(); }

int64_t TDocOLEObject::MemorySize() const {
    return TDocObject::MemorySize() + static_cast<int64_t>(sizeof(TDocOLEObject) - sizeof(TDocObject) + Data.size() +
                                                           ClassName.size() + Name.size());
}

TPixelSize TDocObject::DisplaySize(int32_t zoomedPpi) const {
    return {ScaledPixels(Width, HorizontalScale, zoomedPpi), ScaledPixels(Height, VerticalScale, zoomedPpi)};
}

std::unique_ptr<TDocPicture> MakePngPicture(TBytes png) {
    int32_t width = 0;
    int32_t height = 0;
    // The header's size when the data starts like a PNG file.
    if (png.size() >= 24 && std::equal(std::begin(PngSignature), std::end(PngSignature), png.begin())) {
        width = TwipsAt96(ReadBigEndian32(&png[16]));
        height = TwipsAt96(ReadBigEndian32(&png[20]));
    }
    auto picture = std::make_unique<TDocPicture>(TDocObjectImage::FromPng(std::move(png)));
    picture->Width = width;
    picture->Height = height;
    return picture;
}

std::unique_ptr<TDocPicture> MakeJpegPicture(TByteSpan jpeg) {
    TBitmap bitmap = DecodeJpeg(jpeg);
    const int32_t width = TwipsAt96(bitmap.Width());
    const int32_t height = TwipsAt96(bitmap.Height());
    // The JPEG data itself is kept: it is far smaller than the pixels as PNG
    // and is written back unchanged.
    auto image = std::make_unique<TDocObjectImage>(TImageKind::Bitmap);
    image->Jpeg.assign(jpeg.begin(), jpeg.end());
    auto picture = std::make_unique<TDocPicture>(std::move(image));
    picture->Width = width;
    picture->Height = height;
    return picture;
}

std::unique_ptr<TDocPicture> MakeMetafilePicture(TBytes bits, std::optional<TMetafilePictHeader> windowsMetafile) {
    const TMetafileInfo info = ReadMetafileHeader(bits);
    int32_t width = info.Width.value_or(0);
    int32_t height = info.Height.value_or(0);
    if (windowsMetafile && (width == 0 || height == 0) && windowsMetafile->XExtent > 0 &&
        windowsMetafile->YExtent > 0) {
        width = HundredthsOfMmToTwips(windowsMetafile->XExtent);
        height = HundredthsOfMmToTwips(windowsMetafile->YExtent);
    }
    auto picture = std::make_unique<TDocPicture>(TDocObjectImage::FromMetafile(std::move(bits), windowsMetafile));
    picture->Width = width;
    picture->Height = height;
    return picture;
}

std::unique_ptr<TDocPicture> MakeBitmapPicture(TBitmap bitmap) {
    const int32_t width = TwipsAt96(bitmap.Width());
    const int32_t height = TwipsAt96(bitmap.Height());
    auto picture = std::make_unique<TDocPicture>(TDocObjectImage::FromBitmap(std::move(bitmap)));
    picture->Width = width;
    picture->Height = height;
    return picture;
}

}  // namespace quillane
