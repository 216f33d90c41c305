// libFuzzer target: arbitrary bytes as an installer's file, read as its
// payload, every entry inflated within its declared size; and the same
// bytes as an uncompressed directory. A crash, sanitizer report or hang is
// a finding, and so is an accepted entry that breaks a rule the reader
// promises (a name that leaves the destination, offsets out of order or
// past the directory, more or fewer bytes than declared).
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "setup/AttachedFiles.h"
#include "setup/PayloadInflate.h"
#include "support/MemoryFile.h"

namespace {

using namespace quillane;

// Counts what inflation hands on, without keeping it.
class TCountingSink final : public TByteSink {
public:
    int64_t Count = 0;
    bool Write(const void*, int32_t count) override {
        Count += count;
        return true;
    }
};

void CheckEntries(const std::vector<TAttachedFile>& entries, uint32_t directoryOffset) {
    uint64_t end = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const TAttachedFile& e = entries[i];
        CheckEntryName(e.Name);  // throws, which libFuzzer reports, if one slipped through
        if (e.Size < 0 || e.CompressedSize == 0 || (i > 0 && e.Offset <= entries[i - 1].Offset) ||
            static_cast<uint64_t>(e.Offset) + e.CompressedSize > directoryOffset) {
            std::abort();
        }
        end = static_cast<uint64_t>(e.Offset) + e.CompressedSize;
    }
    if (!entries.empty() && end != directoryOffset) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        TAttachedFiles files(std::make_unique<test::TMemoryFile>(bytes));
        const uint32_t directoryOffset =
            static_cast<uint32_t>(data[size - 8] | data[size - 7] << 8 | data[size - 6] << 16 |
                                  static_cast<uint32_t>(data[size - 5]) << 24);
        CheckEntries(files.Entries(), directoryOffset);
        for (const TAttachedFile& entry : files.Entries()) {
            TCountingSink sink;
            const TInflateResult result = InflateEntry(files.Source(), entry, sink);
            if (sink.Count > entry.Size || (result == TInflateResult::Done && sink.Count != entry.Size)) {
                std::abort();
            }
            files.Find(entry.Name);
        }
    } catch (const TPayloadError&) {
    }
    try {
        const uint32_t directoryOffset = 0x10000;
        CheckEntries(ParseDirectory(data, size, directoryOffset), directoryOffset);
    } catch (const TPayloadError&) {
    }
    return 0;
}
