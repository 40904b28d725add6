// The registry: every GUI element, form and timer of the process in
// construction order, and the lookups over them.
#include "lumetra/core/Application.h"

#include <X11/Xlib.h>

#include <algorithm>

#include "lumetra/core/Form.h"
#include "lumetra/core/GUIElement.h"
#include "lumetra/core/Log.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

namespace {

bool RemoveFirst(std::vector<GUIElement*>& list, GUIElement* e) {
    auto it = std::find(list.begin(), list.end(), e);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

bool IsChildOf(GUIElement* e, uint32_t parentId) {
    return e->IsChild() && e->GetParent() != nullptr && e->GetParent()->GetId() == parentId;
}

}  // namespace

void Application::AddElement(GUIElement* e) { elements.push_back(e); }

void Application::AddForm(GUIElement* e) {
    if (e->GetKind() == "form") forms.push_back(e);
}

void Application::AddTimer(GUIElement* e) {
    if (e->GetKind() == "timer") timers.push_back(e);
}

void Application::RemoveWinForm(GUIElement* e) {
    if (e->GetKind() == "form") {
        RemoveWindow(e);
    } else if (e->GetKind() == "timer") {
        RemoveTimer(e);
    }
    if (focusedElement == e) focusedElement = nullptr;
    if (mainForm == e) mainForm = nullptr;
    // What it held outlives it only as an orphan, never with a dangling parent.
    for (GUIElement* child : elements) {
        if (child->parent == e) child->parent = nullptr;
    }
    if (!RemoveFirst(elements, e)) {
        Log(" NON TROVATO! Application::RemoveWinForm = " + e->GetKind() + " size " +
            IntToString(static_cast<int64_t>(elements.size())) + " id " + IntToString(e->GetId()));
    }
}

void Application::RemoveWindow(GUIElement* e) {
    if (!RemoveFirst(forms, e)) {
        Log(" NON TROVATO! Application::RemoveWindow = " + e->GetKind() + " lx " +
            IntToString(static_cast<int64_t>(forms.size())) + " id " + IntToString(e->GetId()));
    }
}

void Application::RemoveTimer(GUIElement* e) {
    if (!RemoveFirst(timers, e)) {
        Log(" NON TROVATO! Application::RemoveWindow = " + e->GetKind() + " lx " +
            IntToString(static_cast<int64_t>(timers.size())) + " id " + IntToString(e->GetId()));
    }
}

void Application::RemoveChildren(uint32_t parentId) {
    // GetChildren lists the controls inside panels already, right after
    // their panel: each is removed once. Menus are not walked into by it.
    for (GUIElement* child : GetChildren(parentId)) {
        if (child->GetKind() == "menubar") {
            for (GUIElement* e : GetChildren(child->GetId())) {
                if (e->GetKind() == "menu") {
                    for (GUIElement* item : GetChildren(e->GetId())) RemoveWinForm(item);
                }
                RemoveWinForm(e);
            }
        }
        RemoveWinForm(child);
    }
}

Form* Application::FindFormByWindow(Window w) {
    for (GUIElement* f : forms) {
        auto* form = static_cast<Form*>(f);
        if (form->GetWindow() == w) return form;
    }
    return nullptr;
}

GUIElement* Application::FindElementById(uint32_t id) {
    for (GUIElement* e : elements) {
        if (e->GetId() == id) return e;
    }
    return nullptr;
}

GUIElement* Application::FindChildAt(uint32_t parentId, PackedPoint p) {
    // A copy: a lookup never changes the registry, but it must not be
    // confused by an element constructed while it walks.
    const std::vector<GUIElement*> all = elements;
    for (GUIElement* e : all) {
        if (!e->IsChild() || !e->IsCreated() || !e->IsVisible() || !e->IsEnabled() ||
            !IsChildOf(e, parentId))
            continue;
        if (e->GetKind() != "panel") {
            if (e->ContainsPoint(p)) return e;
            continue;
        }
        const PackedPoint origin = e->GetPosition();
        if (GUIElement* found = FindChildAt(
                e->GetId(), PackPoint(PointX(p) - PointX(origin), PointY(p) - PointY(origin)))) {
            return found;
        }
    }
    return nullptr;
}

std::vector<GUIElement*> Application::GetChildren(uint32_t parentId) {
    std::vector<GUIElement*> out;
    for (GUIElement* e : elements) {
        if (!IsChildOf(e, parentId)) continue;
        out.push_back(e);
        if (e->GetKind() == "panel") {
            std::vector<GUIElement*> inner = GetChildren(e->GetId());
            out.insert(out.end(), inner.begin(), inner.end());
        }
    }
    return out;
}

bool Application::IsLiveForm(const Form* form) {
    return form != nullptr && std::find(forms.begin(), forms.end(), form) != forms.end();
}

Form* Application::GetParentForm(GUIElement* e) {
    for (GUIElement* p = e ? e->GetParent() : nullptr; p != nullptr; p = p->GetParent()) {
        if (p->GetKind() == "form") return static_cast<Form*>(p);
    }
    return nullptr;
}

PackedPoint Application::GetOffsetInForm(GUIElement* e, int32_t x, int32_t y) {
    for (GUIElement* p = e->GetParent(); p != nullptr && p->GetKind() != "form";
         p = p->GetParent()) {
        const PackedPoint at = p->GetPosition();
        x += PointX(at);
        y += PointY(at);
    }
    return PackPoint(x, y);
}

void Application::DestroyAllForms() {
    const std::vector<GUIElement*> all = elements;
    for (GUIElement* e : all) {
        if (e->GetKind() == "form" && e->IsCreated()) static_cast<Form*>(e)->DestroyWindow();
    }
}

void Application::ResetFocus() {
    GUIElement* old = focusedElement;
    focusedElement = nullptr;
    if (old != nullptr) old->LostFocus();
}

bool Application::IsKeyDown(int code) { return code >= 0 && code <= 255 && keyState[code]; }

void Application::Flush(Display* d) {
    if (d != nullptr) XFlush(d);
}

}  // namespace lumetra
