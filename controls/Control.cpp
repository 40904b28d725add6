// How every control shows, hides, moves and resizes.
#include "lumetra/controls/Control.h"

namespace lumetra {

void Control::Replace(int32_t px, int32_t py, int32_t w, int32_t h) {
    const bool shown = created;
    if (shown) Hide();
    x = px;
    y = py;
    width = w;
    height = h;
    if (shown) Show();
}

void Control::SetSize(int32_t w, int32_t h) {
    if (w != width || h != height) Replace(x, y, w, h);
}

void Control::SetPosition(int32_t px, int32_t py) { Replace(px, py, width, height); }

void Control::Show() {
    Child::Show();
    Paint();
}

void Control::ShowWindow() { Show(); }

void Control::Hide() {
    if (!created) return;
    EraseArea(1);
    Child::Hide();
    created = false;
}

void Control::Create() { CreateControl(); }

void Control::GotFocus() {
    const ElementWatch alive(this);
    Child::GotFocus();
    if (alive && showsFocus_) PaintFocus();
}

void Control::LostFocus() {
    const ElementWatch alive(this);
    Child::LostFocus();
    if (alive && showsFocus_) PaintFocus();
}

}  // namespace lumetra
