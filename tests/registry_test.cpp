// The application registry and the element base, without an X server.
#include <gtest/gtest.h>
#include <unistd.h>

#include "core/Application.h"
#include "core/Form.h"
#include "rig/Process.h"
#include "rig/TestControls.h"

using lumetra::Application;
using lumetra::Form;
using lumetra::GUIElement;
using lumetra::PackPoint;
using lumetra::PointX;
using lumetra::PointY;
using rig::Probe;

namespace {

std::vector<uint32_t> Ids(const std::vector<GUIElement*>& list) {
    std::vector<uint32_t> ids;
    for (GUIElement* e : list) ids.push_back(e->GetId());
    return ids;
}

TEST(Registry, ElementsFormsAndTimersKeepConstructionOrder) {
    const size_t before = Application::elements.size();
    Form a, b;
    Probe p(&a);
    ASSERT_EQ(Application::elements.size(), before + 3);
    EXPECT_EQ(Application::elements[before], &a);
    EXPECT_EQ(Application::elements[before + 2], &p);
    EXPECT_EQ(Application::forms.back(), &b);
    {
        Probe q(&b);
        EXPECT_EQ(Application::elements.back(), &q);
    }
    EXPECT_EQ(Application::elements.back(), &p);
}

TEST(Registry, IdsAreTakenOnCreationAndNeverReused) {
    Form f;
    Probe a(&f), b(&f);
    EXPECT_EQ(a.GetId(), 0U);
    a.Create();
    b.Create();
    EXPECT_EQ(b.GetId(), a.GetId() + 1);
    EXPECT_EQ(a.GetTag(), a.GetId());
    const uint32_t first = a.GetId();
    a.Create();
    EXPECT_EQ(a.GetId(), first);
}

TEST(Registry, ChildrenAreDepthFirstInConstructionOrder) {
    Form f;
    f.AssignId();
    Probe a(&f), panel(&f, "panel"), other(&f);
    panel.Create();
    Probe inner1(&panel), inner2(&panel);
    for (Probe* p : {&a, &other, &inner1, &inner2}) p->Create();
    EXPECT_EQ(Ids(Application::GetChildren(f.GetId())),
              (std::vector<uint32_t>{a.GetId(), panel.GetId(), inner1.GetId(), inner2.GetId(), other.GetId()}));
    EXPECT_EQ(Ids(Application::GetChildren(panel.GetId())), (std::vector<uint32_t>{inner1.GetId(), inner2.GetId()}));
}

TEST(Registry, FindChildAtEntersPanelsAndSkipsUnusableElements) {
    Form f;
    f.AssignId();
    Probe panel(&f, "panel", 100, 100, 200, 200);
    Probe inPanel(&panel, "probe", 10, 10, 20, 20);
    Probe hidden(&f, "probe", 0, 0, 50, 50);
    Probe disabled(&f, "probe", 0, 0, 50, 50);
    Probe visible(&f, "probe", 0, 0, 50, 50);
    for (Probe* p : {&panel, &inPanel, &disabled, &visible}) p->Create();
    disabled.SetEnabled(false);
    // Hidden: never created.
    EXPECT_EQ(Application::FindChildAt(f.GetId(), PackPoint(20, 20)), &visible);
    // Both edges count.
    EXPECT_EQ(Application::FindChildAt(f.GetId(), PackPoint(50, 50)), &visible);
    EXPECT_EQ(Application::FindChildAt(f.GetId(), PackPoint(51, 50)), nullptr);
    // Relative to the panel: (110..130, 110..130) on the form.
    EXPECT_EQ(Application::FindChildAt(f.GetId(), PackPoint(115, 125)), &inPanel);
    // A panel's bare background is nobody's.
    EXPECT_EQ(Application::FindChildAt(f.GetId(), PackPoint(250, 250)), nullptr);
    EXPECT_EQ(Application::GetOffsetInForm(&inPanel, inPanel.x, inPanel.y), PackPoint(110, 110));
}

TEST(Registry, RemoveChildrenUnregistersWithoutDeleting) {
    Form f;
    f.AssignId();
    Probe panel(&f, "panel"), menubar(&f, "menubar");
    panel.Create();
    menubar.Create();
    Probe inPanel(&panel), menu(&menubar, "menu");
    menu.Create();
    Probe item(&menu);
    const size_t before = Application::elements.size();
    Application::RemoveChildren(f.GetId());
    EXPECT_EQ(Application::elements.size(), before - 5);
    EXPECT_TRUE(Application::GetChildren(f.GetId()).empty());
    // The objects still live; their destructors now only log a miss.
    for (Probe* p : {&panel, &menubar, &inPanel, &menu, &item}) Application::AddElement(p);
}

TEST(Registry, RemovingAnUnknownElementLogsOnce) {
    rig::TempDir dir;
    auto here = std::make_unique<rig::WorkingDirectory>(dir.Path());
    ASSERT_TRUE(here->Ok());
    Form f;
    f.AssignId();
    Application::RemoveWindow(&f);
    const size_t left = Application::forms.size();
    Application::RemoveWindow(&f);
    Application::AddForm(&f);
    here.reset();
    const std::vector<std::string> log = rig::ReadLines(dir / "log.txt");
    ASSERT_EQ(log.size(), 1U);
    EXPECT_EQ(log[0], " NON TROVATO! Application::RemoveWindow = form lx " + std::to_string(left) + " id " + std::to_string(f.GetId()));
}

TEST(Registry, ParentFormAndKeyState) {
    Form f;
    Probe panel(&f, "panel");
    Probe inner(&panel);
    EXPECT_EQ(Application::GetParentForm(&inner), &f);
    EXPECT_EQ(Application::GetParentForm(&f), nullptr);
    EXPECT_FALSE(Application::IsKeyDown(-1));
    EXPECT_FALSE(Application::IsKeyDown(256));
}

// ---- the element base ----

TEST(Element, FreshDefaultsAndGeometry) {
    Form f;
    Probe p(&f, "probe", 100, 100, 100, 50);
    EXPECT_TRUE(p.IsEnabled());
    EXPECT_TRUE(p.IsTabStop());
    EXPECT_FALSE(p.IsVisible());
    EXPECT_EQ(p.GetBackColor(), lumetra::NoColour);
    p.SetLocation(-5, 7);
    EXPECT_EQ(p.GetPosition(), PackPoint(0, 7));
    p.SetLocationPoint(PackPoint(-5, 7));
    EXPECT_EQ(PointX(p.GetPosition()), -5);
    EXPECT_EQ(PointY(p.GetPosition()), 7);
}

TEST(Element, ContainsPointNeedsCreatedAndVisible) {
    Form f;
    Probe p(&f, "probe", 10, 10, 20, 20);
    EXPECT_FALSE(p.ContainsPoint(PackPoint(15, 15)));
    p.Create();
    EXPECT_TRUE(p.ContainsPoint(PackPoint(30, 30)));
    EXPECT_FALSE(p.ContainsPoint(PackPoint(31, 30)));
    p.Hide();
    EXPECT_FALSE(p.ContainsPoint(PackPoint(15, 15)));
}

int loads = 0;
TEST(Element, LoadRunsItsHandlerOnceAndKeepsATag) {
    Form f;
    loads = 0;
    f.SetOnLoad([](GUIElement*, uint64_t) { ++loads; });
    f.Load(42);
    f.Load(43);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(f.GetTag(), 42U);
}

TEST(Element, AnswersWithoutHandlers) {
    Form f;
    EXPECT_TRUE(f.KeyChar('a'));
    EXPECT_TRUE(f.QueryClose());
    f.SetOnQueryClose([](GUIElement*) { return false; });
    EXPECT_FALSE(f.QueryClose());
}

int changes = 0, lostCalls = 0;
TEST(Element, ChangeIsReportedOnlyOnFocusLossWithADifferentValue) {
    Form f;
    Probe p(&f);
    changes = lostCalls = 0;
    p.SetOnChange([](GUIElement*) { ++changes; });
    p.SetOnLostFocus([](GUIElement* e) {
        ++lostCalls;
        // A handler that edits the value is seen by the comparison.
        if (lostCalls == 2) e->SetText("edited");
    });
    p.SetText("a");
    p.GotFocus();
    p.LostFocus();
    EXPECT_EQ(changes, 0);
    p.GotFocus();
    p.LostFocus();
    EXPECT_EQ(lostCalls, 2);
    EXPECT_EQ(changes, 1);
}

int64_t fakeNow = 1000;
int clicks = 0, doubles = 0;
TEST(Element, DoubleClickIsTwoClicksInTheSameClockSecond) {
    lumetra::DateTime::SetClock([] { return fakeNow; });
    Form f;
    Probe p(&f);
    clicks = doubles = 0;
    p.SetOnClick([](GUIElement*, uint64_t, lumetra::PackedPoint) { ++clicks; });
    p.SetOnDoubleClick([](GUIElement*, uint64_t, lumetra::PackedPoint) { ++doubles; });
    // The first click falls in the second of the construction.
    p.GUIElement::MouseUp(0);
    EXPECT_EQ(doubles, 1);
    fakeNow = 1001;
    p.GUIElement::MouseUp(0);
    EXPECT_EQ(doubles, 1);
    p.GUIElement::MouseUp(0);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(doubles, 2);
    lumetra::DateTime::SetClock(nullptr);
}

TEST(Element, DateTimeFields) {
    const lumetra::DateTime d = lumetra::DateTime::FromEpoch(0);
    EXPECT_EQ(d.millisecond, 0);
    EXPECT_FALSE(d.invalid);
    lumetra::DateTime later = lumetra::DateTime::FromEpoch(3);
    EXPECT_EQ(later.MillisecondsSince(d), 3000);
    lumetra::DateTime bad;
    bad.invalid = true;
    EXPECT_EQ(later.MillisecondsSince(bad), 0);
}

}  // namespace
