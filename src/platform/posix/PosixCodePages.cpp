// Code pages through iconv. The system pages default to 437 (OEM) and 1252
// (ANSI), the pages of a US-English Windows; callers may name others.
#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <memory>
#include <string>

#include "platform/CodePages.h"

namespace quillane {

namespace {

constexpr int DefaultOemCodePage = 437;
constexpr int DefaultAnsiCodePage = 1252;

class TIconv {
public:
    TIconv(const std::string& to, const std::string& from) : handle_(iconv_open(to.c_str(), from.c_str())) {}
    ~TIconv() {
        if (Valid()) {
            iconv_close(handle_);
        }
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    std::optional<char32_t> DecodeByte(uint8_t byte) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
        char in[1] = {static_cast<char>(byte)};
        char32_t out[2] = {0, 0};
        char* inPtr = in;
        size_t inLeft = 1;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof out;
        if (iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
            outLeft != sizeof(char32_t)) {
            return std::nullopt;
        }
        return out[0];
    }

    std::u32string DecodeText(const uint8_t* bytes, size_t n) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::u32string result;
        char* in = reinterpret_cast<char*>(const_cast<uint8_t*>(bytes));
        size_t inLeft = n;
        char32_t out[256];
        while (inLeft > 0) {
            char* outPtr = reinterpret_cast<char*>(out);
            size_t outLeft = sizeof out;
            const size_t rc = iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
            result.append(out, (sizeof out - outLeft) / sizeof(char32_t));
            if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
                // A byte the page does not define, or a pair cut short:
                // what came before it is released first.
                outPtr = reinterpret_cast<char*>(out);
                outLeft = sizeof out;
                iconv(handle_, nullptr, nullptr, &outPtr, &outLeft);
                result.append(out, (sizeof out - outLeft) / sizeof(char32_t));
                result.push_back(U'\uFFFD');
                ++in;
                --inLeft;
            }
        }
        // Pages with combining marks (1255, 1258) hold a character back
        // until they know what follows; the end of the text releases it.
        char* outPtr = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof out;
        iconv(handle_, nullptr, nullptr, &outPtr, &outLeft);
        result.append(out, (sizeof out - outLeft) / sizeof(char32_t));
        return result;
    }

private:
    iconv_t handle_;
};

std::string IconvName(int codePage) { return codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage); }

class TIconvTextDecoder final : public TTextDecoder {
public:
    explicit TIconvTextDecoder(int codePage) : iconv_("UTF-32LE", IconvName(codePage)) {
        if (!iconv_.Valid()) {
            throw std::runtime_error("code page " + std::to_string(codePage) + " is not available");
        }
    }
    std::u32string Decode(const uint8_t* bytes, size_t n) override { return iconv_.DecodeText(bytes, n); }

private:
    TIconv iconv_;
};

}  // namespace

std::unique_ptr<TTextDecoder> CreateTextDecoder(int codePage) {
    return std::make_unique<TIconvTextDecoder>(codePage != 0 ? codePage : DefaultAnsiCodePage);
}

TCodePageDecoding DecodeCodePage(int codePage) {
    if (codePage == 0) {
        codePage = DefaultAnsiCodePage;
    }
    TIconv decoder("UTF-32LE", IconvName(codePage));
    if (!decoder.Valid()) {
        throw std::runtime_error("code page " + std::to_string(codePage) + " is not available");
    }
    TCodePageDecoding decoding;
    for (int b = 0; b < 256; ++b) {
        auto c = decoder.DecodeByte(static_cast<uint8_t>(b));
        // Bytes a page leaves undefined decode to the C1 control of the same
        // value, as the Windows tables do.
        if (!c && b >= 0x80 && b < 0xA0) {
            c = static_cast<char32_t>(b);
        }
        decoding[static_cast<size_t>(b)] = c;
    }
    return decoding;
}

std::unique_ptr<TCodePageConverter> CreateCodePageConverter(int oemCodePage, int ansiCodePage) {
    const int oem = oemCodePage != 0 ? oemCodePage : DefaultOemCodePage;
    const int ansi = ansiCodePage != 0 ? ansiCodePage : DefaultAnsiCodePage;
    const TCodePageDecoding oemChars = DecodeCodePage(oem);
    const TCodePageDecoding ansiChars = DecodeCodePage(ansi);
    return std::make_unique<TTableCodePageConverter>(oem, ansi, BuildTranslationTable(oemChars, ansiChars),
                                                     BuildTranslationTable(ansiChars, oemChars));
}

}  // namespace quillane
