// libFuzzer target: arbitrary bytes as a picture file of every kind the
// program opens (Targa, PCX, GIF, bitmap file, by extension and by content),
// and as a GIF whose every frame is decoded. A picture that loads must save
// as PNG and load again with the same pixels. Any crash, hang, sanitizer
// report or abort is a finding.
#include <cstdint>
#include <cstdlib>

#include "pictures/Dib.h"
#include "pictures/GifImage.h"
#include "pictures/Pcx.h"
#include "pictures/PictureFile.h"
#include "pictures/Targa.h"

namespace {

using namespace quillane;

// Re-encoding and frame decoding are limited to small pictures to keep the
// run fast; the size checks themselves run on every input.
constexpr int64_t MaxCheckedPixels = 1 << 18;

bool Small(const TBitmap& bitmap) { return int64_t{bitmap.Width()} * bitmap.Height() <= MaxCheckedPixels; }

void RoundTrip(const TBitmap& bitmap) {
    if (!Small(bitmap)) {
        return;
    }
    TPNGImage png;
    png.AssignBitmap(bitmap);
    TPNGImage again;
    again.LoadFromBytes(png.SaveToBytes());  // our own output must load
    if (again.Bitmap.ToRgba() != bitmap.ToRgba()) {
        std::abort();
    }
}

template <typename TDecode>
void Try(TDecode decode) {
    try {
        RoundTrip(decode());
    } catch (const TPictureError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TByteSpan bytes(data, size);
    Try([&] { return DecodeTarga(bytes); });
    Try([&] { return DecodePcx(bytes); });
    Try([&] { return DecodeBmpFile(bytes); });
    Try([&] { return LoadPictureFile(bytes, "").Bitmap; });

    TGIFImage gif;
    try {
        gif.LoadFromBytes(bytes);
    } catch (const TPictureError&) {
        return 0;
    }
    for (size_t i = 0; i < gif.Frames().size() && i < 8; ++i) {
        const TGifFrame& frame = gif.Frames()[i];
        if (int64_t{frame.Width} * frame.Height > MaxCheckedPixels) {
            continue;
        }
        Try([&] { return gif.FrameBitmap(i); });
    }
    Try([&] { return gif.FirstFrameOnScreen(); });
    return 0;
}
