// labels: x11 e2e
// Forms on a real server with a window manager: dispatch order, focus and Tab as traces;
// the window's properties; close requests; timers counted in ticks; the display
// connection's failures, down to the game binary without a display.
#include <chrono>
#include <thread>

#include "ControlFixture.h"
#include "lumetra/core/Timer.h"
#include "rig/Process.h"
#include "rig/TestControls.h"

using namespace lumetra;
using rig::Probe;
using rig::trace;

namespace {

// A form that writes its own events to the trace.
class RecordingForm : public Form {
public:
    RecordingForm(lumetra::Screen* s, bool dialog, int x) : Form(0, dialog) {
        SetScreen(s);
        SetSize(400, 300);
        SetPosition(x, 50);
    }
    void MouseDown(PackedPoint p) override {
        trace += "form:down ";
        Form::MouseDown(p);
    }
    void MouseUp(PackedPoint p) override {
        trace += "form:up ";
        Form::MouseUp(p);
    }
    void MouseEnter() override { trace += "form:enter "; }
    void MouseLeave() override { trace += "form:leave "; }
    void OtherButtonDown(PackedPoint) override { trace += "form:other-down "; }
    void OtherButtonUp(PackedPoint) override { trace += "form:other-up "; }
    void KeyDown(uint32_t) override { trace += "form:keydown "; }
    void KeyUp(uint32_t) override { trace += "form:keyup "; }
    bool KeyChar(char ch) override {
        trace += "form:char" + std::to_string(ch) + " ";
        return true;
    }
    void Paint() override {
        ++paints;
        Form::Paint();
    }
    void Refresh() override {
        ++refreshes;
        Form::Refresh();
    }
    bool QueryClose() override {
        ++queries;
        return allowClose;
    }
    int paints = 0;
    int refreshes = 0;
    int queries = 0;
    bool allowClose = true;
};

class Forms : public ControlFixture {
protected:
    Forms() { windowManager = true; }
    std::unique_ptr<Form> MakeForm() override {
        auto f = std::make_unique<RecordingForm>(screen.get(), false, 50);
        f->SetTitle("A title");
        f->Create();
        return f;
    }
    RecordingForm& Main() { return static_cast<RecordingForm&>(*form); }
    struct Step {
        const char* name;
        std::function<void()> action;
        std::string trace;
    };
    // Runs each step and compares the trace it leaves. The window manager
    // may hold a press back until it has seen it: wait for the trace.
    void Steps(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            trace.clear();
            step.action();
            auto traced = [&] {
                Settle();
                return trace.size() >= step.trace.size();
            };
            rig::PumpUntil(form.get(), traced, 2000);
            EXPECT_EQ(trace, step.trace) << step.name;
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
        {"a second click", [&] { Click(20, 20); }, "a:down form:down a:up form:up "},
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
        {"Tab around, past the panel", [&] { rig::TypeText(d, "<Tab><Tab><Tab><Tab>"); },
         "i1:keydown form:keydown i1:lost i2:got form:char9 form:keyup "
         "i2:keydown form:keydown i2:lost c:got form:char9 form:keyup "
         "c:keydown form:keydown c:lost a:got form:char9 form:keyup "
         "a:keydown form:keydown a:lost b:got form:char9 form:keyup "},
        {"a disabled form hears its own presses only",
         [&] {
             Main().SetEnabled(false);
             Click(20, 20);
             Click(20, 20, 3);
             rig::TapKey(d, XK_a);
         },
         "form:down form:up form:down form:up "},
    });
    EXPECT_FALSE(Application::IsKeyDown('a'));
    Main().SetEnabled(true);
    Application::ResetFocus();
    for (Probe* p : {&a, &b, &i1, &i2, &last}) p->tabStop = false;
    Steps({
        {"Tab with no tab stop", [&] { rig::TapKey(d, XK_Tab); },
         "form:keydown form:char9 form:keyup "},
    });
    EXPECT_EQ(Application::focusedElement, nullptr);
    // Keys in a dialog never reach the opener's focused control.
    Click(20, 20);
    RecordingForm dialog(screen.get(), true, 500);
    dialog.Create();
    Map(dialog);
    Steps({
        {"a key in a dialog", [&] { rig::TapKey(d, XK_Return); },
         "form:keydown form:char13 form:keyup "},
    });
}

