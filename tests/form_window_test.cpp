// A created form's window, as the X server and the window manager see it.
#include <X11/Xatom.h>
#include <gtest/gtest.h>

#include "core/Application.h"
#include "core/Form.h"
#include "core/Screen.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

using namespace lumetra;

namespace {

class FormWindow : public ::testing::Test {
protected:
    void SetUp() override {
        server = &rig::SharedServer(getenv("NOWM") == nullptr);
        ASSERT_TRUE(server->Ok());
        screen = std::make_unique<lumetra::Screen>();
        ASSERT_NE(screen->GetDisplay(), nullptr);
    }
    rig::XServer* server = nullptr;
    std::unique_ptr<lumetra::Screen> screen;
};

TEST_F(FormWindow, CarriesTitleClassHintsAndFixedSize) {
    Form form;
    form.SetScreen(screen.get());
    form.SetSize(320, 200);
    form.SetTitle("A title");
    form.Create();
    ASSERT_TRUE(form.IsCreated());
    Display* d = server->Connection();
    const Window w = form.GetWindow();
    rig::Sync(d);
    EXPECT_EQ(rig::WindowName(d, w), "A title");
    EXPECT_EQ(rig::IconName(d, w), "Lumetra.exe");
    EXPECT_EQ(rig::ClassHint(d, w), (std::vector<std::string>{"Lumetra.exe", "Lumetra.exe"}));
    XSizeHints hints{};
    ASSERT_TRUE(rig::SizeHints(d, w, &hints));
    EXPECT_EQ(hints.flags & (PMinSize | PMaxSize), PMinSize | PMaxSize);
    EXPECT_EQ(hints.min_width, 320);
    EXPECT_EQ(hints.max_width, 320);
    EXPECT_EQ(hints.min_height, 200);
    EXPECT_EQ(hints.max_height, 200);
    XWMHints wm{};
    ASSERT_TRUE(rig::WMHints(d, w, &wm));
    EXPECT_TRUE(wm.input);
    EXPECT_EQ(wm.initial_state, NormalState);
    const std::vector<Atom> protocols = rig::AtomProperty(d, w, "WM_PROTOCOLS");
    ASSERT_EQ(protocols.size(), 1U);
    EXPECT_EQ(protocols[0], XInternAtom(d, "WM_DELETE_WINDOW", False));
    EXPECT_TRUE(rig::AtomProperty(d, w, "_NET_WM_WINDOW_TYPE").empty());
    EXPECT_TRUE(rig::PumpUntil(&form, [&] { return rig::IsMapped(d, w); }));
    EXPECT_EQ(rig::PixelAt(d, w, 10, 10), 0xAAAAAAU);
}

TEST_F(FormWindow, DialogIsTypedForTheWindowManager) {
    Form dialog(0, true);
    dialog.SetScreen(screen.get());
    dialog.Create();
    Display* d = server->Connection();
    rig::Sync(d);
    const std::vector<Atom> type = rig::AtomProperty(d, dialog.GetWindow(), "_NET_WM_WINDOW_TYPE");
    ASSERT_EQ(type.size(), 1U);
    EXPECT_EQ(type[0], XInternAtom(d, "_NET_WM_WINDOW_TYPE_DIALOG", False));
}

}  // namespace
