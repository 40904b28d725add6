// The way a form learns that one of its controls was activated: it stores one
// function in the control, and the control calls it with itself as sender.
#pragma once

#include "lumetra/core/GUIElement.h"

namespace lumetra {

class CommandElement {
public:
    using CommandHandler = void (*)(GUIElement* sender);

    void SetCommand(CommandHandler h) { handler_ = h; }
    // Runs the command; answers whether the sender outlived it (a command may
    // delete its own control, or the whole form).
    bool ExecuteCommand(GUIElement* sender) {
        const ElementWatch alive(sender);
        if (handler_ != nullptr) handler_(sender);
        return static_cast<bool>(alive);
    }

private:
    CommandHandler handler_ = nullptr;
};

}  // namespace lumetra
