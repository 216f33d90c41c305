#include "pictures/PngFixtures.h"

#include <zlib.h>

#include <stdexcept>

namespace quillane::test {

TChunkFixture Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType, uint8_t interlace) {
    TBytes data;
    AppendBigEndian32(data, width);
    AppendBigEndian32(data, height);
    data.insert(data.end(), {depth, colourType, 0, 0, interlace});
    return {"IHDR", data};
}

TChunkFixture Idat(const TBytes& filteredRows) {
    uLongf size = compressBound(static_cast<uLong>(filteredRows.size()));
    TBytes out(size);
    if (compress(out.data(), &size, filteredRows.data(), static_cast<uLong>(filteredRows.size())) != Z_OK) {
        throw std::runtime_error("compress failed");
    }
    out.resize(size);
    return {"IDAT", out};
}

TChunkFixture Plte(std::initializer_list<uint8_t> rgb) { return {"PLTE", TBytes(rgb)}; }
TChunkFixture Iend() { return {"IEND", {}}; }
TChunkFixture Raw(const std::string& type, const TBytes& data) { return {type, data}; }

TBytes MakePng(const std::vector<TChunkFixture>& chunks) {
    TBytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const TChunkFixture& c : chunks) {
        AppendBigEndian32(out, static_cast<uint32_t>(c.Data.size()));
        const size_t typeAt = out.size();
        out.insert(out.end(), c.Type.begin(), c.Type.end());
        out.insert(out.end(), c.Data.begin(), c.Data.end());
        uint32_t crc = static_cast<uint32_t>(
            crc32(crc32(0, nullptr, 0), out.data() + typeAt, static_cast<uInt>(out.size() - typeAt)));
        AppendBigEndian32(out, c.BadCrc ? ~crc : crc);
    }
    return out;
}

std::vector<TChunkFixture> ParseChunks(const TBytes& png) {
    std::vector<TChunkFixture> chunks;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = ReadBigEndian32(&png[at]);
        if (length > png.size() - at - 12) {
            throw std::runtime_error("chunk runs past the end");
        }
        TChunkFixture c;
        c.Type.assign(png.begin() + static_cast<std::ptrdiff_t>(at + 4), png.begin() + static_cast<std::ptrdiff_t>(at + 8));
        c.Data.assign(png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                      png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        const uint32_t crc = static_cast<uint32_t>(
            crc32(crc32(0, nullptr, 0), &png[at + 4], static_cast<uInt>(length + 4)));
        c.BadCrc = crc != ReadBigEndian32(&png[at + 8 + length]);
        chunks.push_back(c);
        at += 12 + length;
    }
    return chunks;
}

TBytes InflatedImageData(const TBytes& png) {
    TBytes compressed;
    for (const TChunkFixture& c : ParseChunks(png)) {
        if (c.Type == "IDAT") {
            compressed.insert(compressed.end(), c.Data.begin(), c.Data.end());
        }
    }
    z_stream z{};
    inflateInit(&z);
    TBytes out;
    uint8_t buffer[4096];
    z.next_in = compressed.data();
    z.avail_in = static_cast<uInt>(compressed.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    }
    inflateEnd(&z);
    if (rc != Z_STREAM_END) {
        throw std::runtime_error("image data does not inflate");
    }
    return out;
}

}  // namespace quillane::test
