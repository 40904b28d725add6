// labels: unit
// The application registry and the element base, without an X server.
#include <gtest/gtest.h>

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"
#include "rig/TestControls.h"

using namespace lumetra;
using rig::Probe;
using Elements = std::vector<GUIElement*>;

namespace {

TEST(Registry, OrderIdsChildrenHitsAndRemoval) {
    const size_t before = Application::elements.size();
    Form f, other;
    f.AssignId();
    Probe a(&f, "a", 0, 0, 50, 50), panel(&f, "panel", 100, 100, 200, 200, "panel"),
        hidden(&f, "h", 0, 60, 40, 40);
    EXPECT_EQ(a.GetId(), 0U);  // ids come with creation, and are never taken again
    a.Create(), panel.Create(), a.Create();
    EXPECT_TRUE(panel.GetId() == a.GetId() + 1 && a.GetTag() == a.GetId());
    Probe inner(&panel, "i", 10, 10, 20, 20), disabled(&f, "d", 60, 0, 30, 30),
        bar(&f, "b", 400, 0, 50, 30, "menubar");
    for (Probe* p : {&inner, &disabled, &hidden, &bar}) p->Create();
    hidden.Hide(), disabled.SetEnabled(false);
    Probe menu(&bar, "m", 0, 0, 50, 30, "menu"), item(&menu, "it");
    menu.Create();
    {
        Probe gone(&other, "g");
        EXPECT_EQ(Application::elements.back(), &gone);
    }
    ASSERT_EQ(Application::elements.size(), before + 10);
    EXPECT_TRUE(Application::elements[before] == &f && Application::forms.back() == &other);
    // Depth first through panels, in construction order.
    EXPECT_EQ(Application::GetChildren(f.GetId()),
              (Elements{&a, &panel, &inner, &hidden, &disabled, &bar}));
    EXPECT_TRUE(Application::GetParentForm(&inner) == &f &&
                Application::GetParentForm(&f) == nullptr);
    EXPECT_EQ(Application::GetOffsetInForm(&inner, inner.x, inner.y), PackPoint(110, 110));
    // The control under a point: both edges count, panels are entered and
    // their bare background is nobody's; hidden and disabled ones are skipped.
    const std::pair<PackedPoint, GUIElement*> hits[] = {
        {PackPoint(0, 0), &a},          {PackPoint(50, 50), &a},
        {PackPoint(51, 50), nullptr},   {PackPoint(50, 51), nullptr},
        {PackPoint(110, 110), &inner},  {PackPoint(130, 130), &inner},
        {PackPoint(131, 125), nullptr}, {PackPoint(10, 80), nullptr},
        {PackPoint(70, 10), nullptr},
    };
    for (const auto& [point, expected] : hits)
        EXPECT_EQ(Application::FindChildAt(f.GetId(), point), expected)
            << PointX(point) << "," << PointY(point);
    EXPECT_FALSE(Application::IsKeyDown(-1) || Application::IsKeyDown(256));
    // Removing the children unregisters them, inside panels and menus too,
    // each once and without deleting them; removing one twice is logged (and survived).
    testing::internal::CaptureStdout();
    Application::RemoveChildren(f.GetId());
    EXPECT_EQ(Application::elements.size(), before + 2);
    Application::RemoveWinForm(&a), Application::RemoveWindow(&other),
        Application::RemoveWindow(&other);
    Application::AddForm(&other);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2)
        << log;  // a's and the form's second removal
    EXPECT_NE(log.find(" NON TROVATO! Application::RemoveWindow = form lx "), std::string::npos)
        << log;
    for (Probe* p : {&a, &panel, &inner, &hidden, &disabled, &bar, &menu, &item})
        Application::AddElement(p);
}

int loads = 0, clicks = 0, doubles = 0;
int64_t fakeNow = 1000;

TEST(Element, GeometryHandlersChangesAndDoubleClicks) {
    DateTime::SetClock([] { return fakeNow; });
    Form f;
    Probe p(&f, "p", 10, 10, 20, 20);
    EXPECT_FALSE(
        p.ContainsPoint(PackPoint(15, 15)));  // not created; the edges are in the hit table
    p.Create(), p.SetLocation(-5, 7);         // clamped at the form's edge
    EXPECT_EQ(p.GetPosition(), PackPoint(0, 7));
    p.SetLocationPoint(PackPoint(-5, 7));
    EXPECT_EQ(p.GetPosition(), PackPoint(-5, 7));
    f.SetOnLoad([](GUIElement*, uint64_t) { ++loads; });
    f.Load(42), f.Load(43);
    EXPECT_TRUE(loads == 1 && f.GetTag() == 42U && f.KeyChar('a') && f.QueryClose());
    f.SetOnQueryClose([](GUIElement*) { return false; });
    EXPECT_FALSE(f.QueryClose());
    // Two clicks in the same clock second are a double click.
    p.SetOnClick([](GUIElement*, uint64_t, PackedPoint) { ++clicks; });
    p.SetOnDoubleClick([](GUIElement*, uint64_t, PackedPoint) { ++doubles; });
    for (const auto& [now, expected] : {std::pair{1000, 1}, {1001, 1}, {1001, 2}}) {
        fakeNow = now;
        p.GUIElement::MouseUp(0);  // the first in the second of the construction
        EXPECT_EQ(doubles, expected) << now;
    }
    EXPECT_EQ(clicks, 3);
    DateTime::SetClock(nullptr);
    DateTime bad;
    bad.invalid = true;
    EXPECT_EQ(DateTime::FromEpoch(3).MillisecondsSince(DateTime::FromEpoch(0)), 3000);
    EXPECT_EQ(DateTime::FromEpoch(3).MillisecondsSince(bad), 0);
}

}  // namespace
