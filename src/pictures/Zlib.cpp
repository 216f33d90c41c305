#include "pictures/Zlib.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "pictures/PictureError.h"

namespace quillane {

namespace {

// zlib counts in 32-bit units; larger blobs are fed in slices.
constexpr size_t MaxSlice = std::numeric_limits<uInt>::max();

class TInflater {
public:
    TInflater() {
        if (inflateInit(&stream_) != Z_OK) {
            throw TPictureError("cannot start decompression");
        }
    }
    ~TInflater() { inflateEnd(&stream_); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;
    z_stream& Stream() { return stream_; }

private:
    z_stream stream_{};
};

class TDeflater {
public:
    explicit TDeflater(int level) {
        if (deflateInit(&stream_, level) != Z_OK) {
            throw TPictureError("cannot start compression");
        }
    }
    ~TDeflater() { deflateEnd(&stream_); }
    TDeflater(const TDeflater&) = delete;
    TDeflater& operator=(const TDeflater&) = delete;
    z_stream& Stream() { return stream_; }

private:
    z_stream stream_{};
};

}  // namespace

TBytes Deflate(TByteSpan data, int level) {
    TDeflater deflater(level);
    z_stream& z = deflater.Stream();
    TBytes out(std::min<size_t>(deflateBound(&z, static_cast<uLong>(std::min(data.size(), MaxSlice))) + 64,
                                size_t{1} << 24));
    size_t consumed = 0;
    size_t produced = 0;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        const size_t slice = std::min(data.size() - consumed, MaxSlice);
        z.next_in = const_cast<Bytef*>(data.data() + consumed);
        z.avail_in = static_cast<uInt>(slice);
        if (produced == out.size()) {
            out.resize(out.size() * 2);
        }
        z.next_out = out.data() + produced;
        z.avail_out = static_cast<uInt>(std::min(out.size() - produced, MaxSlice));
        const size_t before = z.avail_out;
        rc = deflate(&z, consumed + slice == data.size() ? Z_FINISH : Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            throw TPictureError("compression failed");
        }
        consumed += slice - z.avail_in;
        produced += before - z.avail_out;
    }
    out.resize(produced);
    return out;
}

TBytes Inflate(TByteSpan compressed, size_t expectedSize) {
    TInflater inflater;
    z_stream& z = inflater.Stream();
    TBytes out(expectedSize);
    size_t consumed = 0;
    size_t produced = 0;
    // One spare byte shows a stream that would give more than expected.
    uint8_t spare = 0;
    for (;;) {
        const size_t slice = std::min(compressed.size() - consumed, MaxSlice);
        z.next_in = const_cast<Bytef*>(compressed.data() + consumed);
        z.avail_in = static_cast<uInt>(slice);
        const bool full = produced == out.size();
        z.next_out = full ? &spare : out.data() + produced;
        z.avail_out = full ? 1 : static_cast<uInt>(std::min(out.size() - produced, MaxSlice));
        const size_t before = z.avail_out;
        const int rc = inflate(&z, Z_NO_FLUSH);
        consumed += slice - z.avail_in;
        const size_t made = before - z.avail_out;
        if (full && made > 0) {
            throw TPictureError("compressed data is larger than recorded");
        }
        produced += full ? 0 : made;
        if (rc == Z_STREAM_END) {
            break;
        }
        if (rc == Z_NEED_DICT || rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR) {
            throw TPictureError("compressed data is corrupt");
        }
        if (rc == Z_BUF_ERROR && consumed == compressed.size()) {
            throw TPictureError("compressed data ends early");
        }
    }
    if (produced != expectedSize) {
        throw TPictureError("compressed data is smaller than recorded");
    }
    return out;
}

}  // namespace quillane
