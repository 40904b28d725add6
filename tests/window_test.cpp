// labels: x11 e2e
// Forms on a real server with a window manager: dispatch, focus and Tab as traces; properties,
// close requests, timers counted in ticks, display failures down to the game without a display.
#include <sys/time.h>

#include <chrono>
#include <thread>

#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/core/Timer.h"
#include "lumetra/graphics/ImageFormat.h"
#include "rig/ControlFixture.h"
#include "rig/TestControls.h"

using namespace lumetra;
using rig::ControlFixture;
using rig::kFormBack;
using rig::Probe;
using rig::trace;

namespace {

bool allowClose = true;  // every form's answer when asked to close

class Forms : public ControlFixture {
protected:
    Forms() { windowManager = true; }
    std::unique_ptr<Form> MakeForm() override { return NewForm("form", false, 50); }
    // A form at (x, 50) whose events, close questions and refreshes go to the trace.
    std::unique_ptr<Form> NewForm(const std::string& name, bool dialog, int x) {
        auto f = std::make_unique<Form>(0, dialog);
        rig::Record(*f, name);
        f->SetOnQueryClose([](GUIElement* self) {
            rig::Note(self, "query");
            return allowClose;
        });
        f->SetOnResize([](GUIElement* self) { rig::Note(self, "refresh"); });
        f->SetScreen(screen.get());
        f->SetBounds(x, 50, 400, 300);
        f->SetTitle("A title");
        f->Create();
        return f;
    }
    std::unique_ptr<Form> Dialog() {  // mapped beside the form, the keyboard its own
        std::unique_ptr<Form> f = NewForm("dialog", true, 500);
        Map(*f);
        return f;
    }
    // A step's name, what it does, and the trace it must leave.
    using Step = std::tuple<const char*, std::function<void()>, std::string>;
    // Runs each step and compares the trace it leaves. The window manager
    // may hold a press back until it has seen it: wait for the trace.
    void Steps(const std::vector<Step>& steps) {
        for (const auto& [name, action, expected] : steps) {
            trace.clear();
            action();
            auto traced = [&, size = expected.size()] {
                Settle();
                return trace.size() >= size;
            };
            rig::PumpUntil(form.get(), traced, 2000);
            EXPECT_EQ(trace, expected) << name;
        }
    }
};

TEST_F(Forms, PointerKeysFocusAndTabReachControlsThenTheForm) {
    Probe a(form.get(), "a", 10, 10);
    Probe b(form.get(), "b", 100, 10);
    Probe panel(form.get(), "panel", 100, 100, 200, 100, "panel");
    Probe i1(&panel, "i1", 0, 0, 30, 20);
    Probe i2(&panel, "i2", 40, 0, 30, 20);
    Probe last(form.get(), "c", 10, 50, 30, 20);
    panel.tabStop = false;
    for (Probe* p : {&a, &b, &panel, &i1, &i2, &last}) p->Create();
    Steps({
        {"the first click", [&] { Click(20, 20); },
         "form:enter a:got a:down form:down a:up form:up "},
        {"a press on a released on b: the focus moves on the release too",
         [&] {
             rig::MovePointerIn(d, Win(), 20, 20);
             rig::PressButton(d);
             rig::MovePointerIn(d, Win(), 110, 20);
             rig::ReleaseButton(d);
         },
         "a:down form:down a:lost b:got b:up form:up "},
        {"the bare form", [&] { Click(350, 250); }, "b:lost form:down form:up "},
        {"a panel's bare background", [&] { Click(205, 105); }, "form:down form:up "},
        {"a control in a panel", [&] { Click(115, 105); },
         "i1:got i1:down form:down i1:up form:up "},
        {"the other buttons",
         [&] {
             Click(20, 20, 3);
             Click(20, 20, 5);
         },
         "form:other-down form:other-up "},
        {"a key",
         [&] {
             rig::PressKey(d, XK_a);
             Settle();
             EXPECT_TRUE(Application::IsKeyDown('a'));
             rig::ReleaseKey(d, XK_a);
         },
         "i1:keydown form:keydown i1:char97 i1:keyup form:char97 form:keyup "},
        {"a key with no character", [&] { rig::TapKey(d, XK_Left); },
         "i1:keydown form:keydown i1:keyup form:keyup "},
        // A release is what its press was, whatever the modifiers did since.
        {"Shift let go before the letter",
         [&] {
             rig::PressKey(d, XK_d, true);
             rig::ReleaseKey(d, XK_Shift_L);
             rig::ReleaseKey(d, XK_d);
         },
         "i1:keydown form:keydown i1:keydown form:keydown i1:keyup form:keyup "
         "i1:char68 i1:keyup form:char68 form:keyup "},
        {"Shift pressed while the letter is held",
         [&] {
             rig::PressKey(d, XK_d);
             rig::PressKey(d, XK_Shift_L);
             rig::ReleaseKey(d, XK_d, true);
         },
         "i1:keydown form:keydown i1:keydown form:keydown "
         "i1:char100 i1:keyup form:char100 form:keyup i1:keyup form:keyup "},
        {"Tab around, past the panel", [&] { rig::TypeText(d, "<Tab><Tab><Tab><Tab>"); },
         "i1:keydown form:keydown i1:lost i2:got form:char9 form:keyup "
         "i2:keydown form:keydown i2:lost c:got form:char9 form:keyup "
         "c:keydown form:keydown c:lost a:got form:char9 form:keyup "
         "a:keydown form:keydown a:lost b:got form:char9 form:keyup "},
        {"a disabled form hears its own presses only",
         [&] {
             form->SetEnabled(false);
             Click(20, 20);
             Click(20, 20, 3);
             rig::TapKey(d, XK_a);
         },
         "form:down form:up form:down form:up "},
    });
    for (int code = 0; code < 256; ++code) EXPECT_FALSE(Application::IsKeyDown(code)) << code;
    form->SetEnabled(true);
    Application::ResetFocus();
    for (Probe* p : {&a, &b, &i1, &i2, &last}) p->tabStop = false;
    Steps({
        {"Tab with no tab stop", [&] { rig::TapKey(d, XK_Tab); },
         "form:keydown form:char9 form:keyup "},
    });
    EXPECT_EQ(Application::focusedElement, nullptr);
    // Keys in a dialog never reach the opener's focused control.
    Click(20, 20);
    std::unique_ptr<Form> dialog = Dialog();
    Steps({
        {"a key in a dialog", [&] { rig::TapKey(d, XK_Return); },
         "dialog:keydown dialog:char13 dialog:keyup "},
    });
}

// What the window manager reads: names, class, place and fixed size, icon, kind of window.
TEST_F(Forms, PropertiesTellTheWindowManagerWhatTheFormIs) {
    std::unique_ptr<Form> dialog = NewForm("dialog", true, 500);
    form->SetIcon(42);  // on a form already shown
    Settle();
    const std::tuple<Window, const char*, std::string> properties[] = {
        {Win(), "WM_ICON_NAME", "Lumetra.exe"},
        {Win(), "WM_CLASS", std::string("Lumetra.exe\0Lumetra.exe\0", 24)},
        {Win(), "WM_NORMAL_HINTS", "60 50 50 400 300 400 300 400 300 0 0 0 0 0 0 0 0 0"},
        {Win(), "_NET_WM_WINDOW_TYPE", ""},
        {Win(), "WM_HINTS", "7 1 1 42 0 0 0 0 0"},
        {dialog->GetWindow(), "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG"},
    };
    for (const auto& [window, name, value] : properties)
        EXPECT_EQ(rig::PropertyText(d, window, name), value) << name;
    form->SetTitle("Renamed");  // on a form already made
    Settle();
    EXPECT_EQ(rig::PropertyText(d, Win(), "WM_NAME"), "Renamed");
}

// The window manager's close and RequestClose from code ask the form; the main form stays,
// another form is destroyed when it agrees.
TEST_F(Forms, CloseRequestsAskAndCloseAllButTheMainForm) {
    std::unique_ptr<Form> dialog = Dialog();
    trace.clear();
    allowClose = false;
    rig::RequestClose(d, dialog->GetWindow());
    ASSERT_TRUE(rig::PumpUntil(form.get(), [] { return !trace.empty(); }));
    allowClose = true;
    rig::RequestClose(d, Win());
    rig::RequestClose(d, dialog->GetWindow());
    ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return dialog->IsClosed(); }));
    EXPECT_EQ(trace, "dialog:query form:query dialog:query ");
    dialog->Show();
    EXPECT_FALSE(form->RequestClose());
    allowClose = false;
    EXPECT_FALSE(dialog->RequestClose());
    allowClose = true;
    EXPECT_TRUE(dialog->RequestClose());
    EXPECT_TRUE(form->IsCreated());
    EXPECT_EQ(dialog->GetWindow(), 0U);
}

