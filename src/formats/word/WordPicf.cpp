#include "formats/word/WordPicf.h"

namespace quillane {

namespace {

// The fields read here end with the vertical scale; real descriptors are
// 58 (Word 6.0/95) or 68 bytes long.
constexpr uint32_t MinHeaderSize = 36;

}  // namespace

std::optional<TWordPicf> ParseWordPicf(TByteView stream, uint64_t location) {
    if (!stream.Has(location, 6)) {
        return std::nullopt;
    }
    const uint32_t total = stream.U32(location);
    const uint16_t headerSize = stream.U16(location + 4);
    if (headerSize < MinHeaderSize || headerSize > total || !stream.Has(location, total)) {
        return std::nullopt;
    }
    const TByteView picf = stream.Sub(location, total);
    TWordPicf result;
    result.MappingMode = picf.S16(6);
    result.XExtent = picf.S16(8);
    result.YExtent = picf.S16(10);
    result.GoalWidth = picf.S16(28);
    result.GoalHeight = picf.S16(30);
    // Tenths of a percent.
    result.ScaleX = picf.U16(32) / 10;
    result.ScaleY = picf.U16(34) / 10;
    result.Data = picf.From(headerSize);
    return result;
}

}  // namespace quillane
