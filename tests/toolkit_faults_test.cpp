// The toolkit's own faults, in-process on a real server with a window manager:
// the current screen, RemoveChildren, timers, a form shown again, wide ranges.
// labels: x11
#include <gtest/gtest.h>
#include <climits>

#include "GameProcess.h"
#include "controls/PanelChildren.h"
#include "controls/ProgressBar.h"
#include "controls/Slider.h"
#include "core/Application.h"
#include "core/Screen.h"
#include "core/Timer.h"
#include "rig/Golden.h"
#include "rig/XServer.h"

TEST(Toolkit, FaultsOfItsOwn) {
    ASSERT_TRUE(rig::SharedServer(true).Ok());
    Display* d = rig::SharedServer(true).Connection();
    {
        const lumetra::Screen first;
        EXPECT_EQ(lumetra::Screen::Current(), &first);
    }
    EXPECT_EQ(lumetra::Screen::CurrentScreenWidth(), 0);  // not read from a freed object
    lumetra::Screen screen;
    lumetra::Form form, other(0, true);
    form.SetSize(300, 180);
    other.SetLocation(400, 300);
    for (lumetra::Form* f : {&form, &other}) {
        f->SetScreen(&screen);
        f->Create();
    }
    ASSERT_TRUE(rig::PumpUntil(&form, [&] { return rig::IsMapped(d, form.GetWindow()) && rig::IsMapped(d, other.GetWindow()); }));
    {  // A panel inside a panel is unregistered once, with no line logged.
        rig::TempDir dir;
        const rig::WorkingDirectory here(dir.Path());
        lumetra::PanelChildren panel(&form), inner(&panel);
        panel.AssignId();
        lumetra::Application::RemoveChildren(form.GetId());
        EXPECT_EQ(rig::ReadFile(dir / "log.txt"), "");
        for (lumetra::GUIElement* e : {&panel, &inner}) lumetra::Application::AddElement(e);
    }
    // One timer stopped, another destroyed: the third goes on ticking.
    static int ticks = 0;
    lumetra::Timer a(&form, 10), b(&form, 10);
    b.SetOnTick([](lumetra::Timer*) { ++ticks; });
    for (lumetra::Timer* t : {&a, &b}) t->Start();
    lumetra::Timer(&form, 10).Start();
    a.Stop();
    EXPECT_TRUE(rig::PumpUntil(&form, [] { return ticks >= 3; }, 2000));
    // Shown again after the window manager closed it, a form comes back where it was.
    int x0 = 0, y0 = 0, x = 0, y = 0;
    rig::RootOrigin(d, other.GetWindow(), &x0, &y0);
    gamerig::RequestClose(d, other.GetWindow());
    ASSERT_TRUE(rig::PumpUntil(&form, [&] { return !other.IsCreated(); }));
    other.Show();
    ASSERT_TRUE(rig::PumpUntil(&form, [&] { return rig::IsMapped(d, other.GetWindow()); }));
    rig::RootOrigin(d, other.GetWindow(), &x, &y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(x0, y0));
    // Very wide ranges: a few ticks, and the pointer and the share where they belong.
    lumetra::Slider wide(&form, false, 0, 1000000), tall(&form, true, INT_MIN, INT_MAX);
    lumetra::ProgressBar bar(&form, INT_MIN, INT_MAX);
    wide.SetValue(250000);
    tall.SetValue(INT_MAX - 1);
    bar.SetValue(0);
    wide.SetLocation(10, 10);
    tall.SetLocation(230, 10);
    tall.SetSize(40, 160);
    bar.SetLocation(10, 100);
    for (lumetra::Child* c : std::initializer_list<lumetra::Child*>{&wide, &tall, &bar}) c->Show();
    XSync(screen.GetDisplay(), False);
    EXPECT_EQ("", rig::CompareGolden(d, form.GetWindow(), "toolkit-wide-ranges"));
    wide.MouseUp(lumetra::PackPoint(91, 35));  // at the end of the track
    EXPECT_EQ(wide.GetValue(), 1000000);
}
