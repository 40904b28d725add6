// The way a form learns that one of its controls was activated: it stores one
// function in the control, and the control calls it with itself as sender.
#pragma once

namespace lumetra {

class GUIElement;

class CommandElement {
public:
    using CommandHandler = void (*)(GUIElement* sender);

    void SetCommand(CommandHandler h) { handler_ = h; }
    void ExecuteCommand(GUIElement* sender) {
        if (handler_ != nullptr) handler_(sender);
    }

private:
    CommandHandler handler_ = nullptr;
};

}  // namespace lumetra
