#include "pictures/DocObjectImage.h"

#include <new>

#include "pictures/Jpeg.h"
#include "pictures/PictureBudget.h"
#include "pictures/PictureError.h"
#include "pictures/PngImage.h"
#include "pictures/Resampler.h"
#include "pictures/Zlib.h"

namespace quillane {

namespace {

// Packing favours speed for large true-colour pictures.
TBytes EncodeForPacking(TBitmap bitmap) {
    const bool trueColour = !bitmap.HasPalette();
    const int64_t pixels = int64_t{bitmap.Width()} * bitmap.Height();
    TPNGImage png;
    png.CompressionLevel = trueColour && pixels > 2500 ? 2 : 3;
    png.AssignBitmap(std::move(bitmap));
    return png.SaveToBytes();
}

TBitmap DecodePng(const TBytes& bytes) {
    TPNGImage png;
    png.LoadFromBytes(bytes);
    return std::move(png.Bitmap);
}

}  // namespace

std::unique_ptr<TDocObjectImage> TDocObjectImage::FromPng(TBytes png) {
    auto image = std::make_unique<TDocObjectImage>(TImageKind::Bitmap);
    image->Stored = std::move(png);
    return image;
}

std::unique_ptr<TDocObjectImage> TDocObjectImage::FromJpeg(TBytes jpeg) {
    DecodeJpeg(jpeg);  // undecodable data is refused now, not when drawn
    auto image = std::make_unique<TDocObjectImage>(TImageKind::Bitmap);
    image->Jpeg = std::move(jpeg);
    return image;
}

std::unique_ptr<TDocObjectImage> TDocObjectImage::FromMetafile(TBytes bits,
                                                               std::optional<TMetafilePictHeader> windowsMetafile) {
    auto image = std::make_unique<TDocObjectImage>(TImageKind::Metafile);
    image->Stored = std::move(bits);
    image->WindowsMetafile = windowsMetafile.has_value();
    image->MetafilePict = windowsMetafile.value_or(TMetafilePictHeader{});
    return image;
}

std::unique_ptr<TDocObjectImage> TDocObjectImage::FromBitmap(TBitmap bitmap) {
    auto image = std::make_unique<TDocObjectImage>(TImageKind::Bitmap);
    image->bitmap_ = std::move(bitmap);
    image->packed_ = image->bitmap_.Empty();
    return image;
}

TDocObjectImage::~TDocObjectImage() {
    Uncount();
    if (budget_ != nullptr) {
        budget_->Forget(*this);
    }
}

void TDocObjectImage::AttachBudget(TPictureBudget* budget) {
    if (budget == budget_) {
        return;
    }
    Uncount();
    if (budget_ != nullptr) {
        budget_->Forget(*this);
    }
    budget_ = budget;
    if (!packed_) {
        Count();
    }
}

void TDocObjectImage::Count() {
    if (budget_ != nullptr && !counted_) {
        countedSize_ = UnpackedSize();
        budget_->Add(countedSize_);
        counted_ = true;
    }
}

void TDocObjectImage::Uncount() {
    if (counted_) {
        budget_->Remove(countedSize_);
        counted_ = false;
    }
}

int64_t TDocObjectImage::UnpackedSize() const {
    if (kind_ == TImageKind::Metafile) {
        return static_cast<int64_t>(metafile_.size());
    }
    const int64_t pixels = int64_t{bitmap_.Width()} * bitmap_.Height();
    switch (bitmap_.BitsPerPixel()) {
        case 1: return pixels / 8;
        case 4: return pixels / 2;
        case 8: return pixels;
        case 32: return pixels * 4;
        default: return pixels * 3;
    }
}

int64_t TDocObjectImage::MemorySize() const {
    return static_cast<int64_t>(sizeof *this + Stored.size() + Jpeg.size() + ScaledCacheBytes.size() +
                                rendered_.size() + metafile_.size() + bitmap_.PixelBytes() +
                                scaledCache_.PixelBytes());
}

bool TDocObjectImage::Unpack(bool force) {
    if (!packed_) {
        return true;
    }
    if (budget_ != nullptr && budget_->PictureBudgetExceeded() && !force) {
        return false;
    }
    try {
        if (kind_ == TImageKind::Metafile) {
            if (Compressed) {
                if (UncompressedSize == 0 || UncompressedSize > MaxMetafileBytes) {
                    return false;
                }
                metafile_ = Inflate(Stored, static_cast<size_t>(UncompressedSize));
            } else {
                if (Stored.empty()) {
                    return false;
                }
                // The unpacked bits become the only copy.
                metafile_ = std::move(Stored);
                Stored = TBytes();
            }
        } else if (!Stored.empty()) {
            bitmap_ = DecodePng(Stored);
        } else if (!Jpeg.empty()) {
            bitmap_ = DecodeJpeg(Jpeg);
        } else {
            return false;
        }
    } catch (const TPictureError&) {
        return false;  // a picture that cannot be decoded stays packed and draws nothing
    }
    if (!ScaledCacheBytes.empty()) {
        try {
            scaledCache_ = DecodePng(ScaledCacheBytes);
        } catch (const TPictureError&) {
            scaledCache_ = TBitmap();  // made again when needed
        }
        ScaledCacheBytes = TBytes();
    }
    packed_ = false;
    Count();
    return true;
}

void TDocObjectImage::Pack() {
    if (packed_) {
        return;
    }
    if (kind_ == TImageKind::Metafile) {
        if (Stored.empty()) {
            UncompressedSize = metafile_.size();
            Stored = Deflate(metafile_);
            Compressed = true;
        }
        metafile_ = TBytes();
    } else {
        if (Stored.empty() && Jpeg.empty()) {
            Stored = EncodeForPacking(std::move(bitmap_));
        }
        bitmap_ = TBitmap();
    }
    if (!scaledCache_.Empty()) {
        ScaledCacheBytes = EncodeForPacking(std::move(scaledCache_));
        scaledCache_ = TBitmap();
    }
    packed_ = true;
    Uncount();
}

void TDocObjectImage::SetRendering(const TBitmap& rendered) {
    TPNGImage png;
    png.AssignBitmap(rendered);
    rendered_ = png.SaveToBytes();
}

const TBitmap* TDocObjectImage::BitmapForDisplay(int32_t width, int32_t height, bool naturalSize) {
    if (packed_) {
        return nullptr;
    }
    const TBitmap* own = kind_ == TImageKind::Bitmap ? &bitmap_ : nullptr;
    const bool cached = width >= 2 && height >= 2 && int64_t{width} * height <= MaxScaledCachePixels && !naturalSize;
    if (!cached) {
        return own;
    }
    if (!scaledCache_.Empty() && scaledCache_.Width() == width && scaledCache_.Height() == height) {
        return &scaledCache_;
    }
    scaledCache_ = TBitmap();  // a cache of another size is discarded
    try {
        if (own != nullptr) {
            scaledCache_ = ResampleMitchell(*own, width, height);
        } else if (!rendered_.empty()) {
            scaledCache_ = ResampleMitchell(DecodePng(rendered_), width, height);
        } else {
            return nullptr;
        }
    } catch (const TPictureError&) {
        return own;
    }
    return &scaledCache_;
}

}  // namespace quillane
