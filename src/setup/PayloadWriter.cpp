#include "setup/PayloadWriter.h"

#include <zlib.h>

#include <limits>

#include "setup/NameCodePage.h"
#include "setup/PayloadFormat.h"

namespace quillane {

namespace {

std::string Deflate(const std::string& data) {
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    std::string out(length, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK) {
        throw TPayloadError("compression failed");
    }
    out.resize(length);
    return out;
}

}  // namespace

std::string BuildPayload(uint64_t imageSize, const std::vector<TPayloadInput>& files) {
    std::string payload;
    std::vector<TAttachedFile> records;
    for (const TPayloadInput& input : files) {
        const auto name = Utf8ToCp1252(input.Name);
        if (!name) {
            throw TPayloadError("name not representable in Windows-1252: " + input.Name);
        }
        if (name->size() > 255) {
            throw TPayloadError("name longer than 255 bytes: " + input.Name);
        }
        if (input.Data.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
            throw TPayloadError("file larger than 2 GB: " + input.Name);
        }
        TAttachedFile record;
        record.Name = *name;
        record.Size = static_cast<int32_t>(input.Data.size());
        record.Time = input.Time;
        const uint64_t offset = imageSize + payload.size();
        if (offset >= PayloadFileLimit) {
            throw TPayloadError("payload past 4 GB");
        }
        record.Offset = static_cast<uint32_t>(offset);
        records.push_back(std::move(record));
        payload += Deflate(input.Data);
    }
    const uint64_t directoryOffset = imageSize + payload.size();
    if (directoryOffset >= PayloadFileLimit) {
        throw TPayloadError("payload past 4 GB");
    }
    // EncodeDirectory checks each record as the installer will.
    const std::string records8 = EncodeDirectory(records, static_cast<uint32_t>(directoryOffset));
    if (records8.size() > PayloadDirectoryLimit) {
        throw TPayloadError("directory larger than the installer reads");
    }
    const std::string directory = Deflate(records8);
    if (directoryOffset + directory.size() + PayloadTrailerBytes > PayloadFileLimit) {
        throw TPayloadError("payload past 4 GB");
    }
    payload += directory;
    payload += EncodeTrailer(static_cast<uint32_t>(directoryOffset));
    return payload;
}

}  // namespace quillane
