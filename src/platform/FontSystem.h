#pragma once
// The text-measurement seam: what the font registry and layout need from the
// platform's font engine. Faces are enumerated with their character sets;
// a font is created for a face, a pixel height, a weight, style flags and a
// character set, and then answers with the face actually delivered, its
// metrics, the advance widths of the 256 byte codes of its character set and
// its kerning pairs. All measures are in pixels of the measuring surface
// (the screen's resolution).
//
// Character sets are the platform's numbers (0 ANSI, 1 default, 2 symbol,
// 204 Cyrillic, ...); a byte code means the character of that code in the
// character set's code page.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillane {

constexpr int32_t AnsiCharSet = 0;
constexpr int32_t DefaultCharSet = 1;
constexpr int32_t SymbolCharSet = 2;
constexpr int32_t OemCharSet = 255;

// Pitch-and-family byte: pitch in the low two bits, family in bits 4 to 7.
constexpr int32_t DefaultPitch = 0;
constexpr int32_t FixedPitch = 1;
constexpr int32_t VariablePitch = 2;
constexpr int32_t FamilyDontCare = 0x00;
constexpr int32_t FamilyRoman = 0x10;
constexpr int32_t FamilySwiss = 0x20;
constexpr int32_t FamilyModern = 0x30;
constexpr int32_t FamilyScript = 0x40;
constexpr int32_t FamilyDecorative = 0x50;

// The code page whose bytes a character set names (1252 for ANSI; the
// system's ANSI page, given, for the default set; 0 for the symbol set,
// whose bytes are glyph codes).
int CodePageOfCharSet(int32_t charSet, int systemAnsiCodePage = 1252);

struct TFaceInfo {
    std::string Name;  // UTF-8
    int32_t CharSet = AnsiCharSet;
    int32_t PitchAndFamily = 0;
    bool Scalable = true;  // outline (vector) font

    friend bool operator==(const TFaceInfo&, const TFaceInfo&) = default;
};

struct TFontRequest {
    std::string Face;        // UTF-8, at most 31 characters; empty: any
    int32_t Height = 0;      // < 0: character (em) height; > 0: cell height
    int32_t Weight = 400;    // 400 normal, 700 bold
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int32_t CharSet = DefaultCharSet;

    friend bool operator==(const TFontRequest&, const TFontRequest&) = default;
};

struct TFontMetrics {
    int32_t Height = 0;  // ascent + descent
    int32_t Ascent = 0;
    int32_t Descent = 0;
    int32_t InternalLeading = 0;
    int32_t ExternalLeading = 0;
    int32_t AverageCharWidth = 0;
    int32_t MaxCharWidth = 0;
    int32_t CharSet = 0;  // the character set of the font delivered

    friend bool operator==(const TFontMetrics&, const TFontMetrics&) = default;
};

// Amount in pixels of the font, added to the advance of First when Second
// follows it. Codes are byte codes of the font's character set.
struct TKerningPair {
    uint16_t First = 0;
    uint16_t Second = 0;
    int32_t Amount = 0;

    friend bool operator==(const TKerningPair&, const TKerningPair&) = default;
};

using TCharWidths = std::array<int32_t, 256>;

// One created font. Owns the platform's font object.
class TPlatformFont {
public:
    TPlatformFont() = default;
    TPlatformFont(const TPlatformFont&) = delete;
    TPlatformFont& operator=(const TPlatformFont&) = delete;
    virtual ~TPlatformFont() = default;

    // The face the platform chose for the request (UTF-8).
    virtual std::string FaceName() const = 0;
    virtual TFontMetrics Metrics() const = 0;
    // Advance widths of the byte codes 0 to 255.
    virtual TCharWidths Widths() const = 0;
    // Every pair with a non-zero amount, grouped by first character and
    // ascending by second character within a group.
    virtual std::vector<TKerningPair> KerningPairs() const = 0;
};

class TFontSystem {
public:
    TFontSystem() = default;
    TFontSystem(const TFontSystem&) = delete;
    TFontSystem& operator=(const TFontSystem&) = delete;
    virtual ~TFontSystem() = default;

    // Every face once per character set it supports, in the platform's
    // order (the character sets of one face follow each other).
    virtual std::vector<TFaceInfo> EnumerateFaces() = 0;
    // Always gives a font: a face the platform lacks is substituted. (Not
    // named CreateFont: windows.h defines that name as a macro.)
    virtual std::unique_ptr<TPlatformFont> CreatePlatformFont(const TFontRequest& request) = 0;
    // The character set of the system's ANSI code page.
    virtual int32_t SystemCharSet() const = 0;
};

// The platform's font engine measuring at the screen's resolution.
std::unique_ptr<TFontSystem> CreateFontSystem();

}  // namespace quillane
