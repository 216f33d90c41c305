#include "setup/PayloadInflate.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace quillane {

namespace {

// zlib's stream state, ended whatever happens.
class TInflater {
public:
    TInflater() {
        if (inflateInit(&stream_) != Z_OK) {
            throw TPayloadError("inflate could not start");
        }
    }
    ~TInflater() { inflateEnd(&stream_); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;
    z_stream& Stream() { return stream_; }

private:
    z_stream stream_{};
};

enum class TStep { More, End, Corrupt };

// Feeds the stream block by block from `source`, calling `take` with each
// run of output (never more than `limit` bytes in all).
template <typename Take>
TInflateResult RunInflate(TFile& source, uint64_t offset, uint64_t length, uint64_t limit, Take take,
                          const TExtractHooks* hooks) {
    if (!source.Seek(static_cast<int64_t>(offset))) {
        return TInflateResult::ReadFailed;
    }
    TInflater inflater;
    z_stream& z = inflater.Stream();
    std::vector<unsigned char> input(PayloadBlockBytes);
    std::vector<unsigned char> output(PayloadBlockBytes);
    uint64_t remaining = length;
    uint64_t produced = 0;
    bool ended = false;
    while (!ended) {
        // With its input used up, inflate may still hold output; called
        // with nothing more it either gives that or reports no progress
        // (Z_BUF_ERROR below): a stream cut short.
        if (z.avail_in == 0 && remaining > 0) {
            const auto want = static_cast<int32_t>(std::min<uint64_t>(remaining, PayloadBlockBytes));
            if (source.Read(input.data(), want) != want) {
                return TInflateResult::ReadFailed;
            }
            remaining -= static_cast<uint64_t>(want);
            z.next_in = input.data();
            z.avail_in = static_cast<uInt>(want);
        }
        // One byte of room beyond the limit shows a stream that goes on.
        const uint64_t room = std::min<uint64_t>(PayloadBlockBytes, limit - produced + 1);
        z.next_out = output.data();
        z.avail_out = static_cast<uInt>(room);
        const int status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) {
            return TInflateResult::Corrupt;  // bad data, bad checksum (or Z_BUF_ERROR: no progress)
        }
        const uint64_t got = room - z.avail_out;
        if (produced + got > limit) {
            return TInflateResult::Corrupt;  // more than declared: a bomb or a lie
        }
        produced += got;
        if (got > 0) {
            if (!take(output.data(), static_cast<int32_t>(got))) {
                return TInflateResult::WriteFailed;
            }
            if (hooks != nullptr && hooks->Progress) {
                hooks->Progress(static_cast<int64_t>(produced));
            }
        }
        ended = status == Z_STREAM_END;
        if (!ended && hooks != nullptr && hooks->Continue && !hooks->Continue()) {
            return TInflateResult::Cancelled;
        }
    }
    // The stream ends exactly where the next begins, with all it declared.
    if (z.avail_in != 0 || remaining != 0) {
        return TInflateResult::Corrupt;
    }
    return TInflateResult::Done;
}

}  // namespace

TInflateResult InflateEntry(TFile& source, const TAttachedFile& entry, TByteSink& sink, const TExtractHooks* hooks) {
    uint64_t produced = 0;
    const auto result = RunInflate(
        source, entry.Offset, entry.CompressedSize, static_cast<uint64_t>(entry.Size),
        [&](const unsigned char* data, int32_t count) {
            produced += static_cast<uint64_t>(count);
            return sink.Write(data, count);
        },
        hooks);
    if (result == TInflateResult::Done && produced != static_cast<uint64_t>(entry.Size)) {
        return TInflateResult::Corrupt;  // ended short of its declared size
    }
    return result;
}

void InflateWhole(TFile& source, uint64_t offset, uint64_t length, size_t limit, std::string& out) {
    out.clear();
    const auto result = RunInflate(
        source, offset, length, limit,
        [&](const unsigned char* data, int32_t count) {
            out.append(reinterpret_cast<const char*>(data), static_cast<size_t>(count));
            return true;
        },
        nullptr);
    switch (result) {
        case TInflateResult::Done: return;
        case TInflateResult::ReadFailed: throw TPayloadError("directory could not be read");
        default: throw TPayloadError("directory stream corrupt or too large");
    }
}

}  // namespace quillane