// Closed and shown again, a form keeps its id and its place; hidden, ShowWindow maps it again.
TEST_F(Forms, ShownAgainAFormIsWhereItWas) {
    std::unique_ptr<Form> dialog = Dialog();
    const auto before = std::make_tuple(dialog->GetId(), dialog->GetPosition());
    ASSERT_TRUE(dialog->RequestClose());
    dialog->Show();
    ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return rig::IsMapped(d, dialog->GetWindow()); }));
    EXPECT_EQ(std::make_tuple(dialog->GetId(), dialog->GetPosition()), before);
    dialog->Hide();
    ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return !rig::IsMapped(d, dialog->GetWindow()); }));
    dialog->ShowWindow();
    EXPECT_TRUE(rig::PumpUntil(form.get(), [&] { return rig::IsMapped(d, dialog->GetWindow()); }));
}

// Raised from code, the main form goes above the dialog shown after it; sent back, below.
TEST_F(Forms, StackedFromCode) {
    std::unique_ptr<Form> dialog = Dialog();
    ASSERT_GT(rig::StackLevel(d, dialog->GetWindow()), rig::StackLevel(d, Win()));
    form->Raise();
    EXPECT_TRUE(rig::PumpUntil(form.get(), [&] {
        return rig::StackLevel(d, Win()) > rig::StackLevel(d, dialog->GetWindow());
    }));
    form->SendToBack();
    EXPECT_TRUE(rig::PumpUntil(form.get(), [&] {
        return rig::StackLevel(d, Win()) < rig::StackLevel(d, dialog->GetWindow());
    }));
}

