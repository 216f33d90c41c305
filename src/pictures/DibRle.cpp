#include "pictures/DibRle.h"

namespace quillane {

void DecodeDibRunLength(TByteSpan data, TBitmap& bitmap) {
    const bool fourBits = bitmap.BitsPerPixel() == 4;
    const int32_t width = bitmap.Width();
    const int32_t height = bitmap.Height();
    int64_t x = 0;
    int64_t line = 0;  // from the bottom
    size_t at = 0;
    const auto put = [&](uint8_t index) {
        if (x < width && line < height) {
            bitmap.SetIndex(static_cast<int32_t>(x), static_cast<int32_t>(height - 1 - line), index);
        }
        ++x;
    };
    while (at + 2 <= data.size() && line < height) {
        const uint8_t count = data[at];
        const uint8_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                put(fourBits ? static_cast<uint8_t>((i & 1) != 0 ? value & 15 : value >> 4) : value);
            }
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                ++line;
                break;
            case 1:  // end of bitmap
                return;
            case 2:  // move right and up
                if (at + 2 > data.size()) {
                    return;
                }
                x += data[at];
                line += data[at + 1];
                at += 2;
                break;
            default: {  // `value` literal pixels, padded to a 16-bit boundary
                const size_t bytes = fourBits ? (size_t{value} + 1) / 2 : value;
                if (data.size() - at < bytes) {
                    return;
                }
                for (int i = 0; i < value; ++i) {
                    const uint8_t byte = data[at + (fourBits ? static_cast<size_t>(i) / 2 : static_cast<size_t>(i))];
                    put(fourBits ? static_cast<uint8_t>((i & 1) != 0 ? byte & 15 : byte >> 4) : byte);
                }
                at += bytes + (bytes & 1);
                break;
            }
        }
    }
}

}  // namespace quillane
