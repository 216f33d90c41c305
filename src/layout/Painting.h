#pragma once
// Painting laid-out lines and pages on a canvas. On the screen a line is
// drawn into an off-screen surface and copied to the window in one block;
// on a device (printer, metafile, page image) it is drawn directly and
// nothing that only helps editing (symbols, selection, guides) appears.

#include <cstdint>
#include <memory>

#include "layout/PageNumber.h"
#include "model/ViewState.h"
#include "platform/Canvas.h"

namespace quillane {

class TColorManager;
class TFontManager;
class TKerningPairsManager;
class TLineLayout;
class TPage;
class TParLine;
class TParagraph;

// Draws the pictures and objects of a line; until one is attached a picture
// is left blank at its size.
class TObjectPainter {
public:
    virtual ~TObjectPainter() = default;
    virtual void DrawObject(TCanvas& canvas, uint8_t kind, int32_t id, const TRect& rect, bool device) = 0;
};

struct TPaintSelection {
    bool Active = false;
    TTextPosition Start;  // paragraph and position, End excluded
    TTextPosition End;
};

struct TPaintContext {
    int32_t Zoom = 100;
    // A printer, a metafile or a page image: drawn directly, without clip
    // tests and without the marks that only help editing.
    bool Device = false;
    bool SpecialSymbols = false;  // screen only
    bool MarginGuides = false;    // screen only
    TPoint Scroll;                // the view's scroll offset: dots stay put
    TRect Window;                 // the window's client area (screen)
    const TRegion* Update = nullptr;  // the part to repaint; null: all
    TPageNumberSettings PageNumbers;
    TPaintSelection Selection;
    TObjectPainter* Objects = nullptr;
};

class TPainter {
public:
    // Observes the managers, which outlive it; ppi is the screen's.
    TPainter(TFontManager& fonts, TKerningPairsManager& kerning, TLineLayout& layout, const TColorManager& colors,
             int32_t ppi);
    ~TPainter();

    // (x, y): the page's left edge and the line's top, zoomed pixels.
    void PaintLine(TCanvas& canvas, TParLine& line, int32_t x, int32_t y, const TPaintContext& context);
    // (x, y): the page's top-left corner. fromParagraph: start with the line
    // before that paragraph's first line on the page (-1: all lines).
    void PaintPage(TCanvas& canvas, TPage& page, int32_t x, int32_t y, int32_t fromParagraph,
                   const TPaintContext& context);

private:
    class TLineWalk;

    void PaintLineOn(TCanvas& canvas, TParLine& line, int32_t x, int32_t y, int32_t height,
                     const TPaintContext& context);
    void PaintPageNumber(TCanvas& canvas, const TPage& page, int32_t x, int32_t y, const TPaintContext& context);

    TFontManager& fonts_;
    TKerningPairsManager& kerning_;
    TLineLayout& layout_;
    const TColorManager& colors_;
    int32_t ppi_;
    // The screen's line buffer, grown as lines need it.
    std::unique_ptr<TSurface> service_;
};

}  // namespace quillane
