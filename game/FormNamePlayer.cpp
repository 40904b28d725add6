// The name dialog: its prompt, name box and OK, and the name it records.
#include "lumetra/game/FormNamePlayer.h"

#include "lumetra/controls/AlertSound.h"
#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/controls/CellControl.h"
#include "lumetra/controls/TextBoxCustom.h"
#include "lumetra/core/FormOf.h"
#include "lumetra/game/FormMsgBox.h"
#include "lumetra/game/Sound.h"

namespace lumetra {

namespace {

constexpr int32_t kWidth = 250;
constexpr int32_t kHeight = 115;
constexpr int32_t kNameLength = 10;

void OnOk(GUIElement* sender) {
    if (auto* form = FormOf<FormNamePlayer>(sender)) form->HandleClick(sender);
}

}  // namespace

FormNamePlayer::FormNamePlayer(const std::string& title) : FormNamePlayer(nullptr, title) {}

FormNamePlayer::FormNamePlayer(Form* ownerForm, const std::string& title)
    : Form(0, true), owner(ownerForm) {
    playerName.clear();
    // The name box refuses keys with the game's own alert.
    SetAlertFunction(&Beep);
    if (owner != nullptr) {
        SetScreen(owner->GetScreen());
        hold_.Hold(owner, this);
    }
    SetSize(kWidth, kHeight);
    SetTitle(title);
    SetOnLoad([](GUIElement* self, uint64_t) { static_cast<FormNamePlayer*>(self)->HandleLoad(); });
    SetOnQueryClose(
        [](GUIElement* self) { return static_cast<FormNamePlayer*>(self)->HandleQueryClose(); });
    SetOnKeyChar([](GUIElement* self, char ch) {
        auto* form = FormOf<FormNamePlayer>(self);
        return form != nullptr ? form->HandleKeyChar(ch) : true;
    });
    SetOnResize([](GUIElement* self) { static_cast<FormNamePlayer*>(self)->HandleResize(); });
    SetOnKeyDown([](GUIElement* self, uint32_t keysym) {
        static_cast<FormNamePlayer*>(self)->HandleKeyDown(keysym);
    });
    SetOnKeyUp([](GUIElement* self, uint32_t keysym) {
        static_cast<FormNamePlayer*>(self)->HandleKeyUp(keysym);
    });
}

FormNamePlayer::~FormNamePlayer() {
    DestroyWindow();
    ReleaseOwner();
    okButton.reset();
    nameBox.reset();
    promptLabel.reset();
}

void FormNamePlayer::SetPrompt(const std::string& text) {
    prompt = text;
    if (IsCreated() && promptLabel) promptLabel->SetText(text);
}

void FormNamePlayer::Show() {
    Form::Show();
    if (!IsCreated()) ReleaseOwner();
}

void FormNamePlayer::HandleLoad() {
    const int32_t w = GetActualWidth();

    promptLabel = std::make_unique<CellControl>(this);
    promptLabel->SetText(prompt);
    promptLabel->SetAlignment(AlignCenter);
    promptLabel->SetSize(w, 14);
    promptLabel->SetLocation(0, 15);
    promptLabel->Create();

    nameBox = std::make_unique<TextBoxCustom>(this, "");
    nameBox->SetSize(w / 2, 20);
    nameBox->SetLocation(w / 4, 45);
    nameBox->SetMaxLength(kNameLength);
    nameBox->Create();

    okButton = std::make_unique<ButtonCustom>(this, "OK");
    okButton->SetSize(80, 28);
    okButton->SetLocation((w - 80) / 2, 80);
    okButton->SetCommand(OnOk);
    okButton->Create();

    nameBox->SetFocus();
}

void FormNamePlayer::ReleaseOwner() { hold_.Release(true); }

bool FormNamePlayer::HandleQueryClose() {
    FormHook2();
    ReleaseOwner();
    return true;
}

bool FormNamePlayer::HandleKeyChar(char ch) {
    if (ch == 13 || ch == 127) {
        HandleClick(okButton.get());
        return false;
    }
    return true;
}

void FormNamePlayer::HandleClick(GUIElement* sender) {
    if (sender == nullptr || !okButton || sender->GetId() != okButton->GetId() || !IsCreated())
        return;
    const std::string name = nameBox->GetText();
    if (name.empty()) {
        Beep();
        nameBox->SetFocus();
        return;
    }
    if (!HandleQueryClose()) return;
    playerName = name;
    DestroyWindow();
    Close();
}

}  // namespace lumetra
