#include "formats/write/WriteHeader.h"

#include <algorithm>
#include <stdexcept>

namespace quillane {

namespace {

const char* const DamagedHeader = "The Windows Write file header is damaged";

}  // namespace

bool HasWriteSignature(const uint8_t* data, size_t size) {
    const TByteView head(data, size);
    const uint16_t identifier = head.U16(0);
    return head.Has(0, 6) && (identifier == WriteIdentifier || identifier == WriteOleIdentifier) &&
           head.U16(4) == WriteTool;
}

TWriteHeader ParseWriteHeader(TByteView file) {
    if (file.Size() < WritePageSize || !HasWriteSignature(file.Data(), file.Size())) {
        throw std::runtime_error(DamagedHeader);
    }
    // Only whole pages count: a page cut short at the end is not there.
    const uint64_t pages = std::min<uint64_t>(file.Size(), MaxWriteFileSize) / WritePageSize;
    TWriteHeader header;
    header.Identifier = file.U16(0);
    header.FcMac = file.U32(14);
    header.PnPara = file.U16(18);
    header.PnFntb = file.U16(20);
    header.PnFfntb = file.U16(28);
    const uint16_t pnMac = file.U16(96);
    header.WordForDos = pnMac == 0;
    header.PnMac = header.WordForDos ? static_cast<uint32_t>(pages) : pnMac;
    if (header.FcMac < WritePageSize || header.FcMac > pages * WritePageSize) {
        throw std::runtime_error(DamagedHeader);
    }
    header.PnChar = (header.FcMac + WritePageSize - 1) / WritePageSize;
    // The tables follow the text in this order; each ends where the next
    // begins, so none can run into another or past the file.
    const bool ordered = header.PnChar <= header.PnPara && header.PnPara <= header.PnFntb &&
                         header.PnFntb <= header.PnFfntb && header.PnFfntb <= header.PnMac &&
                         header.PnMac <= pages;
    if (!ordered) {
        throw std::runtime_error(DamagedHeader);
    }
    return header;
}

}  // namespace quillane
