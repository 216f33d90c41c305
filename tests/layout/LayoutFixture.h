#pragma once
// A document laid out with the fixed-metrics fake fonts. At the default
// 12 pt the fake em is 128 layout units, so 'a' and ' ' are 64 wide (8
// pixels), '-' and 'd' 38, the pilcrow 64; ascent 102, descent with leading
// 37: a natural line height of 13 + 5 = 18 pixels at 96 ppi.
//
// Paragraph texts use a compact notation: '\t' tab, '\n' line break, '\f'
// page break, '^' optional hyphen, '_' nonbreaking space, '=' nonbreaking
// hyphen; the paragraph end is appended and shown as '$'.

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "layout/LineLayout.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/KerningPairs.h"
#include "support/FakeFontSystem.h"

namespace quillane::test {

class TLayoutFixture {
public:
    // textWidth in twips (1440: 768 layout units, twelve 'a').
    explicit TLayoutFixture(int32_t textWidth = 1440);

    TDocument& Document() { return *document_; }
    TLineLayout& Layout() { return *layout_; }
    TFontManager& Fonts() { return *manager_; }
    TFakeFontSystem& FontSystem() { return fonts_; }

    // Fills paragraph 0 from the notation (with attribute tags given as
    // {position in the notation text, slot, value} before that character).
    TParagraph& SetText(const std::string& notation);
    TParagraph& SetText(const std::string& notation, const std::vector<std::array<int32_t, 3>>& tags);
    TParagraph& LayOut();
    // The lines of paragraph 0 in the notation.
    std::vector<std::string> LineTexts();
    std::vector<int32_t> Xs(int32_t line);

    // Pictures by id: width and height in twips, scales in percent.
    std::map<int32_t, TObjectExtent> Pictures;

private:
    class TObjects final : public TObjectExtents {
    public:
        explicit TObjects(const std::map<int32_t, TObjectExtent>& pictures) : pictures_(pictures) {}
        bool Extent(uint8_t kind, int32_t id, TObjectExtent& extent) const override;

    private:
        const std::map<int32_t, TObjectExtent>& pictures_;
    };

    TFakeFontSystem fonts_;
    std::unique_ptr<TFontManager> manager_;
    TKerningPairsManager kerning_;
    std::unique_ptr<TLineLayout> layout_;
    std::unique_ptr<TDocument> document_;
    TObjects objects_{Pictures};
};

// The notation of a line's positions.
std::string LineNotation(const TParLine& line);

}  // namespace quillane::test