// The pointer in screen coordinates; a form centred on the 1280 x 1024 screen; a configure
// event that moves the form does not refresh it, one that resizes does; both are its bounds.
TEST_F(Forms, PointerScreenAndConfigureInScreenCoordinates) {
    rig::MovePointerIn(d, Win(), 20, 30);
    Settle();
    const PackedPoint at = form->GetPosition();
    EXPECT_EQ(lumetra::Screen::GetPointerPosition(), PackPoint(PointX(at) + 20, PointY(at) + 30));
    EXPECT_EQ(
        PackPoint(lumetra::Screen::CurrentScreenWidth(), lumetra::Screen::CurrentScreenHeight()),
        PackPoint(1280, 1024));
    form->CenterOnScreen();  // 400 x 300
    EXPECT_EQ(std::make_tuple(form->x, form->y), std::make_tuple(440, 362));
    XEvent ev{};
    ev.xconfigure = {ConfigureNotify, 0, True, nullptr, Win(), Win(), 7, 9, 400, 300, 0, 0, False};
    trace.clear();
    Application::Dispatch(form.get(), ev);
    EXPECT_EQ(trace, "");
    ev.xconfigure.width = 10;
    Application::Dispatch(form.get(), ev);
    EXPECT_EQ(trace, "form:refresh ");
    EXPECT_EQ(std::make_tuple(form->x, form->y, form->width), std::make_tuple(7, 9, 10));
}

// What the handlers below delete: a plain function reaches it only through these.
std::unique_ptr<ButtonCustom> doomed;
std::unique_ptr<Form> doomedForm;
int survivorClicks = 0;

// A button at (10, 10) with the command given.
std::unique_ptr<ButtonCustom> ButtonAt(Form* form, ButtonCustom::CommandHandler command) {
    auto b = std::make_unique<ButtonCustom>(form, "x");
    b->SetLocation(10, 10);
    b->SetCommand(command);
    b->Show();
    return b;
}

// A dialog that deletes itself, with its controls and its timer: from its
// button's command, or from its timer's tick.
class Doomed : public Form {
public:
    Doomed(lumetra::Screen* s, bool byTimer) : Form(0, true), byTimer_(byTimer) {
        SetScreen(s);
        SetBounds(500, 50, 200, 100);
        Create();
    }
    void Load(uint64_t) override {
        close_ = ButtonAt(this, [](GUIElement*) { doomedForm.reset(); });
        timer_ = std::make_unique<Timer>(this, 5);
        timer_->SetOnTick([](Timer*) { doomedForm.reset(); });
        if (byTimer_) timer_->Start();
    }

private:
    bool byTimer_;
    std::unique_ptr<ButtonCustom> close_;
    std::unique_ptr<Timer> timer_;
};

