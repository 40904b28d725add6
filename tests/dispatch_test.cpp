// The event loop on a real server: pointer and key events through XTEST
// reach the right control and then the form; focus moves on press and
// release; Tab walks the tab stops; the window manager's close request.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <memory>

#include "core/Application.h"
#include "core/Form.h"
#include "core/Screen.h"
#include "rig/Rig.h"
#include "rig/TestControls.h"
#include "rig/XServer.h"

using lumetra::Application;
using lumetra::Form;
using lumetra::GUIElement;
using lumetra::PackedPoint;
using rig::Probe;

namespace {

// A form that records its own events.
class RecordingForm : public Form {
public:
    explicit RecordingForm(lumetra::Screen* s, bool dialog = false) : Form(0, dialog) {
        SetScreen(s);
        SetSize(400, 300);
        SetPosition(50, 50);
    }
    void MouseDown(PackedPoint p) override {
        events.push_back("form-down");
        Form::MouseDown(p);
    }
    void MouseUp(PackedPoint p) override {
        events.push_back("form-up");
        Form::MouseUp(p);
    }
    void OtherButtonDown(PackedPoint) override { events.push_back("form-other-down"); }
    void OtherButtonUp(PackedPoint) override { events.push_back("form-other-up"); }
    void KeyDown(uint32_t) override { events.push_back("form-keydown"); }
    void KeyUp(uint32_t) override { events.push_back("form-keyup"); }
    bool KeyChar(char ch) override {
        events.push_back("form-char:" + std::to_string(static_cast<int>(ch)));
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
    std::vector<std::string> events;
    int paints = 0, refreshes = 0, queries = 0;
    bool allowClose = true;
};

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        server = &rig::SharedServer(true);
        ASSERT_TRUE(server->Ok());
        d = server->Connection();
        screen = std::make_unique<lumetra::Screen>();
        form = std::make_unique<RecordingForm>(screen.get());
    }
    void Open(RecordingForm& f) {
        f.Create();
        ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return rig::IsMapped(d, f.GetWindow()); }));
        ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return f.paints > 0; }));
        // Keys go where the pointer is (openbox focuses on click), so click
        // the form's bare corner to give it the keyboard.
        XSetInputFocus(d, f.GetWindow(), RevertToParent, CurrentTime);
        rig::Sync(d);
    }
    void Click(RecordingForm& f, int x, int y) {
        rig::ClickIn(d, f.GetWindow(), x, y);
        rig::Pump(form.get(), 50);
    }
    void Tap(unsigned long keysym) {
        rig::TapKey(d, keysym);
        rig::Pump(form.get(), 50);
    }
    void TearDown() override {
        Application::ResetFocus();
        form.reset();
    }
    rig::XServer* server = nullptr;
    Display* d = nullptr;
    std::unique_ptr<lumetra::Screen> screen;
    std::unique_ptr<RecordingForm> form;
};

TEST_F(Dispatch, APressReachesTheControlFirstThenTheForm) {
    Probe a(form.get(), "probe", 10, 10, 50, 30);
    Open(*form);
    a.Create();
    Click(*form, 20, 20);
    EXPECT_EQ(a.events, (std::vector<std::string>{"got", "down", "up"}));
    EXPECT_EQ(form->events, (std::vector<std::string>{"form-down", "form-up"}));
    EXPECT_EQ(Application::focusedElement, &a);
    // The handler sees form coordinates.
    EXPECT_EQ(a.lastPoint, lumetra::PackPoint(20, 20));
}

TEST_F(Dispatch, FocusMovesOnPressAndClearsOnBareForm) {
    Probe a(form.get(), "probe", 10, 10, 50, 30), b(form.get(), "probe", 100, 10, 50, 30);
    Open(*form);
    a.Create();
    b.Create();
    Click(*form, 20, 20);
    Click(*form, 20, 20);
    EXPECT_EQ(a.Count("got"), 1);
    EXPECT_EQ(a.Count("lost"), 0);
    Click(*form, 110, 20);
    EXPECT_EQ(a.Count("lost"), 1);
    EXPECT_EQ(b.Count("got"), 1);
    form->events.clear();
    Click(*form, 300, 200);
    EXPECT_EQ(b.Count("lost"), 1);
    EXPECT_EQ(Application::focusedElement, nullptr);
    EXPECT_EQ(form->events, (std::vector<std::string>{"form-down", "form-up"}));
}

