#pragma once
// The buffered output every writer emits into. Bytes for a file gather in a
// 64 KB block and go out in large writes (through the OEM code page for DOS
// text); bytes for memory go straight into the caller's string.

#include <cstdint>
#include <string>

#include "formats/FormatServices.h"
#include "model/FlexibleString.h"
#include "platform/File.h"

namespace quillane {

class TWriteSink {
public:
    static constexpr int32_t MinimumSize = 65536;

    TWriteSink(TFile& file, std::string fileName, int32_t format, const TFormatServices& services);
    explicit TWriteSink(TFlexibleString& memory);
    TWriteSink(const TWriteSink&) = delete;
    TWriteSink& operator=(const TWriteSink&) = delete;

    void PutByte(uint8_t value) { PutBytes(&value, 1); }
    // Low byte first: CR LF is the pair 0x0A0D.
    void PutWord(uint16_t value);
    void PutBytes(const void* bytes, int32_t n);
    // Writes what has gathered. A write error asks Retry/Cancel; Cancel
    // throws TSilentAbort.
    void Flush();

    bool ToMemory() const { return memory_ != nullptr; }
    int64_t BytesWritten() const { return written_; }

private:
    void Grow(int32_t size);

    TFile* file_ = nullptr;               // not owned
    TFlexibleString* memory_ = nullptr;   // not owned
    std::string fileName_;
    int32_t format_ = 0;
    const TFormatServices* services_ = nullptr;
    TFlexibleString block_;
    int32_t fill_ = 0;
    int64_t written_ = 0;
};

}  // namespace quillane
