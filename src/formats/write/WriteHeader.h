#pragma once
// The 128-byte header of a Windows Write file: where the text ends and on
// which 128-byte page each table starts. Word for DOS wrote files of the
// same layout with no page count; they are read through the same path when
// their page numbers agree with the file. Every page number is checked
// against its neighbours and against the pages the file holds before any
// of them is used, so nothing later reads past the file.

#include <cstddef>
#include <cstdint>

#include "formats/word/WordBytes.h"

namespace quillane {

constexpr uint32_t WritePageSize = 128;
constexpr uint16_t WriteIdentifier = 0xBE31;
constexpr uint16_t WriteOleIdentifier = 0xBE32;  // the file holds OLE objects
constexpr uint16_t WriteTool = 0xAB00;
// Page numbers are 16 bits: no Write file reaches past this many bytes.
constexpr uint64_t MaxWriteFileSize = uint64_t{0x10000} * WritePageSize;

struct TWriteHeader {
    uint16_t Identifier = 0;
    uint32_t FcMac = 0;    // the end of the text, which starts at byte 128
    uint32_t PnChar = 0;   // character pages: from fcMac rounded up to a page
    uint32_t PnPara = 0;   // paragraph pages
    uint32_t PnFntb = 0;   // footnote table: where the paragraph pages end
    uint32_t PnFfntb = 0;  // font table, up to PnMac
    uint32_t PnMac = 0;    // pages in use (Word for DOS: the pages of the file)
    bool WordForDos = false;
};

// The identifier and the tool word of a Write (or Word for DOS) file.
bool HasWriteSignature(const uint8_t* data, size_t size);

// The header of the file; throws std::runtime_error when the identifier is
// wrong or a page number lies out of order or beyond the file.
TWriteHeader ParseWriteHeader(TByteView file);

}  // namespace quillane
