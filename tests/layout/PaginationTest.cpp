// Pagination with the fake fonts: every line is 18 pixels, a page holds ten
// (a printable height of 2700 twips, 180 pixels, under a 48-pixel top
// margin). Paragraphs are made of lines ended by line breaks, so their line
// count is exact. Pages are shown as "paragraph:first-last" pieces, pages
// separated by " | ".

#include "layout/Pagination.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "layout/LayoutFixture.h"
#include "layout/PageGrid.h"
#include "layout/PageNumber.h"
#include "model/Page.h"
#include "model/ParLine.h"
#include "model/TextStream.h"

namespace quillane {
namespace {

using test::TLayoutFixture;

struct TPar {
    int32_t Lines = 1;
    int32_t Widow = 0, KeepIntact = 0, KeepWithNext = 0, BreakBefore = 0;
    int32_t Before = 0, After = 0;
    std::string Text = {};  // instead of Lines when given
};

class TPaginationFixture : public TLayoutFixture {
public:
    TPaginationFixture() {
        TPageSettings page = Document().PageSettings();
        page.PaperHeight = 4140;
        page.TopMargin = 720;
        page.BottomMargin = 720;
        Document().ApplyPageSettings(page, false);
    }

    void Build(const std::vector<TPar>& pars) {
        TDocument& d = Document();
        while (d.ParagraphCount() > 1) {
            d.RemoveParagraph(d.ParagraphCount() - 1);
        }
        for (size_t k = 0; k < pars.size(); ++k) {
            TParagraph& p = k == 0 ? d.Paragraph(0) : d.AddParagraph();
            p.DropLayout(false);
            p.Text.Clear();
            p.Positions.Clear();
            const TPar& par = pars[k];
            if (!par.Text.empty()) {
                for (char c : par.Text) {
                    if (c == '\f') {
                        p.AppendSpecial(spPageBreak);
                    } else {
                        p.AppendChars(reinterpret_cast<const uint8_t*>(&c), 1);
                    }
                }
            } else {
                for (int32_t line = 0; line < par.Lines; ++line) {
                    p.AppendChars(reinterpret_cast<const uint8_t*>("a"), 1);
                    if (line + 1 < par.Lines) {
                        p.AppendSpecial(spLineBreak);
                    }
                }
            }
            p.AppendSpecial(spParagraphEnd);
            p.Attributes[paWidowControl] = par.Widow;
            p.Attributes[paKeepIntact] = par.KeepIntact;
            p.Attributes[paKeepWithNext] = par.KeepWithNext;
            p.Attributes[paPageBreakBefore] = par.BreakBefore;
            p.Attributes[paSpaceBefore] = par.Before;
            p.Attributes[paSpaceAfter] = par.After;
        }
    }

    std::string Pages() const {
        std::string text;
        const TDocument& d = const_cast<TPaginationFixture*>(this)->Document();
        for (int32_t i = 0; i < d.PageCount(); ++i) {
            const TPage& page = d.Page(i);
            text += i > 0 ? " | " : "";
            for (int32_t k = 0; k < page.PieceCount(); ++k) {
                const TPiece& piece = page.Piece(k);
                text += (k > 0 ? " " : "") + std::to_string(piece.Paragraph) + ":" +
                        std::to_string(piece.FirstLine) + "-" + std::to_string(piece.LastLine);
            }
        }
        return text;
    }

