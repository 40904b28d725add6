// labels: unit
// The application registry and the element base, without an X server.
#include <gtest/gtest.h>

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"
#include "rig/TestControls.h"

using namespace lumetra;
using rig::Probe;

namespace {

int loads = 0;
int64_t fakeNow = 1000;

// Ids come with creation and are never taken again; the tag is the id unless a Load gives one.
TEST(Registry, IdsComeWithCreation) {
    Form f;
    Probe a(&f, "a");
    Probe b(&f, "b");
    EXPECT_EQ(a.GetId(), 0U);
    a.Create();
    b.Create();
    a.Create();
    EXPECT_EQ(b.GetId(), a.GetId() + 1);
    EXPECT_EQ(a.GetTag(), a.GetId());
    EXPECT_EQ(Application::FindElementById(b.GetId()), &b);
    EXPECT_EQ(Application::FindElementById(b.GetId() + 1), nullptr);
    f.SetOnLoad([](GUIElement*, uint64_t) { ++loads; });
    f.Load(42);
    f.Load(43);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(f.GetTag(), 42U);
}

// The control under a point: both edges count; hidden, disabled and uncreated ones are
// skipped. (Panels and what is in them: the window test's traces.)
TEST(Registry, TheControlUnderAPoint) {
    Form f;
    f.AssignId(false);
    Probe a(&f, "a", 0, 0, 50, 50);
    Probe hidden(&f, "h", 0, 60, 40, 40);
    Probe disabled(&f, "d", 60, 0, 30, 30);
    Probe uncreated(&f, "u", 100, 0, 30, 30);
    for (Probe* p : {&a, &hidden, &disabled}) p->Create();
    hidden.Hide();
    disabled.SetEnabled(false);
    const std::tuple<const char*, PackedPoint, GUIElement*> hits[] = {
        {"a's top left corner", PackPoint(0, 0), &a},
        {"a's bottom right corner", PackPoint(50, 50), &a},
        {"right of a", PackPoint(51, 50), nullptr},
        {"below a", PackPoint(50, 51), nullptr},
        {"the hidden one", PackPoint(10, 80), nullptr},
        {"the disabled one", PackPoint(70, 10), nullptr},
    };
    for (const auto& [name, point, expected] : hits)
        EXPECT_EQ(Application::FindChildAt(f.GetId(), point), expected) << name;
    EXPECT_FALSE(uncreated.ContainsPoint(PackPoint(110, 10)));
    EXPECT_EQ(Application::TickRounds(), 0U);  // no timer has ticked yet
    EXPECT_FALSE(Application::IsKeyDown(-1));
    EXPECT_FALSE(Application::IsKeyDown(256));
    // Positions set by a program are clamped at the form's edge; points are not.
    a.SetLocation(-5, 7);
    EXPECT_EQ(a.GetPosition(), PackPoint(0, 7));
    a.SetLocationPoint(PackPoint(-5, 7));
    EXPECT_EQ(a.GetPosition(), PackPoint(-5, 7));
}

// Two clicks in the same clock second are a double click.
TEST(Registry, TwoClicksInOneSecondAreADoubleClick) {
    DateTime::SetClock([] { return fakeNow; });
    Form f;
    Probe a(&f, "a");
    a.SetOnDoubleClick([](GUIElement* s, uint64_t, PackedPoint) { rig::Note(s, "double"); });
    const std::tuple<const char*, int64_t, const char*> sequence[] = {
        {"in the second of the construction", 1000, "a:up a:double "},
        {"the first in a new second", 1001, "a:up "},
        {"the second in that second", 1001, "a:up a:double "},
    };
    for (const auto& [name, now, expected] : sequence) {
        rig::trace.clear();
        fakeNow = now;
        a.MouseUp(0);
        EXPECT_EQ(rig::trace, expected) << name;
    }
    DateTime::SetClock(nullptr);
}

TEST(DateTime, FromEpochInTheLocalZone) {
    setenv("TZ", "UTC", 1);
    tzset();
    const DateTime then = DateTime::FromEpoch(1718024523);  // Monday 10 June 2024, 13:02:03 UTC
    EXPECT_EQ(std::make_tuple(then.year, then.month, then.day, then.weekday),
              std::make_tuple(2024, 6, 10, 1));
    EXPECT_EQ(std::make_tuple(then.hour, then.minute, then.second), std::make_tuple(13, 2, 3));
    DateTime bad;
    bad.invalid = true;
    EXPECT_EQ(DateTime::FromEpoch(3).MillisecondsSince(bad), 0);
}

// Removing the children unregisters them, inside panels and menus too, each once and without
// deleting them; removing one twice is logged (and survived).
TEST(Registry, RemovalUnregistersEachOnce) {
    Form f;
    f.AssignId(false);
    Probe a(&f, "a");
    Probe panel(&f, "panel", 100, 100, 200, 200, "panel");
    Probe inner(&panel, "i", 10, 10, 20, 20);
    Probe bar(&f, "b", 400, 0, 50, 30, "menubar");
    Probe menu(&bar, "m", 0, 0, 50, 30, "menu");
    Probe item(&menu, "it");
    for (Probe* p : {&a, &panel, &inner, &bar, &menu}) p->Create();
    testing::internal::CaptureStdout();
    Application::RemoveChildren(f.GetId());
    Application::RemoveWinForm(&a);
    Application::RemoveWindow(&f);
    Application::RemoveWindow(&f);
    Application::AddForm(&f);
    // a's and the form's second removal: the form alone is left.
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              " NON TROVATO! Application::RemoveWinForm = probe size 1 id " +
                  std::to_string(a.GetId()) +
                  "\n NON TROVATO! Application::RemoveWindow = form lx 0 id " +
                  std::to_string(f.GetId()) + "\n");
    for (Probe* p : {&a, &panel, &inner, &bar, &menu, &item}) Application::AddElement(p);
}

