// Code pages through the system's own tables (MultiByteToWideChar). The
// system pages are the ones Windows reports for OEM and ANSI text.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/CodePages.h"

namespace quillane {

TCodePageDecoding DecodeCodePage(int codePage) {
    const UINT page = codePage != 0 ? static_cast<UINT>(codePage) : GetACP();
    if (!IsValidCodePage(page)) {
        throw std::runtime_error("code page " + std::to_string(page) + " is not available");
    }
    TCodePageDecoding decoding;
    for (int b = 0; b < 256; ++b) {
        const char in = static_cast<char>(b);
        wchar_t out[2] = {0, 0};
        const int n = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, &in, 1, out, 2);
        if (n == 1) {
            decoding[static_cast<size_t>(b)] = static_cast<char32_t>(out[0]);
        } else if (b >= 0x80 && b < 0xA0) {
            decoding[static_cast<size_t>(b)] = static_cast<char32_t>(b);
        }
    }
    return decoding;
}

std::unique_ptr<TCodePageConverter> CreateCodePageConverter(int oemCodePage, int ansiCodePage) {
    const int oem = oemCodePage != 0 ? oemCodePage : static_cast<int>(GetOEMCP());
    const int ansi = ansiCodePage != 0 ? ansiCodePage : static_cast<int>(GetACP());
    const TCodePageDecoding oemChars = DecodeCodePage(oem);
    const TCodePageDecoding ansiChars = DecodeCodePage(ansi);
    return std::make_unique<TTableCodePageConverter>(oem, ansi, BuildTranslationTable(oemChars, ansiChars),
                                                     BuildTranslationTable(ansiChars, oemChars));
}

}  // namespace quillane
