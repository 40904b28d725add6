// The push button's painting, its pressed look and the click it reports.
#include "lumetra/controls/ButtonCustom.h"

#include <X11/Xlib.h>

#include "lumetra/controls/ControlPaint.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

ButtonCustom::ButtonCustom(GUIElement* parentElement, const std::string& caption)
    : Control(parentElement) {
    elementKind = "ButtonCustom";
    text = caption;
    width = 80;
    height = 30;
    // Repainted with its form on Expose: a button must not vanish when its
    // window is uncovered, nor be missing from the window's first paint.
    autoRepaint = true;
    showsFocus_ = true;
}

void ButtonCustom::SetText(const std::string& caption) { SetAndPaint(text, caption); }

void ButtonCustom::Enable(bool on) { SetAndPaint(enabled, on); }

void ButtonCustom::SetImage(XImage* img) { SetAndPaint(image_, img); }

void ButtonCustom::SetDisabledImage(XImage* img) { SetAndPaint(disabledImage_, img); }

void ButtonCustom::SetContentHidden(bool hidden) { SetAndPaint(contentHidden_, hidden); }

void ButtonCustom::SetPressed(bool on) { SetAndPaint(pressed_, on); }

void ButtonCustom::MouseDown(PackedPoint p) {
    if (enabled) SetPressed(true);
    Child::MouseDown(p);
}

void ButtonCustom::MouseUp(PackedPoint p) {
    if (enabled) {
        SetPressed(false);
        if (!ExecuteCommand(this)) return;
    }
    Child::MouseUp(p);
}

void ButtonCustom::KeyDown(uint32_t keysym) {
    if (!enabled) return;
    const ElementWatch alive(this);
    Child::KeyDown(keysym);
    if (alive && hasFocus && keysym == KeyReturn) SetPressed(true);
}

bool ButtonCustom::KeyChar(char ch) {
    if (!enabled) return false;
    // The click comes with the carriage return, that is on the key's release.
    if (hasFocus && ch == '\r') {
        SetPressed(false);
        if (!ExecuteCommand(this)) return true;
    }
    return Child::KeyChar(ch);
}

void ButtonCustom::LostFocus() {
    pressed_ = false;
    Control::LostFocus();
}

void ButtonCustom::Paint() {
    if (!MayPaint(*this)) return;
    const ControlArea a = AreaInForm(*this);
    GraphicsContext gc(GetForm());
    const Colour background = EffectiveBackColor();
    FillArea(gc, a, background);
    if (pressed_) {
        DrawSunken(gc, a);
    } else {
        DrawRaised(gc, a);
    }
    // Too small for anything inside its bevel.
    if (!a.HasInside()) return;
    if (hasFocus && enabled && !pressed_) {
        const int x = a.x;
        const int y = a.y;
        const int w = a.w;
        const int h = a.h;
        DrawDashed(gc, foreColor_,
                   {{x + 4, y + 3, x + w - 5, y + 3},
                    {x + 4, y + h - 4, x + 4, y + 2},
                    {x + w - 5, y + 3, x + w - 5, y + h - 3},
                    {x + 4, y + h - 4, x + w - 5, y + h - 4}});
    }
    if (!contentHidden_) DrawContent(gc, a.x, a.y, a.w, a.h, background);
}

void ButtonCustom::DrawContent(GraphicsContext& gc, int x, int y, int w, int h, Colour background) {
    const Colour captionColour = enabled ? foreColor_ : DisabledTextColour;
    XImage* icon = !enabled && disabledImage_ != nullptr ? disabledImage_ : image_;
    if (icon == nullptr) {
        if (w - 12 < 1) return;
        gc.DrawText(x + 6, y + 4, w - 12, h - 8, text, captionColour, background, AlignCenter);
        return;
    }
    if (text.empty()) {
        gc.PutImage(x + (w - icon->width) / 2, y + (h - icon->height) / 2, icon->width,
                    icon->height, icon);
        return;
    }
    // The caption keeps to the room right of the icon, inside the bevel.
    if (w - icon->width - 16 >= 1)
        gc.DrawText(x + icon->width + 10, y + 4, w - icon->width - 16, h - 8, text, captionColour,
                    background, AlignLeft);
    gc.PutImage(x + 8, y + (h - icon->height) / 2, icon->width, icon->height, icon);
}

}  // namespace lumetra
