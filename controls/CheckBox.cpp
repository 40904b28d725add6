// The check box's painting and its toggling by a click or a space.
#include "lumetra/controls/CheckBox.h"

#include <algorithm>

#include "lumetra/controls/ControlPaint.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

CheckBox::CheckBox(GUIElement* parentElement, const std::string& caption) : Control(parentElement) {
    elementKind = "checkbox";
    text = caption;
    width = 80;
    height = 30;
    autoRepaint = true;
    showsFocus_ = true;
}

void CheckBox::SetText(const std::string& caption) { SetAndPaint(text, caption); }

void CheckBox::Enable(bool on) { SetAndPaint(enabled, on); }

void CheckBox::SetTextColor(Colour c) { SetAndPaint(textColor, c); }

void CheckBox::SetChecked(bool on) { SetAndPaint(checked, on); }

bool CheckBox::Toggle() {
    checked = !checked;
    Paint();
    return ExecuteCommand(this);
}

void CheckBox::MouseUp(PackedPoint p) {
    if (enabled && !Toggle()) return;
    Child::MouseUp(p);
}

bool CheckBox::KeyChar(char ch) {
    if (enabled && hasFocus && ch == ' ' && !Toggle()) return true;
    return Child::KeyChar(ch);
}

void CheckBox::Paint() {
    if (!MayPaint(*this)) return;
    // Room for the picture and its one-pixel margin.
    height = std::max(height, 22);
    const ControlArea a = AreaInForm(*this);
    GraphicsContext gc(GetForm());
    FillArea(gc, a, EffectiveBackColor());
    if (!a.HasInside()) return;
    const int x = a.x;
    const int y = a.y;
    const int w = a.w;
    const int h = a.h;
    // A box narrower than its picture shows as much of it as fits.
    gc.PutImage(x + 1, y + 1, std::min(StatePictures::kSize, w - 2), StatePictures::kSize,
                pictures_.For(this, enabled, checked));
    const int tw = w - 30;
    if (tw < 1) return;
    gc.DrawText(x + 26, y + 1, tw, h, text, enabled ? textColor : DisabledTextColour,
                EffectiveBackColor(), AlignLeft);
    if (hasFocus && enabled) {
        const int left = x + 21 + 2;
        const int right = x + 21 + tw + 1;
        // The right edge stops at the box's last row.
        DrawDashed(gc, textColor,
                   {{left, y + 2, right, y + 2},
                    {left, y + h - 1, left, y + 1},
                    {right, y + 2, right, y + h - 1},
                    {left, y + h - 1, right, y + h - 1}});
    }
}

}  // namespace lumetra
