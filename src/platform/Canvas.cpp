#include "platform/Canvas.h"

#include <algorithm>

namespace quillane {

TRect Intersection(const TRect& a, const TRect& b) {
    TRect result{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom)};
    if (result.IsEmpty()) {
        return TRect{};
    }
    return result;
}

bool TDotPattern::Covers(int32_t coordinate) const {
    if (IsSolid()) {
        return true;
    }
    const int64_t period = Period;
    const int64_t index = ((static_cast<int64_t>(coordinate) + Phase) % period + period) % period;
    return (Mask >> index & 1u) != 0;
}

bool TBitmapView::IsValid() const {
    return Pixels != nullptr && Width > 0 && Height > 0 && Stride / 4 >= Width;
}

void TCanvas::FrameRect(const TRect& rect, const TPen& pen) {
    if (rect.IsEmpty()) {
        return;
    }
    const int32_t w = std::clamp(pen.Width, 1, std::min(rect.Width(), rect.Height()));
    DrawLine({rect.Left, rect.Top}, {rect.Right, rect.Top}, pen);
    if (rect.Height() > w) {
        DrawLine({rect.Left, rect.Bottom - w}, {rect.Right, rect.Bottom - w}, pen);
    }
    if (rect.Height() > 2 * w) {
        DrawLine({rect.Left, rect.Top + w}, {rect.Left, rect.Bottom - w}, pen);
        if (rect.Width() > w) {
            DrawLine({rect.Right - w, rect.Top + w}, {rect.Right - w, rect.Bottom - w}, pen);
        }
    }
}

}  // namespace quillane
