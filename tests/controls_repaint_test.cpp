// Every control is on screen from its window's first paint and comes back
// whenever its window is exposed again: the gallery form, which holds one of
// each, is mapped, covered, uncovered and cleared.
#include <gtest/gtest.h>
// After gtest: Xlib's None macro clashes with a gtest name.
#include <X11/Xlib.h>

#include <memory>
#include <set>
#include <vector>

#include "controls/ButtonCustom.h"
#include "GalleryForm.h"
#include "controls/PanelChildren.h"
#include "core/Application.h"
#include "core/Screen.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

using namespace lumetra;

namespace {

class Repaint : public ::testing::Test {
protected:
    void SetUp() override {
        server = &rig::SharedServer(false);
        ASSERT_TRUE(server->Ok());
        d = server->Connection();
        screen = std::make_unique<lumetra::Screen>();
        ASSERT_NE(screen->GetDisplay(), nullptr);
        gallery = std::make_unique<GalleryForm>(screen.get());
        ASSERT_TRUE(gallery->IsCreated());
        ASSERT_TRUE(rig::PumpUntil(gallery.get(), [&] { return rig::IsMapped(d, Win()); }));
    }
    void TearDown() override {
        gallery.reset();
        screen.reset();
    }

    Window Win() const { return gallery->GetWindow(); }
    std::vector<uint32_t> Shot() {
        XSync(screen->GetDisplay(), False);
        return rig::Pixels(d, Win(), 0, 0, GalleryForm::Width, GalleryForm::Height);
    }
    // Runs the loop until the window shows exactly what it showed before;
    // false (with the first differing pixel) when it never does.
    ::testing::AssertionResult RepaintedAs(const std::vector<uint32_t>& before) {
        if (rig::PumpUntil(
                gallery.get(), [&] { return Shot() == before; }, 3000))
            return ::testing::AssertionSuccess();
        return Difference(Shot(), before);
    }
    static ::testing::AssertionResult Difference(const std::vector<uint32_t>& now, const std::vector<uint32_t>& before) {
        if (now.size() != before.size()) return ::testing::AssertionFailure() << "no pixels";
        int n = 0;
        size_t first = 0;
        for (size_t i = now.size(); i-- > 0;) {
            if (now[i] != before[i]) {
                ++n;
                first = i;
            }
        }
        if (n == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << n << " pixels differ, the first at (" << first % GalleryForm::Width << ", " << first / GalleryForm::Width
               << "): " << std::hex << now[first] << " instead of " << before[first];
    }
    // Runs the loop until the window has had its first paint: one Expose
    // paints every control, and the focused button's dashed mark is drawn
    // with the rest of them.
    std::vector<uint32_t> Painted() {
        const PackedPoint at = gallery->GetFocusedButton()->PositionInForm();
        rig::PumpUntil(gallery.get(), [&] { return rig::PixelAt(d, Win(), PointX(at) + 4, PointY(at) + 3) == 0x000000; });
        // Whatever else is queued (a second Expose) changes nothing.
        rig::Pump(gallery.get(), 50);
        return Shot();
    }

    // The controls whose rectangle shows more than the one colour behind them.
    std::vector<GUIElement*> Unpainted(const std::vector<uint32_t>& pixels) {
        std::vector<GUIElement*> out;
        for (GUIElement* e : Application::GetChildren(gallery->GetId())) {
            const PackedPoint at = e->PositionInForm();
            std::set<uint32_t> colours;
            for (int y = PointY(at); y < PointY(at) + e->GetHeight(); ++y)
                for (int x = PointX(at); x < PointX(at) + e->GetWidth(); ++x)
                    colours.insert(pixels[static_cast<size_t>(y * GalleryForm::Width + x)]);
            if (colours.size() < 2) out.push_back(e);
        }
        return out;
    }

    rig::XServer* server = nullptr;
    Display* d = nullptr;
    std::unique_ptr<lumetra::Screen> screen;
    std::unique_ptr<GalleryForm> gallery;
};

TEST_F(Repaint, EveryControlIsOnScreenAtTheWindowsFirstPaint) {
    const std::vector<uint32_t> first = Painted();
    ASSERT_FALSE(first.empty());
    EXPECT_GT(Application::GetChildren(gallery->GetId()).size(), 20U);
    EXPECT_TRUE(Unpainted(first).empty());
    // The kinds the design left out of the form's repaint are there too.
    std::set<std::string> kinds;
    for (GUIElement* e : Application::GetChildren(gallery->GetId())) kinds.insert(e->GetKind());
    for (const char* kind : {"ButtonCustom", "progressbar", "panel", "cellcontrol", "checkbox", "optionbox", "slider"}) {
        EXPECT_EQ(kinds.count(kind), 1U) << kind;
    }
}

TEST_F(Repaint, CoveredAndUncoveredTheWindowLooksAsBefore) {
    const std::vector<uint32_t> before = Painted();
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.background_pixel = 0x102030;
    int rx = 0, ry = 0;
    rig::RootOrigin(d, Win(), &rx, &ry);
    const Window cover = XCreateWindow(d, DefaultRootWindow(d), rx, ry, GalleryForm::Width, GalleryForm::Height, 0,
                                       CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
    XMapRaised(d, cover);
    rig::Sync(d);
    const bool covered =
        rig::PumpUntil(gallery.get(), [&] { return rig::PixelAt(d, DefaultRootWindow(d), rx + 200, ry + 200) == 0x102030; });
    XDestroyWindow(d, cover);
    ASSERT_TRUE(covered);
    rig::Sync(d);
    EXPECT_TRUE(RepaintedAs(before));
}

TEST_F(Repaint, AClearedWindowIsRepaintedOnExpose) {
    const std::vector<uint32_t> before = Painted();
    XClearArea(d, Win(), 0, 0, 0, 0, True);
    rig::Sync(d);
    EXPECT_TRUE(RepaintedAs(before));
}

TEST_F(Repaint, APanelRepaintsTheControlsItHolds) {
    const std::vector<uint32_t> before = Painted();
    for (GUIElement* e : Application::GetChildren(gallery->GetId())) {
        if (e->GetKind() != "panel") continue;
        const PackedPoint at = e->PositionInForm();
        XClearArea(d, Win(), PointX(at), PointY(at), static_cast<unsigned>(e->GetWidth()), static_cast<unsigned>(e->GetHeight()),
                   False);
        rig::Sync(d);
        e->Paint();
    }
    EXPECT_TRUE(Difference(Shot(), before));
}

}  // namespace
