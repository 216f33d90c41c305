// Code pages through the system's own tables (MultiByteToWideChar). The
// system pages are the ones Windows reports for OEM and ANSI text.
#include <windows.h>

#include <memory>
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

namespace {

class TWin32TextDecoder final : public TTextDecoder {
public:
    explicit TWin32TextDecoder(UINT page) : page_(page) {}

    std::u32string Decode(const uint8_t* bytes, size_t n) override {
        std::u32string result;
        size_t i = 0;
        while (i < n) {
            // One character at a time, so that an undefined sequence costs
            // only its first byte.
            const int length = IsDBCSLeadByteEx(page_, bytes[i]) && i + 1 < n ? 2 : 1;
            wchar_t out[4] = {};
            const int got = MultiByteToWideChar(page_, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes + i),
                                                length, out, 4);
            if (got <= 0) {
                result.push_back(U'\uFFFD');
                ++i;
                continue;
            }
            for (int k = 0; k < got; ++k) {
                char32_t c = out[k];
                if (c >= 0xD800 && c < 0xDC00 && k + 1 < got) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(out[k + 1]) - 0xDC00);
                    ++k;
                }
                result.push_back(c);
            }
            i += static_cast<size_t>(length);
        }
        return result;
    }

private:
    UINT page_;
};

}  // namespace

std::unique_ptr<TTextDecoder> CreateTextDecoder(int codePage) {
    const UINT page = codePage != 0 ? static_cast<UINT>(codePage) : GetACP();
    if (!IsValidCodePage(page)) {
        throw std::runtime_error("code page " + std::to_string(page) + " is not available");
    }
    return std::make_unique<TWin32TextDecoder>(page);
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
