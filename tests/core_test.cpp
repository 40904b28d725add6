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
    Form f;
    Form other;
    f.AssignId();
    Probe a(&f, "a", 0, 0, 50, 50);
    Probe panel(&f, "panel", 100, 100, 200, 200, "panel");
    Probe hidden(&f, "h", 0, 60, 40, 40);
    EXPECT_EQ(a.GetId(), 0U);  // ids come with creation, and are never taken again
    a.Create();
    panel.Create();
    a.Create();
    EXPECT_EQ(panel.GetId(), a.GetId() + 1);
    EXPECT_EQ(a.GetTag(), a.GetId());
    Probe inner(&panel, "i", 10, 10, 20, 20);
    Probe disabled(&f, "d", 60, 0, 30, 30);
    Probe bar(&f, "b", 400, 0, 50, 30, "menubar");
    for (Probe* p : {&inner, &disabled, &hidden, &bar}) p->Create();
    hidden.Hide();
    disabled.SetEnabled(false);
    Probe menu(&bar, "m", 0, 0, 50, 30, "menu");
    Probe item(&menu, "it");
    menu.Create();
    {
        Probe gone(&other, "g");
        EXPECT_EQ(Application::elements.back(), &gone);
    }
    ASSERT_EQ(Application::elements.size(), before + 10);
    EXPECT_EQ(Application::elements[before], &f);
    EXPECT_EQ(Application::forms.back(), &other);
    // Depth first through panels, in construction order.
    EXPECT_EQ(Application::GetChildren(f.GetId()),
              (Elements{&a, &panel, &inner, &hidden, &disabled, &bar}));
    EXPECT_EQ(Application::GetParentForm(&inner), &f);
    EXPECT_EQ(Application::GetParentForm(&f), nullptr);
    EXPECT_EQ(Application::GetOffsetInForm(&inner, inner.x, inner.y), PackPoint(110, 110));
    // The control under a point: both edges count, panels are entered and
    // their bare background is nobody's; hidden and disabled ones are skipped.
    struct Hit {
        const char* name;
        PackedPoint point;
        GUIElement* expected;
    };
    const Hit hits[] = {
        {"a's top left corner", PackPoint(0, 0), &a},
        {"a's bottom right corner", PackPoint(50, 50), &a},
        {"right of a", PackPoint(51, 50), nullptr},
        {"below a", PackPoint(50, 51), nullptr},
        {"inner's top left, inside the panel", PackPoint(110, 110), &inner},
        {"inner's bottom right", PackPoint(130, 130), &inner},
        {"the panel's bare background", PackPoint(131, 125), nullptr},
        {"the hidden one", PackPoint(10, 80), nullptr},
        {"the disabled one", PackPoint(70, 10), nullptr},
    };
    for (const Hit& hit : hits)
        EXPECT_EQ(Application::FindChildAt(f.GetId(), hit.point), hit.expected) << hit.name;
    EXPECT_FALSE(Application::IsKeyDown(-1));
    EXPECT_FALSE(Application::IsKeyDown(256));
    // Removing the children unregisters them, inside panels and menus too,
    // each once and without deleting them; removing one twice is logged (and survived).
    testing::internal::CaptureStdout();
    Application::RemoveChildren(f.GetId());
    EXPECT_EQ(Application::elements.size(), before + 2);
    Application::RemoveWinForm(&a);
    Application::RemoveWindow(&other);
    Application::RemoveWindow(&other);
    Application::AddForm(&other);
    const std::string log = testing::internal::GetCapturedStdout();
    // a's and the form's second removal
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    EXPECT_NE(log.find(" NON TROVATO! Application::RemoveWindow = form lx "), std::string::npos)
        << log;
    for (Probe* p : {&a, &panel, &inner, &hidden, &disabled, &bar, &menu, &item})
        Application::AddElement(p);
}

int loads = 0;
int clicks = 0;
int doubles = 0;
int64_t fakeNow = 1000;

TEST(Element, GeometryHandlersChangesAndDoubleClicks) {
    DateTime::SetClock([] { return fakeNow; });
    Form f;
    Probe p(&f, "p", 10, 10, 20, 20);
    // Not created; the edges are in the hit table.
    EXPECT_FALSE(p.ContainsPoint(PackPoint(15, 15)));
    p.Create();
    p.SetLocation(-5, 7);  // clamped at the form's edge
    EXPECT_EQ(p.GetPosition(), PackPoint(0, 7));
    p.SetLocationPoint(PackPoint(-5, 7));
    EXPECT_EQ(p.GetPosition(), PackPoint(-5, 7));
    f.SetOnLoad([](GUIElement*, uint64_t) { ++loads; });
    f.Load(42);
    f.Load(43);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(f.GetTag(), 42U);
    EXPECT_TRUE(f.KeyChar('a'));
    EXPECT_TRUE(f.QueryClose());
    f.SetOnQueryClose([](GUIElement*) { return false; });
    EXPECT_FALSE(f.QueryClose());
    // Two clicks in the same clock second are a double click.
    p.SetOnClick([](GUIElement*, uint64_t, PackedPoint) { ++clicks; });
    p.SetOnDoubleClick([](GUIElement*, uint64_t, PackedPoint) { ++doubles; });
    struct Click {
        const char* name;
        int64_t now;
        int doubles;
    };
    const Click sequence[] = {
        {"in the second of the construction", 1000, 1},
        {"the first in a new second", 1001, 1},
        {"the second in that second", 1001, 2},
    };
    for (const Click& click : sequence) {
        fakeNow = click.now;
        p.GUIElement::MouseUp(0);
        EXPECT_EQ(doubles, click.doubles) << click.name;
    }
    EXPECT_EQ(clicks, 3);
    DateTime::SetClock(nullptr);
    DateTime bad;
    bad.invalid = true;
    EXPECT_EQ(DateTime::FromEpoch(3).MillisecondsSince(DateTime::FromEpoch(0)), 3000);
    EXPECT_EQ(DateTime::FromEpoch(3).MillisecondsSince(bad), 0);
}

}  // namespace
