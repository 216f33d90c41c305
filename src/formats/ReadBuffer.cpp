#include "formats/ReadBuffer.h"

#include <algorithm>
#include <cstring>

#include "formats/DocumentFormat.h"

namespace quillane {

TReadBuffer::TReadBuffer(TFile& file, std::string fileName, int32_t format, const TFormatServices& services)
    : file_(&file),
      fileName_(std::move(fileName)),
      format_(format),
      services_(&services),
      block_(new uint8_t[BlockSize]()) {
    data_ = block_.get();
    size_ = std::max<int64_t>(file.Size(), 0);
    file.Seek(0);
}

TReadBuffer::TReadBuffer(const uint8_t* data, int32_t size) : data_(data), end_(size), size_(size) {}

bool TReadBuffer::GuardIntact() const {
    if (FromMemory()) {
        return true;
    }
    for (int32_t i = Usable; i < BlockSize; ++i) {
        if (block_[i] != 0) {
            return false;
        }
    }
    return true;
}

void TReadBuffer::Restart(int32_t format) {
    if (FromMemory()) {
        pos_ = 0;
        return;
    }
    format_ = format;
    file_->Seek(0);
    base_ = 0;
    end_ = 0;
    pos_ = 0;
    Fill();
}

int32_t TReadBuffer::ReadWithRetry(uint8_t* into, int32_t count) {
    for (;;) {
        const int32_t n = file_->Read(into, count);
        if (n >= 0) {
            return n;
        }
        const std::string text = FormatMessageText("Error reading file \"%s\"", {fileName_});
        if (services_->Messages.Show(text, TMessageKind::Error, TMessageButtons::RetryCancel) !=
            TMessageAnswer::Retry) {
            throw TSilentAbort();
        }
        file_->Seek(base_ + end_);
    }
}

void TReadBuffer::Fill() {
    if (FromMemory() || end_ - pos_ >= LowWater || base_ + end_ >= size_) {
        return;
    }
    uint8_t* block = block_.get();
    const int32_t tail = end_ - pos_;
    std::memmove(block, block + pos_, static_cast<size_t>(tail));
    base_ += end_ - tail;
    const int64_t remaining = size_ - base_ - tail;
    // Read a whole chunk while more than fits remains; otherwise the rest,
    // which then always fits in front of the zero guard bytes.
    const int32_t want = remaining > Usable - tail ? ChunkSize : static_cast<int32_t>(remaining);
    end_ = tail;  // the tail stays valid even if the read below fails
    pos_ = 0;
    const int32_t got = ReadWithRetry(block + tail, want);
    if (got < want) {
        // The file ended early (it shrank while open): what we have is all.
        size_ = base_ + tail + got;
    }
    if (IsOemFormat(format_)) {
        services_->CodePages.OemToAnsi(block + tail, static_cast<size_t>(got));
    }
    end_ = tail + got;
    if (services_->Progress != nullptr) {
        services_->Progress->SetPosition(base_ + pos_);
    }
}

}  // namespace quillane
