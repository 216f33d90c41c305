#pragma once
// The layout of a Word fuzzing input: a compound file's streams in one
// byte string, so that libFuzzer mutates the streams the reader reads:
//   u32 little-endian length of "WordDocument", its bytes, then the table
//   stream (stored as both "0Table" and "1Table"; the FIB picks one).
// A length beyond the input takes what there is.

#include <cstdint>
#include <string>
#include <vector>

#include "support/MemoryStorage.h"

namespace quillane::fuzz {

inline test::TMemoryStorage StorageFromInput(const uint8_t* data, size_t size) {
    test::TMemoryStorage storage;
    uint32_t mainSize = 0;
    size_t at = 0;
    if (size >= 4) {
        mainSize = static_cast<uint32_t>(data[0] | (data[1] << 8) | (data[2] << 16)) |
                   (static_cast<uint32_t>(data[3]) << 24);
        at = 4;
    }
    const size_t main = std::min<size_t>(mainSize, size - at);
    storage.Streams["WordDocument"].assign(data + at, data + at + main);
    at += main;
    storage.Streams["0Table"].assign(data + at, data + size);
    storage.Streams["1Table"] = storage.Streams["0Table"];
    return storage;
}

inline std::string InputFromStreams(const std::vector<uint8_t>& main, const std::vector<uint8_t>& table) {
    std::string input;
    const auto n = static_cast<uint32_t>(main.size());
    for (int shift = 0; shift < 32; shift += 8) {
        input.push_back(static_cast<char>((n >> shift) & 0xFF));
    }
    input.append(main.begin(), main.end());
    input.append(table.begin(), table.end());
    return input;
}

}  // namespace quillane::fuzz
