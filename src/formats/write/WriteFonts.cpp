#include "formats/write/WriteFonts.h"

#include <algorithm>

namespace quillane {

namespace {

constexpr uint16_t NextPage = 0xFFFF;
constexpr uint16_t EndOfTable = 0;
constexpr size_t MaxNameLength = 32;

}  // namespace

std::vector<TWriteFont> ParseWriteFonts(TByteView file, const TWriteHeader& header) {
    std::vector<TWriteFont> fonts;
    if (header.WordForDos || header.PnFfntb >= header.PnMac) {
        return fonts;
    }
    uint32_t pn = header.PnFfntb;
    TByteView page = file.Sub(uint64_t{pn} * WritePageSize, WritePageSize);
    const uint16_t count = page.U16(0);
    uint32_t at = 2;
    while (fonts.size() < count) {
        const uint16_t size = page.Has(at, 2) ? page.U16(at) : NextPage;
        if (size == EndOfTable) {
            break;
        }
        if (size == NextPage) {
            if (++pn >= header.PnMac) {
                break;
            }
            page = file.Sub(uint64_t{pn} * WritePageSize, WritePageSize);
            at = 0;
            continue;
        }
        // The entry's bytes: the family and the name, cut at the page's end.
        const uint64_t start = uint64_t{at} + 2;  // the size field lay inside the page
        const TByteView entry = page.Sub(start, std::min<uint64_t>(size, WritePageSize - start));
        TWriteFont font;
        font.Family = entry.U8(0);
        const size_t limit = std::min(entry.Size() > 0 ? entry.Size() - 1 : 0, MaxNameLength);
        const uint8_t* name = entry.Size() > 1 ? entry.Data() + 1 : nullptr;
        for (size_t i = 0; i < limit && name[i] != 0; ++i) {
            font.Name.push_back(static_cast<char>(name[i]));
        }
        fonts.push_back(std::move(font));
        if (uint64_t{at} + 2 + size > WritePageSize) {
            break;  // an entry that runs off its page leaves nothing readable behind it
        }
        at += 2 + size;
    }
    return fonts;
}

}  // namespace quillane
