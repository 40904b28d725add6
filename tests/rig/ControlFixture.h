// A mapped form on the test program's Xvfb for the toolkit's tests: controls
// paint on it, XTEST input reaches them through the toolkit's real loop, and
// pixels are read back with the test's own connection.
#pragma once

#include <gtest/gtest.h>
// After gtest: Xlib's None macro clashes with a gtest name.
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <functional>
#include <memory>

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"
#include "lumetra/core/Screen.h"
#include "rig/Golden.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

namespace rig {

// A colour no control uses of its own, so that "the form's colour" shows.
constexpr lumetra::Colour kFormBack = 0x4080C0;

class ControlFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SharedServer(windowManager).Ok());
        d = SharedServer().Connection();
        screen = std::make_unique<lumetra::Screen>();
        form = MakeForm();
        Map(*form);
    }
    virtual std::unique_ptr<lumetra::Form> MakeForm() {
        auto f = std::make_unique<lumetra::Form>();
        f->SetScreen(screen.get());
        f->SetSize(440, 330);
        f->SetBackColor(kFormBack);
        f->Create();
        return f;
    }
    void TearDown() override { lumetra::Application::ResetFocus(); }
    void Map(lumetra::Form& f) {  // on screen, with the keyboard
        ASSERT_TRUE(PumpUntil(form.get(), [&] { return IsMapped(d, f.GetWindow()); }));
        XSetInputFocus(d, f.GetWindow(), RevertToParent, CurrentTime);
        Settle();
    }
    Window Win() const { return form->GetWindow(); }
    // Every event the test caused has been dispatched and every drawing
    // request carried out: the toolkit's connection is synced too.
    void Settle() {
        Sync(d);
        Display* tk = screen->GetDisplay();
        do {
            XSync(tk, False);
            while (XPending(tk) > 0) lumetra::Application::RunOnce(form.get(), 0);
        } while (XPending(tk) > 0);
        Sync(d);
    }
    // Cleared by the server, then an Expose.
    void Repaint() {
        XClearArea(d, Win(), 0, 0, 0, 0, True);
        Settle();
    }
    std::string Golden(const std::string& name, int x = 0, int y = 0, int w = 0, int h = 0) {
        const auto settled = [this] {
            Settle();
            return true;  // every request carried out: a mismatch is final
        };
        return CompareGolden(d, Win(), name, settled, x, y, w, h);
    }
    // The window must match the golden image, and a full repaint must paint exactly the same.
    void ExpectGolden(const std::string& name) {
        EXPECT_EQ("", Golden(name)) << name;
        Repaint();
        EXPECT_EQ("", Golden(name)) << name << " after a full repaint";
    }
    // Runs each step, then expects the golden image <prefix><step's name>.
    using Steps = std::vector<std::pair<std::string, std::function<void()>>>;
    void Walk(const std::string& prefix, const Steps& steps) {
        for (const auto& [name, step] : steps) {
            step();
            ExpectGolden(prefix + name);
        }
    }
    void Keys(const std::string& script) {
        TypeText(d, script);
        Settle();
    }
    void Click(int x, int y, unsigned button = 1) {
        ClickIn(d, Win(), x, y, button);
        Settle();
    }

    bool windowManager = false;  // openbox on the test program's server
    Display* d = nullptr;
    std::unique_ptr<lumetra::Screen> screen;
    std::unique_ptr<lumetra::Form> form;
};

}  // namespace rig
