#include "game/FormMain.h"

#include "core/Application.h"

namespace lumetra {

FormMain::FormMain(Screen* s, const std::string& title) {
    if (s != nullptr) SetScreen(s);
    SetSize(800, 600);
    SetTitle(title);
    SetBackColor(0xAAAAAA);
    Create();
    if (Application::mainForm == nullptr) Application::mainForm = this;
}

}  // namespace lumetra
