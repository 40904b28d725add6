#include "lumetra/core/Application.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "lumetra/core/Form.h"
#include "lumetra/core/GUIElement.h"
#include "lumetra/core/Log.h"
#include "lumetra/core/Screen.h"
#include "lumetra/core/Timer.h"
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

// ---- registry -------------------------------------------------------------

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

// ---- timers ---------------------------------------------------------------

int Application::TimerPipeReadEnd() {
    if (timerPipe[0] < 0 && pipe2(timerPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        timerPipe[0] = timerPipe[1] = -1;
    }
    return timerPipe[0];
}

void Application::NoteExpiry() {
    expiries = expiries + 1;
    WakeLoop();
}

void Application::WakeLoop() {
    // Runs in signal handlers: only async-signal-safe work here.
    const int saved = errno;
    if (timerPipe[1] >= 0) {
        const char b = 1;
        (void)!write(timerPipe[1], &b, 1);
    }
    errno = saved;
}

namespace {
void OnTerminate(int sig) {
    const int saved = errno;
    Application::RunTerminationHook();
    errno = saved;
    Application::NoteTermination(sig);
}
}  // namespace

void Application::InstallTerminationHandlers() {
    TimerPipeReadEnd();
    struct sigaction sa {};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    // SIGHUP and SIGQUIT too: a closed terminal must stop the players as well.
    for (int sig : EndingSignals) sigaction(sig, &sa, nullptr);
}

void Application::RunTerminationHook() {
    if (terminationHook != nullptr) terminationHook();
}

void Application::NoteTermination(int sig) {
    terminationSignal = sig;
    WakeLoop();
}

void Application::DispatchTimerTicks() {
    ++tickRounds;
    // By index: a tick handler may stop or even delete timers.
    for (size_t i = 0; i < timers.size(); ++i) static_cast<Timer*>(timers[i])->Tick();
}

// ---- the loop -------------------------------------------------------------

void Application::Run(Form* main) {
    if (main == nullptr || main->GetScreen() == nullptr ||
        main->GetScreen()->GetDisplay() == nullptr)
        return;
    std::fill(std::begin(keyState), std::end(keyState), false);
    InstallTerminationHandlers();
    while (RunOnce(main, -1)) {
    }
    Shutdown(main);
}

void Application::Shutdown(Form* main) {
    DestroyAllForms();
    currentMessageBox.reset();
    DeleteRetired();
    if (main != nullptr) main->Close();
}

bool Application::RunOnce(Form* main, int timeoutMs) {
    if (quitRequested) return false;
    for (LoopHook hook : loopHooks) hook();
    DeleteRetired();
    Display* d = main->GetScreen()->GetDisplay();
    const int queued = XPending(d);
    pollfd fds[2] = {{ConnectionNumber(d), POLLIN, 0}, {TimerPipeReadEnd(), POLLIN, 0}};
    const int ready = poll(fds, fds[1].fd >= 0 ? 2 : 1, queued > 0 ? 0 : timeoutMs);
    if (ready < 0 && errno != EINTR) return !quitRequested;
    if (ready > 0 && (fds[1].revents & POLLIN) != 0) {
        // Expiries that fell due while a handler was blocked count once.
        char sink[64];
        while (read(fds[1].fd, sink, sizeof sink) > 0) {
        }
        if (terminationSignal != 0) quitRequested = true;
        if (quitRequested) return false;
        DispatchTimerTicks();
        if (quitRequested) return false;
    }
    if (queued > 0 || XPending(d) > 0) {
        XEvent ev;
        XNextEvent(d, &ev);
        Dispatch(main, ev);
    }
    return !quitRequested;
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
            if (PackPoint(c.width, c.height) != form->GetSize()) form->Refresh();
            form->SetBounds(c.x, c.y, c.width, c.height);
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
            PointerEvent(form, ev.xbutton, ev.type == ButtonPress);
            break;
        case KeyPress:
            if (form->IsEnabled()) KeyPressEvent(form, ev.xkey);
            break;
        case KeyRelease:
            if (form->IsEnabled()) KeyReleaseEvent(form, ev.xkey);
            break;
        case DestroyNotify:
            WindowDestroyed(main, form);
            break;
        case ClientMessage:
            if (static_cast<Atom>(ev.xclient.data.l[0]) != form->GetDeleteAtom()) break;
            // WM_PROTOCOLS messages carry the time of the action in their second word.
            if (ev.xclient.data.l[1] != CurrentTime)
                userTime = static_cast<Time>(ev.xclient.data.l[1]);
            CloseRequest(main, form);
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

void Application::PointerEvent(Form* form, XButtonEvent& ev, bool press) {
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

    GUIElement* target = nullptr;
    if (focusedElement != nullptr && focusedElement->ContainsPoint(p) &&
        focusedElement->GetParent() == form) {
        target = focusedElement;
    } else {
        target = FindChildAt(form->GetId(), p);
        if (target == nullptr) {
            GUIElement* old = focusedElement;
            focusedElement = nullptr;
            if (old != nullptr) old->LostFocus();
        } else if (focusedElement == nullptr) {
            focusedElement = target;
            target->GotFocus();
        } else if (focusedElement->GetId() != target->GetId()) {
            GUIElement* old = focusedElement;
            focusedElement = target;
            old->LostFocus();
            target->GotFocus();
        }
    }
    if (target != nullptr) press ? target->MouseDown(p) : target->MouseUp(p);
    press ? form->MouseDown(p) : form->MouseUp(p);
}

namespace {
struct Translated {
    uint32_t keysym;
    char ch;
};

Translated Translate(XKeyEvent& ev) {
    char buf[51] = {};
    KeySym sym = 0;
    const int n = XLookupString(&ev, buf, 50, &sym, nullptr);
    return {static_cast<uint32_t>(sym), n > 0 ? buf[0] : '\0'};
}
}  // namespace

void Application::KeyPressEvent(Form* form, XKeyEvent& ev) {
    const Translated t = Translate(ev);
    if (GUIElement* focused = FocusedOn(form)) focused->KeyDown(t.keysym);
    if (t.ch > 0) keyState[static_cast<unsigned char>(t.ch)] = true;
    form->KeyDown(t.keysym);
}

void Application::KeyReleaseEvent(Form* form, XKeyEvent& ev) {
    const Translated t = Translate(ev);
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
        if (next != nullptr) {
            // The focus may sit on another form's control (the one that
            // opened this dialog): it loses it all the same.
            if (focusedElement != nullptr) focusedElement->LostFocus();
            focusedElement = next;
            next->GotFocus();
        }
    } else if (focused != nullptr) {
        if (t.ch > 0) focused->KeyChar(t.ch);
        if (GUIElement* still = FocusedOn(form)) still->KeyUp(t.keysym);
    }
    if (t.ch > 0) {
        keyState[static_cast<unsigned char>(t.ch)] = false;
        form->KeyChar(t.ch);
    }
    form->KeyUp(t.keysym);
}

void Application::CloseRequest(Form* main, Form* form) {
    if (main != nullptr && form->GetId() == main->GetId()) {
        form->QueryClose();
        return;
    }
    if (!form->QueryClose()) return;
    form->DestroyWindow();
    form->Close();
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
    form->QueryClose();
    form->Close();
}

}  // namespace lumetra
