#pragma once
// Deferred drawing of embedded objects. A line painted on the screen may
// queue its pictures instead of drawing them (the picture-drawing option
// "on idle"); the main window's idle timer later asks each document to
// process its queue. The window supplies where things are and does the
// drawing; the queue decides what is still worth drawing.

#include <cstdint>

namespace quillane {

class TDocObject;

struct TPixelPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TPixelRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    bool Empty() const { return Right <= Left || Bottom <= Top; }
    TPixelRect Offset(TPixelPoint by) const { return {Left + by.X, Top + by.Y, Right + by.X, Bottom + by.Y}; }
    bool Intersects(const TPixelRect& o) const {
        return !Empty() && !o.Empty() && Left < o.Right && o.Left < Right && Top < o.Bottom && o.Top < Bottom;
    }
    bool operator==(const TPixelRect&) const = default;
};

// Flags of a draw request.
enum TDrawFlag : uint32_t {
    dfSelected = 2,   // the object is the selection: draw handles
    dfInverted = 4,   // the object lies inside a text selection
    dfPrinting = 8,
};

// What drawing one object needs. The drawing surface is the window's (or
// the printer's) and travels with the drawing call, not in the request.
struct TDrawRequest {
    int32_t ObjectId = 0;
    TPixelRect Target;
    uint32_t Flags = 0;
    int32_t Page = 0;
    int32_t Paragraph = 0;
    int32_t Position = 0;
    int32_t Zoom = 100;  // of the document when the request was made
};

// The document window as the repaint queue sees it.
class TRepaintWindow {
public:
    virtual ~TRepaintWindow() = default;
    // The window is not busy (or the main window draws documents) and the
    // document is visible: the only window, or the active window is not
    // maximised, or it is the active window.
    virtual bool ReadyForRepaints() const = 0;
    virtual int32_t Zoom() const = 0;
    // Moves queued rectangles into window coordinates (the window origin
    // and the scroll position).
    virtual TPixelPoint WindowOffset() const = 0;
    virtual TPixelRect ClientArea() const = 0;
    virtual TPixelRect PageRect(int32_t page) const = 0;
    // Draws the object; the request's target is in window coordinates.
    virtual void DrawObject(TDocObject& object, const TDrawRequest& request) = 0;
};

}  // namespace quillane
