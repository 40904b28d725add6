// The game window. (Until the game exists: a plain 800 x 600 form.)
#pragma once

#include <string>

#include "core/Form.h"

namespace lumetra {

class FormMain : public Form {
public:
    FormMain(Screen* screen, const std::string& title);
};

}  // namespace lumetra
