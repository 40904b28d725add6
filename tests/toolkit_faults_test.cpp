// Faults of the toolkit itself, each shown by a small program against the
// library on a real server with the window manager: timers, the current
// screen, unregistering children, a form shown again after a close, and
// controls over very wide ranges.
// labels: x11
#include <gtest/gtest.h>

#include <climits>

#include "GameProcess.h"
#include "controls/ButtonCustom.h"
#include "controls/PanelChildren.h"
#include "controls/ProgressBar.h"
#include "controls/Slider.h"
#include "core/Application.h"
#include "core/Screen.h"
#include "core/Timer.h"
#include "rig/Golden.h"
#include "rig/XServer.h"

using lumetra::Application;
using lumetra::Form;
using LScreen = lumetra::Screen;

namespace {

TEST(ToolkitScreen, TheCurrentScreenGoesWithItsObject) {
    ASSERT_TRUE(rig::SharedServer(true).Ok());
    {
        LScreen first;
        EXPECT_EQ(LScreen::Current(), &first);
    }
    EXPECT_EQ(LScreen::CurrentScreenWidth(), 0);
}

class Toolkit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig::SharedServer(true).Ok());
        form.SetScreen(&screen);
        form.SetSize(300, 180);
        form.SetBackColor(0xAAAAAA);
        form.Create();
        ASSERT_TRUE(rig::PumpUntil(&form, [&] { return rig::IsMapped(d, form.GetWindow()); }));
    }
    Display* d = rig::SharedServer(true).Connection();
    LScreen screen;
    Form form;
};

TEST_F(Toolkit, StoppingOrDestroyingOneTimerLeavesTheOthersTicking) {
    static int ticks = 0;
    lumetra::Timer a(&form, 10), b(&form, 10);
    b.SetOnTick([](lumetra::Timer*) { ++ticks; });
    a.Start();
    b.Start();
    {
        lumetra::Timer c(&form, 10);
        c.Start();
    }
    a.Stop();
    EXPECT_TRUE(rig::PumpUntil(&form, [] { return ticks >= 3; }, 2000));
}

TEST_F(Toolkit, RemoveChildrenUnregistersEachChildOnceWithoutAFalseLine) {
    rig::TempDir dir;
    const rig::WorkingDirectory here(dir.Path());
    lumetra::PanelChildren panel(&form);
    panel.Create();
    lumetra::ButtonCustom inPanel(&panel, "a"), alsoInPanel(&panel, "b");
    Application::RemoveChildren(form.GetId());
    EXPECT_EQ(rig::ReadFile(dir / "log.txt"), "");
    // The objects still live; registered again, their destructors find them.
    for (lumetra::GUIElement* e : std::initializer_list<lumetra::GUIElement*>{&panel, &inPanel, &alsoInPanel}) Application::AddElement(e);
}

TEST_F(Toolkit, AFormShownAgainAfterTheWindowManagerClosedItComesBackWhereItWas) {
    Form second(0, true);
    second.SetScreen(&screen);
    second.SetSize(200, 100);
    second.SetLocation(400, 300);
    second.Create();
    int x0 = 0, y0 = 0, x = 0, y = 0;
    ASSERT_TRUE(rig::PumpUntil(&form, [&] { return rig::IsMapped(d, second.GetWindow()); }));
    rig::Pump(&form, 100);
    rig::RootOrigin(d, second.GetWindow(), &x0, &y0);
    gamerig::RequestClose(d, second.GetWindow());
    ASSERT_TRUE(rig::PumpUntil(&form, [&] { return !second.IsCreated(); }));
    second.Show();
    EXPECT_TRUE(rig::PumpUntil(&form, [&] {
        rig::RootOrigin(d, second.GetWindow(), &x, &y);
        return rig::IsMapped(d, second.GetWindow()) && x == x0 && y == y0;
    })) << "at " << x << "," << y << ", was at " << x0 << "," << y0;
}

TEST_F(Toolkit, WideRangesPaintAFewTicksAndTheRightShare) {
    lumetra::Slider wide(&form, false, 0, 1000000), tall(&form, true, INT_MIN, INT_MAX);
    lumetra::ProgressBar bar(&form, INT_MIN, INT_MAX);
    wide.SetLocation(10, 10);
    wide.SetSize(200, 36);
    wide.SetValue(250000);
    tall.SetLocation(230, 10);
    tall.SetSize(40, 160);
    tall.SetValue(INT_MAX - 1);
    bar.SetLocation(10, 60);
    bar.SetValue(0);
    for (lumetra::Child* c : std::initializer_list<lumetra::Child*>{&wide, &tall, &bar}) c->Show();
    XSync(screen.GetDisplay(), False);
    EXPECT_EQ("", rig::CompareGolden(d, form.GetWindow(), "toolkit-wide-ranges"));
    // A press at the track's far end still chooses the largest value.
    wide.MouseUp(lumetra::PackPoint(10 + 181, 28));
    EXPECT_EQ(wide.GetValue(), 1000000);
}

}  // namespace
