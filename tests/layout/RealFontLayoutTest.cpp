// Layout with the platform's own fonts (FreeType here, GDI under Wine):
// properties that hold whatever the glyph widths are.

#include <gtest/gtest.h>

#include <memory>

#include "layout/LineLayout.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/KerningPairs.h"
#include "model/ParLine.h"
#include "model/TabTable.h"
#include "model/TextStream.h"
#include "platform/FontSystem.h"
#include "support/DocText.h"

namespace quillane {
namespace {

const char* const Text =
    "Line layout measures every character with the font that will draw it, breaks the text at spaces and "
    "hyphens, hangs trailing blanks past the margin and spreads the free space of a justified line over its "
    "spaces. AVAVAV WAVE Typography, kerning: To, Ty, LT. Supercalifragilisticexpialidociouslylongwordthatmustsplit.";

class RealFontLayout : public ::testing::Test {
protected:
    void SetUp() override {
        system_ = CreateFontSystem();
        fonts_ = std::make_unique<TFontManager>(*system_);
        layout_ = std::make_unique<TLineLayout>(*fonts_, kerning_, 96);
        document_ = std::make_unique<TDocument>(TModelDefaults::BuiltIn(fonts_->TimesNewRomanIndex()));
    }

    TParagraph& Paragraph(const std::string& text, int32_t alignment, int32_t size) {
        TParagraph& p = document_->AddParagraph();
        test::TStreamBuilder(p).Attr(caSize, size).Attr(caKerning, size > 20 ? 20 : 0).Chars(text).End();
        p.Attributes[paAlignment] = alignment;
        layout_->LayoutParagraph(p);
        return p;
    }

    static int32_t VisibleEnd(const TParLine& line) {
        int32_t e = line.PositionCount;
        const uint8_t last = line.Code(e - 1);
        if (last == spParagraphEnd || last == spLineBreak || last == spPageBreak) {
            --e;
        }
        while (e > 0 && line.Code(e - 1) == ' ') {
            --e;
        }
        return e;
    }

    std::unique_ptr<TFontSystem> system_;
    std::unique_ptr<TFontManager> fonts_;
    TKerningPairsManager kerning_;
    std::unique_ptr<TLineLayout> layout_;
    std::unique_ptr<TDocument> document_;
};

TEST_F(RealFontLayout, NoLineIsWiderThanItsParagraphAndJustifiedLinesFillIt) {
    for (int32_t size : {16, 24, 37, 72}) {
        for (int32_t alignment : {0, 1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << "size " << size << " alignment " << alignment);
            const TParagraph& p = Paragraph(Text, alignment, size);
            ASSERT_GT(p.LineCount(), 2);
            for (int32_t i = 0; i < p.LineCount(); ++i) {
                const TParLine& line = p.Line(i);
                const int32_t e = VisibleEnd(line);
                if (line.PositionCount > 1) {
                    EXPECT_LE(line.X(e), p.Width) << "line " << i;
                }
                EXPECT_GE(line.X(0), 0);
                if (alignment == 3 && i + 1 < p.LineCount()) {
                    bool spaced = false;
                    for (int32_t k = 0; k < e; ++k) {
                        spaced = spaced || line.Code(k) == ' ';
                    }
                    if (spaced) {
                        EXPECT_EQ(p.Width, line.X(e)) << "line " << i;
                    }
                }
                for (int32_t k = 0; k < line.PositionCount; ++k) {
                    ASSERT_LE(line.X(k), line.X(k + 1));
                }
            }
        }
    }
}

TEST_F(RealFontLayout, ARightTabEndsItsTextAtTheStopAndACentredTabCentresIt) {
    TTabTable table;
    table.Add(TTabStop::Make(4320, tkRight));
    table.Add(TTabStop::Make(6480, tkCentred));
    const int32_t tabs = document_->Tabs().Intern(table);
    TParagraph& p = document_->AddParagraph();
    test::TStreamBuilder(p).Chars("Total").Special(spTab).Chars("1,234").Special(spTab).Chars("centre").End();
    p.Attributes[paTabTable] = tabs;
    layout_->LayoutParagraph(p);
    ASSERT_EQ(1, p.LineCount());
    const TParLine& line = p.Line(0);
    const int32_t rightStop = 4320 * 8 * 96 / 1440;
    EXPECT_EQ(rightStop, line.X(11));  // after "1,234"
    const int32_t centreStop = 6480 * 8 * 96 / 1440;
    const int32_t middle = (line.X(12) + line.X(18)) / 2;
    EXPECT_NEAR(centreStop, middle, 1);
}

}  // namespace
}  // namespace quillane
