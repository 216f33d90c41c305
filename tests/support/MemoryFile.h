#pragma once
// A TFile over a byte string, with failures on demand: reads or writes fail
// a given number of times before succeeding, and reads can be capped.

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/File.h"

namespace quillane::test {

class TMemoryFile final : public TFile {
public:
    explicit TMemoryFile(std::string bytes = {}) : bytes_(std::move(bytes)) {}

    int ReadFailures = 0;   // the next n reads fail
    int WriteFailures = 0;  // the next n writes fail
    int Reads = 0;

    const std::string& Bytes() const { return bytes_; }

    int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
    int32_t Read(void* buffer, int32_t count) override {
        ++Reads;
        if (ReadFailures > 0) {
            --ReadFailures;
            return -1;
        }
        const auto n = static_cast<int32_t>(std::min<int64_t>(count, Size() - at_));
        std::memcpy(buffer, bytes_.data() + at_, static_cast<size_t>(std::max(n, 0)));
        at_ += std::max(n, 0);
        return std::max(n, 0);
    }
    bool Write(const void* buffer, int32_t count) override {
        if (WriteFailures > 0) {
            --WriteFailures;
            return false;
        }
        if (static_cast<size_t>(at_) + count > bytes_.size()) {
            bytes_.resize(static_cast<size_t>(at_) + count);
        }
        std::memcpy(bytes_.data() + at_, buffer, static_cast<size_t>(count));
        at_ += count;
        return true;
    }
    bool Seek(int64_t offset) override {
        at_ = offset;
        return true;
    }
    int64_t Tell() const override { return at_; }
    bool Truncate() override {
        bytes_.resize(static_cast<size_t>(at_));
        return true;
    }

private:
    std::string bytes_;
    int64_t at_ = 0;
};

}  // namespace quillane::test
