#pragma once
// Small Windows Write files built byte by byte, for tests that need one
// property of a file under their control: the text, runs of character and
// paragraph records, the font table (across pages too), headers and
// footers, pictures, OLE objects and bitmaps, the Word for DOS variant, or
// a damaged field patched into the built bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace quillane::test {

using TBytes = std::vector<uint8_t>;

struct TWriteFixture {
    uint16_t Identifier = 0xBE31;
    bool WordForDos = false;  // no page count and no font table
    std::string Text;         // CR LF ends a paragraph
    // Runs of stored record bytes (record byte 0 first), each from its
    // offset in Text to the next run's; none: the default properties.
    // Default runs (Stored false) have no record in the page.
    struct TRun {
        uint32_t Start = 0;
        TBytes Record;
        bool Stored = true;
    };
    std::vector<TRun> CharRuns;
    std::vector<TRun> ParRuns;
    size_t RunsPerPage = 20;  // fewer spread the runs over more pages
    struct TFont {
        std::string Name;
        uint8_t Family = 0;
    };
    std::vector<TFont> Fonts;
    // The font entry from which the table goes on at the next page (after
    // an 0xFFFF size); -1: only when an entry does not fit.
    int FontsOnNextPageFrom = -1;

    TBytes Build() const;
};

// Offsets of header fields.
constexpr size_t WriteFcMacAt = 14;
constexpr size_t WritePnParaAt = 18;
constexpr size_t WritePnFntbAt = 20;
constexpr size_t WritePnFfntbAt = 28;
constexpr size_t WritePnMacAt = 96;

void PatchU16(TBytes& b, size_t at, uint16_t v);
void PatchU32(TBytes& b, size_t at, uint32_t v);
uint16_t ReadU16(const TBytes& b, size_t at);
uint32_t ReadU32(const TBytes& b, size_t at);

// A character record: bold and italic, font number (9 bits), size in half
// points, underline, vertical position (positive raises).
struct TWriteCharProps {
    bool Bold = false;
    bool Italic = false;
    uint16_t Font = 0;
    uint8_t HalfPoints = 24;
    bool Underline = false;
    int8_t Position = 0;
};
TBytes WriteCharRecord(const TWriteCharProps& props);

// A paragraph record: alignment, indents, line spacing, the running-head
// and graphics byte, tab stops (position, decimal flag).
struct TWriteParProps {
    uint8_t Alignment = 0;
    int16_t RightIndent = 0;
    int16_t LeftIndent = 0;
    int16_t FirstIndent = 0;
    uint16_t LineSpacing = 240;
    uint8_t Special = 0;  // 0x02/0x04 header or footer, 0x10 graphics
    struct TTab {
        uint16_t Position;
        bool Decimal;
    };
    std::vector<TTab> Tabs;
};
TBytes WriteParRecord(const TWriteParProps& props);

// The text of a graphics paragraph: a 40-byte picture header and the data.
// Mapping mode 0xE3 is a bitmap, 0xE4 an OLE object (its data size is at
// 16), anything else a metafile.
struct TWritePictureProps {
    uint16_t MappingMode = 8;
    int16_t ExtentX = 2540;
    int16_t ExtentY = 1270;
    int16_t Offset = 0;
    int16_t Width = 1440;   // twips
    int16_t Height = 720;
    uint16_t ScaleX = 1000; // tenths of a percent
    uint16_t ScaleY = 1000;
};
std::string WritePictureParagraph(const TWritePictureProps& props, const std::string& data);

// A small valid Windows metafile (header and the end record).
std::string TinyMetafile();

}  // namespace quillane::test
