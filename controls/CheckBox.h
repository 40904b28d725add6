// A box with a caption that toggles between on and off, by a click or by a
// space typed while it has the focus, and reports every change to its form.
#pragma once

#include <string>

#include "lumetra/controls/CommandElement.h"
#include "lumetra/controls/Control.h"
#include "lumetra/controls/StatePictures.h"

namespace lumetra {

class CheckBox : public Control, public CommandElement {
public:
    CheckBox(GUIElement* parentElement, const std::string& caption);

    void SetText(const std::string& caption) override;
    void MouseUp(PackedPoint p) override;
    // A press does nothing: the box changes on the release.
    void MouseDown(PackedPoint) override {}
    void KeyDown(uint32_t) override {}
    bool KeyChar(char ch) override;
    void Paint() override;

    virtual void Enable(bool on);
    virtual void SetTextColor(Colour c);

    // Not reported as a change.
    void SetChecked(bool on);
    bool IsChecked() const { return checked; }

private:
    // A change made by the user: shown at once and reported. Answers whether
    // the box outlived its command.
    bool Toggle();

    bool checked = false;
    Colour textColor = 0x000000;
    StatePictures pictures_{CheckBoxPicture};
};

}  // namespace lumetra
