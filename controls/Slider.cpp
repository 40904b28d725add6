#include "controls/Slider.h"

#include <algorithm>

#include "controls/ControlPaint.h"
#include "graphics/GraphicsContext.h"
#include "util/Strings.h"

namespace lumetra {

namespace {
constexpr Colour kShade = 0xDDDDDD;
}  // namespace

Slider::Slider(GUIElement* parentElement, bool isVertical, int32_t minimumValue, int32_t maximumValue)
    : Child(parentElement), minimum(minimumValue), maximum(maximumValue), value(minimumValue), vertical(isVertical) {
    elementKind = "slider";
    autoRepaint = true;
}

void Slider::SetValue(int32_t v) {
    value = Intervals() == 0 ? minimum : std::clamp(v, minimum, maximum);
    Paint();
}

void Slider::SetLineColor(Colour c) {
    lineColor = c;
    Paint();
}

void Slider::SetShowLabels(bool on) {
    showLabels = on;
    Paint();
}

void Slider::Enable(bool on) {
    enabled = on;
    Paint();
}

void Slider::NotifyValueChanged() {
    if (onValueChanged) onValueChanged(this, value);
    if (onChange) onChange(this);
}

void Slider::SetSize(int32_t w, int32_t h) {
    if (w != width || h != height) ReplaceControl(*this, x, y, w, h);
}

void Slider::SetPosition(int32_t px, int32_t py) { ReplaceControl(*this, px, py, width, height); }

void Slider::Show() {
    Child::Show();
    Paint();
}

void Slider::ShowWindow() { Show(); }

void Slider::Hide() {
    if (!created) return;
    EraseArea(1);
    Child::Hide();
    created = false;
}

void Slider::Create() { CreateControl(); }

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
            const int32_t chosen = minimum + static_cast<int32_t>(i);
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
    const int32_t n = Intervals();
    if (vertical) {
        width = std::max(width, 40);
        if (height < 8 * n + 36) {
            height = 8 * n + 36;
        } else if (n > 0) {
            height = (height - 36) / n * n + 36;
        }
    } else {
        height = std::max(height, 36);
        width = std::max(width, 8 * n + 40);
        if (n > 0) width = (width - 40) / n * n + 40;
    }
}

void Slider::Paint() {
    if (!MayPaint(*this)) return;
    FitSizeToTicks();
    const ControlArea a = AreaInForm(*this);
    const Colour back = EffectiveBackColor();
    const Colour fore = enabled ? lineColor : DisabledTextColour;
    GraphicsContext gc(GetForm());
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
    const int32_t n = Intervals();
    if (showLabels) {
        gc.DrawText(a.x, a.y, 20, a.h, IntToString(minimum), fore, back, AlignCenter);
        gc.DrawText(a.x + a.w - 19, a.y, 20, a.h, IntToString(maximum), fore, back, AlignCenter);
    }
    const int x0 = a.x + 20, x1 = x0 + (a.w - 39), ym = a.y + (a.h + 1) / 2;
    gc.DrawLine(x0, ym, x1, ym, 1, fore);
    gc.DrawLine(x0, ym + 1, x1, ym + 1, 1, kShade);
    for (int32_t i = 0; i <= n; ++i) {
        // A slider without a range has its one tick at the minimum.
        const int xi = (i == n && n > 0) ? x1 : x0 + (n > 0 ? i * ((a.w - 39) / n) : 0);
        gc.DrawLine(xi, ym - 3, xi, ym + 3, 1, fore);
        gc.DrawLine(xi + 1, ym - 3, xi + 1, ym + 3, 1, kShade);
        tickPoints.push_back({static_cast<short>(xi), static_cast<short>(ym)});
        if (minimum + i != value) continue;
        XPoint pointer[] = {{static_cast<short>(xi), static_cast<short>(ym - 5)},
                            {static_cast<short>(xi + 10), static_cast<short>(ym - 15)},
                            {static_cast<short>(xi - 10), static_cast<short>(ym - 15)},
                            {static_cast<short>(xi), static_cast<short>(ym - 5)}};
        gc.FillPolygon(pointer, 4, 1, kShade, fore);
    }
}

void Slider::PaintVertical(GraphicsContext& gc, const ControlArea& a, Colour fore, Colour back) {
    const int32_t n = Intervals();
    if (showLabels) {
        gc.DrawText(a.x, a.y, a.w + 1, 18, IntToString(minimum), fore, back, AlignCenter);
        gc.DrawText(a.x, a.y + a.h - 18, a.w + 1, 18, IntToString(maximum), fore, back, AlignCenter);
    }
    const int y0 = a.y + 18, y1 = y0 + (a.h - 35), xm = a.x + (a.w + 1) / 2;
    gc.DrawLine(xm + 1, y0, xm + 1, y1, 1, kShade);
    gc.DrawLine(xm, y0, xm, y1, 1, fore);
    for (int32_t i = 0; i <= n; ++i) {
        const int yi = (i == n && n > 0) ? y1 : y0 + (n > 0 ? i * ((a.h - 35) / n) : 0);
        gc.DrawLine(xm - 3, yi, xm + 3, yi, 1, fore);
        gc.DrawLine(xm - 3, yi + 1, xm + 3, yi + 1, 1, kShade);
        tickPoints.push_back({static_cast<short>(xm), static_cast<short>(yi)});
        if (minimum + i != value) continue;
        XPoint pointer[] = {{static_cast<short>(xm + 5), static_cast<short>(yi)},
                            {static_cast<short>(xm + 15), static_cast<short>(yi - 10)},
                            {static_cast<short>(xm + 15), static_cast<short>(yi + 10)},
                            {static_cast<short>(xm + 5), static_cast<short>(yi)}};
        gc.FillPolygon(pointer, 4, 1, kShade, fore);
    }
}

}  // namespace lumetra
