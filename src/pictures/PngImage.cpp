#include "pictures/PngImage.h"

#include <algorithm>
#include <cstring>

#include "pictures/PictureError.h"
#include "pictures/PngPixels.h"

namespace quillane {

namespace {

bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Chunks that must come before "PLTE" in a file.
bool BeforePalette(uint32_t type) {
    for (const uint32_t t : {ChunkType("gAMA"), ChunkType("cHRM"), ChunkType("sRGB"), ChunkType("iCCP"),
                             ChunkType("sBIT"), ChunkType("cICP")}) {
        if (type == t) {
            return true;
        }
    }
    return false;
}

// Chunks whose data is laid out by colour type and bit depth.
bool DependsOnPixelFormat(uint32_t type) {
    return type == ChunkType("bKGD") || type == ChunkType("sBIT") || type == ChunkType("hIST");
}

// Chunk types the picture rewrites; a file has at most one of each.
bool Rewritten(uint32_t type) {
    for (const uint32_t t : {ChunkType("IHDR"), ChunkType("PLTE"), ChunkType("tRNS"), ChunkType("gAMA"),
                             ChunkType("IDAT"), ChunkType("IEND")}) {
        if (type == t) {
            return true;
        }
    }
    return false;
}

}  // namespace

void TPNGImage::LoadFromBytes(TByteSpan data, const TPngReadOptions& options) {
    if (data.size() < sizeof PngSignature || std::memcmp(data.data(), PngSignature, sizeof PngSignature) != 0) {
        throw TPictureError("not a PNG file");
    }
    // Everything is read into a fresh picture first, so a failure leaves
    // this one untouched.
    TPNGImage loaded;
    TChunk* imageData = nullptr;
    size_t at = sizeof PngSignature;
    while (at < data.size()) {
        // Length, type, data, CRC (read and not checked).
        if (data.size() - at < 12) {
            throw TPictureError("PNG chunk ends early");
        }
        const uint32_t length = ReadBigEndian32(&data[at]);
        const uint32_t type = ReadBigEndian32(&data[at + 4]);
        if (length > 0x7FFFFFFFu || length > data.size() - at - 12) {
            throw TPictureError("PNG chunk ends early");
        }
        if (!IsLetter(data[at + 4]) || !IsLetter(data[at + 5]) || !IsLetter(data[at + 6]) ||
            !IsLetter(data[at + 7])) {
            throw TPictureError("PNG chunk of an invalid type");
        }
        const auto chunkData = data.subspan(at + 8, length);
        if (type == ChunkType("IDAT") && imageData != nullptr) {
            // All image data is kept in the first "IDAT" chunk.
            imageData->Data.insert(imageData->Data.end(), chunkData.begin(), chunkData.end());
        } else {
            std::unique_ptr<TChunk> chunk = CreateChunk(type);
            chunk->Data.assign(chunkData.begin(), chunkData.end());
            if (type == ChunkType("IDAT")) {
                imageData = chunk.get();
            }
            loaded.chunks_.push_back(std::move(chunk));
        }
        at += size_t{length} + 12;
        if (type == ChunkType("IEND")) {
            break;
        }
    }
    if (loaded.chunks_.empty() || loaded.chunks_.front()->Type() != ChunkType("IHDR")) {
        throw TPictureError("PNG file does not start with a header");
    }
    if (imageData == nullptr) {
        throw TPictureError("PNG file has no image data");
    }
    TPngLoadContext context{loaded, options, {}, {}, {}, {}, {}, false};
    for (const auto& chunk : loaded.chunks_) {
        chunk->Load(context);
    }
    chunks_ = std::move(loaded.chunks_);
    readHeader_ = context.Header;
    Bitmap = std::move(loaded.Bitmap);
    Gamma = loaded.Gamma;
    Texts = std::move(loaded.Texts);
    Interlaced = loaded.Interlaced;
}

void TPNGImage::Assign(const TPNGImage& other) {
    if (&other == this) {
        return;
    }
    TChunkList copies;
    for (const auto& chunk : other.chunks_) {
        std::unique_ptr<TChunk> copy = CreateChunk(chunk->Type());
        copy->Assign(*chunk);
        copies.push_back(std::move(copy));
    }
    chunks_ = std::move(copies);
    readHeader_ = other.readHeader_;
    AllowedFilters = other.AllowedFilters;
    Interlaced = other.Interlaced;
    Gamma = other.Gamma;
    Texts = other.Texts;
    Bitmap = other.Bitmap;
}

void TPNGImage::AssignBitmap(TBitmap bitmap) {
    chunks_.clear();
    readHeader_.reset();
    Gamma.reset();
    Texts.clear();
    Interlaced = false;
    Bitmap = std::move(bitmap);
}

void TPNGImage::PrepareChunks(const TPngHeader& header, const std::vector<TPaletteEntry>& palette) {
    const bool sameFormat = readHeader_ && readHeader_->ColourType == header.ColourType &&
                            readHeader_->BitDepth == header.BitDepth;
    const bool wantPalette = header.ColourType == ctPalette;
    const bool wantTransparency =
        wantPalette && std::any_of(palette.begin(), palette.end(), [](const TPaletteEntry& e) { return e.Alpha != 255; });

    // Unknown chunks keep their side of the image data.
    const auto firstData = std::find_if(chunks_.begin(), chunks_.end(),
                                        [](const auto& c) { return c->Type() == ChunkType("IDAT"); });
    const size_t dataAt = static_cast<size_t>(firstData - chunks_.begin());

    struct TRanked {
        int Rank;
        std::unique_ptr<TChunk> Chunk;
    };
    std::vector<TRanked> ranked;
    std::vector<uint32_t> seen;
    for (size_t i = 0; i < chunks_.size(); ++i) {
        std::unique_ptr<TChunk>& chunk = chunks_[i];
        const uint32_t type = chunk->Type();
        if (Rewritten(type)) {
            if (std::find(seen.begin(), seen.end(), type) != seen.end()) {
                continue;
            }
            seen.push_back(type);
        }
        if ((type == ChunkType("PLTE") && !wantPalette) || (type == ChunkType("tRNS") && !wantTransparency) ||
            (type == ChunkType("gAMA") && !Gamma) || (DependsOnPixelFormat(type) && !sameFormat)) {
            continue;
        }
        ranked.push_back({BeforePalette(type) ? 1 : i < dataAt ? 4 : 6, std::move(chunk)});
    }
    auto ensure = [&](uint32_t type, bool wanted) {
        if (wanted && std::find(seen.begin(), seen.end(), type) == seen.end()) {
            ranked.push_back({0, CreateChunk(type)});
        }
    };
    ensure(ChunkType("IHDR"), true);
    ensure(ChunkType("gAMA"), Gamma.has_value());
    ensure(ChunkType("PLTE"), wantPalette);
    ensure(ChunkType("tRNS"), wantTransparency);
    ensure(ChunkType("IDAT"), true);
    ensure(ChunkType("IEND"), true);
    for (TRanked& r : ranked) {
        const uint32_t type = r.Chunk->Type();
        if (type == ChunkType("IHDR")) {
            r.Rank = 0;
        } else if (type == ChunkType("gAMA")) {
            r.Rank = 1;
        } else if (type == ChunkType("PLTE")) {
            r.Rank = 2;
        } else if (type == ChunkType("tRNS")) {
            r.Rank = 3;
        } else if (type == ChunkType("IDAT")) {
            r.Rank = 5;
        } else if (type == ChunkType("IEND")) {
            r.Rank = 7;
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const TRanked& a, const TRanked& b) { return a.Rank < b.Rank; });
    chunks_.clear();
    for (TRanked& r : ranked) {
        chunks_.push_back(std::move(r.Chunk));
    }
}

TBytes TPNGImage::SaveToBytes() {
    if (Bitmap.Empty()) {
        throw TPictureError("no picture to save");
    }
    TPngSaveContext context{*this, EncodedHeader(Bitmap), {}};
    if (Bitmap.HasPalette()) {
        context.Palette = EncodedPalette(Bitmap);
    }
    PrepareChunks(context.Header, context.Palette);
    TBytes out(std::begin(PngSignature), std::end(PngSignature));
    for (const auto& chunk : chunks_) {
        if (!IsDroppedOnSave(chunk->Type())) {
            chunk->Save(context, out);
        }
    }
    return out;
}

}  // namespace quillane
