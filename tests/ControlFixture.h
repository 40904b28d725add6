// A mapped form on the test program's Xvfb for control tests: the controls
// paint on it, XTEST input reaches them through the toolkit's real loop, and
// pixels are read back with the test's own connection.
#pragma once

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <memory>

#include "core/Application.h"
#include "core/Form.h"
#include "core/Screen.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

namespace testing_controls {

// A colour no control uses of its own, so that "the form's colour" is
// recognisable.
constexpr lumetra::Colour kFormBack = 0x4080C0;

class ControlFixture : public ::testing::Test {
protected:
    void SetUp() override {
        server = &rig::SharedServer(false);
        ASSERT_TRUE(server->Ok());
        d = server->Connection();
        screen = std::make_unique<lumetra::Screen>();
        ASSERT_NE(screen->GetDisplay(), nullptr);
        form = std::make_unique<lumetra::Form>();
        form->SetScreen(screen.get());
        form->SetTitle("controls under test");
        form->SetSize(440, 330);
        form->SetBackColor(kFormBack);
        form->Create();
        ASSERT_TRUE(form->IsCreated());
        ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return rig::IsMapped(d, Win()); }));
        XSetInputFocus(d, Win(), RevertToParent, CurrentTime);
        Settle();
    }

    void TearDown() override {
        lumetra::Application::ResetFocus();
        form.reset();
        screen.reset();
    }

    Window Win() const { return form->GetWindow(); }

    // Every event the test's input caused has reached the toolkit and been
    // dispatched, and every drawing request has been carried out.
    void Settle() {
        rig::Sync(d);
        Display* tk = screen->GetDisplay();
        XSync(tk, False);
        while (XPending(tk) > 0) lumetra::Application::RunOnce(form.get(), 0);
        XSync(tk, False);
    }

    uint32_t Pixel(int x, int y) {
        XSync(screen->GetDisplay(), False);
        return rig::PixelAt(d, Win(), x, y);
    }
    int Count(int x, int y, int w, int h, uint32_t colour) {
        XSync(screen->GetDisplay(), False);
        return rig::CountColour(d, Win(), x, y, w, h, colour);
    }

    void Click(int x, int y) {
        rig::ClickIn(d, Win(), x, y);
        Settle();
    }
    void Tap(unsigned long keysym) {
        rig::TapKey(d, keysym);
        Settle();
    }

    rig::XServer* server = nullptr;
    Display* d = nullptr;
    std::unique_ptr<lumetra::Screen> screen;
    std::unique_ptr<lumetra::Form> form;
};

}  // namespace testing_controls
