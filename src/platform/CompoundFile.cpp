#include "platform/CompoundFile.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace quillane {

bool HasCompoundSignature(const uint8_t* data, int64_t size) {
    static const uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    return size >= 8 && std::memcmp(data, signature, 8) == 0;
}

TStorageError ReadWholeStream(TStorageStream& stream, std::vector<uint8_t>& bytes, int64_t limit) {
    TStreamBytes whole;
    const TStorageError error = whole.Read(stream, limit);
    bytes.assign(whole.Data(), whole.Data() + whole.Size());
    return error;
}

TStorageError TStreamBytes::Read(TStorageStream& stream, int64_t limit) {
    bytes_.reset();
    size_ = 0;
    const int64_t size = stream.Size();
    if (size < 0) {
        return TStorageError::Damaged;
    }
    if (size > limit) {
        return TStorageError::TooLarge;
    }
    if (size == 0) {
        return TStorageError::None;
    }
    if (!stream.Seek(0)) {
        return TStorageError::Other;
    }
    TLargeBuffer bytes = AllocateLargeBuffer(static_cast<size_t>(size));
    int64_t done = 0;
    while (done < size) {
        const int32_t want = static_cast<int32_t>(std::min<int64_t>(size - done, 1 << 20));
        const int32_t n = stream.Read(bytes.get() + done, want);
        if (n <= 0) {
            return TStorageError::Damaged;
        }
        done += n;
    }
    bytes_ = std::move(bytes);
    size_ = static_cast<size_t>(size);
    return TStorageError::None;
}

void SortStreamEntries(std::vector<TStreamEntry>& entries) {
    std::sort(entries.begin(), entries.end(),
              [](const TStreamEntry& a, const TStreamEntry& b) { return a.Path < b.Path; });
}

}  // namespace quillane
