// What every control does the same way when it paints: the guard that keeps
// it from drawing while its form loads or while it is off screen, its
// rectangle in the form's window, bevels and dashed focus marks.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "lumetra/core/GUIElement.h"
#include "lumetra/core/Types.h"

namespace lumetra {

class GraphicsContext;

// A control's rectangle in its form's window.
struct ControlArea {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    // Room inside a one-pixel frame; a smaller control draws its frame only.
    bool HasInside() const { return w >= 3 && h >= 3; }
};

// False while a form is loading its controls, while the control is not
// created or hidden, or when it sits on no form: nothing may be drawn then.
bool MayPaint(Child& control);

ControlArea AreaInForm(GUIElement& control);

// X carries coordinates in 16 bits, and one past that range would wrap around
// into view: a coordinate beyond it is drawn at the range's edge, out of
// sight, and a rectangle is cut to the part within it.
int16_t ToXCoordinate(int64_t v);
ControlArea WithinXRange(const ControlArea& a);

// Fills exactly the control's rectangle (FillRectangle covers one pixel less
// than it is given each way).
void FillArea(GraphicsContext& gc, const ControlArea& a, Colour colour);

// Four one-pixel lines: top and left in topLeft, right and bottom in
// bottomRight. Raised is white over black, sunken the reverse.
void DrawBevel(GraphicsContext& gc, const ControlArea& a, Colour topLeft, Colour bottomRight);
inline void DrawRaised(GraphicsContext& gc, const ControlArea& a) {
    DrawBevel(gc, a, 0xFFFFFF, 0x000000);
}
inline void DrawSunken(GraphicsContext& gc, const ControlArea& a) {
    DrawBevel(gc, a, 0x000000, 0xFFFFFF);
}

struct Segment {
    int x1;
    int y1;
    int x2;
    int y2;
};
// Dashed one-pixel lines: the focus mark of every control.
void DrawDashed(GraphicsContext& gc, Colour colour, std::initializer_list<Segment> segments);

}  // namespace lumetra
