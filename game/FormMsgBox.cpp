// The message box: opening it over its owner, its buttons and its answer.
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
    return Open(0, MsgBoxKind::kInformation, owner, text, caption);
}

FormMsgBox* ShowQuestion(int32_t id, Form* owner, const std::string& text,
                         const std::string& caption) {
    return Open(id, MsgBoxKind::kQuestion, owner, text, caption);
}

FormMsgBox::FormMsgBox(int32_t id, MsgBoxKind boxKind, Screen* s, Form* ownerForm,
                       const std::string& caption, const std::string& text)
    : Form(0, true), message_(text), kind_(boxKind), dialogId_(id), owner_(ownerForm) {
    if (s != nullptr) SetScreen(s);
    parent = owner_;
    hold_.Hold(owner_, this);
    SetSize(kWidth, kHeight);
    if (owner_ != nullptr) {
        const PackedPoint at = owner_->GetPosition();
        SetLocation(PointX(at) + (owner_->GetWidth() - kWidth) / 2,
                    PointY(at) + (owner_->GetHeight() - kHeight) / 2);
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
    secondButton_.reset();
    firstButton_.reset();
    label_.reset();
    hold_.Forget();
}

void FormMsgBox::Init(int32_t id, MsgBoxKind boxKind, const std::string& caption,
                      const std::string& text) {
    dialogId_ = id;
    kind_ = boxKind;
    SetTitle(caption);
    SetMessage(text);
}

void FormMsgBox::SetMessage(const std::string& text) {
    message_ = text;
    if (IsCreated() && label_) label_->SetText(text);
}

void FormMsgBox::HandleLoad() {
    const int32_t w = GetWidth();
    const int32_t h = GetHeight();
    label_ = std::make_unique<CellControl>(this);
    label_->SetBorder(true);
    label_->SetBackColor(0xB7B7B7);
    label_->SetTextColor(0x000000);
    label_->SetText(message_);
    label_->SetSize(w - 20, h - 60);
    label_->SetLocation(10, 10);
    label_->Create();

    firstButton_ =
        std::make_unique<ButtonCustom>(this, kind_ == MsgBoxKind::kQuestion ? "YES" : "OK");
    firstButton_->SetSize(110, 28);
    firstButton_->SetLocation(w - 120, h - 40);
    firstButton_->SetCommand(OnButton);
    firstButton_->Create();

    secondButton_ = std::make_unique<ButtonCustom>(this, "NO");
    secondButton_->SetSize(110, 28);
    secondButton_->SetLocation(10, h - 40);
    secondButton_->SetCommand(OnButton);
    secondButton_->Create();
    if (kind_ == MsgBoxKind::kInformation) secondButton_->Hide();
}

// The owner's active dialog stays pointing here: it is consulted only while
// the owner is disabled, and the next box replaces it.
void FormMsgBox::ReleaseOwner() { hold_.Release(false); }

bool FormMsgBox::HandleQueryClose() {
    // The owner's active dialog stays pointing here: it is consulted only
    // while the owner is disabled, and the next box replaces it.
    ReleaseOwner();
    return true;
}

void FormMsgBox::HandleClose() {
    if (Application::IsLiveForm(owner_)) owner_->DialogResult(dialogId_, result_);
}

void FormMsgBox::HandleClick(GUIElement* sender) {
    // Answered already: the window is gone.
    if (!IsCreated() || sender == nullptr) return;
    if (!HandleQueryClose()) return;
    if (firstButton_ && sender->GetId() == firstButton_->GetId()) {
        result_ = kind_ == MsgBoxKind::kQuestion ? kMsgBoxYes : kMsgBoxOk;
    } else if (secondButton_ && sender->GetId() == secondButton_->GetId()) {
        result_ = kMsgBoxNo;
    }
    DestroyWindow();
    Close();
}

void FormMsgBox::Retire() {
    hold_.Release(true);
    DestroyWindow();
}

}  // namespace lumetra
