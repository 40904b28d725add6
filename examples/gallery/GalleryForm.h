// One window holding every control of the toolkit in its typical states:
// enabled, disabled, focused, checked, a few slider and progress values, and
// panels with captions holding other controls. It is the toolkit's showcase
// (tools/gallery opens it; the screenshot in docs/ is taken of it) and the
// model of how a form is written:
//   - the constructor only sets the window up and installs handlers that
//     forward to the form's own virtual operations;
//   - the controls are made in the load handler, owned by the form;
//   - one command handler serves every control, and the form tells which one
//     fired by comparing element ids in a fixed order.
#pragma once

#include <lumetra/core/Form.h>

#include <memory>
#include <string>

namespace lumetra {

class ButtonCustom;
class CellControl;
class CheckBox;
class OptionBox;
class PanelChildren;
class ProgressBar;
class Slider;
class TextBoxCustom;

class GalleryForm : public Form {
public:
    static constexpr int32_t Width = 540;
    static constexpr int32_t Height = 420;

    explicit GalleryForm(Screen* s);
    ~GalleryForm() override;

    // Builds the controls, once, while the window is created.
    virtual void HandleLoad();
    // Closing the gallery ends the program.
    virtual bool HandleQueryClose();
    // A button, check box or option box was activated.
    virtual void HandleCommand(GUIElement* sender);
    // The speed slider moved: the middle progress bar follows it.
    virtual void HandleSpeed(int32_t value);

    // What the gallery shows, for tests and benchmarks.
    ButtonCustom* GetEnabledButton() const { return enabledButton.get(); }
    ButtonCustom* GetFocusedButton() const { return focusedButton.get(); }
    Slider* GetSpeedSlider() const { return speedSlider.get(); }
    ProgressBar* GetSpeedBar() const { return speedBar.get(); }
    CellControl* GetStatusLine() const { return statusLine.get(); }

private:
    void BuildButtons();
    void BuildChoices();
    void BuildValues();
    void BuildCells();
    void BuildTextBoxes();
    void ShowStatus(const std::string& message);

    std::unique_ptr<PanelChildren> buttonsPanel;
    std::unique_ptr<ButtonCustom> enabledButton;
    std::unique_ptr<ButtonCustom> disabledButton;
    std::unique_ptr<ButtonCustom> focusedButton;
    std::unique_ptr<ButtonCustom> colouredButton;

    std::unique_ptr<PanelChildren> choicesPanel;
    std::unique_ptr<CheckBox> soundBox;
    std::unique_ptr<CheckBox> musicBox;
    std::unique_ptr<CheckBox> hintsBox;
    std::unique_ptr<OptionBox> levelOptions;

    std::unique_ptr<PanelChildren> valuesPanel;
    std::unique_ptr<Slider> speedSlider;
    std::unique_ptr<Slider> lockedSlider;
    std::unique_ptr<Slider> volumeSlider;
    std::unique_ptr<ProgressBar> quarterBar;
    std::unique_ptr<ProgressBar> speedBar;
    std::unique_ptr<ProgressBar> fullBar;

    std::unique_ptr<CellControl> leftCell;
    std::unique_ptr<CellControl> centredCell;
    std::unique_ptr<CellControl> highlightedCell;
    std::unique_ptr<CellControl> statusLine;

    std::unique_ptr<TextBoxCustom> singleLineBox;
    std::unique_ptr<TextBoxCustom> digitsBox;
    std::unique_ptr<TextBoxCustom> dateBox;
    std::unique_ptr<TextBoxCustom> passwordBox;
    std::unique_ptr<TextBoxCustom> multiLineBox;
};

}  // namespace lumetra