TEST_F(Dispatch, FocusAlsoMovesOnRelease) {
    Probe a(form.get(), "probe", 10, 10, 50, 30), b(form.get(), "probe", 100, 10, 50, 30);
    Open(*form);
    a.Create();
    b.Create();
    rig::MovePointerIn(d, form->GetWindow(), 20, 20);
    rig::PressButton(d);
    rig::MovePointerIn(d, form->GetWindow(), 110, 20);
    rig::ReleaseButton(d);
    rig::Pump(form.get(), 50);
    EXPECT_EQ(a.events, (std::vector<std::string>{"got", "down", "lost"}));
    EXPECT_EQ(b.events, (std::vector<std::string>{"got", "up"}));
}

TEST_F(Dispatch, ADisabledFormHearsOnlyItsOwnPresses) {
    Probe a(form.get(), "probe", 10, 10, 50, 30);
    Open(*form);
    a.Create();
    form->SetEnabled(false);
    Click(*form, 20, 20);
    rig::ClickIn(d, form->GetWindow(), 20, 20, 3);
    Tap(XK_a);
    rig::Pump(form.get(), 50);
    EXPECT_TRUE(a.events.empty());
    EXPECT_EQ(form->events, (std::vector<std::string>{"form-down", "form-up", "form-down", "form-up"}));
}

TEST_F(Dispatch, OtherButtonsGoToTheFormOnly) {
    Probe a(form.get(), "probe", 10, 10, 50, 30);
    Open(*form);
    a.Create();
    rig::ClickIn(d, form->GetWindow(), 20, 20, 3);
    rig::ClickIn(d, form->GetWindow(), 20, 20, 5);
    rig::Pump(form.get(), 50);
    EXPECT_TRUE(a.events.empty());
    EXPECT_EQ(form->events, (std::vector<std::string>{"form-other-down", "form-other-up"}));
}

TEST_F(Dispatch, KeysReachTheFocusedControlThenTheForm) {
    Probe a(form.get(), "probe", 10, 10, 50, 30);
    Open(*form);
    a.Create();
    Click(*form, 20, 20);
    a.events.clear();
    form->events.clear();
    rig::PressKey(d, XK_a);
    rig::Pump(form.get(), 50);
    EXPECT_TRUE(Application::IsKeyDown('a'));
    rig::ReleaseKey(d, XK_a);
    rig::Pump(form.get(), 50);
    EXPECT_FALSE(Application::IsKeyDown('a'));
    EXPECT_EQ(a.events, (std::vector<std::string>{"keydown", "char:97", "keyup"}));
    EXPECT_EQ(form->events, (std::vector<std::string>{"form-keydown", "form-char:97", "form-keyup"}));
    a.events.clear();
    form->events.clear();
    // An arrow key makes no character.
    Tap(XK_Left);
    EXPECT_EQ(a.events, (std::vector<std::string>{"keydown", "keyup"}));
    EXPECT_EQ(form->events, (std::vector<std::string>{"form-keydown", "form-keyup"}));
}

TEST_F(Dispatch, TabWalksTabStopsThroughPanelsAndWraps) {
    Probe first(form.get(), "probe", 10, 10, 30, 20);
    Probe panel(form.get(), "panel", 100, 100, 200, 100);
    panel.tabStop = false;
    Probe inner1(&panel, "probe", 0, 0, 30, 20), inner2(&panel, "probe", 40, 0, 30, 20);
    Probe last(form.get(), "probe", 10, 50, 30, 20);
    Open(*form);
    for (Probe* p : {&first, &panel, &inner1, &inner2, &last}) p->Create();
    std::vector<GUIElement*> order;
    for (int i = 0; i < 5; ++i) {
        Tap(XK_Tab);
        order.push_back(Application::focusedElement);
    }
    EXPECT_EQ(order, (std::vector<GUIElement*>{&first, &inner1, &inner2, &last, &first}));
    EXPECT_EQ(first.Count("lost"), 1);
    // Tab itself reaches no control, but the form hears the character.
    EXPECT_EQ(first.Count("char:9"), 0);
    EXPECT_EQ(form->events.back(), "form-keyup");
    EXPECT_NE(std::find(form->events.begin(), form->events.end(), "form-char:9"), form->events.end());
}

