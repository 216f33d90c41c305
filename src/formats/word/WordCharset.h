#pragma once
// The characters of Word pieces as the model's 8-bit text. Unicode text is
// converted in runs, each in the code page of its characters' Unicode block;
// a run whose page is not that of the current font's character set is set
// in the member of the font's family with the page's character set, so the
// bytes are read back through the page they were written in. ASCII and
// characters of no listed block (dashes, quotes, symbols) stay in the
// current run when its page has them, so a Greek text does not change fonts
// at every space. Symbol-font characters of the private use area
// (0xF000-0xF0FF) keep their low byte. Characters a page lacks get a
// best-fit substitute or '?'.

#include <cstdint>
#include <map>
#include <vector>

#include "formats/UnicodeCodePages.h"
#include "platform/CodePages.h"

namespace quillane {

class TFontManager;

class TWordTextConverter {
public:
    // Without a font registry every character goes into the system's page,
    // the only one the fonts can be read back in.
    TWordTextConverter(TFontManager* fonts, int systemAnsiCodePage);

    // The byte of a character of a Unicode piece in `font` (the font the
    // character properties give); `font` becomes the font to set it in.
    // Control characters stay as they are; no other character becomes one.
    uint8_t Unicode(char16_t c, int32_t& font) {
        // ASCII in the run's font is most text: it stays in the run.
        if (c < 0x80 && started_ && font == baseFont_) {
            font = runFont_;
            return static_cast<uint8_t>(c);
        }
        return Convert(c, font);
    }
    // The same for a byte of a Word 97/2000 8-bit piece, which is code page
    // 1252 text whatever the font.
    uint8_t Ansi(uint8_t byte, int32_t& font) { return byte < 0x80 ? Unicode(byte, font) : ConvertAnsi(byte, font); }
    // Whether ASCII in `font` goes into the current run set in `runFont`
    // unchanged, as Unicode() would put it.
    bool KeepsAscii(int32_t font, int32_t runFont) const {
        return started_ && font == baseFont_ && runFont == runFont_;
    }
    // Names and information strings: the system's page.
    uint8_t ToSystemPage(char16_t c);

private:
    uint8_t Convert(char16_t c, int32_t& font);
    uint8_t ConvertAnsi(uint8_t byte, int32_t& font);
    void StartFont(int32_t font);
    int PageOfFont(int32_t font);
    int32_t FontFor(int codePage);
    uint8_t Encode(int codePage, char16_t c);

    TFontManager* fonts_;
    int systemPage_;
    TCodePageDecoding ansi_;
    TCodePageEncoders encoders_;
    std::map<uint32_t, uint8_t> substitutes_;  // best-fit results by page and character

    // The current run: the font the properties give, and the page and
    // font the run's text is written in.
    int32_t baseFont_ = -1;
    int basePage_ = 0;
    int32_t runFont_ = -1;
    int runPage_ = 0;
    struct TSwitched {
        int32_t Font;
        int CodePage;
        int32_t Member;
    };
    std::vector<TSwitched> switched_;
    std::vector<int> pageOfFont_;  // by registry index; -1 not yet looked up
    bool started_ = false;
};

}  // namespace quillane