    TPaginationOptions Options;
};

TEST(Pagination, PagesFollowTheParagraphRules) {
    struct Case {
        const char* what;
        std::vector<TPar> pars;
        const char* expected;
    };
    const Case cases[] = {
        {"lines flow onto the next page", {{.Lines = 7}, {.Lines = 6}}, "0:0-6 1:0-2 | 1:3-5"},
        {"widow control: five of six fit, four stay", {{.Lines = 5}, {.Lines = 6, .Widow = 1}},
         "0:0-4 1:0-3 | 1:4-5"},
        {"widow control: two of three fit, all move", {{.Lines = 8}, {.Lines = 3, .Widow = 1}}, "0:0-7 | 1:0-2"},
        {"orphan control: a lone first line moves", {{.Lines = 9}, {.Lines = 3, .Widow = 1}}, "0:0-8 | 1:0-2"},
        {"without widow control the paragraph splits", {{.Lines = 9}, {.Lines = 3}}, "0:0-8 1:0-0 | 1:1-2"},
        {"keep together moves the paragraph whole", {{.Lines = 8}, {.Lines = 4, .KeepIntact = 1}},
         "0:0-7 | 1:0-3"},
        {"keep together at the page top splits", {{.Lines = 12, .KeepIntact = 1}}, "0:0-9 | 0:10-11"},
        {"page break before at the top makes no empty page", {{.Lines = 2, .BreakBefore = 1}, {.Lines = 1}},
         "0:0-1 1:0-0"},
        {"page break before starts a page", {{.Lines = 2}, {.Lines = 2, .BreakBefore = 1}}, "0:0-1 | 1:0-1"},
        {"keep with next takes the heading along", {{.Lines = 9}, {.Lines = 1, .KeepWithNext = 1}, {.Lines = 3}},
         "0:0-8 | 1:0-0 2:0-2"},
        {"a chain at the page top splits normally",
         {{.Lines = 10}, {.Lines = 1, .KeepWithNext = 1}, {.Lines = 12}}, "0:0-9 | 1:0-0 2:0-8 | 2:9-11"},
        {"a heading followed by lines on its page stays",
         {{.Lines = 8}, {.Lines = 1, .KeepWithNext = 1}, {.Lines = 3}}, "0:0-7 1:0-0 2:0-0 | 2:1-2"},
        {"a lone page break fits on a full page and closes it", {{.Lines = 10}, {.Text = "\fa"}, {.Lines = 1}},
         "0:0-9 1:0-0 | 1:1-1 2:0-0"},
        {"a page break inside a paragraph ends the page", {{.Text = "aa\faa"}, {.Lines = 1}}, "0:0-0 | 0:1-1 1:0-0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPaginationFixture f;
        f.Build(c.pars);
        Paginate(f.Document(), 0, INT_MAX, 0, f.Options);
        EXPECT_EQ(c.expected, f.Pages());
        EXPECT_TRUE(f.Document().PaginationComplete());
    }
}

TEST(Pagination, SpacingAtPageTopsAndBetweenParagraphs) {
    struct Case {
        const char* what;
        bool accumulate;
        std::vector<TPar> pars;
        int32_t paragraph;
        int32_t expectedTop;
    };
    const Case cases[] = {
        {"space before kept on the first page", false, {{.Lines = 1, .Before = 240}}, 0, 48},
        {"space before suppressed at a later page top", false, {{.Lines = 10}, {.Lines = 1, .Before = 240}}, 1,
         48 - 16},
        {"but not after a page break before", false, {{.Lines = 1}, {.Lines = 1, .BreakBefore = 1, .Before = 240}},
         1, 48},
        {"the larger of after and before between paragraphs", false,
         {{.Lines = 1, .After = 240}, {.Lines = 1, .Before = 360}}, 1, 48 + 34 - 16},
        {"their sum when accumulating", true, {{.Lines = 1, .After = 240}, {.Lines = 1, .Before = 360}}, 1,
         48 + 34},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPaginationFixture f;
        f.Options.AccumulateSpacing = c.accumulate;
        f.Build(c.pars);
        Paginate(f.Document(), 0, INT_MAX, 0, f.Options);
        EXPECT_EQ(c.expectedTop, f.Document().Paragraph(c.paragraph).Line(0).Top);
    }
}

std::vector<TPar> RandomDocument(std::mt19937& random, int count) {
    std::vector<TPar> pars;
    for (int k = 0; k < count; ++k) {
        TPar p;
        p.Lines = 1 + static_cast<int32_t>(random() % 14);
        p.Widow = static_cast<int32_t>(random() % 2);
        p.KeepIntact = random() % 5 == 0;
        p.KeepWithNext = random() % 6 == 0;
        p.BreakBefore = random() % 15 == 0;
        p.Before = static_cast<int32_t>(random() % 3) * 120;
        p.After = static_cast<int32_t>(random() % 3) * 120;
        if (random() % 12 == 0) {
            p.Text = random() % 2 == 0 ? "a\fa" : "\fa";
        }
        pars.push_back(p);
    }
    return pars;
}

TEST(Pagination, IncrementalPaginationGivesTheSamePagesAsAFullRun) {
    std::mt19937 random(5);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        TPaginationFixture f;
        f.Build(RandomDocument(random, 60));
        Paginate(f.Document(), 0, INT_MAX, 0, f.Options);
        const std::string full = f.Pages();
        const int32_t count = f.Document().PageCount();
        ASSERT_GT(count, 5);
        // From a middle page on.
        Paginate(f.Document(), static_cast<int32_t>(random() % static_cast<uint32_t>(count)), INT_MAX, 0,
                 f.Options);
        EXPECT_EQ(full, f.Pages());
        // From nothing, in background steps.
        f.Document().FreePagesFrom(0);
        f.Document().SetPaginationComplete(false);
        int steps = 0;
        while (PaginateStep(f.Document(), f.Options)) {
            ++steps;
        }
        EXPECT_EQ(full, f.Pages());
        EXPECT_GE(steps, count / 9);
        // Every line is on exactly the page that lists it.
        int32_t lines = 0;
        for (int32_t i = 0; i < f.Document().PageCount(); ++i) {
            const TPage& page = f.Document().Page(i);
            for (int32_t k = 0; k < page.LineCount(); ++k) {
                ASSERT_EQ(&page, page.Line(k).Page);
            }
            lines += page.LineCount();
        }
        int32_t total = 0;
        for (int32_t i = 0; i < f.Document().ParagraphCount(); ++i) {
            total += f.Document().Paragraph(i).LineCount();
        }
        EXPECT_EQ(total, lines);
    }
}

TEST(Pagination, PaginateUntilStopsAtThePageOfThePosition) {
    TPaginationFixture f;
    std::vector<TPar> pars(100, TPar{.Lines = 3});
    f.Build(pars);
    const int32_t page = PaginateUntil(f.Document(), 40, 1, f.Options);
    EXPECT_EQ(12, page);  // three paragraphs and a line of the fourth per page
    EXPECT_LT(f.Document().PageCount(), 30);
    EXPECT_FALSE(f.Document().PaginationComplete());
}

TEST(Pagination, LinesLeaveTheirPagesWhenLaidOutAgain) {
    TPaginationFixture f;
    f.Build({{.Lines = 4}, {.Lines = 4}});
    Paginate(f.Document(), 0, INT_MAX, 0, f.Options);
    ASSERT_EQ(8, f.Document().Page(0).LineCount());
    f.Document().Paragraph(1).DropLayout(true);
    EXPECT_EQ(4, f.Document().Page(0).LineCount());
    f.Document().FreePagesFrom(0);
    EXPECT_EQ(nullptr, f.Document().Paragraph(0).Line(0).Page);
}

TEST(PageNumber, FormatsAndTheFirstNumberedPage) {
    struct Case {
        int64_t n;
        int32_t format;
        const char* expected;
    };
    const Case cases[] = {
        {1, 0, "1"},      {42, 0, "42"},      {1, 1, "a"},       {26, 1, "z"},         {27, 1, "aa"},
        {28, 1, "bb"},    {53, 2, "AAA"},     {0, 1, ""},        {-3, 2, ""},          {1, 3, "i"},
        {4, 3, "iv"},     {9, 4, "IX"},       {14, 4, "XIV"},    {40, 4, "XL"},        {90, 4, "XC"},
        {400, 4, "CD"},   {1994, 4, "MCMXCIV"}, {3888, 4, "MMMDCCCLXXXVIII"}, {2026, 3, "mmxxvi"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, FormatPageNumber(c.n, c.format)) << c.n << " in format " << c.format;
    }
    TPageNumberSettings settings;
    settings.Enabled = true;
    settings.Start = 3;
    settings.Hidden = 1;
    EXPECT_EQ(1, PageNumberOf(2, settings));
    EXPECT_FALSE(PageNumberShown(2, settings));
    EXPECT_TRUE(PageNumberShown(3, settings));
    EXPECT_EQ(2, PageNumberOf(3, settings));
    settings.Enabled = false;
    EXPECT_FALSE(PageNumberShown(3, settings));
}

}  // namespace
}  // namespace quillane

namespace quillane {
namespace {

TEST(PageGrid, PagesAreCentredInTheirGridAndScrolledIntoView) {
    // Two columns of 100 x 200 pages in a 400 x 650 extent: three rows.
    const TPageGrid grid{5, 2, 100, 200, 400, 650};
    const TPageRect first = PageRect(grid, 0);
    EXPECT_EQ(95, first.Left);  // (400 - 110 - 100) / 2
    EXPECT_EQ(15, first.Top);   // (650 - 420 - 200) / 2
    const TPageRect fourth = PageRect(grid, 3);
    EXPECT_EQ(95 + 110, fourth.Left);
    EXPECT_EQ(first.Top + 210, fourth.Top);
    EXPECT_EQ(0, FirstVisiblePage(grid, 0));
    EXPECT_EQ(0, FirstVisiblePage(grid, 213));  // only the gap of row 1 is in view
    EXPECT_EQ(2, FirstVisiblePage(grid, 216));
    EXPECT_EQ(3, LastVisiblePage(grid, 0, 300));
}

}  // namespace
}  // namespace quillane