TEST_F(Forms, AnyHandlerMayDeleteAnyElementItsOwnIncluded) {
    form->SetBackColor(kFormBack);
    auto survivor = ButtonAt(form.get(), [](GUIElement*) { ++survivorClicks; });
    survivor->SetLocation(200, 200);
    const auto deleteSelf = [](GUIElement*) { doomed.reset(); };
    const auto focus = [&](GUIElement* e) {
        Click(PointX(e->GetPosition()) + 5, PointY(e->GetPosition()) + 5);
        ASSERT_TRUE(rig::PumpUntil(form.get(), [e] { return e->HasFocus(); }));
    };
    using Row = std::pair<const char*, std::function<void()>>;
    const Row rows[] = {
        {"a button, from its command",
         [&] {
             doomed = ButtonAt(form.get(), deleteSelf);
             Click(15, 15);
         }},
        {"a button with the focus, from its command on Return",
         [&] {
             doomed = ButtonAt(form.get(), nullptr);
             focus(doomed.get());
             doomed->SetCommand(deleteSelf);
             rig::TapKey(d, XK_Return);
         }},
        {"a sibling, from a key handler",
         [&] {
             doomed = ButtonAt(form.get(), nullptr);
             survivor->SetOnKeyDown([](GUIElement*, uint32_t) { doomed.reset(); });
             focus(survivor.get());
             rig::TapKey(d, XK_a);
         }},
        {"a dialog, from its own button",
         [&] {
             doomedForm = std::make_unique<Doomed>(screen.get(), false);
             Map(*doomedForm);
             rig::ClickIn(d, doomedForm->GetWindow(), 15, 15);
         }},
        {"a dialog and its timer, from the timer's tick",
         [&] { doomedForm = std::make_unique<Doomed>(screen.get(), true); }},
    };
    for (const auto& [name, act] : rows) {
        act();
        EXPECT_TRUE(rig::PumpUntil(form.get(), [] { return !doomed && !doomedForm; })) << name;
        Settle();
        // Gone from the screen at once, and the rest of the form still works.
        EXPECT_EQ(rig::CountColour(d, Win(), 10, 10, 80, 30, kFormBack), 80 * 30) << name;
        const int clicks = survivorClicks;
        Click(205, 205);
        EXPECT_TRUE(rig::PumpUntil(form.get(), [&] { return survivorClicks > clicks; })) << name;
    }
}

int ticksA = 0;
int ticksB = 0;
int ticksIdle = 0;

void OwnHandler(int) {}

TEST_F(Forms, TimersTickInRegistryOrderOncePerRound) {
    signal(SIGALRM, SIG_IGN);  // the program's own, given back when no timer runs
    Timer a(form.get(), 10);
    Timer b(form.get(), 10);
    Timer idle(form.get(), 1000);
    Timer slow(form.get(), 1000);
    Timer t(form.get(), 5);
    a.SetOnTick([](Timer*) { ++ticksA; });
    b.SetOnTick([](Timer*) { EXPECT_EQ(ticksA, ++ticksB); });  // a has always ticked in this round
    idle.SetOnTick([](Timer*) { ++ticksIdle; });
    const long expiries = Application::ExpiryCount();
    const uint64_t rounds = Application::TickRounds();
    slow.Start();
    a.Start();
    b.Start();
    // One timer destroyed, another stopped: the others go on, at the pace of
    // the one started last (b), not of the one registered last (slow) nor of
    // the one stopped (idle).
    Timer(form.get(), 10).Start();
    idle.Start();
    idle.Stop();
    ASSERT_TRUE(rig::PumpUntil(form.get(), [] { return ticksB >= 20; }));
    slow.Stop();
    a.Stop();
    b.Stop();
    rig::Pump(form.get(), 30);
    EXPECT_EQ(ticksA, ticksB);
    EXPECT_EQ(static_cast<uint64_t>(ticksA), Application::TickRounds() - rounds);
    EXPECT_LE(ticksA, Application::ExpiryCount() - expiries);
    // Expiries that pile up while a handler blocks make one tick; a handler may stop its own timer.
    t.SetOnTick([](Timer* self) {
        if (++ticksIdle == 1) std::this_thread::sleep_for(std::chrono::milliseconds(60));
        if (ticksIdle == 3) self->Stop();
    });
    t.Start();
    ASSERT_TRUE(rig::PumpUntil(form.get(), [] { return ticksIdle == 3; }));
    rig::Pump(form.get(), 40);
    EXPECT_EQ(ticksIdle, 3);
    // The interval timer is armed at the interval's seconds and microseconds.
    t.SetInterval(1999);
    t.Start();
    itimerval armed{};
    getitimer(ITIMER_REAL, &armed);
    EXPECT_EQ(std::make_tuple(armed.it_interval.tv_sec, armed.it_interval.tv_usec),
              std::make_tuple(1L, 999000L));
    t.Stop();
    // The loop runs until a handler asks to quit, and leaves the main form
    // closed and the program's own SIGINT handler in place. (A signal the
    // program ignores stays ignored while it runs: hardening_test's game.)
    signal(SIGINT, OwnHandler);
    t.SetOnTick([](Timer* self) {
        self->Stop();
        Application::quitRequested = true;
    });
    t.Start();
    t.SetInterval(5);  // restarted at the new pace
    Application::Run(form.get());
    Application::quitRequested = false;
    EXPECT_TRUE(form->IsClosed());
    EXPECT_EQ(form->GetWindow(), 0U);
    // (Each back to the default as it is read.)
    EXPECT_EQ(signal(SIGINT, SIG_DFL), OwnHandler);
    EXPECT_EQ(signal(SIGTERM, SIG_DFL), SIG_DFL);
    EXPECT_EQ(signal(SIGALRM, SIG_DFL), SIG_IGN);
}

