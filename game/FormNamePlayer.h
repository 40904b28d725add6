// The small dialog that asks the player for a name: a prompt, a ten-character
// name box and OK. OK (or Enter, or Delete) with a name records it in
// playerName and closes the form; with an empty name it beeps and stays open.
// The owner is disabled while the form is open, and given back when the form
// closes, also when the window manager closes it without a name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "lumetra/core/DialogOwner.h"
#include "lumetra/core/Form.h"

namespace lumetra {

class ButtonCustom;
class CellControl;
class TextBoxCustom;

class FormNamePlayer : public Form {
public:
    // The name last accepted by a name form; emptied when one is constructed.
    static inline std::string playerName;

    FormNamePlayer(Form* ownerForm, const std::string& title);
    explicit FormNamePlayer(const std::string& title);
    ~FormNamePlayer() override;

    void SetPrompt(const std::string& text);
    // Creates the window on first use; a form that gets no window gives its
    // owner back at once, since nothing could ever close it.
    void Show() override;

    // Builds the prompt, the name box and OK.
    virtual void HandleLoad();
    // Gives the owner back its input (once); always answers true.
    virtual bool HandleQueryClose();
    virtual void HandleResize() {}
    // Enter or Delete presses OK.
    virtual bool HandleKeyChar(char ch);
    virtual void HandleKeyDown(uint32_t /*keysym*/) {}
    virtual void HandleKeyUp(uint32_t /*keysym*/) {}
    // OK: takes the name, or beeps when there is none.
    virtual void HandleClick(GUIElement* sender);

    Form* GetOwner() const { return owner; }

private:
    void ReleaseOwner();

    Form* owner = nullptr;
    // The owner is disabled on this form's account.
    DialogOwner hold_;
    std::unique_ptr<TextBoxCustom> nameBox;
    std::unique_ptr<CellControl> promptLabel;
    std::unique_ptr<ButtonCustom> okButton;
    std::string prompt;
};

}  // namespace lumetra
