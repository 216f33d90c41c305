#include "formats/word/WordStreamWindow.h"

#include <algorithm>
#include <stdexcept>

#include "platform/CompoundFile.h"

namespace quillane {

TWordStreamWindow::TWordStreamWindow(TByteView whole)
    : size_(whole.Size()), capacity_(whole.Size()), held_(whole) {}

TWordStreamWindow::TWordStreamWindow(TStorageStream& stream, uint64_t size, size_t capacity, const char* failure)
    : stream_(&stream), size_(size), capacity_(std::max<size_t>(capacity, 1)), failure_(failure),
      buffer_(std::make_unique_for_overwrite<uint8_t[]>(capacity_)) {}

TByteView TWordStreamWindow::Range(uint64_t offset, uint64_t length) {
    if (offset >= size_) {
        return TByteView();
    }
    length = std::min<uint64_t>({length, size_ - offset, capacity_});
    if (offset >= heldFrom_ && offset - heldFrom_ + length <= held_.Size()) {
        return held_.Sub(offset - heldFrom_, length);
    }
    // Only a stream moves the window (bytes held whole hold everything).
    const auto want = static_cast<size_t>(std::min<uint64_t>(capacity_, size_ - offset));
    if (!stream_->Seek(static_cast<int64_t>(offset))) {
        throw std::runtime_error(failure_);
    }
    size_t got = 0;
    while (got < want) {
        const int32_t n = stream_->Read(buffer_.get() + got, static_cast<int32_t>(std::min<size_t>(want - got, 1 << 30)));
        if (n <= 0) {
            held_ = TByteView();
            throw std::runtime_error(failure_);
        }
        got += static_cast<size_t>(n);
    }
    held_ = TByteView(buffer_.get(), want);
    heldFrom_ = offset;
    return held_.Sub(0, length);
}

}  // namespace quillane
