// The display connection: a 16-bit server, no server at all, and the game
// binary without a display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "core/Application.h"
#include "core/Form.h"
#include "core/Screen.h"
#include "game/MakerTexts.h"
#include "rig/Process.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

namespace {

// Runs with DISPLAY pointing nowhere, restoring it afterwards.
class NoDisplay {
public:
    NoDisplay() {
        if (const char* d = std::getenv("DISPLAY")) old_ = d;
        setenv("DISPLAY", ":9999", 1);
    }
    ~NoDisplay() {
        if (old_.empty()) {
            unsetenv("DISPLAY");
        } else {
            setenv("DISPLAY", old_.c_str(), 1);
        }
    }

private:
    std::string old_;
};

TEST(Screen, ASixteenBitServerIsReportedButStillOpens) {
    rig::XServer server16(rig::ServerOptions{16, false, 640, 480});
    ASSERT_TRUE(server16.Ok());
    const char* old = std::getenv("DISPLAY");
    const std::string saved = old ? old : "";
    server16.MakeDefault();
    testing::internal::CaptureStdout();
    {
        lumetra::Screen screen;
        EXPECT_EQ(screen.GetDepth(), 16);
        EXPECT_EQ(screen.GetWidth(), 640);
        lumetra::Form form;
        form.SetScreen(&screen);
        form.Create();
        EXPECT_TRUE(form.IsCreated());
        EXPECT_TRUE(rig::PumpUntil(&form, [&] { return rig::IsMapped(server16.Connection(), form.GetWindow()); }));
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("This app requires 24-bit depth.\n"), std::string::npos);
    if (saved.empty()) {
        unsetenv("DISPLAY");
    } else {
        setenv("DISPLAY", saved.c_str(), 1);
    }
}

TEST(Screen, NoServerLeavesDefaultsAndMakesNoWindow) {
    NoDisplay none;
    testing::internal::CaptureStdout();
    lumetra::Screen screen;
    EXPECT_EQ(screen.GetDisplay(), nullptr);
    EXPECT_EQ(screen.HasFailed(), 1U);
    EXPECT_EQ(screen.GetWidth(), 800);
    EXPECT_EQ(screen.GetHeight(), 600);
    EXPECT_EQ(screen.GetDepth(), 8);
    lumetra::Form form;
    form.SetScreen(&screen);
    form.Create();
    EXPECT_FALSE(form.IsCreated());
    // The loop has nothing to wait on and returns at once.
    lumetra::Application::Run(&form);
    EXPECT_FALSE(screen.Close());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "XOpenDisplay(0) failed.\nErrore creazione Form \n");
}

TEST(Screen, CloseTwiceAndTheFirstScreenStaysCurrent) {
    ASSERT_TRUE(rig::SharedServer().Ok());
    lumetra::Screen first;
    lumetra::Screen* current = lumetra::Screen::Current();
    lumetra::Screen second;
    EXPECT_EQ(lumetra::Screen::Current(), current);
    EXPECT_TRUE(second.Close());
    EXPECT_FALSE(second.Close());
}

TEST(Screen, AFormWithoutScreenLogsAndTriesAgainLater) {
    // The screen outlives the form, as the entry point arranges it.
    lumetra::Screen screen;
    testing::internal::CaptureStdout();
    lumetra::Form form;
    form.Create();
    EXPECT_FALSE(form.IsCreated());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "E' necessario impostare il display\n");
    form.SetScreen(&screen);
    form.Show();
    EXPECT_TRUE(form.IsCreated());
}

TEST(Game, WithoutADisplayTheProgramSaysSoAndFails) {
    const char* game = std::getenv("LUMETRA_GAME");
    ASSERT_NE(game, nullptr);
    rig::TempDir dir;
    rig::WriteFile(dir / "log.txt", "old run\n");
    rig::ChildProcess p({game}, dir.Path(), {"DISPLAY=:9999"});
    EXPECT_EQ(p.Wait(10000), 1);
    EXPECT_EQ(rig::ReadFile(p.Output()), "XOpenDisplay(0) failed.\nErrore creazione Form \n");
    // The old log is gone; this run's lines are there.
    EXPECT_EQ(rig::ReadFile(dir / "log.txt"), "XOpenDisplay(0) failed.\nErrore creazione Form \n");
}

}  // namespace

namespace {

TEST(Screen, AProtocolErrorIsLoggedAndTheProgramGoesOn) {
    ASSERT_TRUE(rig::SharedServer().Ok());
    lumetra::Screen screen;
    testing::internal::CaptureStdout();
    XMapWindow(screen.GetDisplay(), 0x7FFFFFF);
    XSync(screen.GetDisplay(), False);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "X error: request code 8, error code 3\n");
    EXPECT_NE(XDefaultRootWindow(screen.GetDisplay()), 0U);
}

TEST(Game, ALostServerEndsTheProgramWithStatusOne) {
    const char* game = std::getenv("LUMETRA_GAME");
    ASSERT_NE(game, nullptr);
    rig::XServer server;
    ASSERT_TRUE(server.Ok());
    rig::TempDir dir;
    rig::ChildProcess p({game}, dir.Path(), {"DISPLAY=" + server.Name()});
    const std::string title = std::string("Lumetra - ") + lumetra::kWebAddress + " " + lumetra::kNoticeLine;
    ASSERT_TRUE(rig::WaitUntil([&] {
        const Window w = rig::FindWindowByName(server.Connection(), title);
        return w != 0 && rig::IsMapped(server.Connection(), w);
    }));
    server.Kill();
    EXPECT_EQ(p.Wait(5000), 1);
    EXPECT_NE(rig::ReadFile(p.Output()).find("X server connection lost."), std::string::npos);
}

}  // namespace