TEST_F(Forms, PropertiesCloseRequestsExposeAndMoves) {
    RecordingForm dialog(screen.get(), true, 500);
    dialog.allowClose = false;
    dialog.Create();
    Map(dialog);
    XSync(screen->GetDisplay(), False);  // the toolkit's requests, not only the test's
    int x0 = 0;
    int y0 = 0;
    rig::RootOrigin(d, dialog.GetWindow(), &x0, &y0);
    const std::pair<const char*, std::string> properties[] = {
        {"WM_NAME", "A title"},
        {"WM_ICON_NAME", "Lumetra.exe"},
        {"WM_PROTOCOLS", "WM_DELETE_WINDOW"},
        {"WM_CLASS", std::string("Lumetra.exe\0Lumetra.exe\0", 24)},
        // Place and a fixed size; input and the normal state.
        {"WM_NORMAL_HINTS", "60 50 50 400 300 400 300 400 300 0 0 0 0 0 0 0 0 0"},
        {"WM_HINTS", "7 1 1 0 0 0 0 0 0"},
        {"_NET_WM_WINDOW_TYPE", ""},
    };
    for (const auto& [name, value] : properties)
        EXPECT_EQ(rig::PropertyText(d, Win(), name), value) << name;
    EXPECT_EQ(rig::PropertyText(d, dialog.GetWindow(), "_NET_WM_WINDOW_TYPE"),
              "_NET_WM_WINDOW_TYPE_DIALOG");
    // The window manager's close: the main form is only asked; another form
    // that agrees is destroyed, and can be shown again with its id, where it was.
    rig::RequestClose(d, Win());
    rig::RequestClose(d, dialog.GetWindow());
    ASSERT_TRUE(
        rig::PumpUntil(form.get(), [&] { return Main().queries == 1 && dialog.queries == 1; }));
    EXPECT_TRUE(Main().IsCreated());
    EXPECT_FALSE(Main().IsClosed());
    EXPECT_TRUE(dialog.IsCreated());
    dialog.allowClose = true;
    rig::RequestClose(d, dialog.GetWindow());
    ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return dialog.IsClosed(); }));
    EXPECT_EQ(dialog.GetWindow(), 0U);
    const uint32_t id = dialog.GetId();
    dialog.Show();
    ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return rig::IsMapped(d, dialog.GetWindow()); }));
    int x = 0;
    int y = 0;
    rig::RootOrigin(d, dialog.GetWindow(), &x, &y);
    EXPECT_EQ(std::make_tuple(dialog.GetId(), x, y), std::make_tuple(id, x0, y0));
    // From code, the same path: the main form is only asked; a form that
    // refuses stays, one that agrees is closed.
    EXPECT_FALSE(Main().RequestClose());
    EXPECT_TRUE(Main().IsCreated());
    dialog.allowClose = false;
    EXPECT_FALSE(dialog.RequestClose());
    EXPECT_TRUE(dialog.IsCreated());
    dialog.allowClose = true;
    EXPECT_TRUE(dialog.RequestClose());
    EXPECT_EQ(dialog.GetWindow(), 0U);
    EXPECT_EQ(std::make_tuple(Main().queries, dialog.queries), std::make_tuple(2, 4));
    // Every Expose repaints; a move does not refresh, a resize does.
    XEvent ev{};
    ev.xexpose = {Expose, 0, True, nullptr, Win(), 0, 0, 1, 1, 3};
    const int paints = Main().paints;
    const int refreshes = Main().refreshes;
    Application::Dispatch(form.get(), ev);
    ev.xconfigure = {ConfigureNotify, 0, True, nullptr, Win(), Win(), 7, 9, 400, 300, 0, 0, False};
    Application::Dispatch(form.get(), ev);
    EXPECT_EQ(Main().paints, paints + 1);
    EXPECT_EQ(Main().refreshes, refreshes);
    EXPECT_EQ(Main().x, 7);
    ev.xconfigure.width = 10;
    Application::Dispatch(form.get(), ev);
    EXPECT_EQ(Main().refreshes, refreshes + 1);
    EXPECT_EQ(Main().width, 10);
}

int ticksA = 0;
int ticksB = 0;
int ticksIdle = 0;
bool block = false;

void OwnHandler(int) {}
sighandler_t Disposition(int sig) {
    struct sigaction now {};
    sigaction(sig, nullptr, &now);
    return now.sa_handler;
}

