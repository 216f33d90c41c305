#pragma once
// Small PNG files built inline, one chunk at a time, for the decoder and
// encoder tests: the CRC is computed unless a test damages it on purpose.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "pictures/Bytes.h"

namespace quillane::test {

struct TChunkFixture {
    std::string Type;
    TBytes Data;
    bool BadCrc = false;
};

TChunkFixture Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType, uint8_t interlace = 0);
// The zlib stream of rows that already carry their filter bytes.
TChunkFixture Idat(const TBytes& filteredRows);
TChunkFixture Plte(std::initializer_list<uint8_t> rgb);
TChunkFixture Iend();
TChunkFixture Raw(const std::string& type, const TBytes& data);

// Signature and chunks.
TBytes MakePng(const std::vector<TChunkFixture>& chunks);

// The chunks of a PNG file in order, as type and data.
std::vector<TChunkFixture> ParseChunks(const TBytes& png);
// The inflated image data of a PNG file (all IDAT chunks).
TBytes InflatedImageData(const TBytes& png);

}  // namespace quillane::test
