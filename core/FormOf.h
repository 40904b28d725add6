// How a handler, given only its sender, reaches the form it works for: the
// form an element belongs to, as the type the caller expects.
#pragma once

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"

namespace lumetra {

// The element itself when it is a form, else the nearest form among its
// parents, else the fallback; null when that is none or is not a T.
template <typename T = Form>
T* FormOf(GUIElement* element, Form* fallback = nullptr) {
    if (element == nullptr) return nullptr;
    Form* form = element->GetKind() == "form" ? static_cast<Form*>(element)
                                              : Application::GetParentForm(element);
    if (form == nullptr) form = fallback;
    return dynamic_cast<T*>(form);
}

}  // namespace lumetra
