// Measures a fixed set of strings in the Liberation faces at 10, 12 and 24
// points on a 96 pixels-per-inch surface, through the font registry as the
// word processor measures them. Run on two platforms, the outputs compare
// the platforms' font engines (scripts/compare-font-widths.sh).
//
// Output, tab-separated: per face and size a line with face, points, "m",
// ascent, descent (with external leading); then one line per string with
// face, points, string number, width without kerning, width with pair
// kerning, and the string.
#include <cstdio>
#include <iostream>
#include <string>

#include "model/FontManager.h"
#include "model/KerningPairs.h"
#include "model/ParAttrs.h"
#include "model/Units.h"
#include "platform/FontSystem.h"

namespace {

using namespace quillane;

// Windows-1252 bytes.
const char* const Strings[] = {
    "The quick brown fox jumps over the lazy dog",
    "AVATAR Wolf To Yo LT P. F, Ty",
    "0123456789 +-*/= (1,234.50)",
    "iiiiiiiiiillllllllll",
    "WWWWWWWWWWMMMMMMMMMM",
    "\xC7" "a d\xE9j\xE0 vu \x97 na\xEFve fa\xE7" "ade \x80" "5",
    "Quillane measures every line once, then again when the zoom changes.",
};
const char* const Faces[] = {"Liberation Serif", "Liberation Sans", "Liberation Mono"};
const int Points[] = {10, 12, 24};
constexpr int32_t Ppi = 96;

}  // namespace

int main() {
    try {
        auto fonts = CreateFontSystem();
        TFontManager manager(*fonts);
        TKerningPairsManager kerning;
        for (const char* face : Faces) {
            const int32_t index = manager.FindRegistered(face);
            if (index < 0 || !manager.Entry(index).Linked) {
                std::cerr << "font-widths: \"" << face << "\" is not installed\n";
                return 1;
            }
            TCharAttrs attrs = TModelDefaults::BuiltIn(index).Char;
            for (int points : Points) {
                const int32_t height = HalfPointsToFontHeight(points * 2, Ppi);
                const TSharedFont& font = manager.SelectFont(attrs, height, false, true);
                kerning.LoadPairs(attrs, height, *font.Font);
                std::printf("%s\t%d\tm\t%d\t%d\n", face, points, font.Ascent, font.Descent);
                for (size_t s = 0; s < std::size(Strings); ++s) {
                    const std::string text = Strings[s];
                    int32_t plain = 0;
                    int32_t kerned = 0;
                    for (size_t i = 0; i < text.size(); ++i) {
                        const auto c = static_cast<unsigned char>(text[i]);
                        plain += font.Widths[c];
                        kerned += font.Widths[c];
                        if (i + 1 < text.size()) {
                            kerned += kerning.PairAmount(c, static_cast<unsigned char>(text[i + 1]));
                        }
                    }
                    std::printf("%s\t%d\t%zu\t%d\t%d\t%s\n", face, points, s, plain, kerned, text.c_str());
                }
            }
        }
    } catch (const std::exception& e) {
        std::cerr << "font-widths: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
