#pragma once
// Payload bytes for tests, built one field at a time so that a test can
// break any rule the packer would never break.

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace quillane::test {

inline std::string Le32(uint32_t value) {
    std::string out;
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>(value >> (8 * i) & 0xFF);
    }
    return out;
}

inline std::string LeDouble(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return Le32(static_cast<uint32_t>(bits)) + Le32(static_cast<uint32_t>(bits >> 32));
}

inline std::string Zlib(const std::string& data, int level = 9) {
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    std::string out(length, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
              static_cast<uLong>(data.size()), level);
    out.resize(length);
    return out;
}

// One directory record: name length, name, size, time, offset.
inline std::string Record(const std::string& name, int32_t size, double time, uint32_t offset) {
    return std::string(1, static_cast<char>(name.size())) + name + Le32(static_cast<uint32_t>(size)) +
           LeDouble(time) + Le32(offset);
}

// A stand-in for the installer's program image.
inline std::string FakeImage(size_t size = 1000) {
    std::string image = "MZ";
    image.resize(size, '\0');
    for (size_t i = 2; i < size; ++i) {
        image[i] = static_cast<char>(i * 7 % 251);
    }
    return image;
}

// A payload whose files are given as (name, content); the records can be
// changed by `edit` before the directory is compressed.
struct TRawPayload {
    std::string Image = FakeImage();
    std::vector<std::string> Names;
    std::vector<std::string> Streams;   // compressed bytes as they go in
    std::vector<int32_t> Sizes;
    std::vector<double> Times;

    void Add(const std::string& name, const std::string& content, double time = 40000.5) {
        Names.push_back(name);
        Streams.push_back(Zlib(content));
        Sizes.push_back(static_cast<int32_t>(content.size()));
        Times.push_back(time);
    }

    uint32_t DirectoryOffset() const {
        size_t at = Image.size();
        for (const auto& s : Streams) {
            at += s.size();
        }
        return static_cast<uint32_t>(at);
    }

    std::vector<uint32_t> Offsets() const {
        std::vector<uint32_t> offsets;
        size_t at = Image.size();
        for (const auto& s : Streams) {
            offsets.push_back(static_cast<uint32_t>(at));
            at += s.size();
        }
        return offsets;
    }

    // The uncompressed records with their terminator.
    std::string Records() const {
        std::string records;
        const auto offsets = Offsets();
        for (size_t i = 0; i < Names.size(); ++i) {
            records += Record(Names[i], Sizes[i], Times[i], offsets[i]);
        }
        return records + Record("", 0, 0, DirectoryOffset());
    }

    // The whole file, with the given uncompressed directory.
    std::string File(const std::string& records) const {
        std::string file = Image;
        for (const auto& s : Streams) {
            file += s;
        }
        return file + Zlib(records) + Le32(DirectoryOffset()) + Le32(DirectoryOffset());
    }
    std::string File() const { return File(Records()); }
};

}  // namespace quillane::test
