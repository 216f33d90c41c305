#pragma once
// A bitmap that loads from and saves to PNG data. It keeps the file's chunk
// list, so chunks it does not interpret travel with the picture, and saves
// through the same list: the image header, palette, transparency, gamma and
// pixel data are rewritten from the bitmap, chunks whose type ends in a
// lower-case letter are dropped, the others are written back as read.
//
// Gamma: decoding maps colour samples to a display of gamma 2.2 when the
// file has "gAMA"; the picture then carries the gAMA value that describes
// the mapped samples, and saving writes that value beside the unchanged
// samples. A picture saved and read again any number of times keeps its
// colours.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pictures/Bitmap.h"
#include "pictures/Bytes.h"
#include "pictures/PictureError.h"
#include "pictures/PngChunks.h"
#include "pictures/PngFilters.h"
#include "pictures/Zlib.h"

namespace quillane {

struct TPngReadOptions {
    // Off: samples stay as stored and the file's gamma stays with them
    // (comparisons with decoders that ignore gamma).
    bool ApplyGamma = true;
};

struct TPngText {
    std::string Keyword;
    std::string Text;
};

constexpr uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

class TPNGImage {
public:
    TPNGImage() = default;
    TPNGImage(const TPNGImage&) = delete;
    TPNGImage& operator=(const TPNGImage&) = delete;
    TPNGImage(TPNGImage&&) = default;
    TPNGImage& operator=(TPNGImage&&) = default;

    // Reads a PNG file. Throws TPictureError on a bad signature, a missing
    // "IHDR" or "IDAT", a chunk that runs past the end, an invalid header,
    // a palette image without "PLTE", or corrupt or short image data. Chunk
    // CRCs are not checked: a picture with a damaged CRC still loads. On
    // failure the picture is left as it was.
    void LoadFromBytes(TByteSpan data, const TPngReadOptions& options = {});
    // Writes the picture as a non-interlaced PNG file.
    TBytes SaveToBytes();

    // Copies another PNG picture: its chunks, filter set, interlace flag,
    // gamma, texts and bitmap.
    void Assign(const TPNGImage& other);
    // Takes the pixels of another kind of picture; the chunks are made anew
    // when saving.
    void AssignBitmap(TBitmap bitmap);

    TBitmap Bitmap;
    int CompressionLevel = DefaultCompressionLevel;
    uint8_t AllowedFilters = DefaultPngFilters;  // FilterBit values
    bool Interlaced = false;                      // as read; saving never interlaces
    // The gAMA value (times 100000) that describes the bitmap's samples.
    std::optional<uint32_t> Gamma;
    std::vector<TPngText> Texts;  // "tEXt" keywords and texts, as read

    const TChunkList& Chunks() const { return chunks_; }

private:
    void PrepareChunks(const TPngHeader& header, const std::vector<TPaletteEntry>& palette);

    TChunkList chunks_;
    // The header as read: chunks that depend on the colour type and bit
    // depth are written back only while those stay the same.
    std::optional<TPngHeader> readHeader_;
};

}  // namespace quillane
