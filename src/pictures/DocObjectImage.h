#pragma once
// The image of an embedded picture or object, kept either packed (compact
// bytes: metafile bits, or the bitmap as PNG data) or unpacked (ready to
// draw). Documents may hold many large pictures, so only a limited number
// of images stay unpacked across all documents (TPictureBudget); the rest
// are packed again after drawing.
//
// Unlike metafiles, whose unpacked bits are the only copy, a bitmap keeps
// its PNG data while unpacked: pictures are never edited in place, so
// packing only has to free the pixels.

#include <cstdint>
#include <memory>
#include <optional>

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"
#include "pictures/Metafile.h"

namespace quillane {

class TDocObject;
class TPictureBudget;

enum class TImageKind : int32_t { Metafile = 0, Bitmap = 1 };

class TDocObjectImage {
public:
    // Scaled caches larger than this many pixels are not made.
    static constexpr int64_t MaxScaledCachePixels = 786432;
    // Metafiles recorded as larger than this are not unpacked.
    static constexpr uint64_t MaxMetafileBytes = uint64_t{256} << 20;

    // A packed image: PNG data, or metafile bits (enhanced, or Windows bits
    // with their mapping mode and extents).
    static std::unique_ptr<TDocObjectImage> FromPng(TBytes png);
    static std::unique_ptr<TDocObjectImage> FromJpeg(TBytes jpeg);
    static std::unique_ptr<TDocObjectImage> FromMetafile(TBytes bits,
                                                         std::optional<TMetafilePictHeader> windowsMetafile);
    // An unpacked image of a bitmap (pasted or inserted pixels).
    static std::unique_ptr<TDocObjectImage> FromBitmap(TBitmap bitmap);

    explicit TDocObjectImage(TImageKind kind) : kind_(kind) {}
    ~TDocObjectImage();  // leaves the budget
    TDocObjectImage(const TDocObjectImage&) = delete;
    TDocObjectImage& operator=(const TDocObjectImage&) = delete;

    TImageKind Kind() const { return kind_; }
    bool Packed() const { return packed_; }

    // The packed form.
    TBytes Stored;                        // metafile bits or PNG data
    bool WindowsMetafile = false;         // Stored holds 16-bit Windows metafile bits ...
    TMetafilePictHeader MetafilePict;     // ... with this mapping mode and these extents
    bool Compressed = false;              // Stored is zlib-compressed metafile bits ...
    uint64_t UncompressedSize = 0;        // ... of this size
    TBytes Jpeg;                          // JPEG data of a picture that came as JPEG
    TBytes ScaledCacheBytes;              // the scaled cache as PNG data while packed

    // The unpacked form; empty while packed.
    const TBytes& MetafileBits() const { return metafile_; }
    const TBitmap& Bitmap() const { return bitmap_; }
    const TBitmap& ScaledCache() const { return scaledCache_; }

    // A metafile played into a bitmap by the drawing side, kept as PNG data
    // (made once); the scaled cache of a metafile is resampled from it.
    void SetRendering(const TBitmap& rendered);
    const TBytes& RenderedBytes() const { return rendered_; }

    // Bytes of the unpacked form: the metafile's size, or the bitmap's
    // width x height x bytes per pixel (1 bit: / 8, 4 bits: / 2).
    int64_t UnpackedSize() const;
    // Everything the image holds.
    int64_t MemorySize() const;

    // Unpacks, unless the budget is exceeded and the caller does not force
    // it (drawing does). True when the image is unpacked afterwards; data
    // that cannot be decoded leaves it packed, silently.
    bool Unpack(bool force = false);
    // Packs: encodes what has no packed form yet, frees the unpacked form
    // and leaves the budget.
    void Pack();

    // The bitmap to draw at a display size in pixels: the scaled cache when
    // it applies (both sides at least 2, at most MaxScaledCachePixels, not
    // the natural size), made anew when its size differs; else the image's
    // own bitmap. Nothing while packed, or for a metafile without rendering
    // outside the cache (the drawing side plays it).
    const TBitmap* BitmapForDisplay(int32_t width, int32_t height, bool naturalSize);

    // The image as writers save it, whatever its state: the metafile bits
    // uncompressed, the bitmap as PNG data (the stored bytes when there are
    // some) and its pixels. Throw TPictureError for data that cannot be
    // decoded.
    TBytes MetafileData() const;
    TBytes PngData() const;
    TBitmap Pixels() const;

    int32_t DrawCount = 0;
    TDocObject* Owner = nullptr;

    // The budget the image is counted in while unpacked (set by the object
    // manager; not owned).
    void AttachBudget(TPictureBudget* budget);
    TPictureBudget* Budget() const { return budget_; }
    bool Counted() const { return counted_; }

private:
    void Count();
    void Uncount();

    TImageKind kind_;
    bool packed_ = true;
    TBytes metafile_;
    TBitmap bitmap_;
    TBitmap scaledCache_;
    TBytes rendered_;
    TPictureBudget* budget_ = nullptr;
    bool counted_ = false;
    int64_t countedSize_ = 0;  // the size the budget was told
};

}  // namespace quillane
