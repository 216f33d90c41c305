#pragma once
// The layout of a Word fuzzing input: a compound file's streams in one
// byte string, so that libFuzzer mutates the streams the reader reads:
//   u32 little-endian length of "WordDocument", its bytes, u32 length of
//   the table stream (stored as both "0Table" and "1Table"; the FIB picks
//   one), its bytes, then the rest as the "Data" stream of pictures.
// A length beyond the input takes what there is.

#include <cstdint>
#include <string>
#include <vector>

#include "support/MemoryStorage.h"

namespace quillane::fuzz {

inline test::TMemoryStorage StorageFromInput(const uint8_t* data, size_t size) {
    test::TMemoryStorage storage;
    size_t at = 0;
    // The next length-prefixed part of the input.
    const auto part = [&]() {
        uint32_t length = 0;
        if (size - at >= 4) {
            length = static_cast<uint32_t>(data[at] | (data[at + 1] << 8) | (data[at + 2] << 16)) |
                     (static_cast<uint32_t>(data[at + 3]) << 24);
            at += 4;
        }
        const size_t n = std::min<size_t>(length, size - at);
        std::vector<uint8_t> bytes(data + at, data + at + n);
        at += n;
        return bytes;
    };
    storage.Streams["WordDocument"] = part();
    storage.Streams["0Table"] = part();
    storage.Streams["1Table"] = storage.Streams["0Table"];
    if (at < size) {
        storage.Streams["Data"].assign(data + at, data + size);
    }
    return storage;
}

inline std::string InputFromStreams(const std::vector<uint8_t>& main, const std::vector<uint8_t>& table,
                                    const std::vector<uint8_t>& pictures) {
    std::string input;
    for (const auto* stream : {&main, &table}) {
        const auto n = static_cast<uint32_t>(stream->size());
        for (int shift = 0; shift < 32; shift += 8) {
            input.push_back(static_cast<char>((n >> shift) & 0xFF));
        }
        input.append(stream->begin(), stream->end());
    }
    input.append(pictures.begin(), pictures.end());
    return input;
}

}  // namespace quillane::fuzz
