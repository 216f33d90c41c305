#include "model/ColorScheme.h"

#include <stdexcept>
#include <string>

namespace quillane {

namespace {

struct TSchemeEntryInfo {
    const char* Name;
    uint32_t Default;
};

constexpr uint32_t Fixed(TColorValue color) { return FixedColorFlag | color; }

constexpr TSchemeEntryInfo SchemeEntries[SchemeEntryCount] = {
    {"Auto Text", scWindowText},
    {"Special Symbol", scWindowText},
    {"Page Background", scWindow},
    {"Page Margin Border", Fixed(0xFF0000)},
    {"Interpage Space", scButtonShadow},
    {"Page Border and Shadow", scWindowText},
    {"Ruler Background", scButtonFace},
    {"Ruler Left/Right Margin", scButtonShadow},
    {"Ruler Core", scWindow},
    {"Ruler Text", scWindowText},
    {"Ruler Tab Position", scWindowText},
    {"Ruler Grayed Tab Position", scButtonFace},
    {"Ruler New Tab Position", Fixed(0x0000FF)},
    {"Warning Dialog Background", Fixed(0xFF0000)},
    {"Warning Dialog Text", Fixed(0xFFFFFF)},
    {"Warning Dialog Text Border", Fixed(0x000000)},
    {"Error Dialog Background", Fixed(0xFF0000)},
    {"Error Dialog Text", Fixed(0xFFFFFF)},
    {"Error Dialog Text Border", Fixed(0x000000)},
    {"Information Dialog Background", Fixed(0x00D000)},
    {"Information Dialog Text", Fixed(0xFFFFFF)},
    {"Information Dialog Text Border", Fixed(0x000000)},
    {"Confirmation Dialog Background", Fixed(0x00FFFF)},
    {"Confirmation Dialog Text", Fixed(0xFFFFFF)},
    {"Confirmation Dialog Text Border", Fixed(0x000000)},
    {"Custom Dialog Background", Fixed(0x808080)},
    {"Custom Dialog Text", Fixed(0xFFFFFF)},
    {"Custom Dialog Text Border", Fixed(0xFF0000)},
};

// Groups read from a scheme text; the last two entries are never set by it.
constexpr size_t MaxSchemeGroups = 26;

const TSchemeEntryInfo& EntryAt(int32_t entry) {
    if (entry < 0 || entry >= SchemeEntryCount) {
        throw std::out_of_range("colour scheme: no entry " + std::to_string(entry));
    }
    return SchemeEntries[entry];
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

const char* SchemeEntryName(int32_t entry) { return EntryAt(entry).Name; }

uint32_t SchemeEntryDefault(int32_t entry) { return EntryAt(entry).Default; }

void ParseScheme(TColorScheme& scheme, std::string_view text) {
    scheme = TColorScheme();
    const size_t groups = std::min(text.size() / 8, MaxSchemeGroups);
    for (size_t g = 0; g < groups; ++g) {
        uint32_t value = 0;
        bool valid = true;
        for (char c : text.substr(g * 8, 8)) {
            const int digit = HexDigit(c);
            valid = valid && digit >= 0;
            value = value << 4 | static_cast<uint32_t>(digit & 0xF);
        }
        if (valid) {
            scheme.Entries[g] = static_cast<int32_t>(value);
        }
    }
}

const TNamedScheme NamedSchemes[NamedSchemeCount] = {
    {"Standard", ""},
    {"Deep Blue",
     "00FFFF0000FFFFFF0080000000E0C1B800F1A99400FFFFFF00CA0E0400B8941600C4B65500FD1C540000FFFF00808080FFFFFFFF"
     "FFFFFFFF00FFFFFF00000000FFFFFFFF00FFFFFF00000000FFFFFFFF00FFFFFF00000000"},
    {"Mustard Mood",
     "00FF000000FFFF000099C6C8006262620000800000C0C0C000ABB72000BBE16A00D9D373000000FFFFFFFFFF0000FFFFFFFFFFFF"
     "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00DA5B25"},
    {"Tomato Rhapsody",
     "00D6D66D00FFFFFF000404DB00FFFFFF000000800000FFFF0031B5CC003AB14D0097CC80000112E2000000000000FFFF00FFFF00"
     "00FFFFFF00FFFF000000000000FFFFFF0000000000FFFFFFFFFFFFFF0000FFFF00000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
     "0000FF0000000000"},
    {"Cucumber Paradise",
     "00800000008000000094B8270000FFFF00EEC41C00808000007ABB4F006488700086DF6C008000000000000000808080000000FF"
     "000000FF00FFFF0000000000"},
    {"Titanic Silence",
     "008000000080000000C0C0C00040404000DDDFDB008080000097919100B3ACAC00CBC9C90068686800FF000000FFFFFF000000FF"
     "000080FF00FFFF0000000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00FFFFFF00FF0000"},
    {"Lilac Mist", "FFFFFFFFFFFFFFFF00F1C5C60049370C00EB7A9E00CD3A6A00E3C99DFFFFFFFF00C5B127FFFFFFFFFFFFFFFF00FFFF00"},
    {"Tessaric Wind",
     "FFFFFFFFFFFFFFFF00E4DF0EFFFFFFFF0096833400FF000000DAC52C00B8AB34FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
     "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00FFFF0000FF000000009999"},
    {"Sleepwalker's Fantasy",
     "00FFFFFF0000FFFF0000000000E3FFE30080800000C9C9C900B0AE4600000000008080800000FF0000FFFFFF0017D8E80000FF80"
     "FFFFFFFF00FFFFFF00000000FFFFFFFF00FFFFFF000000000000A80000FFFF0000FF0000000EF2FEFFFFFFFFFFFFFFFF009A9A9A"},
    {"Arctic Kiss",
     "0000000000FF000000FCF3E40026151100F1C29400CD917E00FD8E8800E7BE3400FFFFFF00FD1C540000000000C0C0C0FFFFFFFF"
     "FFFFFFFF00FFFFFF00000000FFFFFFFF00FFFFFF00000000FFFFFFFF00FFFFFF00000000"},
    {"Desert Soul", "00455EA5001313D700D1F8FC006800D000A4AA55FFFFFFFF00B7C0E100788CC700C9F3F5"},
    {"Shark Mouth",
     "00B12E79000000FF00D0CCB0000606FF00BFCCFDFFFFFFFF00D5ACB500FFFFFF007791F7FFFFFFFFFFFFFFFFFFFFFFFF00FFFF00"},
    {"Green Dream",
     "000000000000000000E4FFD90080800000D2D1BDFFFFFFFF000BE005003AA63500FFFFFFFFFFFFFFFFFFFFFFFFFFFFFF000000FF"},
    {"Coconut Nature", "00FFFF0000FFFFFF0040008000DCABDE007B8E8100FFFFFF00007DC80000B1EC"},
    {"Last Day of Pompeii", "FFFFFFFF000000CA00ADB0CD002D2D5E00B0D8FFFFFFFFFF000E25F300DBFFFF00B1B7FE00C5254500000000"},
    {"Simply Pink", "003F459400FF000000EBD7FF003D67E700B4B4CD001C768C0033BBFD00007AF400FFFFFF0000000000000000"},
    {"Plum Aroma", "00D9D9FF0000FF00009E6F0C0011F10500C5B57E007B063500FF9C3900D96C0000EAD2C80000000000000000"},
};

TColorScheme PrintScheme() {
    TColorScheme scheme;
    scheme.Entries[ceAutoText] = 0x000000;
    scheme.Entries[ceSpecialSymbol] = 0x000000;
    scheme.Entries[cePageBorderAndShadow] = 0x000000;
    scheme.Entries[cePageBackground] = 0xFFFFFF;
    scheme.Entries[cePageMarginBorder] = 0xFF0000;
    scheme.Entries[ceInterpageSpace] = 0x808080;
    return scheme;
}

}  // namespace quillane
