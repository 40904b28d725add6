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
}

void Slider::SetValue(int32_t v) {
    value = Intervals() == 0 ? minimum : std::clamp(v, minimum, maximum);
    Paint();
}

void Slider::SetLineColor(Colour c) { SetAndPaint(lineColor, c); }

void Slider::SetShowLabels(bool on) { SetAndPaint(showLabels, on); }

void Slider::Enable(bool on) { SetAndPaint(enabled, on); }

void Slider::NotifyValueChanged() {
    if (onValueChanged) onValueChanged(this, value);
    if (onChange) onChange(this);
}

void Slider::SetFocus() {
    Child::SetFocus();
    Paint();
}

void Slider::GotFocus() {
    Child::GotFocus();
    Paint();
}

void Slider::LostFocus() {
    Child::LostFocus();
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
                NotifyValueChanged();
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
    if (enabled && hasFocus && ch == ' ') KeyDown(lumetra::KeyDown);
    return Child::KeyChar(ch);
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

int64_t Slider::TickStep(int span) const {
    const int64_t n = Intervals();
    if (n <= kMostIntervals) return 1;
    const int64_t room = std::max<int64_t>(1, (span - 1) / kTickGap);
    return (n + room - 1) / room;
}

int Slider::Offset(int64_t i, int span) const {
    const int64_t n = Intervals();
    return n == 0 ? 0 : static_cast<int>(i * span / n);
}

void Slider::Paint() {
    if (!MayPaint(*this)) return;
    FitSizeToTicks();
    const ControlArea a = AreaInForm(*this);
    const Colour back = EffectiveBackColor();
    const Colour fore = enabled ? lineColor : DisabledTextColour;
    GraphicsContext gc(GetForm());
    const GraphicsContext::FlushOnce once(gc.GetDisplay());
    FillArea(gc, a, back);
    tickPoints.clear();
    if (vertical) {
        PaintVertical(gc, a, fore, back);
    } else {
        PaintHorizontal(gc, a, fore, back);
    }
    if (hasFocus && enabled) {
        const int x = a.x, y = a.y, w = a.w, h = a.h;
        DrawDashed(gc, fore,
                   {{x, y + 1, x + w - 1, y + 1},
                    {x, y + h - 2, x, y},
                    {x + w - 1, y + 1, x + w - 1, y + h - 1},
                    {x, y + h - 2, x + w - 1, y + h - 2}});
    }
}

void Slider::PaintHorizontal(GraphicsContext& gc, const ControlArea& a, Colour fore, Colour back) {
    if (showLabels) {
        gc.DrawText(a.x, a.y, 20, a.h, IntToString(minimum), fore, back, AlignCenter);
        gc.DrawText(a.x + a.w - 19, a.y, 20, a.h, IntToString(maximum), fore, back, AlignCenter);
    }
    const int span = a.w - 39, x0 = a.x + 20, x1 = x0 + span, ym = a.y + (a.h + 1) / 2;
    gc.DrawLine(x0, ym, x1, ym, 1, fore);
    gc.DrawLine(x0, ym + 1, x1, ym + 1, 1, kShade);
    // The last tick stands at x1; a slider without a range has its one tick
    // at the minimum.
    const int64_t n = Intervals(), step = TickStep(span);
    for (int64_t i = 0;; i = std::min(i + step, n)) {
        const int xi = x0 + Offset(i, span);
        gc.DrawLine(xi, ym - 3, xi, ym + 3, 1, fore);
        gc.DrawLine(xi + 1, ym - 3, xi + 1, ym + 3, 1, kShade);
        tickPoints.push_back(
            {static_cast<short>(xi), static_cast<short>(ym), static_cast<int32_t>(minimum + i)});
        if (i == n) break;
    }
    const short xv = static_cast<short>(x0 + Offset(int64_t{value} - minimum, span));
    XPoint pointer[] = {{xv, static_cast<short>(ym - 5)},
                        {static_cast<short>(xv + 10), static_cast<short>(ym - 15)},
                        {static_cast<short>(xv - 10), static_cast<short>(ym - 15)},
                        {xv, static_cast<short>(ym - 5)}};
    gc.FillPolygon(pointer, 4, 1, kShade, fore);
}

void Slider::PaintVertical(GraphicsContext& gc, const ControlArea& a, Colour fore, Colour back) {
    if (showLabels) {
        gc.DrawText(a.x, a.y, a.w + 1, 18, IntToString(minimum), fore, back, AlignCenter);
        gc.DrawText(a.x, a.y + a.h - 18, a.w + 1, 18, IntToString(maximum), fore, back,
                    AlignCenter);
    }
    const int span = a.h - 35, y0 = a.y + 18, y1 = y0 + span, xm = a.x + (a.w + 1) / 2;
    gc.DrawLine(xm + 1, y0, xm + 1, y1, 1, kShade);
    gc.DrawLine(xm, y0, xm, y1, 1, fore);
    const int64_t n = Intervals(), step = TickStep(span);
    for (int64_t i = 0;; i = std::min(i + step, n)) {
        const int yi = y0 + Offset(i, span);
        gc.DrawLine(xm - 3, yi, xm + 3, yi, 1, fore);
        gc.DrawLine(xm - 3, yi + 1, xm + 3, yi + 1, 1, kShade);
        tickPoints.push_back(
            {static_cast<short>(xm), static_cast<short>(yi), static_cast<int32_t>(minimum + i)});
        if (i == n) break;
    }
    const short yv = static_cast<short>(y0 + Offset(int64_t{value} - minimum, span));
    XPoint pointer[] = {{static_cast<short>(xm + 5), yv},
                        {static_cast<short>(xm + 15), static_cast<short>(yv - 10)},
                        {static_cast<short>(xm + 15), static_cast<short>(yv + 10)},
                        {static_cast<short>(xm + 5), yv}};
    gc.FillPolygon(pointer, 4, 1, kShade, fore);
}

}  // namespace lumetra
