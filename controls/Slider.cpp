// The slider's size, ticks, painting, and its value by click or key.
#include "lumetra/controls/Slider.h"

#include <algorithm>

#include "lumetra/controls/ControlPaint.h"
#include "lumetra/graphics/GraphicsContext.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

namespace {
constexpr Colour kShade = 0xDDDDDD;
// Ticks stand at least this many pixels apart.
constexpr int64_t kTickGap = 8;
// Up to this many intervals every value has a tick of its own and the slider
// grows to give each its 8 pixels: a track of 32000 pixels, about as far as
// X's 16-bit coordinates reach. A wider range keeps the slider's size and
// draws a tick every so many values.
constexpr int64_t kMostIntervals = 4000;

// A number at one end of the track.
void DrawNumber(GraphicsContext& gc, const ControlArea& box, int32_t number, Colour fore,
                Colour back) {
    const ControlArea seen = WithinXRange(box);
    gc.DrawText(seen.x, seen.y, seen.w, seen.h, IntToString(number), fore, back, AlignCenter);
}

void DrawLine(GraphicsContext& gc, int64_t x1, int64_t y1, int64_t x2, int64_t y2, Colour colour) {
    gc.DrawLine(ToXCoordinate(x1), ToXCoordinate(y1), ToXCoordinate(x2), ToXCoordinate(y2), 1,
                colour);
}
}  // namespace

Slider::Slider(GUIElement* parentElement, bool isVertical, int32_t minimumValue,
               int32_t maximumValue)
    : Control(parentElement),
      minimum(minimumValue),
      maximum(maximumValue),
      value(minimumValue),
      vertical(isVertical) {
    elementKind = "slider";
    autoRepaint = true;
    showsFocus_ = true;
}

void Slider::SetValue(int32_t v) {
    value = Intervals() == 0 ? minimum : std::clamp(v, minimum, maximum);
    Paint();
}

void Slider::SetLineColor(Colour c) { SetAndPaint(lineColor, c); }

void Slider::SetShowLabels(bool on) { SetAndPaint(showLabels, on); }

void Slider::Enable(bool on) { SetAndPaint(enabled, on); }

bool Slider::NotifyValueChanged() {
    const ElementWatch alive(this);
    if (onValueChanged) onValueChanged(this, value);
    if (alive && onChange) onChange(this);
    return static_cast<bool>(alive);
}

void Slider::SetFocus() {
    Child::SetFocus();
    Paint();
}

void Slider::Step(int direction) {
    if (Intervals() == 0) return;
    if (direction > 0) {
        value = value >= maximum ? minimum : value + 1;
    } else {
        value = value <= minimum ? maximum : value - 1;
    }
}

void Slider::MouseUp(PackedPoint p) {
    if (enabled && Intervals() > 0) {
        const int along = vertical ? PointY(p) : PointX(p);
        for (size_t i = 0; i < tickPoints.size(); ++i) {
            const int tick = vertical ? tickPoints[i].y : tickPoints[i].x;
            if (tick + 2 < along) continue;
            const int32_t chosen = tickPoints[i].value;
            if (chosen != value) {
                value = chosen;
                if (!NotifyValueChanged()) return;
            }
            break;
        }
        Paint();
    }
    Child::MouseUp(p);
}

void Slider::KeyDown(uint32_t keysym) {
    if (!enabled || !hasFocus) return;
    const int32_t before = value;
    if (keysym == lumetra::KeyRight || keysym == lumetra::KeyDown) {
        Step(+1);
    } else if (keysym == lumetra::KeyLeft || keysym == lumetra::KeyUp) {
        Step(-1);
    } else {
        return;
    }
    Paint();
    if (value != before) NotifyValueChanged();
}

bool Slider::KeyChar(char ch) {
    const ElementWatch alive(this);
    if (enabled && hasFocus && ch == ' ') KeyDown(lumetra::KeyDown);
    return alive ? Child::KeyChar(ch) : true;
}

void Slider::FitSizeToTicks() {
    const int64_t n = Intervals();
    const int32_t margin = vertical ? 36 : 40;
    int32_t& across = vertical ? width : height;
    int32_t& along = vertical ? height : width;
    across = std::max(across, vertical ? 40 : 36);
    if (n > kMostIntervals) {
        along = std::max(along, margin + static_cast<int32_t>(kTickGap));
        return;
    }
    along = std::max(along, static_cast<int32_t>(kTickGap * n) + margin);
    if (n > 0) along = static_cast<int32_t>((along - margin) / n * n + margin);
}

int64_t Slider::TickStep(int64_t span) const {
    const int64_t n = Intervals();
    if (n <= kMostIntervals) return 1;
    // However long the track, no more ticks than a track as far as X's
    // coordinates reach could hold.
    const int64_t room = std::clamp<int64_t>((span - 1) / kTickGap, 1, kMostIntervals);
    return (n + room - 1) / room;
}