TEST_F(Forms, TimersTickInRegistryOrderOncePerRound) {
    Timer a(form.get(), 10);
    Timer b(form.get(), 10);
    Timer idle(form.get(), 10);
    Timer t(form.get(), 5);
    a.SetOnTick([](Timer*) { ++ticksA; });
    b.SetOnTick([](Timer*) { EXPECT_EQ(ticksA, ++ticksB); });  // a has always ticked in this round
    idle.SetOnTick([](Timer*) { ++ticksIdle; });
    const long expiries = Application::ExpiryCount();
    const uint64_t rounds = Application::TickRounds();
    a.Start();
    b.Start();
    // One timer stopped, another destroyed: the others go on.
    idle.Start();
    idle.Stop();
    Timer(form.get(), 10).Start();
    ASSERT_TRUE(rig::PumpUntil(form.get(), [] { return ticksB >= 20; }));
    a.Stop();
    b.Stop();
    rig::Pump(form.get(), 30);
    EXPECT_EQ(ticksA, ticksB);
    EXPECT_EQ(ticksIdle, 0);
    EXPECT_EQ(static_cast<uint64_t>(ticksA), Application::TickRounds() - rounds);
    EXPECT_LE(ticksA, Application::ExpiryCount() - expiries);
    // Expiries that pile up while a handler blocks make one tick; a handler may stop its own timer.
    t.SetOnTick([](Timer* self) {
        if (++ticksIdle == 3) self->Stop();
        if (std::exchange(block, false)) std::this_thread::sleep_for(std::chrono::milliseconds(60));
    });
    block = true;
    t.Start();
    ASSERT_TRUE(rig::PumpUntil(form.get(), [] { return ticksIdle == 3; }));
    rig::Pump(form.get(), 40);
    EXPECT_EQ(ticksIdle, 3);
    // The loop runs until a handler asks to quit, and leaves the main form
    // closed and the program's own SIGINT handler and ignored SIGHUP in place.
    signal(SIGINT, OwnHandler);
    signal(SIGHUP, SIG_IGN);
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
    EXPECT_EQ(Disposition(SIGINT), OwnHandler);
    EXPECT_EQ(Disposition(SIGHUP), SIG_IGN);
    EXPECT_EQ(Disposition(SIGTERM), SIG_DFL);
    signal(SIGINT, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
}

int paceTicks = 0;

// After a stop the interval timer keeps the pace of the timer started last,
// not of the one registered last; with none running, SIGALRM is the
// program's own again.
TEST_F(Forms, TheTimerStartedLastSetsThePace) {
    struct sigaction programs {};
    programs.sa_handler = SIG_IGN;
    struct sigaction before {};
    sigaction(SIGALRM, &programs, &before);
    Timer fast(form.get(), 30);
    Timer slow(form.get(), 1000);
    Timer other(form.get(), 500);
    fast.SetOnTick([](Timer*) { ++paceTicks; });
    other.Start();
    slow.Start();
    fast.Start();
    other.Stop();
    EXPECT_TRUE(rig::PumpUntil(
        form.get(), [] { return paceTicks >= 10; }, 3000));
    fast.Stop();
    slow.Stop();
    struct sigaction after {};
    sigaction(SIGALRM, &before, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
}

int ProgramsXError(Display*, XErrorEvent*) { return 0; }
int ProgramsXIOError(Display*) { return 0; }

// The X error handlers of the program are its own again once the screen closes.
TEST(ScreenOfAProgram, PutsTheProgramsErrorHandlersBack) {
    ASSERT_TRUE(rig::SharedServer(true).Ok());
    XSetErrorHandler(ProgramsXError);
    XSetIOErrorHandler(ProgramsXIOError);
    lumetra::Screen screen;
    ASSERT_NE(screen.GetDisplay(), nullptr);
    EXPECT_TRUE(screen.Close());
    EXPECT_EQ(XSetErrorHandler(nullptr), &ProgramsXError);
    EXPECT_EQ(XSetIOErrorHandler(nullptr), &ProgramsXIOError);
}

TEST_F(Forms, DisplayFailuresAreLoggedAndSurvived) {
    testing::internal::CaptureStdout();
    XMapWindow(screen->GetDisplay(), 0x7FFFFFF);  // a protocol error
    XSync(screen->GetDisplay(), False);
    {
        lumetra::Screen second;  // the first screen stays current
        EXPECT_TRUE(second.Close());
        EXPECT_FALSE(second.Close());
        Form noScreen;
        noScreen.Create();  // logs, and can be shown once it has a screen
        EXPECT_FALSE(noScreen.IsCreated());
        noScreen.SetScreen(screen.get());
        noScreen.Show();
        EXPECT_TRUE(noScreen.IsCreated());
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "X error: request code 8, error code 3\nE' necessario impostare il display\n");
    EXPECT_EQ(lumetra::Screen::Current(), screen.get());
    form.reset();
    screen.reset();
    EXPECT_EQ(lumetra::Screen::Current(), nullptr);  // never a screen that is gone
    // No server at all: defaults, no window, a loop that returns at once; the
    // game binary likewise ends with status 1, and its lines replace the old log.
    const std::string old = getenv("DISPLAY");
    const std::string failed = "XOpenDisplay(0) failed.\nErrore creazione Form \n";
    setenv("DISPLAY", ":9999", 1);
    testing::internal::CaptureStdout();
    {
        lumetra::Screen none;
        Form lonely;
        lonely.SetScreen(&none);
        lonely.Create();
        Application::Run(&lonely);
        EXPECT_EQ(none.GetDisplay(), nullptr);
        EXPECT_EQ(none.HasFailed(), 1U);
        EXPECT_FALSE(lonely.IsCreated());
        EXPECT_FALSE(none.Close());
        EXPECT_EQ(std::make_tuple(none.GetWidth(), none.GetHeight(), none.GetDepth()),
                  std::make_tuple(800, 600, 8));
    }
    setenv("DISPLAY", old.c_str(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), failed);
    rig::TempDir dir;
    rig::WriteFile(dir / "log.txt", "old run\n");
    const char* binary = std::getenv("LUMETRA_GAME");
    rig::ChildProcess game({binary ? binary : LUMETRA_BINARY_DIR "/lumetra"}, dir.Path(),
                           {"DISPLAY=:9999"});
    EXPECT_EQ(game.Wait(10000), 1);
    EXPECT_EQ(rig::ReadFile(game.Output()) + rig::ReadFile(dir / "log.txt"), failed + failed);
}

}  // namespace
