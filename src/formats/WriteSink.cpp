#include "formats/WriteSink.h"

#include <cstring>
#include <new>

#include "formats/DocumentFormat.h"

namespace quillane {

TWriteSink::TWriteSink(TFile& file, std::string fileName, int32_t format, const TFormatServices& services)
    : file_(&file), fileName_(std::move(fileName)), format_(format), services_(&services) {
    Grow(MinimumSize);
}

TWriteSink::TWriteSink(TFlexibleString& memory) : memory_(&memory) {}

void TWriteSink::Grow(int32_t size) {
    try {
        block_.SetLength(size);
    } catch (const std::bad_alloc&) {
        if (services_ != nullptr) {
            services_->Messages.Show("Out of Memory", TMessageKind::Error, TMessageButtons::Ok);
        }
        throw;
    }
}

void TWriteSink::PutWord(uint16_t value) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    PutBytes(bytes, 2);
}

void TWriteSink::PutBytes(const void* bytes, int32_t n) {
    if (n <= 0) {
        return;
    }
    if (memory_ != nullptr) {
        memory_->AppendBytes(bytes, n);
        written_ += n;
        return;
    }
    if (fill_ + n > block_.Length()) {
        Flush();
        if (n > block_.Length()) {
            Grow((n + 1) & ~1);
        }
    }
    std::memcpy(block_.Data() + fill_, bytes, static_cast<size_t>(n));
    fill_ += n;
}

void TWriteSink::Flush() {
    if (memory_ != nullptr || fill_ == 0) {
        return;
    }
    if (IsOemFormat(format_)) {
        services_->CodePages.AnsiToOem(block_.Data(), static_cast<size_t>(fill_));
    }
    const int64_t at = file_->Tell();
    while (!file_->Write(block_.Data(), fill_)) {
        const std::string text = FormatMessageText("Error writing file \"%s\"", {fileName_});
        if (services_->Messages.Show(text, TMessageKind::Error, TMessageButtons::RetryCancel) !=
            TMessageAnswer::Retry) {
            throw TSilentAbort();
        }
        file_->Seek(at);  // write the whole block again
    }
    written_ += fill_;
    fill_ = 0;
}

}  // namespace quillane
