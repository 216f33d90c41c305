#include "formats/write/WriteProperties.h"

#include <algorithm>

#include "model/PageSettings.h"
#include "model/TabManager.h"
#include "model/TabTable.h"

namespace quillane {

namespace {

constexpr int32_t DefaultHalfPoints = 24;
constexpr int32_t MinHalfPoints = 2;
constexpr int32_t SingleSpacing = 240;
// Indents and spacing never reach beyond the widest page.
constexpr int32_t MaxLength = MaxPaperSize;
constexpr size_t TabStopsAt = 22;
constexpr size_t TabStopSize = 4;
constexpr size_t MaxTabStopCount = 14;
constexpr uint8_t RunningHeadBits = 0x06;
constexpr uint8_t GraphicsBit = 0x10;

uint16_t U16(const TWriteRecord& r, size_t at) { return static_cast<uint16_t>(r[at] | (r[at + 1] << 8)); }
int32_t S16(const TWriteRecord& r, size_t at) { return static_cast<int16_t>(U16(r, at)); }

}  // namespace

TWriteRecord DefaultWriteCharRecord() {
    TWriteRecord record{};
    record[2] = DefaultHalfPoints;
    return record;
}

TWriteRecord DefaultWriteParRecord() {
    TWriteRecord record{};
    record[10] = SingleSpacing & 0xFF;
    record[11] = SingleSpacing >> 8;
    return record;
}

TCharAttrs WriteCharAttrs(const TWriteRecord& record, const TCharAttrs& defaults, const std::vector<int32_t>& fonts) {
    TCharAttrs attrs = defaults;
    attrs[caBold] = record[1] & 1;
    attrs[caItalic] = (record[1] >> 1) & 1;
    // Six low bits of the font number share byte 1; the three high ones
    // are in byte 4.
    const size_t font = static_cast<size_t>(record[1] >> 2) | (static_cast<size_t>(record[4] & 7) << 6);
    if (font < fonts.size()) {
        attrs[caFont] = fonts[font];
    }
    attrs[caSize] = record[2] == 0 ? DefaultHalfPoints : std::max<int32_t>(record[2], MinHalfPoints);
    attrs[caUnderline] = record[3] & 1;
    const auto position = static_cast<int8_t>(record[5]);
    attrs[caVerticalPosition] = position > 0 ? 1 : position < 0 ? 2 : 0;
    return attrs;
}

TWriteParFormat WriteParFormat(const TWriteRecord& record, const TParAttrs& defaults, TTabManager& tabs) {
    TWriteParFormat format;
    TParAttrs& a = format.Attrs;
    a = defaults;
    a[paAlignment] = record[1] & 3;
    // Indents are signed: a hanging first line is a negative one.
    a[paRightIndent] = std::clamp(S16(record, 4), -MaxLength, MaxLength);
    a[paLeftIndent] = std::clamp(S16(record, 6), -MaxLength, MaxLength);
    a[paFirstIndent] = std::clamp(S16(record, 8), -MaxLength, MaxLength);
    // Write offers single, one and a half and double spacing as 240, 360
    // and 480: multiples of a line in 240ths. Word for DOS files hold
    // values with the top bit set here, which are no spacing at all: they
    // and 0 mean single.
    const int32_t spacing = S16(record, 10);
    a[paLineSpacing] = spacing <= 0 ? SingleSpacing : std::min(spacing, MaxLength);
    a[paSpacingMultiple] = 1;
    format.RunningHead = (record[16] & RunningHeadBits) != 0;
    format.Graphics = (record[16] & GraphicsBit) != 0;

    TTabTable table;
    for (size_t i = 0; i < MaxTabStopCount; ++i) {
        const size_t at = TabStopsAt + i * TabStopSize;
        const uint16_t position = U16(record, at);
        if (position == 0) {
            break;
        }
        table.Add(TTabStop::Make(position, (record[at + 2] & 7) != 0 ? tkDecimal : tkLeft));
    }
    a[paTabTable] = tabs.Intern(table);
    return format;
}

}  // namespace quillane
