#include "lumetra/game/FormMsgBox.h"

#include <algorithm>

#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/controls/CellControl.h"
#include "lumetra/core/Application.h"
#include "lumetra/core/FormOf.h"
#include "lumetra/core/Screen.h"

namespace lumetra {

namespace {

constexpr int32_t kWidth = 250;
constexpr int32_t kHeight = 150;

// The command of both buttons: the box they sit on handles the press.
void OnButton(GUIElement* sender) {
    if (auto* box = FormOf<FormMsgBox>(sender)) box->HandleClick(sender);
}

FormMsgBox* Open(int32_t id, MsgBoxKind kind, Form* owner, const std::string& text,
                 const std::string& caption) {
    if (auto* old = dynamic_cast<FormMsgBox*>(Application::currentMessageBox.get())) old->Retire();
    // Not deleted here: this may well run inside the old box's own handlers.
    Application::DeleteLater(std::move(Application::currentMessageBox));
    if (owner == nullptr && !Application::forms.empty())
        owner = static_cast<Form*>(Application::forms.front());
    Screen* screen = owner != nullptr ? owner->GetScreen() : Screen::Current();
    auto box = std::make_unique<FormMsgBox>(id, kind, screen, owner, caption, text);
    FormMsgBox* shown = box.get();
    Application::currentMessageBox = std::move(box);
    return shown;
}

}  // namespace

FormMsgBox* ShowMessage(Form* owner, const std::string& text, const std::string& caption) {
    return Open(0, MsgBoxKind::Information, owner, text, caption);
}

FormMsgBox* ShowQuestion(int32_t id, Form* owner, const std::string& text,
                         const std::string& caption) {
    return Open(id, MsgBoxKind::Question, owner, text, caption);
}

FormMsgBox::FormMsgBox(int32_t id, MsgBoxKind boxKind, Screen* s, Form* ownerForm,
                       const std::string& caption, const std::string& text)
    : Form(0, true), message(text), kind(boxKind), dialogId(id), owner(ownerForm) {
    if (s != nullptr) SetScreen(s);
    parent = owner;
    hold.Hold(owner, this);
    SetSize(kWidth, kHeight);
    if (owner != nullptr) {
        const PackedPoint at = owner->GetPosition();
        SetLocation(PointX(at) + (owner->GetWidth() - kWidth) / 2,
                    PointY(at) + (owner->GetHeight() - kHeight) / 2);
    }
    SetTitle(caption);
    SetOnLoad([](GUIElement* self, uint64_t) { static_cast<FormMsgBox*>(self)->HandleLoad(); });
    SetOnQueryClose(
        [](GUIElement* self) { return static_cast<FormMsgBox*>(self)->HandleQueryClose(); });
    SetOnClose([](GUIElement* self) { static_cast<FormMsgBox*>(self)->HandleClose(); });
    SetOnKeyChar([](GUIElement*, char) { return true; });
    SetBackColor(0xAAAAAA);
    Create();
    // A box without a window can never be answered: its owner must not stay
    // disabled for good.
    if (!IsCreated()) ReleaseOwner();
}

FormMsgBox::~FormMsgBox() {
    DestroyWindow();
    secondButton.reset();
    firstButton.reset();
    label.reset();
    hold.Forget();
}

void FormMsgBox::Init(int32_t id, MsgBoxKind boxKind, const std::string& caption,
                      const std::string& text) {
    dialogId = id;
    kind = boxKind;
    SetTitle(caption);
    SetMessage(text);
}

void FormMsgBox::SetMessage(const std::string& text) {
    message = text;
    if (IsCreated() && label) label->SetText(text);
}

void FormMsgBox::HandleLoad() {
    const int32_t w = GetWidth(), h = GetHeight();
    label = std::make_unique<CellControl>(this);
    label->SetBorder(true);
    label->SetBackColor(0xB7B7B7);
    label->SetTextColor(0x000000);
    label->SetText(message);
    label->SetSize(w - 20, h - 60);
    label->SetLocation(10, 10);
    label->Create();

    firstButton = std::make_unique<ButtonCustom>(this, kind == MsgBoxKind::Question ? "YES" : "OK");
    firstButton->SetSize(110, 28);
    firstButton->SetLocation(w - 120, h - 40);
    firstButton->SetCommand(OnButton);
    firstButton->Create();

    secondButton = std::make_unique<ButtonCustom>(this, "NO");
    secondButton->SetSize(110, 28);
    secondButton->SetLocation(10, h - 40);
    secondButton->SetCommand(OnButton);
    secondButton->Create();
    if (kind == MsgBoxKind::Information) secondButton->Hide();
}

// The owner's active dialog stays pointing here: it is consulted only while
// the owner is disabled, and the next box replaces it.
void FormMsgBox::ReleaseOwner() { hold.Release(false); }

bool FormMsgBox::HandleQueryClose() {
    // The owner's active dialog stays pointing here: it is consulted only
    // while the owner is disabled, and the next box replaces it.
    ReleaseOwner();
    return true;
}

void FormMsgBox::HandleClose() {
    if (Application::IsLiveForm(owner)) owner->DialogResult(dialogId, result);
}

void FormMsgBox::HandleClick(GUIElement* sender) {
    // Answered already: the window is gone.
    if (!IsCreated() || sender == nullptr) return;
    if (!HandleQueryClose()) return;
    if (firstButton && sender->GetId() == firstButton->GetId()) {
        result = kind == MsgBoxKind::Question ? MsgBoxYes : MsgBoxOk;
    } else if (secondButton && sender->GetId() == secondButton->GetId()) {
        result = MsgBoxNo;
    }
    DestroyWindow();
    Close();
}

void FormMsgBox::Retire() {
    hold.Release(true);
    DestroyWindow();
}

}  // namespace lumetra
