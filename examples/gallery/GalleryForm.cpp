#include "GalleryForm.h"

#include <lumetra/controls/ButtonCustom.h>
#include <lumetra/controls/CellControl.h>
#include <lumetra/controls/CheckBox.h>
#include <lumetra/controls/OptionBox.h>
#include <lumetra/controls/PanelChildren.h>
#include <lumetra/controls/ProgressBar.h>
#include <lumetra/controls/Slider.h>
#include <lumetra/controls/TextBoxCustom.h>
#include <lumetra/core/Application.h>
#include <lumetra/core/FormOf.h>
#include <lumetra/util/Strings.h>

namespace lumetra {

namespace {

// The one command handler of every button, check box and option box.
void OnCommand(GUIElement* sender) {
    if (auto* gallery = FormOf<GalleryForm>(sender)) gallery->HandleCommand(sender);
}

void OnSpeed(Slider* slider, int32_t value) {
    if (auto* gallery = FormOf<GalleryForm>(slider)) gallery->HandleSpeed(value);
}

template <typename Control>
bool Is(GUIElement* sender, const std::unique_ptr<Control>& control) {
    return control && sender->GetId() == control->GetId();
}

std::unique_ptr<PanelChildren> MakePanel(GUIElement* parent, const std::string& caption, int32_t x,
                                         int32_t y, int32_t w, int32_t h) {
    auto panel = std::make_unique<PanelChildren>(parent);
    panel->SetText(caption);
    panel->SetLocation(x, y);
    panel->SetSize(w, h);
    return panel;
}

std::unique_ptr<ButtonCustom> MakeButton(GUIElement* parent, const std::string& caption, int32_t x,
                                         int32_t y) {
    auto button = std::make_unique<ButtonCustom>(parent, caption);
    button->SetLocation(x, y);
    button->SetSize(110, 30);
    button->SetCommand(OnCommand);
    return button;
}

std::unique_ptr<CheckBox> MakeCheckBox(GUIElement* parent, const std::string& caption, int32_t y,
                                       bool checked) {
    auto box = std::make_unique<CheckBox>(parent, caption);
    box->SetLocation(12, y);
    box->SetSize(110, 26);
    box->SetChecked(checked);
    box->SetCommand(OnCommand);
    return box;
}

std::unique_ptr<ProgressBar> MakeBar(GUIElement* parent, int32_t y, int32_t value) {
    auto bar = std::make_unique<ProgressBar>(parent, 0, 100);
    bar->SetLocation(290, y);
    bar->SetSize(210, 20);
    bar->SetValue(value);
    return bar;
}

std::unique_ptr<CellControl> MakeCell(GUIElement* parent, const std::string& text, int32_t x,
                                      int32_t y, int32_t w) {
    auto cell = std::make_unique<CellControl>(parent);
    cell->SetLocation(x, y);
    cell->SetSize(w, 24);
    cell->SetText(text);
    return cell;
}

}  // namespace

GalleryForm::GalleryForm(Screen* s) {
    SetScreen(s);
    SetSize(Width, Height);
    SetTitle("Lumetra control gallery");
    SetOnLoad([](GUIElement* self, uint64_t) { static_cast<GalleryForm*>(self)->HandleLoad(); });
    SetOnQueryClose(
        [](GUIElement* self) { return static_cast<GalleryForm*>(self)->HandleQueryClose(); });
    Create();
}

GalleryForm::~GalleryForm() { DestroyWindow(); }

void GalleryForm::HandleLoad() {
    // Creation order is Tab order: the panels' controls first, the cells last.
    BuildButtons();
    BuildChoices();
    BuildValues();
    BuildCells();
    BuildTextBoxes();
    // The window opens with the focus on its "Focused" button.
    Application::focusedElement = focusedButton.get();
    focusedButton->GotFocus();
}

void GalleryForm::BuildButtons() {
    buttonsPanel = MakePanel(this, "Buttons", 10, 10, 250, 112);
    buttonsPanel->SetSunken(true);
    enabledButton = MakeButton(buttonsPanel.get(), "Enabled", 12, 26);
    disabledButton = MakeButton(buttonsPanel.get(), "Disabled", 128, 26);
    disabledButton->Enable(false);
    focusedButton = MakeButton(buttonsPanel.get(), "Focused", 12, 68);
    colouredButton = MakeButton(buttonsPanel.get(), "Coloured", 128, 68);
    colouredButton->SetBackColor(0xF0E2B6);
    colouredButton->SetForeColor(0x8A2000);
    buttonsPanel->Show();
}

void GalleryForm::BuildChoices() {
    choicesPanel = MakePanel(this, "Choices", 270, 10, 260, 112);
    choicesPanel->SetSunken(false);
    soundBox = MakeCheckBox(choicesPanel.get(), "Sound", 22, true);
    musicBox = MakeCheckBox(choicesPanel.get(), "Music", 50, false);
    hintsBox = MakeCheckBox(choicesPanel.get(), "Hints", 78, true);
    hintsBox->Enable(false);
    levelOptions = std::make_unique<OptionBox>(choicesPanel.get());
    levelOptions->SetLocation(130, 24);
    levelOptions->SetSize(120, 78);
    levelOptions->AddOption("Easy", "3");
    levelOptions->AddOption("Normal", "4");
    levelOptions->AddOption("Hard", "6");
    levelOptions->SetSelectedIndex(1);
    levelOptions->SetCommand(OnCommand);
    choicesPanel->Show();
}

void GalleryForm::BuildValues() {
    valuesPanel = MakePanel(this, "Values", 10, 132, 520, 130);
    valuesPanel->SetOutline(true);
    speedSlider = std::make_unique<Slider>(valuesPanel.get(), false, 0, 10);
    speedSlider->SetLocation(10, 24);
    speedSlider->SetSize(200, 36);
    speedSlider->SetValue(5);
    speedSlider->SetOnValueChanged(OnSpeed);
    lockedSlider = std::make_unique<Slider>(valuesPanel.get(), false, 0, 4);
    lockedSlider->SetLocation(10, 78);
    lockedSlider->SetSize(200, 36);
    lockedSlider->SetValue(3);
    lockedSlider->Enable(false);
    volumeSlider = std::make_unique<Slider>(valuesPanel.get(), true, 1, 5);
    volumeSlider->SetLocation(225, 24);
    volumeSlider->SetSize(40, 92);
    volumeSlider->SetValue(4);
    quarterBar = MakeBar(valuesPanel.get(), 30, 25);
    speedBar = MakeBar(valuesPanel.get(), 60, 50);
    fullBar = MakeBar(valuesPanel.get(), 90, 100);
    valuesPanel->Show();
}

void GalleryForm::BuildCells() {
    leftCell = MakeCell(this, "Left aligned", 10, 274, 250);
    leftCell->SetAlignment(AlignLeft);
    leftCell->Show();
    centredCell = MakeCell(this, "Centred, framed", 10, 304, 250);
    centredCell->SetBackColor(0xFFFFFF);
    centredCell->SetBorder(true);
    centredCell->Show();
    highlightedCell = MakeCell(this, "Right, highlighted", 10, 334, 250);
    highlightedCell->SetAlignment(AlignRight);
    highlightedCell->SetHighlighted(true);
    highlightedCell->Show();
    statusLine = MakeCell(this, "Click, press Tab, space or the arrow keys", 10, 380, 520);
    statusLine->SetSize(520, 26);
    statusLine->SetAlignment(AlignLeft);
    statusLine->SetBackColor(0xFFFFFF);
    statusLine->SetBorder(true);
    statusLine->Show();
}

// The text box in each mode, right of the cells: single line, digits and a
// date on the left; a password and three lines of wrapping text on the right.
void GalleryForm::BuildTextBoxes() {
    auto make = [this](const std::string& text, int32_t x, int32_t y, int32_t h) {
        auto box = std::make_unique<TextBoxCustom>(this, text);
        box->SetLocation(x, y);
        box->SetSize(127, h);
        return box;
    };
    singleLineBox = make("Single line", 270, 274, 24);
    digitsBox = make("2024", 270, 304, 24);
    digitsBox->SetNumericOnly(true);
    dateBox = make("12/03/2024", 270, 334, 24);
    dateBox->SetDateMode(true);
    passwordBox = make("secret", 403, 274, 24);
    passwordBox->SetPassword(true);
    multiLineBox = make("Multi-line\rtext wraps at the edge", 403, 304, 0);
    multiLineBox->SetSize(127, 6 + 3 * multiLineBox->GetLineHeight());
    multiLineBox->SetMultiLine(true);
    for (TextBoxCustom* box : {singleLineBox.get(), digitsBox.get(), dateBox.get(),
                               passwordBox.get(), multiLineBox.get()}) {
        box->Show();
    }
}

bool GalleryForm::HandleQueryClose() {
    Application::quitRequested = true;
    return true;
}

void GalleryForm::HandleCommand(GUIElement* sender) {
    if (Is(sender, enabledButton)) {
        ShowStatus("Enabled was clicked");
    } else if (Is(sender, focusedButton)) {
        ShowStatus("Focused was clicked");
    } else if (Is(sender, colouredButton)) {
        ShowStatus("Coloured was clicked");
    } else if (Is(sender, soundBox)) {
        ShowStatus(soundBox->IsChecked() ? "Sound on" : "Sound off");
    } else if (Is(sender, musicBox)) {
        ShowStatus(musicBox->IsChecked() ? "Music on" : "Music off");
    } else if (Is(sender, levelOptions)) {
        ShowStatus("Level: " + levelOptions->GetCaption(levelOptions->GetSelectedIndex()));
    }
}

void GalleryForm::HandleSpeed(int32_t value) {
    speedBar->SetValue(value * 10);
    ShowStatus("Speed: " + IntToString(value));
}

void GalleryForm::ShowStatus(const std::string& message) { statusLine->SetText(message); }

}  // namespace lumetra
