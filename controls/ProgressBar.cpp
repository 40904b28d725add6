#include "lumetra/controls/ProgressBar.h"

#include "lumetra/controls/ControlPaint.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

ProgressBar::ProgressBar(GUIElement* parentElement, int32_t minimumValue, int32_t maximumValue)
    : Control(parentElement), minimum(minimumValue), maximum(maximumValue), value(minimumValue) {
    elementKind = "progressbar";
    width = 190;
    height = 25;
    // Repainted with its form on Expose, so that it survives being covered.
    autoRepaint = true;
}

void ProgressBar::SetValue(int32_t v) {
    if (v > maximum) v = maximum;
    if (v < minimum) v = minimum;
    if (v == value) return;
    value = v;
    Paint();
}

void ProgressBar::SetFramed(bool on) { SetAndPaint(framed, on); }

void ProgressBar::Hide() {
    const bool wasCreated = created;
    Control::Hide();
    created = wasCreated;
}

void ProgressBar::Create() { CreateControl(false); }

void ProgressBar::Paint() {
    if (!MayPaint(*this)) return;
    const ControlArea a = AreaInForm(*this);
    GraphicsContext gc(GetForm());
    FillArea(gc, a, EffectiveBackColor());
    if (framed) DrawSunken(gc, a);
    // Without a range there is no share to show.
    if (!a.HasInside() || maximum <= minimum) return;
    // In double precision throughout: the difference of two 32-bit values
    // need not fit in 32 bits.
    const double share =
        (static_cast<double>(value) - minimum) / (static_cast<double>(maximum) - minimum);
    if (share <= 0) return;
    const int fillWidth = static_cast<int>((a.w - 2) * share);
    gc.FillRectangle(a.x + 1, a.y + 1, fillWidth, a.h - 2, 0, 0, 0x0000FF);
}

}  // namespace lumetra
