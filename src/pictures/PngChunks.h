#pragma once
// The chunks of a PNG file as a PNG picture keeps them: every chunk in file
// order with its type and data, so that chunks the program does not
// understand can be written back. Chunk classes know how to interpret their
// data into the picture after the whole file is read (Load) and how to
// rewrite it from the picture before it is saved (Save). A type without a
// class of its own becomes a plain TChunk that only carries its bytes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"
#include "pictures/Gamma.h"
#include "pictures/PngHeader.h"

namespace quillane {

class TPNGImage;
struct TPngReadOptions;

// A chunk type as the four letters are stored in the file, big-endian.
constexpr uint32_t ChunkType(const char (&name)[5]) {
    return (uint32_t(uint8_t(name[0])) << 24) | (uint32_t(uint8_t(name[1])) << 16) |
           (uint32_t(uint8_t(name[2])) << 8) | uint32_t(uint8_t(name[3]));
}
std::string ChunkName(uint32_t type);
// The fourth letter in lower case marks a chunk that is not written back.
inline bool IsDroppedOnSave(uint32_t type) { return (type & 0x20) != 0; }

// What the chunks of one file tell the decoder, gathered in file order.
struct TPngLoadContext {
    TPNGImage& Image;
    const TPngReadOptions& Options;
    std::optional<TPngHeader> Header;
    TByteSpan Palette;
    std::optional<TByteSpan> Transparency;
    std::optional<uint32_t> FileGamma;
    std::optional<TGammaTable> GammaTable;
    bool PixelsDecoded = false;
};

// The image as it is about to be written.
struct TPngSaveContext {
    const TPNGImage& Image;
    TPngHeader Header;
    std::vector<TPaletteEntry> Palette;
};

class TChunk {
public:
    explicit TChunk(uint32_t type) : type_(type) {}
    virtual ~TChunk() = default;
    TChunk(const TChunk&) = delete;
    TChunk& operator=(const TChunk&) = delete;

    uint32_t Type() const { return type_; }
    std::string Name() const { return ChunkName(type_); }

    // Interprets the data into the picture; the whole file has been read.
    virtual void Load(TPngLoadContext& context);
    // Takes another chunk's type and data.
    virtual void Assign(const TChunk& other);
    // Appends the chunk to a file: length, type, data, CRC-32 of type and
    // data. Chunk classes first rewrite their data from the picture.
    virtual void Save(const TPngSaveContext& context, TBytes& out);

    TBytes Data;

protected:
    void Write(TBytes& out) const;

private:
    uint32_t type_;
};

class TChunkIHDR final : public TChunk {
public:
    TChunkIHDR() : TChunk(ChunkType("IHDR")) {}
    void Load(TPngLoadContext& context) override;
    void Save(const TPngSaveContext& context, TBytes& out) override;
};

class TChunkGAMA final : public TChunk {
public:
    TChunkGAMA() : TChunk(ChunkType("gAMA")) {}
    void Load(TPngLoadContext& context) override;
    void Save(const TPngSaveContext& context, TBytes& out) override;
};

class TChunkIDAT final : public TChunk {
public:
    TChunkIDAT() : TChunk(ChunkType("IDAT")) {}
    void Load(TPngLoadContext& context) override;
    void Save(const TPngSaveContext& context, TBytes& out) override;
};

class TChunkPLTE final : public TChunk {
public:
    TChunkPLTE() : TChunk(ChunkType("PLTE")) {}
    void Load(TPngLoadContext& context) override;
    void Save(const TPngSaveContext& context, TBytes& out) override;
};

class TChunkTEXT final : public TChunk {
public:
    TChunkTEXT() : TChunk(ChunkType("tEXt")) {}
    void Load(TPngLoadContext& context) override;
};

class TChunkTRNS final : public TChunk {
public:
    TChunkTRNS() : TChunk(ChunkType("tRNS")) {}
    void Load(TPngLoadContext& context) override;
    void Save(const TPngSaveContext& context, TBytes& out) override;
};

class TChunkIEND final : public TChunk {
public:
    TChunkIEND() : TChunk(ChunkType("IEND")) {}
    void Save(const TPngSaveContext& context, TBytes& out) override;
};

using TChunkList = std::vector<std::unique_ptr<TChunk>>;

// The chunk classes by type ("IEND", "IHDR", "gAMA", "IDAT", "PLTE", "tEXt",
// "tRNS"); any other type makes a plain chunk.
std::unique_ptr<TChunk> CreateChunk(uint32_t type);

}  // namespace quillane
