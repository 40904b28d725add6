// The event loop: it waits for X events and timer expiries, and routes each
// event to its form and from there to the control under the pointer or with
// the keyboard focus.
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"
#include "lumetra/core/GUIElement.h"
#include "lumetra/core/Log.h"
#include "lumetra/core/Screen.h"

namespace lumetra {

void Application::Run(Form* main) {
    // A screen that could not open has said so already.
    const Screen* screen = main != nullptr ? main->GetScreen() : nullptr;
    if (screen != nullptr && screen->GetDisplay() == nullptr) return;
    if (main == nullptr || main->GetWindow() == 0) {
        Log("Application::Run: the main form has no window; call its Create first.");
        return;
    }
    std::fill(std::begin(keyState), std::end(keyState), false);
    InstallTerminationHandlers();
    // A handler may even delete the main form: the loop ends with it.
    const ElementWatch alive(main);
    while (RunOnce(main, -1) && alive) {
    }
    Shutdown(alive ? main : nullptr);
    RestoreTerminationHandlers();
}

void Application::Shutdown(Form* main) {
    DestroyAllForms();
    currentMessageBox.reset();
    DeleteRetired();
    if (main != nullptr) main->Close();
}

bool Application::RunOnce(Form* main, int timeoutMs) {
    if (quitRequested) return false;
    mainForm = main;
    for (LoopHook hook : loopHooks) {
        const int within = hook();
        if (within >= 0 && (timeoutMs < 0 || within < timeoutMs)) timeoutMs = within;
    }
    DeleteRetired();
    // The timer pipe, then the connection of every open screen: a program
    // may have more than one, and the forms of each hear their events.
    const std::vector<Screen*> screens = Screen::OpenScreens();
    std::vector<pollfd> fds = {{TimerPipeReadEnd(), POLLIN, 0}};
    bool queued = false;
    for (const Screen* s : screens) {
        queued = queued || XPending(s->GetDisplay()) > 0;
        fds.push_back({ConnectionNumber(s->GetDisplay()), POLLIN, 0});
    }
    const int ready = poll(fds.data(), fds.size(), queued ? 0 : timeoutMs);
    if (ready < 0 && errno != EINTR) return !quitRequested;
    if (ready > 0 && (fds[0].revents & POLLIN) != 0) {
        // Expiries that fell due while a handler was blocked count once.
        char sink[64];
        while (read(fds[0].fd, sink, sizeof sink) > 0) {
        }
        if (terminationSignal != 0) quitRequested = true;
        if (quitRequested) return false;
        DispatchTimerTicks();
        if (quitRequested) return false;
    }
    for (Screen* s : screens) {
        // A handler may have closed a screen meanwhile.
        const std::vector<Screen*>& open = Screen::OpenScreens();
        if (quitRequested || std::find(open.begin(), open.end(), s) == open.end()) continue;
        if (XPending(s->GetDisplay()) == 0) continue;
        XEvent ev;
        XNextEvent(s->GetDisplay(), &ev);
        Dispatch(main, ev);
    }
    return !quitRequested;
}

void Application::DeleteLater(std::unique_ptr<Form> form) {
    if (form) retired.push_back(std::move(form));
}

void Application::DeleteRetired() {
    // Deleting a form may retire another one; take the list first.
    while (!retired.empty()) {
        std::vector<std::unique_ptr<Form>> batch = std::move(retired);
        retired.clear();
    }
}

void Application::AddLoopHook(LoopHook hook) {
    if (std::find(loopHooks.begin(), loopHooks.end(), hook) == loopHooks.end())
        loopHooks.push_back(hook);
}

void Application::Dispatch(Form* main, XEvent& ev) {
    Window w = ev.xany.window;
    if (ev.type == ConfigureNotify) w = ev.xconfigure.window;
    if (ev.type == DestroyNotify) w = ev.xdestroywindow.window;
    Form* form = FindFormByWindow(w);
    if (form == nullptr) return;
    if (ev.type == ButtonPress || ev.type == ButtonRelease) userTime = ev.xbutton.time;
    if (ev.type == KeyPress || ev.type == KeyRelease) userTime = ev.xkey.time;
    switch (ev.type) {
        case Expose:
            form->Paint();
            break;
        case ConfigureNotify: {
            const XConfigureEvent& c = ev.xconfigure;
            const ElementWatch alive(form);
            if (PackPoint(c.width, c.height) != form->GetSize()) form->Refresh();
            if (alive) form->SetBounds(c.x, c.y, c.width, c.height);
            break;
        }
        case EnterNotify:
            form->MouseEnter();
            break;
        case LeaveNotify:
            form->MouseLeave();
            break;
        case MotionNotify:
            if (form->IsEnabled()) form->MouseMove(ev.xmotion.x, ev.xmotion.y);
            break;
        case ButtonPress:
        case ButtonRelease:
            PointerEvent(form, ev, ev.type == ButtonPress);
            break;
        case KeyPress:
            if (form->IsEnabled()) KeyPressEvent(form, ev);
            break;
        case KeyRelease:
            if (form->IsEnabled()) KeyReleaseEvent(form, ev);
            break;
        case DestroyNotify:
            WindowDestroyed(main, form);
            break;
        case ClientMessage:
            if (static_cast<Atom>(ev.xclient.data.l[0]) != form->GetDeleteAtom()) break;
            // WM_PROTOCOLS messages carry the time of the action in their second word.
            if (ev.xclient.data.l[1] != CurrentTime)
                userTime = static_cast<Time>(ev.xclient.data.l[1]);
            form->RequestClose();
            break;
        default:
            break;
    }
}

GUIElement* Application::FocusedOn(Form* form) {
    // Keys reach only a control of the form the event belongs to: the focus
    // may still sit on a control of the window that opened a dialog.
    return focusedElement != nullptr && GetParentForm(focusedElement) == form ? focusedElement
                                                                              : nullptr;
}

void Application::MoveFocus(GUIElement* to) {
    GUIElement* old = focusedElement;
    const ElementWatch alive(to);
    focusedElement = to;
    if (old != nullptr) old->LostFocus();
    if (to != nullptr && alive) to->GotFocus();
}

void Application::PointerEvent(Form* form, XEvent& event, bool press) {
    const XButtonEvent& ev = event.xbutton;
    const PackedPoint p = PackPoint(ev.x, ev.y);
    if (!form->IsEnabled()) {
        press ? form->MouseDown(p) : form->MouseUp(p);
        return;
    }
    if (ev.button >= 2 && ev.button <= 4) {
        press ? form->OtherButtonDown(p) : form->OtherButtonUp(p);
        return;
    }
    if (ev.button != 1) return;

    // Each call below may delete the control, the form or both.
    const ElementWatch formAlive(form);
    const bool keep = focusedElement != nullptr && focusedElement->ContainsPoint(p) &&
                      focusedElement->GetParent() == form;
    GUIElement* target = keep ? focusedElement : FindChildAt(form->GetId(), p);
    const ElementWatch targetAlive(target);
    if (!keep && target != focusedElement) MoveFocus(target);
    if (targetAlive) press ? target->MouseDown(p) : target->MouseUp(p);
    if (formAlive) press ? form->MouseDown(p) : form->MouseUp(p);
}

namespace {
struct Translated {
    uint32_t keysym = 0;
    char ch = '\0';
};

Translated Translate(XKeyEvent& ev) {
    char buf[51] = {};
    KeySym sym = 0;
    const int n = XLookupString(&ev, buf, 50, &sym, nullptr);
    return {static_cast<uint32_t>(sym), n > 0 ? buf[0] : '\0'};
}

// What each held key's press was translated to, by keycode. Its release is
// taken the same way, whatever modifiers changed in between: Shift let go
// before the letter still types the capital, and the key state set under
// 'D' is cleared under 'D'.
struct HeldKey {
    bool held = false;
    Translated as;
};
HeldKey heldKeys[256];

HeldKey& Held(const XKeyEvent& ev) { return heldKeys[ev.keycode & 0xFFU]; }
}  // namespace

void Application::KeyPressEvent(Form* form, XEvent& event) {
    const Translated t = Translate(event.xkey);
    Held(event.xkey) = {true, t};
    const ElementWatch formAlive(form);
    if (GUIElement* focused = FocusedOn(form)) focused->KeyDown(t.keysym);
    if (t.ch > 0) keyState[static_cast<unsigned char>(t.ch)] = true;
    if (formAlive) form->KeyDown(t.keysym);
}

void Application::KeyReleaseEvent(Form* form, XEvent& event) {
    HeldKey& key = Held(event.xkey);
    const Translated t = key.held ? key.as : Translate(event.xkey);
    key.held = false;
    const ElementWatch formAlive(form);
    GUIElement* focused = FocusedOn(form);
    if (t.keysym == KeyTab && (focused == nullptr || focused->IsTabStop())) {
        const std::vector<GUIElement*> children = GetChildren(form->GetId());
        GUIElement* next = nullptr;
        for (GUIElement* c : children) {
            if (c->IsTabStop() && (focused == nullptr || c->GetId() > focused->GetId())) {
                next = c;
                break;
            }
        }
        if (next == nullptr) {
            for (GUIElement* c : children) {
                if (c->IsTabStop()) {
                    next = c;
                    break;
                }
            }
        }
        // The focus may sit on another form's control (the one that opened
        // this dialog): it loses it all the same.
        if (next != nullptr) MoveFocus(next);
    } else if (focused != nullptr) {
        if (t.ch > 0) focused->KeyChar(t.ch);
        GUIElement* still = formAlive ? FocusedOn(form) : nullptr;
        if (still != nullptr) still->KeyUp(t.keysym);
    }
    if (t.ch > 0) keyState[static_cast<unsigned char>(t.ch)] = false;
    if (t.ch > 0 && formAlive) form->KeyChar(t.ch);
    if (formAlive) form->KeyUp(t.keysym);
}

// Only another client destroys a window that a form still holds: the form's
// own DestroyWindow lets go of the window before destroying it.
void Application::WindowDestroyed(Form* main, Form* form) {
    form->LoseWindow();
    if (main != nullptr && form->GetId() == main->GetId()) {
        // Nothing is left to play in: the program ends as a confirmed exit does.
        Log("Main window destroyed by another client.");
        quitRequested = true;
        return;
    }
    // A secondary form ends as if the window manager had closed it: its
    // owner gets its input back and hears that there was no answer.
    const ElementWatch alive(form);
    form->QueryClose();
    if (alive) form->Close();
}

}  // namespace lumetra
