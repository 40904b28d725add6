// The toolkit's push button: a raised bevelled rectangle with a caption and an
// optional icon. It looks pressed while the mouse button or Return is held on
// it and reports the click to its form on the release.
#pragma once

#include <string>

#include "lumetra/controls/CommandElement.h"
#include "lumetra/controls/Control.h"
#include "lumetra/core/XTypes.h"

namespace lumetra {

class GraphicsContext;

class ButtonCustom : public Control, public CommandElement {
public:
    ButtonCustom(GUIElement* parentElement, const std::string& caption);

    void SetText(const std::string& caption) override;
    void MouseUp(PackedPoint p) override;
    void MouseDown(PackedPoint p) override;
    void KeyDown(uint32_t keysym) override;
    bool KeyChar(char ch) override;
    void Paint() override;
    void LostFocus() override;

    virtual void Enable(bool on);
    virtual void SetForeColor(Colour c) { foreColor_ = c; }

    // The images stay the caller's; the button only draws them.
    void SetImage(XImage* img);
    void SetDisabledImage(XImage* img);
    void SetContentHidden(bool hidden);

    Colour GetForeColor() const { return foreColor_; }
    bool IsPressed() const { return pressed_; }

private:
    void SetPressed(bool on);
    void DrawContent(GraphicsContext& gc, int x, int y, int w, int h, Colour background);

    Colour foreColor_ = 0x000000;
    bool pressed_ = false;
    bool contentHidden_ = false;
    XImage* image_ = nullptr;
    XImage* disabledImage_ = nullptr;
};

}  // namespace lumetra
