#include "layout/PicturePainter.h"

#include <vector>

#include "layout/MetafilePlayer.h"
#include "pictures/ObjectManager.h"

namespace quillane {

namespace {

constexpr TColorValue FrameColor = 0x808080;

// RGBA with alpha blended over white: the canvas draws bitmaps opaque.
std::vector<uint8_t> OpaqueRgba(const TBitmap& bitmap) {
    std::vector<uint8_t> rgba = bitmap.ToRgba();
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        const uint32_t alpha = rgba[i + 3];
        if (alpha == 255) {
            continue;
        }
        for (size_t c = 0; c < 3; ++c) {
            rgba[i + c] = static_cast<uint8_t>((rgba[i + c] * alpha + 255 * (255 - alpha) + 127) / 255);
        }
        rgba[i + 3] = 255;
    }
    return rgba;
}

bool PlayMetafile(TCanvas& canvas, TFontSystem* fonts, const TDocObjectImage& image, const TRect& rect) {
    const TBytes& bits = image.MetafileBits();
    if (bits.empty()) {
        return false;
    }
    TMetafileView view;
    view.Bits = bits.data();
    view.Size = bits.size();
    view.Windows = image.WindowsMetafile;
    view.Mode = image.MetafilePict.Mode;
    view.XExtent = image.MetafilePict.XExtent;
    view.YExtent = image.MetafilePict.YExtent;
    return canvas.DrawMetafile(view, rect) || PlayMetafilePortably(canvas, fonts, view, rect);
}

}  // namespace

void TPicturePainter::DrawObject(TCanvas& canvas, uint8_t /*kind*/, int32_t id, const TRect& rect, bool /*device*/) {
    TDocObject* object = objects_.Find(id);
    if (object == nullptr || rect.IsEmpty()) {
        return;
    }
    const TBitmap* bitmap = nullptr;
    if (objects_.PrepareForDrawing(*object)) {
        TDocObjectImage& image = object->Image();
        const bool natural = image.Kind() == TImageKind::Bitmap && image.Bitmap().Width() == rect.Width() &&
                             image.Bitmap().Height() == rect.Height();
        bitmap = image.BitmapForDisplay(rect.Width(), rect.Height(), natural);
    }
    TDocObjectImage& image = object->Image();
    if (bitmap != nullptr && !bitmap->Empty()) {
        const std::vector<uint8_t> rgba = OpaqueRgba(*bitmap);
        const TBitmapView view{rgba.data(), bitmap->Width(), bitmap->Height(), bitmap->Width() * 4, TPixelOrder::Rgba};
        canvas.DrawBitmap(view, rect);
    } else if (!(image.Kind() == TImageKind::Metafile && !image.Packed() && PlayMetafile(canvas, fonts_, image, rect))) {
        canvas.FrameRect(rect, TPen{FrameColor, 1, {}});
    }
    objects_.FinishDrawing(*object);
}

}  // namespace quillane