TEST_F(Dispatch, WithoutTabStopsTabChangesNothing) {
    Probe a(form.get(), "probe", 10, 10, 30, 20);
    a.tabStop = false;
    Open(*form);
    a.Create();
    Tap(XK_Tab);
    EXPECT_EQ(Application::focusedElement, nullptr);
    EXPECT_EQ(form->events, (std::vector<std::string>{"form-keydown", "form-char:9", "form-keyup"}));
}

TEST_F(Dispatch, KeysInADialogNeverReachTheOpenersFocusedControl) {
    Probe opener(form.get(), "probe", 10, 10, 50, 30);
    Open(*form);
    opener.Create();
    Click(*form, 20, 20);
    ASSERT_EQ(Application::focusedElement, &opener);
    RecordingForm dialog(screen.get(), true);
    dialog.SetPosition(500, 50);
    Open(dialog);
    opener.events.clear();
    Tap(XK_Return);
    EXPECT_TRUE(opener.events.empty());
    EXPECT_EQ(dialog.events, (std::vector<std::string>{"form-keydown", "form-char:13", "form-keyup"}));
}

namespace {
void RequestClose(Display* d, Window w) {
    // Ask the window manager, as a user's close button would.
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(d, "_NET_CLOSE_WINDOW", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = CurrentTime;
    ev.xclient.data.l[1] = 2;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XSync(d, False);
}
}  // namespace

TEST_F(Dispatch, TheMainFormIsOnlyAskedWhenTheWindowManagerClosesIt) {
    Open(*form);
    RequestClose(d, form->GetWindow());
    ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return form->queries == 1; }));
    EXPECT_TRUE(form->IsCreated());
    EXPECT_FALSE(form->IsClosed());
}

TEST_F(Dispatch, ASecondaryFormIsDestroyedWhenItAgreesToClose) {
    Open(*form);
    RecordingForm other(screen.get(), true);
    other.SetPosition(500, 50);
    other.allowClose = false;
    Open(other);
    const Window w = other.GetWindow();
    RequestClose(d, w);
    ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return other.queries == 1; }));
    EXPECT_TRUE(other.IsCreated());
    other.allowClose = true;
    RequestClose(d, w);
    ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return other.IsClosed(); }));
    EXPECT_FALSE(other.IsCreated());
    EXPECT_EQ(other.GetWindow(), 0U);
    // It can be shown again, keeping its id.
    const uint32_t id = other.GetId();
    other.Show();
    EXPECT_TRUE(other.IsCreated());
    EXPECT_EQ(other.GetId(), id);
}

TEST_F(Dispatch, EveryExposeRepaintsAndAMoveDoesNotRefresh) {
    Open(*form);
    const int before = form->paints;
    XEvent ev{};
    ev.xexpose.type = Expose;
    ev.xexpose.window = form->GetWindow();
    ev.xexpose.count = 3;
    Application::Dispatch(form.get(), ev);
    EXPECT_EQ(form->paints, before + 1);
    XEvent move{};
    move.xconfigure.type = ConfigureNotify;
    move.xconfigure.window = form->GetWindow();
    move.xconfigure.x = 7;
    move.xconfigure.y = 9;
    move.xconfigure.width = form->width;
    move.xconfigure.height = form->height;
    const int refreshes = form->refreshes;
    Application::Dispatch(form.get(), move);
    EXPECT_EQ(form->refreshes, refreshes);
    EXPECT_EQ(form->x, 7);
    move.xconfigure.width = 10;
    Application::Dispatch(form.get(), move);
    EXPECT_EQ(form->refreshes, refreshes + 1);
    EXPECT_EQ(form->width, 10);
}

}  // namespace
