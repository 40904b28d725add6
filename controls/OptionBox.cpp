// The option box's rows, their painting, and the choice by click or key.
#include "lumetra/controls/OptionBox.h"

#include <algorithm>

#include "lumetra/controls/ControlPaint.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

OptionBox::OptionBox(GUIElement* parentElement) : Control(parentElement) {
    elementKind = "optionbox";
    width = 80;
    height = 30;
    autoRepaint = true;
    showsFocus_ = true;
}

bool OptionBox::SetSelectedIndex(int32_t i) {
    i = std::max(i, 0);
    if (i >= GetOptionCount()) return false;
    selectedIndex = i;
    Paint();
    return true;
}

bool OptionBox::RemoveOption(int32_t i) {
    const int32_t count = GetOptionCount();
    if (i < 0 || i >= count) return false;
    captions_.erase(captions_.begin() + i);
    values_.erase(values_.begin() + i);
    // The selection stays inside the shorter list.
    if (selectedIndex >= count - 1) --selectedIndex;
    Paint();
    return true;
}

void OptionBox::AddOption(const std::string& caption, const std::string& value) {
    captions_.push_back(caption);
    values_.push_back(value);
    Paint();
}

std::string OptionBox::At(const std::vector<std::string>& list, int32_t i) {
    if (i < 0 || list.empty()) return {};
    return list[std::min(static_cast<size_t>(i), list.size() - 1)];
}

bool OptionBox::ClearOptions() {
    captions_.clear();
    values_.clear();
    return true;
}

void OptionBox::SelectFirst() {
    if (GetOptionCount() == 0) return;
    selectedIndex = 0;
    Paint();
}

void OptionBox::Enable(bool on) { SetAndPaint(enabled, on); }

void OptionBox::SetTextColor(Colour c) { SetAndPaint(textColor, c); }

bool OptionBox::Choose(int32_t i) {
    selectedIndex = i;
    Paint();
    return ExecuteCommand(this);
}

void OptionBox::MouseUp(PackedPoint p) {
    const int32_t count = GetOptionCount();
    if (enabled && count > 0) {
        const int32_t row = std::max(0, (PointY(p) - PointY(PositionInForm())) / kRowHeight);
        if (!Choose(std::min(row, count - 1))) return;
    }
    Child::MouseUp(p);
}

void OptionBox::KeyDown(uint32_t keysym) {
    const int32_t count = GetOptionCount();
    // Without options there is nothing to move between.
    if (!enabled || !hasFocus || count == 0) return;
    const bool inList = selectedIndex >= 0 && selectedIndex < count;
    if (keysym == lumetra::KeyDown) {
        Choose(inList && selectedIndex < count - 1 ? selectedIndex + 1 : 0);
    } else if (keysym == lumetra::KeyUp) {
        Choose(inList && selectedIndex > 0 ? selectedIndex - 1 : count - 1);
    }
}

bool OptionBox::KeyChar(char ch) {
    const ElementWatch alive(this);
    if (enabled && hasFocus && ch == ' ') KeyDown(lumetra::KeyDown);
    return alive ? Child::KeyChar(ch) : true;
}

void OptionBox::Paint() {
    if (!MayPaint(*this)) return;
    const int32_t count = GetOptionCount();
    height = std::max(height, count * kRowHeight);
    const ControlArea a = AreaInForm(*this);
    const Colour back = EffectiveBackColor();
    const Colour fore = enabled ? textColor : DisabledTextColour;
    GraphicsContext gc(GetForm());
    FillArea(gc, a, back);
    if (!a.HasInside()) return;
    const int x = a.x;
    const int tw = a.w - 30;
    const int pictureWidth = std::min(StatePictures::kSize, a.w - 2);
    for (int32_t i = 0; i < count; ++i) {
        const int yr = a.y + kRowHeight * i;
        // Black around the circle is left out, so the background shows there.
        gc.PutImageTransparent(x + 1, yr + 6, pictureWidth, StatePictures::kSize,
                               pictures_.For(this, enabled, i == selectedIndex), 0x000000);
        // One pixel less than a row, so that the last row's text box stays
        // inside the control.
        if (tw >= 1)
            gc.DrawText(x + 28, yr + 1, tw, kRowHeight - 1, captions_[static_cast<size_t>(i)], fore,
                        back, AlignLeft);
    }
    if (hasFocus && enabled && count > 0 && tw >= 1) {
        // The selected row carries the focus mark, the first one while nothing is selected.
        const int yr =
            a.y + kRowHeight * (selectedIndex >= 0 && selectedIndex < count ? selectedIndex : 0);
        const int left = x + 23 + 2;
        const int right = x + 23 + tw + 1;
        DrawDashed(gc, textColor,
                   {{left, yr + 2, right, yr + 2},
                    {left, yr + 25, left, yr + 1},
                    {right, yr, right, yr + 25},
                    {left, yr + 25, right, yr + 25}});
    }
}

}  // namespace lumetra
