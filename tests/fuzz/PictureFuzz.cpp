// libFuzzer target: arbitrary bytes as a PNG file, as the stored data of an
// embedded picture (PNG, JPEG and compressed metafile) and as a metafile
// header. A picture that loads must save and load again with the same
// pixels. Any crash, hang, sanitizer report or abort is a finding.
#include <cstdint>
#include <cstdlib>

#include "pictures/DocObjectImage.h"
#include "pictures/Jpeg.h"
#include "pictures/Metafile.h"
#include "pictures/PngImage.h"

namespace {

using namespace quillane;

// Re-encoding is checked on pictures small enough to keep the run fast.
constexpr int64_t MaxRoundTripPixels = 1 << 20;

void RoundTrip(TByteSpan bytes) {
    TPNGImage png;
    try {
        png.LoadFromBytes(bytes);
    } catch (const TPictureError&) {
        return;
    }
    if (int64_t{png.Bitmap.Width()} * png.Bitmap.Height() > MaxRoundTripPixels) {
        return;
    }
    TPNGImage again;
    again.LoadFromBytes(png.SaveToBytes());  // our own output must load
    if (again.Bitmap.ToRgba() != png.Bitmap.ToRgba()) {
        std::abort();
    }
}

void Unpack(std::unique_ptr<TDocObjectImage> image) {
    if (!image->Unpack(true)) {
        if (!image->Packed()) {
            std::abort();
        }
        return;
    }
    const TBitmap& bitmap = image->Bitmap();
    if (int64_t{bitmap.Width()} * bitmap.Height() <= MaxRoundTripPixels) {
        image->BitmapForDisplay(17, 9, false);
        image->Pack();
        if (!image->Unpack(true)) {
            std::abort();  // what we packed ourselves must unpack
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TByteSpan bytes(data, size);
    RoundTrip(bytes);
    ReadMetafileHeader(bytes);

    Unpack(TDocObjectImage::FromPng(TBytes(bytes.begin(), bytes.end())));
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) {
        auto jpeg = std::make_unique<TDocObjectImage>(TImageKind::Bitmap);
        jpeg->Jpeg.assign(bytes.begin(), bytes.end());
        Unpack(std::move(jpeg));
    }
    // A compressed metafile whose recorded size is the first two bytes.
    if (size >= 2) {
        auto metafile = TDocObjectImage::FromMetafile(TBytes(bytes.begin() + 2, bytes.end()), std::nullopt);
        metafile->Compressed = true;
        metafile->UncompressedSize = static_cast<uint64_t>(data[0]) << 8 | data[1];
        Unpack(std::move(metafile));
    }
    return 0;
}
