#include "model/PageSettings.h"

#include <algorithm>
#include <cstdlib>

#include "model/Units.h"

namespace quillane {

const TPredefinedPageInfo PredefinedPages[PredefinedPageCount] = {
    {12240, 15840, 1, "Letter, 8 1/2- by 11-inches"},
    {12240, 20160, 5, "Legal, 8 1/2- by 14-inches"},
    {11905, 16838, 9, "A4 Sheet, 210- by 297-mm"},
    {24480, 31680, 0, "C Sheet, 17- by 22-inches"},
    {15840, 24480, 3, "Tabloid, 11- by 17-inches"},
    {24480, 15840, 4, "Ledger, 17- by 11-inches"},
    {7920, 12240, 6, "Statement, 5 1/2- by 8 1/2-inches"},
    {10440, 15120, 7, "Executive, 7 1/4- by 10 1/2-inches"},
    {16838, 23811, 8, "A3 sheet, 297- by 420-mm"},
    {8391, 11905, 11, "A5 sheet, 148- by 210-mm"},
    {14173, 20069, 12, "B4 sheet, 250- by 354-mm"},
    {10318, 14570, 13, "B5 sheet, 182- by 257-mm"},
    {12240, 18720, 14, "Folio, 8 1/2- by 13-inch"},
    {12189, 15591, 15, "Quarto, 215- by 275-mm"},
    {5580, 12780, 19, "#9 Envelope, 3 7/8- by 8 7/8-inches"},
    {5940, 13680, 20, "#10 Envelope, 4 1/8- by 9 1/2-inches"},
    {6480, 14940, 21, "#11 Envelope, 4 1/2- by 10 3/8-inches"},
    {6840, 15840, 22, "#12 Envelope, 4 3/4- by 11-inches"},
    {7200, 16560, 23, "#14 Envelope, 5- by 11 1/2-inches"},
    {6236, 12472, 27, "DL Envelope, 110- by 220-mm"},
    {9184, 12983, 28, "C5 Envelope, 162- by 229-mm"},
    {18369, 25965, 29, "C3 Envelope, 324- by 458-mm"},
    {12983, 18369, 30, "C4 Envelope, 229- by 324-mm"},
    {6463, 9184, 31, "C6 Envelope, 114- by 162-mm"},
    {6463, 12983, 32, "C65 Envelope, 114- by 229-mm"},
    {14173, 20013, 33, "B4 Envelope, 250- by 353-mm"},
    {9978, 14173, 34, "B5 Envelope, 176- by 250-mm"},
    {9978, 7087, 35, "B6 Envelope, 176- by 125-mm"},
    {6236, 13039, 36, "Italy Envelope, 110- by 230-mm"},
    {5580, 10800, 37, "Monarch Envelope, 3 7/8- by 7 1/2-inches"},
    {5220, 9360, 38, "6 3/4 Envelope, 3 5/8- by 6 1/2-inches"},
    {21420, 15840, 39, "US Std Fanfold, 14 7/8- by 11-inches"},
    {12240, 17280, 40, "German Std Fanfold, 8 1/2- by 12-inches"},
    {-1, -1, 0, "custom"},
};

namespace {

int32_t ClampMargin(int32_t margin, int32_t dimension) {
    const int32_t limit = MulDivRound(dimension, 40, 100);
    return std::clamp(margin, 0, limit);
}

bool Near(int32_t a, int32_t b) { return std::abs(a - b) <= 20; }

}  // namespace

TPageSettings ValidatePageSettings(const TPageSettings& settings) {
    TPageSettings s = settings;
    s.PaperWidth = std::clamp(s.PaperWidth, MinPaperSize, MaxPaperSize);
    s.PaperHeight = std::clamp(s.PaperHeight, MinPaperSize, MaxPaperSize);
    s.LeftMargin = ClampMargin(s.LeftMargin, s.PaperWidth);
    s.RightMargin = ClampMargin(s.RightMargin, s.PaperWidth);
    s.TopMargin = ClampMargin(s.TopMargin, s.PaperHeight);
    s.BottomMargin = ClampMargin(s.BottomMargin, s.PaperHeight);
    return s;
}

int FindPredefinedPage(int32_t width, int32_t height) {
    for (int i = 0; i < CustomPageIndex; ++i) {
        const TPredefinedPageInfo& page = PredefinedPages[i];
        if ((Near(width, page.Width) && Near(height, page.Height)) ||
            (Near(width, page.Height) && Near(height, page.Width))) {
            return i;
        }
    }
    return CustomPageIndex;
}

}  // namespace quillane
