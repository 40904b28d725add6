// A vertical list of captions of which one is selected, like a group of radio
// buttons in one control: choosing an option takes the choice away from the
// others. A click on a row or the cursor keys (and space) with the focus
// change the choice, and every change is reported to the form.
#pragma once

#include <string>
#include <vector>

#include "lumetra/controls/CommandElement.h"
#include "lumetra/controls/Control.h"
#include "lumetra/controls/StatePictures.h"

namespace lumetra {

class OptionBox : public Control, public CommandElement {
public:
    static constexpr int kRowHeight = 26;

    explicit OptionBox(GUIElement* parentElement);

    void MouseUp(PackedPoint p) override;
    // A press does nothing: the choice changes on the release.
    void MouseDown(PackedPoint) override {}
    void KeyDown(uint32_t keysym) override;
    bool KeyChar(char ch) override;
    void Paint() override;

    // -1 while nothing is selected.
    virtual int32_t GetSelectedIndex() { return selectedIndex; }
    // A negative index counts as 0; false for an index past the last option.
    virtual bool SetSelectedIndex(int32_t i);
    virtual bool RemoveOption(int32_t i);
    virtual void AddOption(const std::string& caption, const std::string& value);
    virtual int32_t GetOptionCount() { return static_cast<int32_t>(captions_.size()); }
    virtual std::string GetCaptionAt(int32_t i) { return GetCaption(i); }
    virtual std::string GetValueAt(int32_t i) { return GetValue(i); }
    // An index past the end gives the last option; a negative index (no
    // selection) or an empty list gives an empty string.
    virtual std::string GetCaption(int32_t i) { return At(captions_, i); }
    virtual std::string GetValue(int32_t i) { return At(values_, i); }
    // Removes nothing here; a subclass's RemoveOption is asked with -1.
    virtual bool RemoveSelectedOption() { return RemoveOption(-1); }
    // Leaves the selection and the display as they are until the next change.
    virtual bool ClearOptions();
    virtual void SelectFirst();
    virtual void Enable(bool on);
    virtual void SetTextColor(Colour c);

private:
    static std::string At(const std::vector<std::string>& list, int32_t i);
    // A change made by the user: shown at once and reported.
    bool Choose(int32_t i);

    std::vector<std::string> captions_;
    std::vector<std::string> values_;
    int32_t selectedIndex = -1;
    Colour textColor = 0x000000;
    StatePictures pictures_{OptionBoxPicture};
};

}  // namespace lumetra
