#pragma once
// Bounded streaming inflate of one payload stream: input no further than the
// stream's bytes, output no more than the size the directory declares, in
// blocks of 16 KB. A stream must give exactly its declared size and end
// (zlib's Adler-32 checked) exactly at its last byte; anything else is
// corrupt, so neither a bomb nor a short stream gets through.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/File.h"
#include "setup/PayloadFormat.h"

namespace quillane {

constexpr int32_t PayloadBlockBytes = 16 * 1024;

// Where inflated bytes go.
class TByteSink {
public:
    virtual ~TByteSink() = default;
    // False when the bytes could not be stored.
    virtual bool Write(const void* data, int32_t count) = 0;
};

class TStringSink final : public TByteSink {
public:
    std::string Bytes;
    bool Write(const void* data, int32_t count) override {
        Bytes.append(static_cast<const char*>(data), static_cast<size_t>(count));
        return true;
    }
};

// What the worker hears between blocks: bytes written so far (of this
// stream), and whether to go on. `Continue` may block while the
// installation is paused; false cancels.
struct TExtractHooks {
    std::function<void(int64_t written)> Progress;
    std::function<bool()> Continue;
};

enum class TInflateResult { Done, Corrupt, ReadFailed, WriteFailed, Cancelled };

// Inflates `entry`'s stream from `source` (the installer's file) into `sink`.
TInflateResult InflateEntry(TFile& source, const TAttachedFile& entry, TByteSink& sink,
                            const TExtractHooks* hooks = nullptr);

// Inflates the zlib stream of `length` bytes at `offset` into `out`, which
// may grow to `limit` bytes; the stream must end at its last byte. Throws
// TPayloadError otherwise (the directory's reading).
void InflateWhole(TFile& source, uint64_t offset, uint64_t length, size_t limit, std::string& out);

}  // namespace quillane
