#pragma once
// Conversion between the OEM (DOS) and ANSI (Windows) code pages, one byte
// for one byte, in place. Each platform decodes the bytes of a code page
// with its own tables; characters missing from the target page get a
// best-fit substitute (see BestFit.h), never nothing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quillane {

class TCodePageConverter {
public:
    virtual ~TCodePageConverter() = default;
    virtual void OemToAnsi(uint8_t* bytes, size_t n) const = 0;
    virtual void AnsiToOem(uint8_t* bytes, size_t n) const = 0;
    virtual int OemCodePage() const = 0;
    virtual int AnsiCodePage() const = 0;
};

// A converter built from two 256-entry tables; both platforms fill them.
class TTableCodePageConverter final : public TCodePageConverter {
public:
    using TTable = std::array<uint8_t, 256>;
    TTableCodePageConverter(int oem, int ansi, const TTable& oemToAnsi, const TTable& ansiToOem)
        : oem_(oem), ansi_(ansi), oemToAnsi_(oemToAnsi), ansiToOem_(ansiToOem) {}

    void OemToAnsi(uint8_t* bytes, size_t n) const override;
    void AnsiToOem(uint8_t* bytes, size_t n) const override;
    int OemCodePage() const override { return oem_; }
    int AnsiCodePage() const override { return ansi_; }

private:
    int oem_;
    int ansi_;
    TTable oemToAnsi_;
    TTable ansiToOem_;
};

// The Unicode character of each byte of a code page (nullopt: the page
// does not define that byte). Supplied by the platform.
using TCodePageDecoding = std::array<std::optional<char32_t>, 256>;

// Builds the byte table from one page to another: exact where the character
// exists in the target, else its best-fit substitute, else '?'.
std::array<uint8_t, 256> BuildTranslationTable(const TCodePageDecoding& from, const TCodePageDecoding& to);

// The converter between the given code pages; 0 picks the system's OEM or
// ANSI page (on POSIX 437 and 1252). Throws std::runtime_error when the
// platform does not know a page.
std::unique_ptr<TCodePageConverter> CreateCodePageConverter(int oemCodePage = 0, int ansiCodePage = 0);

// The platform's decoding of one code page (0 = the system's ANSI page).
TCodePageDecoding DecodeCodePage(int codePage);

// Decodes text of one code page, single- or double-byte, into Unicode. A
// byte sequence the page does not define becomes U+FFFD, and decoding goes
// on behind it.
class TTextDecoder {
public:
    virtual ~TTextDecoder() = default;
    virtual std::u32string Decode(const uint8_t* bytes, size_t n) = 0;
};

// Throws std::runtime_error when the platform does not know the page.
std::unique_ptr<TTextDecoder> CreateTextDecoder(int codePage);

}  // namespace quillane