int64_t Slider::Offset(int64_t i, int64_t span) const {
    const int64_t n = Intervals();
    return n == 0 ? 0 : i * span / n;
}

void Slider::Paint() {
    if (!MayPaint(*this)) return;
    FitSizeToTicks();
    const ControlArea a = AreaInForm(*this);
    const Colour back = EffectiveBackColor();
    const Colour fore = enabled ? lineColor : DisabledTextColour;
    GraphicsContext gc(GetForm());
    const GraphicsContext::FlushOnce once(gc.GetDisplay());
    const ControlArea seen = WithinXRange(a);
    FillArea(gc, seen, back);
    tickPoints.clear();
    if (vertical) {
        PaintVertical(gc, a, fore, back);
    } else {
        PaintHorizontal(gc, a, fore, back);
    }
    if (hasFocus && enabled) {
        const int x = seen.x;
        const int y = seen.y;
        const int w = seen.w;
        const int h = seen.h;
        DrawDashed(gc, fore,
                   {{x, y + 1, x + w - 1, y + 1},
                    {x, y + h - 2, x, y},
                    {x + w - 1, y + 1, x + w - 1, y + h - 1},
                    {x, y + h - 2, x + w - 1, y + h - 2}});
    }
}

void Slider::PaintHorizontal(GraphicsContext& gc, const ControlArea& a, Colour fore, Colour back) {
    if (showLabels) {
        DrawNumber(gc, {a.x, a.y, 20, a.h}, minimum, fore, back);
        DrawNumber(gc, {a.x + a.w - 19, a.y, 20, a.h}, maximum, fore, back);
    }
    const int64_t span = int64_t{a.w} - 39;
    const int64_t x0 = int64_t{a.x} + 20;
    const int64_t x1 = x0 + span;
    const int64_t ym = a.y + (int64_t{a.h} + 1) / 2;
    DrawLine(gc, x0, ym, x1, ym, fore);
    DrawLine(gc, x0, ym + 1, x1, ym + 1, kShade);
    // The last tick stands at x1; a slider without a range has its one tick
    // at the minimum.
    const int64_t n = Intervals();
    const int64_t step = TickStep(span);
    for (int64_t i = 0;; i = std::min(i + step, n)) {
        const int64_t xi = x0 + Offset(i, span);
        DrawLine(gc, xi, ym - 3, xi, ym + 3, fore);
        DrawLine(gc, xi + 1, ym - 3, xi + 1, ym + 3, kShade);
        tickPoints.push_back(
            {ToXCoordinate(xi), ToXCoordinate(ym), static_cast<int32_t>(minimum + i)});
        if (i == n) break;
    }
    const int64_t xv = x0 + Offset(int64_t{value} - minimum, span);
    const Point pointer[] = {{ToXCoordinate(xv), ToXCoordinate(ym - 5)},
                             {ToXCoordinate(xv + 10), ToXCoordinate(ym - 15)},
                             {ToXCoordinate(xv - 10), ToXCoordinate(ym - 15)},
                             {ToXCoordinate(xv), ToXCoordinate(ym - 5)}};
    gc.FillPolygon(pointer, 4, 1, kShade, fore);
}

void Slider::PaintVertical(GraphicsContext& gc, const ControlArea& a, Colour fore, Colour back) {
    if (showLabels) {
        DrawNumber(gc, {a.x, a.y, a.w + 1, 18}, minimum, fore, back);
        DrawNumber(gc, {a.x, a.y + a.h - 18, a.w + 1, 18}, maximum, fore, back);
    }
    const int64_t span = int64_t{a.h} - 35;
    const int64_t y0 = int64_t{a.y} + 18;
    const int64_t y1 = y0 + span;
    const int64_t xm = a.x + (int64_t{a.w} + 1) / 2;
    DrawLine(gc, xm + 1, y0, xm + 1, y1, kShade);
    DrawLine(gc, xm, y0, xm, y1, fore);
    const int64_t n = Intervals();
    const int64_t step = TickStep(span);
    for (int64_t i = 0;; i = std::min(i + step, n)) {
        const int64_t yi = y0 + Offset(i, span);
        DrawLine(gc, xm - 3, yi, xm + 3, yi, fore);
        DrawLine(gc, xm - 3, yi + 1, xm + 3, yi + 1, kShade);
        tickPoints.push_back(
            {ToXCoordinate(xm), ToXCoordinate(yi), static_cast<int32_t>(minimum + i)});
        if (i == n) break;
    }
    const int64_t yv = y0 + Offset(int64_t{value} - minimum, span);
    const Point pointer[] = {{ToXCoordinate(xm + 5), ToXCoordinate(yv)},
                             {ToXCoordinate(xm + 15), ToXCoordinate(yv - 10)},
                             {ToXCoordinate(xm + 15), ToXCoordinate(yv + 10)},
                             {ToXCoordinate(xm + 5), ToXCoordinate(yv)}};
    gc.FillPolygon(pointer, 4, 1, kShade, fore);
}

}  // namespace lumetra
