#pragma once
// A compound file for tests and fuzzing: named streams held in memory. It
// stands in for the platform's compound-file reader above the seam, so the
// Word reader can be fed streams built byte by byte.

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/CompoundFile.h"

namespace quillane::test {

class TMemoryStorage final : public TCompoundFile {
public:
    std::map<std::string, std::vector<uint8_t>> Streams;
    // Streams that claim one byte more than they hold, so reading them
    // whole fails.
    std::set<std::string> ShortStreams;

    TStreamOpenResult OpenStream(const std::string& path) override {
        TStreamOpenResult result;
        const auto it = Streams.find(path);
        if (it == Streams.end()) {
            result.Error = TStorageError::NotFound;
            result.Message = "no stream \"" + path + "\"";
            return result;
        }
        result.Stream = std::make_unique<TBytesStream>(it->second, ShortStreams.count(path) != 0 ? 1 : 0);
        return result;
    }

    TStreamListResult ListStreams() override {
        TStreamListResult result;
        for (const auto& [name, bytes] : Streams) {
            result.Streams.push_back({name, static_cast<int64_t>(bytes.size())});
        }
        return result;
    }

private:
    class TBytesStream final : public TStorageStream {
    public:
        TBytesStream(const std::vector<uint8_t>& bytes, int64_t missing) : bytes_(bytes), missing_(missing) {}
        int64_t Size() const override { return static_cast<int64_t>(bytes_.size()) + missing_; }
        int32_t Read(void* buffer, int32_t count) override {
            const size_t n = std::min<size_t>(static_cast<size_t>(std::max(count, 0)), bytes_.size() - at_);
            if (n > 0) {
                std::memcpy(buffer, bytes_.data() + at_, n);
            }
            at_ += n;
            return static_cast<int32_t>(n);
        }
        bool Seek(int64_t offset) override {
            if (offset < 0 || static_cast<uint64_t>(offset) > bytes_.size()) {
                return false;
            }
            at_ = static_cast<size_t>(offset);
            return true;
        }

    private:
        const std::vector<uint8_t>& bytes_;
        int64_t missing_;
        size_t at_ = 0;
    };
};

}  // namespace quillane::test
