#include "support/WriteFixture.h"

#include <algorithm>
#include <cstddef>

namespace quillane::test {

namespace {

constexpr size_t Page = 128;

void Pad(TBytes& b) {
    while (b.size() % Page != 0) {
        b.push_back(0);
    }
}

// Property pages for runs over [128, fcMac): descriptors from byte 4, the
// stored records right behind them, the count in byte 127.
void AppendRunPages(TBytes& file, const std::vector<TWriteFixture::TRun>& given, uint32_t fcMac, size_t perPage) {
    std::vector<TWriteFixture::TRun> runs = given;
    if (runs.empty()) {
        runs.push_back({0, {}, false});
    }
    size_t i = 0;
    while (i < runs.size()) {
        TBytes page(Page, 0);
        PatchU32(page, 0, 128 + runs[i].Start);
        size_t n = 0;
        size_t recordBytes = 0;
        // As many runs as fit with their records.
        while (i + n < runs.size() && n < perPage) {
            const size_t more = runs[i + n].Stored ? 1 + runs[i + n].Record.size() : 0;
            if (4 + (n + 1) * 6 + recordBytes + more > 127) {
                break;
            }
            recordBytes += more;
            ++n;
        }
        size_t at = 4 + n * 6;
        for (size_t k = 0; k < n; ++k) {
            const TWriteFixture::TRun& run = runs[i + k];
            const uint32_t end = i + k + 1 < runs.size() ? 128 + runs[i + k + 1].Start : fcMac;
            PatchU32(page, 4 + k * 6, end);
            if (run.Stored) {
                PatchU16(page, 4 + k * 6 + 4, static_cast<uint16_t>(at - 4));
                page[at] = static_cast<uint8_t>(run.Record.size());
                std::copy(run.Record.begin(), run.Record.end(), page.begin() + static_cast<std::ptrdiff_t>(at + 1));
                at += 1 + run.Record.size();
            } else {
                PatchU16(page, 4 + k * 6 + 4, 0xFFFF);
            }
        }
        page[127] = static_cast<uint8_t>(n);
        file.insert(file.end(), page.begin(), page.end());
        i += std::max<size_t>(n, 1);
    }
}

void AppendFontPages(TBytes& file, const std::vector<TWriteFixture::TFont>& fonts, int nextPageFrom) {
    TBytes page(Page, 0);
    PatchU16(page, 0, static_cast<uint16_t>(fonts.size()));
    size_t at = 2;
    for (size_t i = 0; i < fonts.size(); ++i) {
        const size_t size = 1 + fonts[i].Name.size() + 1;
        if (static_cast<int>(i) == nextPageFrom || at + 2 + size + 2 > Page) {
            PatchU16(page, at, 0xFFFF);
            file.insert(file.end(), page.begin(), page.end());
            page.assign(Page, 0);
            at = 0;
        }
        PatchU16(page, at, static_cast<uint16_t>(size));
        page[at + 2] = fonts[i].Family;
        std::copy(fonts[i].Name.begin(), fonts[i].Name.end(), page.begin() + static_cast<std::ptrdiff_t>(at + 3));
        at += 2 + size;
    }
    file.insert(file.end(), page.begin(), page.end());  // ends with a zero size
}

}  // namespace

void PatchU16(TBytes& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void PatchU32(TBytes& b, size_t at, uint32_t v) {
    PatchU16(b, at, static_cast<uint16_t>(v));
    PatchU16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

uint16_t ReadU16(const TBytes& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
uint32_t ReadU32(const TBytes& b, size_t at) { return ReadU16(b, at) | (uint32_t{ReadU16(b, at + 2)} << 16); }

TBytes TWriteFixture::Build() const {
    TBytes file(Page, 0);
    PatchU16(file, 0, Identifier);
    PatchU16(file, 4, 0xAB00);
    const auto fcMac = static_cast<uint32_t>(Page + Text.size());
    PatchU32(file, WriteFcMacAt, fcMac);
    file.resize(Page + Text.size());
    std::copy(Text.begin(), Text.end(), file.begin() + static_cast<std::ptrdiff_t>(Page));
    Pad(file);
    AppendRunPages(file, CharRuns, fcMac, RunsPerPage);
    const auto pnPara = static_cast<uint16_t>(file.size() / Page);
    AppendRunPages(file, ParRuns, fcMac, RunsPerPage);
    const auto pnFntb = static_cast<uint16_t>(file.size() / Page);
    // No footnotes, section or page tables: they all start where the font
    // table does.
    for (size_t at = WritePnFntbAt; at <= WritePnFfntbAt; at += 2) {
        PatchU16(file, at, pnFntb);
    }
    PatchU16(file, WritePnParaAt, pnPara);
    if (!WordForDos) {
        AppendFontPages(file, Fonts, FontsOnNextPageFrom);
        PatchU16(file, WritePnMacAt, static_cast<uint16_t>(file.size() / Page));
    }
    return file;
}

TBytes WriteCharRecord(const TWriteCharProps& props) {
    TBytes r(6, 0);
    r[0] = 1;
    r[1] = static_cast<uint8_t>((props.Bold ? 1 : 0) | (props.Italic ? 2 : 0) | ((props.Font & 0x3F) << 2));
    r[2] = props.HalfPoints;
    r[3] = props.Underline ? 1 : 0;
    r[4] = static_cast<uint8_t>((props.Font >> 6) & 7);
    r[5] = static_cast<uint8_t>(props.Position);
    return r;
}

TBytes WriteParRecord(const TWriteParProps& props) {
    TBytes r(22, 0);
    r[0] = 61;
    r[1] = props.Alignment;
    PatchU16(r, 4, static_cast<uint16_t>(props.RightIndent));
    PatchU16(r, 6, static_cast<uint16_t>(props.LeftIndent));
    PatchU16(r, 8, static_cast<uint16_t>(props.FirstIndent));
    PatchU16(r, 10, props.LineSpacing);
    r[16] = props.Special;
    for (const auto& tab : props.Tabs) {
        r.push_back(static_cast<uint8_t>(tab.Position));
        r.push_back(static_cast<uint8_t>(tab.Position >> 8));
        r.push_back(tab.Decimal ? 3 : 0);
        r.push_back(0);
    }
    return r;
}

std::string WritePictureParagraph(const TWritePictureProps& props, const std::string& data) {
    TBytes h(40, 0);
    PatchU16(h, 0, props.MappingMode);
    PatchU16(h, 2, static_cast<uint16_t>(props.ExtentX));
    PatchU16(h, 4, static_cast<uint16_t>(props.ExtentY));
    PatchU16(h, 8, static_cast<uint16_t>(props.Offset));
    PatchU16(h, 10, static_cast<uint16_t>(props.Width));
    PatchU16(h, 12, static_cast<uint16_t>(props.Height));
    PatchU16(h, 30, 40);
    PatchU32(h, props.MappingMode == 0xE4 ? 16 : 32, static_cast<uint32_t>(data.size()));
    PatchU16(h, 36, props.ScaleX);
    PatchU16(h, 38, props.ScaleY);
    return std::string(h.begin(), h.end()) + data;
}

std::string TinyMetafile() {
    TBytes m;
    // METAHEADER: type 1 (memory), header size 9 words, version 0x300,
    // size in words, one object at most, the largest record, no parameters.
    for (uint16_t w : {1, 9, 0x300}) {
        m.push_back(static_cast<uint8_t>(w));
        m.push_back(static_cast<uint8_t>(w >> 8));
    }
    const uint32_t words = 9 + 3;
    for (uint16_t w : {static_cast<uint16_t>(words), uint16_t{0}, uint16_t{0}, uint16_t{3}, uint16_t{0}, uint16_t{0}}) {
        m.push_back(static_cast<uint8_t>(w));
        m.push_back(static_cast<uint8_t>(w >> 8));
    }
    // The end record: size 3 words, function 0.
    for (uint16_t w : {3, 0, 0}) {
        m.push_back(static_cast<uint8_t>(w));
        m.push_back(static_cast<uint8_t>(w >> 8));
    }
    return std::string(m.begin(), m.end());
}

}  // namespace quillane::test
