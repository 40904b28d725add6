// The progress bar's value and its painting.
#include "lumetra/controls/ProgressBar.h"

#include "lumetra/controls/ControlPaint.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

ProgressBar::ProgressBar(GUIElement* parentElement, int32_t minimumValue, int32_t maximumValue)
    : Control(parentElement), minimum_(minimumValue), maximum_(maximumValue), value_(minimumValue) {
    elementKind = "progressbar";
    width = 190;
    height = 25;
    // Repainted with its form on Expose, so that it survives being covered.
    autoRepaint = true;
}

void ProgressBar::SetValue(int32_t v) {
    if (v > maximum_) v = maximum_;
    if (v < minimum_) v = minimum_;
    if (v == value_) return;
    value_ = v;
    Paint();
}

void ProgressBar::SetFramed(bool on) { SetAndPaint(framed_, on); }

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
    if (framed_) DrawSunken(gc, a);
    // Without a range there is no share to show.
    if (!a.HasInside() || maximum_ <= minimum_) return;
    // In double precision throughout: the difference of two 32-bit values
    // need not fit in 32 bits.
    const double share =
        (static_cast<double>(value_) - minimum_) / (static_cast<double>(maximum_) - minimum_);
    if (share <= 0) return;
    const int fillWidth = static_cast<int>((a.w - 2) * share);
    gc.FillRectangle(a.x + 1, a.y + 1, fillWidth, a.h - 2, 0, 0, 0x0000FF);
}

}  // namespace lumetra
