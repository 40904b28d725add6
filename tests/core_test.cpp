// labels: unit
// The application registry and the element base, without an X server.
#include <gtest/gtest.h>

#include "core/Application.h"
#include "core/Form.h"
#include "rig/Process.h"
#include "rig/TestControls.h"

using namespace lumetra;
using rig::Probe;

namespace {

std::vector<uint32_t> Ids(const std::vector<GUIElement*>& list) {
    std::vector<uint32_t> ids;
    for (GUIElement* e : list) ids.push_back(e->GetId());
    return ids;
}

TEST(Registry, OrderIdsChildrenHitsAndRemoval) {
    const size_t before = Application::elements.size();
    Form f, other;
    f.AssignId();
    Probe a(&f, "a", 0, 0, 50, 50), panel(&f, "panel", 100, 100, 200, 200, "panel"), hidden(&f, "h", 0, 60, 40, 40);
    EXPECT_EQ(a.GetId(), 0U);  // ids come with creation
    a.Create();
    panel.Create();
    a.Create();
    EXPECT_EQ(panel.GetId(), a.GetId() + 1);  // never taken again
    EXPECT_EQ(a.GetTag(), a.GetId());
    Probe inner(&panel, "i", 10, 10, 20, 20), disabled(&f, "d", 60, 0, 30, 30), bar(&f, "b", 400, 0, 50, 30, "menubar");
    for (Probe* p : {&inner, &disabled, &hidden, &bar}) p->Create();
    hidden.Hide();
    disabled.SetEnabled(false);
    Probe menu(&bar, "m", 0, 0, 50, 30, "menu");
    menu.Create();
    Probe item(&menu, "it");
    {
        Probe gone(&other, "g");
        EXPECT_EQ(Application::elements.back(), &gone);
    }
    ASSERT_EQ(Application::elements.size(), before + 10);
    EXPECT_EQ(Application::elements[before], &f);
    EXPECT_EQ(Application::forms.back(), &other);
    // Depth first through panels, in construction order.
    EXPECT_EQ(Ids(Application::GetChildren(f.GetId())), (std::vector<uint32_t>{a.GetId(), panel.GetId(), inner.GetId(),
                                                                              hidden.GetId(), disabled.GetId(), bar.GetId()}));
    EXPECT_EQ(Application::GetParentForm(&inner), &f);
    EXPECT_EQ(Application::GetParentForm(&f), nullptr);
    EXPECT_EQ(Application::GetOffsetInForm(&inner, inner.x, inner.y), PackPoint(110, 110));
    // The control under a point: both edges count, panels are entered and
    // their bare background is nobody's; hidden and disabled ones are skipped.
    const std::pair<PackedPoint, GUIElement*> hits[] = {
        {PackPoint(0, 0), &a},        {PackPoint(50, 50), &a},         {PackPoint(51, 50), nullptr},
        {PackPoint(50, 51), nullptr}, {PackPoint(110, 110), &inner},   {PackPoint(130, 130), &inner},
        {PackPoint(131, 125), nullptr}, {PackPoint(10, 80), nullptr},  {PackPoint(70, 10), nullptr},
    };
    for (const auto& [point, expected] : hits)
        EXPECT_EQ(Application::FindChildAt(f.GetId(), point), expected) << PointX(point) << "," << PointY(point);
    EXPECT_FALSE(Application::IsKeyDown(-1) || Application::IsKeyDown(256));
    // Removing the children unregisters them, inside panels and menus too, without deleting them.
    Application::RemoveChildren(f.GetId());
    EXPECT_EQ(Application::elements.size(), before + 2);
    for (Probe* p : {&a, &panel, &inner, &hidden, &disabled, &bar, &menu, &item}) Application::AddElement(p);
}

TEST(Registry, RemovingAnUnknownElementLogsOnce) {
    rig::TempDir dir;
    std::string log;
    Form f;
    f.AssignId();
    size_t left = 0;
    {
        rig::WorkingDirectory here(dir.Path());
        Application::RemoveWindow(&f);
        left = Application::forms.size();
        Application::RemoveWindow(&f);
        Application::AddForm(&f);
    }
    EXPECT_EQ(rig::ReadFile(dir / "log.txt"), " NON TROVATO! Application::RemoveWindow = form lx " + std::to_string(left) + " id " +
                                                  std::to_string(f.GetId()) + "\n");
}

int loads = 0, changes = 0, lostCalls = 0, clicks = 0, doubles = 0;
int64_t fakeNow = 1000;

TEST(Element, DefaultsGeometryAndHandlers) {
    Form f;
    Probe p(&f, "p", 10, 10, 20, 20);
    EXPECT_TRUE(p.IsEnabled() && p.IsTabStop() && !p.IsVisible());
    EXPECT_EQ(p.GetBackColor(), NoColour);
    EXPECT_FALSE(p.ContainsPoint(PackPoint(15, 15)));  // not created
    p.Create();
    EXPECT_TRUE(p.ContainsPoint(PackPoint(30, 30)) && p.ContainsPoint(PackPoint(10, 10)));
    EXPECT_FALSE(p.ContainsPoint(PackPoint(31, 30)) || p.ContainsPoint(PackPoint(30, 9)));
    p.Hide();
    EXPECT_FALSE(p.ContainsPoint(PackPoint(15, 15)));
    p.SetLocation(-5, 7);  // clamped at the form's edge
    EXPECT_EQ(p.GetPosition(), PackPoint(0, 7));
    p.SetLocationPoint(PackPoint(-5, 7));
    EXPECT_EQ(p.GetPosition(), PackPoint(-5, 7));
    f.SetOnLoad([](GUIElement*, uint64_t) { ++loads; });
    f.Load(42);
    f.Load(43);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(f.GetTag(), 42U);
    EXPECT_TRUE(f.KeyChar('a') && f.QueryClose());
    f.SetOnQueryClose([](GUIElement*) { return false; });
    EXPECT_FALSE(f.QueryClose());
}

TEST(Element, ChangeOnFocusLossAndDoubleClickInOneClockSecond) {
    Form f;
    DateTime::SetClock([] { return fakeNow; });
    Probe p(&f, "p");
    p.SetOnChange([](GUIElement*) { ++changes; });
    p.SetOnLostFocus([](GUIElement* e) {
        if (++lostCalls == 2) e->SetText("edited");  // a handler's edit is seen by the comparison
    });
    p.SetText("a");
    p.GotFocus();
    p.LostFocus();
    EXPECT_EQ(changes, 0);
    p.GotFocus();
    p.LostFocus();
    EXPECT_EQ(changes, 1);
    p.SetOnClick([](GUIElement*, uint64_t, PackedPoint) { ++clicks; });
    p.SetOnDoubleClick([](GUIElement*, uint64_t, PackedPoint) { ++doubles; });
    p.GUIElement::MouseUp(0);  // in the second of the construction
    EXPECT_EQ(doubles, 1);
    fakeNow = 1001;
    p.GUIElement::MouseUp(0);
    EXPECT_EQ(doubles, 1);
    p.GUIElement::MouseUp(0);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(doubles, 2);
    DateTime::SetClock(nullptr);
    const DateTime zero = DateTime::FromEpoch(0), later = DateTime::FromEpoch(3);
    EXPECT_EQ(later.MillisecondsSince(zero), 3000);
    DateTime bad;
    bad.invalid = true;
    EXPECT_EQ(later.MillisecondsSince(bad), 0);
}

}  // namespace
