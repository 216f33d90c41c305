#include "pictures/PngChunks.h"

#include <zlib.h>

#include <algorithm>

#include "pictures/PictureError.h"
#include "pictures/PngImage.h"
#include "pictures/PngPixels.h"

namespace quillane {

std::string ChunkName(uint32_t type) {
    std::string name(4, ' ');
    for (int i = 0; i < 4; ++i) {
        name[static_cast<size_t>(i)] = static_cast<char>((type >> (24 - 8 * i)) & 0xFF);
    }
    return name;
}

void TChunk::Load(TPngLoadContext&) {}

void TChunk::Assign(const TChunk& other) {
    type_ = other.type_;
    Data = other.Data;
}

void TChunk::Save(const TPngSaveContext&, TBytes& out) { Write(out); }

void TChunk::Write(TBytes& out) const {
    AppendBigEndian32(out, static_cast<uint32_t>(Data.size()));
    const size_t typeAt = out.size();
    AppendBigEndian32(out, type_);
    out.insert(out.end(), Data.begin(), Data.end());
    uLong crc = crc32(0, nullptr, 0);
    crc = crc32(crc, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    AppendBigEndian32(out, static_cast<uint32_t>(crc));
}

void TChunkIHDR::Load(TPngLoadContext& context) {
    if (context.Header) {
        throw TPictureError("PNG file has a second header");
    }
    context.Header = TPngHeader::Parse(Data);
    context.Image.Interlaced = context.Header->Interlace != 0;
}

void TChunkIHDR::Save(const TPngSaveContext& context, TBytes& out) {
    Data = context.Header.Serialize();
    Write(out);
}

void TChunkGAMA::Load(TPngLoadContext& context) {
    // Gamma after the image data came too late to apply, as in other readers.
    if (context.PixelsDecoded || Data.size() != 4) {
        return;
    }
    const uint32_t gamma = ReadBigEndian32(Data.data());
    if (gamma == 0) {
        return;
    }
    context.FileGamma = gamma;
    context.GammaTable = context.Options.ApplyGamma ? MakeGammaTable(gamma) : std::nullopt;
}

void TChunkGAMA::Save(const TPngSaveContext& context, TBytes& out) {
    Data.clear();
    AppendBigEndian32(Data, context.Image.Gamma.value_or(DisplayGammaValue));
    Write(out);
}

void TChunkPLTE::Load(TPngLoadContext& context) {
    if (!context.PixelsDecoded) {
        context.Palette = Data;
    }
}

void TChunkPLTE::Save(const TPngSaveContext& context, TBytes& out) {
    Data.clear();
    for (const TPaletteEntry& e : context.Palette) {
        Data.insert(Data.end(), {e.Red, e.Green, e.Blue});
    }
    Write(out);
}

void TChunkTRNS::Load(TPngLoadContext& context) {
    if (context.PixelsDecoded || !context.Header) {
        return;
    }
    // A chunk of the wrong size for the colour type is ignored.
    switch (context.Header->ColourType) {
        case ctGrey:
            if (Data.size() == 2) {
                context.Transparency = TByteSpan(Data);
            }
            break;
        case ctRgb:
            if (Data.size() == 6) {
                context.Transparency = TByteSpan(Data);
            }
            break;
        case ctPalette:
            if (!Data.empty()) {
                context.Transparency = TByteSpan(Data);
            }
            break;
        default:
            break;
    }
}

void TChunkTRNS::Save(const TPngSaveContext& context, TBytes& out) {
    Data.clear();
    size_t count = 0;
    for (size_t i = 0; i < context.Palette.size(); ++i) {
        if (context.Palette[i].Alpha != 255) {
            count = i + 1;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        Data.push_back(context.Palette[i].Alpha);
    }
    Write(out);
}

void TChunkIDAT::Load(TPngLoadContext& context) {
    if (!context.Header) {
        throw TPictureError("PNG image data without a header");
    }
    TPngColours colours;
    colours.Palette = context.Palette;
    colours.Transparency = context.Transparency;
    colours.Gamma = context.GammaTable ? &*context.GammaTable : nullptr;
    context.Image.Bitmap = DecodePngPixels(*context.Header, Data, colours);
    context.Image.Gamma = context.GammaTable ? std::optional<uint32_t>(DisplayGammaValue) : context.FileGamma;
    context.PixelsDecoded = true;
}

void TChunkIDAT::Save(const TPngSaveContext& context, TBytes& out) {
    Data = EncodePngPixels(context.Image.Bitmap, context.Image.CompressionLevel, context.Image.AllowedFilters);
    Write(out);
}

void TChunkTEXT::Load(TPngLoadContext& context) {
    // Keyword of 1 to 79 bytes, a zero byte, the text; anything else is ignored.
    const auto zero = std::find(Data.begin(), Data.end(), uint8_t{0});
    const auto keywordLength = zero - Data.begin();
    if (zero == Data.end() || keywordLength < 1 || keywordLength > 79) {
        return;
    }
    context.Image.Texts.push_back(TPngText{std::string(Data.begin(), zero), std::string(zero + 1, Data.end())});
}

void TChunkIEND::Save(const TPngSaveContext&, TBytes& out) {
    Data.clear();
    Write(out);
}

namespace {

struct TChunkClass {
    uint32_t Type;
    std::unique_ptr<TChunk> (*Create)();
};

template <typename T>
std::unique_ptr<TChunk> Make() {
    return std::make_unique<T>();
}

constexpr TChunkClass ChunkClasses[] = {
    {ChunkType("IEND"), Make<TChunkIEND>}, {ChunkType("IHDR"), Make<TChunkIHDR>},
    {ChunkType("gAMA"), Make<TChunkGAMA>}, {ChunkType("IDAT"), Make<TChunkIDAT>},
    {ChunkType("PLTE"), Make<TChunkPLTE>}, {ChunkType("tEXt"), Make<TChunkTEXT>},
    {ChunkType("tRNS"), Make<TChunkTRNS>},
};

}  // namespace

std::unique_ptr<TChunk> CreateChunk(uint32_t type) {
    for (const TChunkClass& c : ChunkClasses) {
        if (c.Type == type) {
            return c.Create();
        }
    }
    return std::make_unique<TChunk>(type);
}

}  // namespace quillane