// The hooks the toolkit never raises itself reach the handlers of the program that raises them.
TEST(Registry, HooksAProgramRaisesReachItsHandlers) {
    Form f;
    Probe a(&f, "a");
    a.SetOnNotify([](GUIElement* s) { rig::Note(s, "notify"); });
    a.SetOnAuxEventA([](GUIElement* s) { rig::Note(s, "aux-a"); });
    a.SetOnAuxEventB([](GUIElement* s) { rig::Note(s, "aux-b"); });
    a.SetOnAuxPointerEvent([](GUIElement* s, uint64_t, PackedPoint) { rig::Note(s, "aux-point"); });
    a.SetOnMouseMove([](GUIElement* s, int32_t mx, int32_t my) {
        rig::Note(s, "move" + std::to_string(mx) + "," + std::to_string(my));
    });
    rig::trace.clear();
    a.Notify();
    a.AuxEventA();
    a.AuxEventB();
    a.AuxPointerEvent(0);
    a.MouseMove(3, 4);
    a.OtherButtonDown(0);
    a.OtherButtonUp(0);
    a.KeyDown(1);
    a.KeyUp(1);
    EXPECT_EQ(rig::trace,
              "a:notify a:aux-a a:aux-b a:aux-point a:move3,4 a:other-down a:other-up a:keydown "
              "a:keyup ");
}

TEST(Registry, AnElementCarriesOneMarkAtATime) {
    Form f;
    Probe a(&f, "a");
    a.SetSecondaryMark(true);
    a.SetPrimaryMark(true);
    EXPECT_FALSE(a.IsSecondaryMark());
    a.SetSecondaryMark(true);
    EXPECT_FALSE(a.IsPrimaryMark());
    EXPECT_TRUE(a.IsSecondaryMark());
    f.SetSecondaryMarkOn();  // a form not made yet takes no mark
    EXPECT_FALSE(f.IsSecondaryMark());
}

// A subclass's hook hears of a new background colour once the element is made.
TEST(Registry, TheBackgroundHookWaitsForTheElement) {
    Form f;
    struct Tinted : Probe {
        using Probe::Probe;
        void OnBackColorApplied() override { rig::Note(this, "tinted"); }
    };
    Tinted t(&f, "t");
    rig::trace.clear();
    t.BackColorChanged();
    EXPECT_EQ(rig::trace, "");
    t.Create();
    t.BackColorChanged();
    EXPECT_EQ(rig::trace, "t:tinted ");
}

}  // namespace
