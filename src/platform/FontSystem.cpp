#include "platform/FontSystem.h"

namespace quillane {

int CodePageOfCharSet(int32_t charSet, int systemAnsiCodePage) {
    struct TCharSetPage {
        int32_t CharSet;
        int CodePage;
    };
    static constexpr TCharSetPage Pages[] = {
        {0, 1252},    // ANSI
        {77, 10000},  // Macintosh
        {128, 932},   // Shift-JIS
        {129, 949},   // Hangul
        {130, 1361},  // Johab
        {134, 936},   // GB 2312
        {136, 950},   // Big5
        {161, 1253},  // Greek
        {162, 1254},  // Turkish
        {163, 1258},  // Vietnamese
        {177, 1255},  // Hebrew
        {178, 1256},  // Arabic
        {186, 1257},  // Baltic
        {204, 1251},  // Cyrillic
        {222, 874},   // Thai
        {238, 1250},  // Central European
        {255, 437},   // OEM
    };
    if (charSet == SymbolCharSet) {
        return 0;
    }
    for (const auto& entry : Pages) {
        if (entry.CharSet == charSet) {
            return entry.CodePage;
        }
    }
    return systemAnsiCodePage;  // the default set and anything unknown
}

}  // namespace quillane
