// Device-independent bitmaps of metafiles, decoded by the picture code and
// drawn through the canvas. Only copying operations are drawn: the others
// combine with pixels the canvas does not give back.
#include <algorithm>
#include <cmath>

#include "layout/MetafileDevice.h"
#include "pictures/Dib.h"

namespace quillane {

namespace {

constexpr uint32_t SrcCopy = 0x00CC0020;

// Whether the DIB's rows are stored bottom up (as the source rectangle's y
// counts from the bottom then).
bool BottomUp(TByteSpan dib) {
    if (dib.size() < 12) {
        return true;
    }
    if (ReadLittleEndian32(dib.data()) == 12) {
        return true;  // core header: always bottom up
    }
    return static_cast<int32_t>(ReadLittleEndian32(dib.data() + 8)) > 0;
}

}  // namespace

TColorValue AverageDibColor(TByteSpan dib, TColorValue fallback) {
    TBitmap bitmap;
    try {
        bitmap = DecodeDib(dib);
    } catch (const TPictureError&) {
        return fallback;
    }
    const std::vector<uint8_t> rgba = bitmap.ToRgba();
    const uint64_t pixels = rgba.size() / 4;
    if (pixels == 0) {
        return fallback;
    }
    uint64_t sums[3] = {};
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        sums[0] += rgba[i];
        sums[1] += rgba[i + 1];
        sums[2] += rgba[i + 2];
    }
    return static_cast<TColorValue>(sums[0] / pixels | (sums[1] / pixels) << 8 | (sums[2] / pixels) << 16);
}

void TMetafileDevice::DrawDib(TByteSpan dib, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                              const TMetaBox& dest, uint32_t rop) {
    if (rop != SrcCopy || dib.empty() || Exhausted()) {
        return;
    }
    const TRect landing = CanvasBox(dest);
    if (Intersection(landing, dest_).IsEmpty() || srcWidth == 0 || srcHeight == 0) {
        return;
    }
    TBitmap bitmap;
    try {
        bitmap = DecodeDib(dib);
    } catch (const TPictureError&) {
        return;
    }
    if (bitmap.Empty()) {
        return;
    }
    Charge(static_cast<uint64_t>(bitmap.Width()) * static_cast<uint64_t>(bitmap.Height()) / 16 +
           static_cast<uint64_t>(std::min(landing.Height(), dest_.Height())) + 1);
    const int64_t width = std::abs(static_cast<int64_t>(srcWidth));
    const int64_t height = std::abs(static_cast<int64_t>(srcHeight));
    const int64_t left = std::min<int64_t>(srcX, static_cast<int64_t>(srcX) + srcWidth);
    int64_t top = std::min<int64_t>(srcY, static_cast<int64_t>(srcY) + srcHeight);
    if (BottomUp(dib)) {
        top = bitmap.Height() - top - height;
    }
    const auto clamp = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -(1 << 30), 1 << 30)); };
    const TRect source{clamp(left), clamp(top), clamp(left + width), clamp(top + height)};
    const std::vector<uint8_t> rgba = bitmap.ToRgba();
    const TBitmapView view{rgba.data(), bitmap.Width(), bitmap.Height(), bitmap.Width() * 4, TPixelOrder::Rgba};
    ApplyClip();
    canvas_.DrawBitmap(view, source, landing);
}

}  // namespace quillane
