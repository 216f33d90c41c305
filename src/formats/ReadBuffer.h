#pragma once
// The chunked input buffer every reader reads through. A file is never held
// whole: a 64 KB block is refilled whenever fewer than 32 unconsumed bytes
// remain, so a reader may always look a few bytes ahead. The block carries
// four zero bytes behind the data that no refill touches. A memory source
// is read in place.

#include <cstdint>
#include <memory>
#include <string>

#include "formats/FormatServices.h"
#include "platform/File.h"

namespace quillane {

class TReadBuffer {
public:
    static constexpr int32_t BlockSize = 65536 + 35;
    static constexpr int32_t GuardBytes = 4;
    static constexpr int32_t Usable = BlockSize - GuardBytes;
    static constexpr int32_t ChunkSize = 65536;
    static constexpr int32_t LowWater = 32;

    // A file source. `format` decides whether refills convert from OEM.
    TReadBuffer(TFile& file, std::string fileName, int32_t format, const TFormatServices& services);
    // A memory source, read in place.
    TReadBuffer(const uint8_t* data, int32_t size);
    TReadBuffer(const TReadBuffer&) = delete;
    TReadBuffer& operator=(const TReadBuffer&) = delete;

    // Refills when fewer than LowWater bytes remain and the source has more.
    // A read error asks Retry/Cancel; Cancel throws TSilentAbort.
    void Fill();
    // Starts again from the beginning of the file, now as `format` (so
    // that the OEM conversion applies after detection).
    void Restart(int32_t format);

    const uint8_t* Data() const { return data_; }
    int32_t End() const { return end_; }
    int32_t Pos() const { return pos_; }
    void Advance(int32_t n) { pos_ += n; }
    int64_t Base() const { return base_; }
    int64_t Size() const { return size_; }
    bool FromMemory() const { return file_ == nullptr; }
    int32_t Format() const { return format_; }
    const std::string& FileName() const { return fileName_; }
    // The zero bytes behind the usable part of the block are untouched.
    bool GuardIntact() const;

private:
    int32_t ReadWithRetry(uint8_t* into, int32_t count);

    TFile* file_ = nullptr;  // not owned; absent for a memory source
    std::string fileName_;
    int32_t format_ = 0;
    const TFormatServices* services_ = nullptr;
    std::unique_ptr<uint8_t[]> block_;
    const uint8_t* data_ = nullptr;
    int32_t end_ = 0;
    int32_t pos_ = 0;
    int64_t base_ = 0;
    int64_t size_ = 0;
};

}  // namespace quillane
