// The toolkit's small modal message box: a 250 x 150 dialog centred over its
// owner, with the message in a grey cell and either an OK button or YES and
// NO. Opening it returns at once; the owner is disabled while it is open and
// learns the answer through its DialogResult(id, result).
//
// At most one box exists at a time: the application holds it as
// currentMessageBox. A box replaced while its own handlers run (an owner
// whose DialogResult opens the next box) is handed to the application to be
// deleted once control is back in the event loop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "lumetra/core/DialogOwner.h"
#include "lumetra/core/Form.h"

namespace lumetra {

class ButtonCustom;
class CellControl;

enum class MsgBoxKind : uint8_t { kInformation = 0, kQuestion = 1 };

using MsgBoxResult = int32_t;
constexpr MsgBoxResult kMsgBoxNoAnswer = 0;  // the window was closed by the window manager
constexpr MsgBoxResult kMsgBoxOk = 1;
constexpr MsgBoxResult kMsgBoxYes = 3;
constexpr MsgBoxResult kMsgBoxNo = 4;

class FormMsgBox : public Form {
public:
    FormMsgBox(int32_t id, MsgBoxKind kind, Screen* screen, Form* owner, const std::string& caption,
               const std::string& text);
    ~FormMsgBox() override;

    virtual void Init(int32_t id, MsgBoxKind kind, const std::string& caption,
                      const std::string& text);
    virtual void HandleLoad();
    // Gives the owner back its input; always answers true.
    virtual bool HandleQueryClose();
    // Tells the owner the result.
    virtual void HandleClose();
    virtual void HandleClick(GUIElement* sender);
    virtual void SetMessage(const std::string& text);

    int32_t GetDialogId() const { return dialogId_; }
    MsgBoxKind GetKind() const { return kind_; }
    const std::string& GetMessage() const { return message_; }
    Form* GetOwner() const { return owner_; }

    // Closes the window of a box that is being replaced and gives its owner
    // back, without telling the owner any result.
    void Retire();

private:
    void ReleaseOwner();

    std::unique_ptr<CellControl> label_;
    std::unique_ptr<ButtonCustom> firstButton_;
    std::unique_ptr<ButtonCustom> secondButton_;
    std::string message_;
    MsgBoxKind kind_;
    int32_t dialogId_;
    MsgBoxResult result_ = kMsgBoxNoAnswer;
    Form* owner_;
    // The owner is disabled on this box's account.
    DialogOwner hold_;
};

// Both destroy the current box (without telling its owner), open a new one
// over the owner (the main window when none is given) and return at once.
// The box stays the application's; the pointer is for looking only.
FormMsgBox* ShowMessage(Form* owner, const std::string& text, const std::string& caption);
FormMsgBox* ShowQuestion(int32_t id, Form* owner, const std::string& text,
                         const std::string& caption);

// Whether the pointer is a form that still exists (is registered).

}  // namespace lumetra