int ProgramsXError(Display*, XErrorEvent*) { return 0; }
int ProgramsXIOError(Display*) { return 0; }

TEST_F(Forms, DisplayFailuresAreLoggedAndSurvived) {
    testing::internal::CaptureStdout();
    Window gone = 0;  // the window of a form that goes, which goes with it
    {
        lumetra::Screen second;  // the first screen stays current, with the toolkit's handlers
        {
            // The loop serves every open screen: a form on the second hears its events.
            Form other;
            rig::Record(other, "other");
            other.SetScreen(&second);
            other.Create();
            ASSERT_TRUE(
                rig::PumpUntil(form.get(), [&] { return rig::IsMapped(d, other.GetWindow()); }));
            rig::ClickIn(d, other.GetWindow(), 5, 5);
            EXPECT_TRUE(rig::PumpUntil(form.get(),
                                       [] { return trace.find("other:up") != std::string::npos; }));
        }
        EXPECT_TRUE(second.Close());
        EXPECT_FALSE(second.Close());
        Form noScreen;
        noScreen.Create();  // logs, and can be shown once it has a screen
        EXPECT_FALSE(noScreen.IsCreated());
        noScreen.SetScreen(screen.get());
        noScreen.Show();
        EXPECT_TRUE(noScreen.IsCreated());
        gone = noScreen.GetWindow();
        XSelectInput(d, gone, StructureNotifyMask);
        rig::Sync(d);
    }
    XSync(screen->GetDisplay(), False);
    rig::Sync(d);
    XEvent destroyed{};
    EXPECT_TRUE(XCheckTypedWindowEvent(d, gone, DestroyNotify, &destroyed));
    XMapWindow(screen->GetDisplay(), 0x7FFFFFF);  // a protocol error
    XSync(screen->GetDisplay(), False);
    // Dead ends that say so: a loop with no window to serve, a control with
    // no parent to draw on (once).
    Form uncreated;
    uncreated.SetScreen(screen.get());
    Application::Run(&uncreated);
    ButtonCustom orphan(nullptr, "orphan");
    orphan.Show();
    orphan.Hide();
    orphan.Show();
    EXPECT_EQ(lumetra::Screen::Current(), screen.get());
    form.reset();
    screen.reset();
    EXPECT_EQ(lumetra::Screen::Current(), nullptr);  // never a screen that is gone
    EXPECT_EQ(lumetra::Screen::GetPointerPosition(), PackPoint(0, 0));
    ResetImageLayout();
    ProbeImageFormat(nullptr);  // with no screen at all
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "E' necessario impostare il display\n"
              "BadWindow (invalid Window parameter) in X_MapWindow\n"
              "Application::Run: the main form has no window; call its Create first.\n"
              "ButtonCustom " +
                  std::to_string(orphan.GetId()) +
                  " has no parent: it is never drawn.\n"
                  "ProbeImageFormat: no display\n");
    // The program's own X error handlers are its own again once the last screen closes.
    XSetErrorHandler(ProgramsXError);
    XSetIOErrorHandler(ProgramsXIOError);
    EXPECT_TRUE(lumetra::Screen().Close());
    EXPECT_EQ(XSetErrorHandler(nullptr), &ProgramsXError);
    EXPECT_EQ(XSetIOErrorHandler(nullptr), &ProgramsXIOError);
}

}  // namespace
