#pragma once
// View and editing state that a document carries for its window: zoom, the
// page grid, scroll origin, caret and selection. The view subsystem gives
// these fields their behaviour.

#include <climits>
#include <cstdint>

#include "model/CharAttrs.h"
#include "model/ParAttrs.h"

namespace quillane {

constexpr int32_t NoParagraph = INT32_MIN;  // a text position that points nowhere

struct TTextPosition {
    int32_t Paragraph = 0;
    int32_t Offset = 0;
    friend bool operator==(const TTextPosition&, const TTextPosition&) = default;
};

enum class TZoomKind : int32_t { Percentage = 0, PageWidth = 1, TextWidth = 2, WholePage = 3, OnePage = 4, TwoPages = 5 };

struct TCaretRecord {
    TTextPosition Position;
    int32_t Line = 0;
    int32_t Page = 0;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool Italic = false;
    int32_t SlantOffset = 0;
};

struct TViewState {
    TZoomKind ZoomKind = TZoomKind::Percentage;
    int32_t Zoom = 100;            // 10 to 500
    int32_t HorizontalZoom = 100;  // copy used for horizontal scaling
    int32_t ScreenPpi = 96;        // vertical logical pixels per inch
    int32_t ZoomedPpi = 96;        // ScreenPpi * Zoom / 100
    int32_t ScrollX = 0;
    int32_t ScrollY = 0;
    int32_t PageColumns = 1;
    int32_t PageRows = 1;
    int32_t CanvasWidth = 0;
    int32_t CanvasHeight = 0;
    TCaretRecord Caret;
    TTextPosition SelectionStart;
    TTextPosition SelectionEnd;
    TCharAttrs SelectionCharAttrs;
    TParAttrs SelectionParAttrs;
};

}  // namespace quillane
