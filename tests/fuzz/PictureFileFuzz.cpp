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

// Decoding is limited to pictures of modest declared size, re-encoding to
// small ones, to keep the run fast: a mutated header that asks for 256 MiB
// of pixels only costs time. The unit tests cover the size limits.
constexpr int64_t MaxDecodedPixels = 1 << 18;
constexpr int64_t MaxCheckedPixels = 1 << 16;

// The size each reader would see in the header, 0 when too short to tell.
int64_t TargaPixels(TByteSpan b) {
    return b.size() < 18 ? 0 : int64_t{ReadLittleEndian16(&b[12])} * ReadLittleEndian16(&b[14]);
}
int64_t PcxPixels(TByteSpan b) {
    if (b.size() < 12) {
        return 0;
    }
    return (int64_t{ReadLittleEndian16(&b[8])} - ReadLittleEndian16(&b[4]) + 1) *
           (int64_t{ReadLittleEndian16(&b[10])} - ReadLittleEndian16(&b[6]) + 1);
}
int64_t BmpPixels(TByteSpan b) {
    if (b.size() < 26) {
        return 0;
    }
    if (ReadLittleEndian32(&b[14]) == 12) {
        return int64_t{ReadLittleEndian16(&b[18])} * ReadLittleEndian16(&b[20]);
    }
    const auto width = static_cast<int32_t>(ReadLittleEndian32(&b[18]));
    const auto height = static_cast<int32_t>(ReadLittleEndian32(&b[22]));
    return std::abs(int64_t{width}) * std::abs(int64_t{height});
}

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
    const bool targa = TargaPixels(bytes) <= MaxDecodedPixels;
    const bool pcx = PcxPixels(bytes) <= MaxDecodedPixels;
    const bool bmp = BmpPixels(bytes) <= MaxDecodedPixels;
    if (targa) {
        Try([&] { return DecodeTarga(bytes); });
    }
    if (pcx) {
        Try([&] { return DecodePcx(bytes); });
    }
    if (bmp) {
        Try([&] { return DecodeBmpFile(bytes); });
    }
    if (targa && pcx && bmp && DetectPictureFormat(bytes) != TPictureFormat::Gif) {
        Try([&] { return LoadPictureFile(bytes, "").Bitmap; });
    }

    TGIFImage gif;
    try {
        gif.LoadFromBytes(bytes);
    } catch (const TPictureError&) {
        return 0;
    }
    for (size_t i = 0; i < gif.Frames().size() && i < 4; ++i) {
        const TGifFrame& frame = gif.Frames()[i];
        if (int64_t{frame.Width} * frame.Height > MaxDecodedPixels) {
            continue;
        }
        Try([&] { return gif.FrameBitmap(i); });
    }
    if (!gif.Empty() && (int64_t{gif.ScreenWidth()} + gif.Frames()[0].Left + gif.Frames()[0].Width) *
                                (int64_t{gif.ScreenHeight()} + gif.Frames()[0].Top + gif.Frames()[0].Height) <=
                            MaxDecodedPixels) {
        Try([&] { return gif.FirstFrameOnScreen(); });
    }
    return 0;
}
