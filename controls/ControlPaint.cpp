// The painting steps every control shares: its guard, rectangle, bevels and focus marks.
#include "lumetra/controls/ControlPaint.h"

#include <algorithm>

#include "lumetra/core/Application.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

bool MayPaint(Child& control) {
    return !Application::formLoading && control.IsCreated() && control.IsVisible() &&
           control.GetForm() != nullptr;
}

ControlArea AreaInForm(GUIElement& control) {
    const PackedPoint at = control.PositionInForm();
    return {PointX(at), PointY(at), control.width, control.height};
}

int16_t ToXCoordinate(int64_t v) {
    return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

ControlArea WithinXRange(const ControlArea& a) {
    const int16_t left = ToXCoordinate(a.x);
    const int16_t top = ToXCoordinate(a.y);
    return {left, top, ToXCoordinate(int64_t{a.x} + a.w) - left,
            ToXCoordinate(int64_t{a.y} + a.h) - top};
}

void FillArea(GraphicsContext& gc, const ControlArea& a, Colour colour) {
    gc.FillRectangle(a.x, a.y, a.w + 1, a.h + 1, 0, 0, colour);
}

void DrawBevel(GraphicsContext& gc, const ControlArea& a, Colour topLeft, Colour bottomRight) {
    const int right = a.x + a.w - 1;
    const int bottom = a.y + a.h - 1;
    gc.DrawLine(a.x, a.y, right, a.y, 1, topLeft);
    gc.DrawLine(a.x, bottom, a.x, a.y, 1, topLeft);
    gc.DrawLine(right, a.y, right, bottom, 1, bottomRight);
    gc.DrawLine(a.x, bottom, right, bottom, 1, bottomRight);
}

void DrawDashed(GraphicsContext& gc, Colour colour, std::initializer_list<Segment> segments) {
    for (const Segment& s : segments) gc.DrawLine(s.x1, s.y1, s.x2, s.y2, 1, 1, colour);
}

}  // namespace lumetra
