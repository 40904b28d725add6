// The game as a new user meets it on a desktop with a window manager: a
// raised dialog takes the keyboard, no focus mark is left behind when a
// dialog closes, dialogs belong to the game's window, every window names its
// process and machine, and a window destroyed by another client ends the
// game (or just the dialog) cleanly.
// labels: x11 e2e
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
// clang-format on
#include <sys/wait.h>
#include <unistd.h>

#include "GameProcess.h"
#include "rig/Golden.h"
#include "rig/XServer.h"

namespace {

Window WaitWindow(Display* d, const std::string& name) {
    Window w = 0;
    rig::WaitUntil([&] { return (w = rig::FindWindowByName(d, name)) != 0 && rig::IsMapped(d, w); });
    return w;
}

Window Focus(Display* d) {
    Window w = 0;
    int revert = 0;
    XGetInputFocus(d, &w, &revert);
    return w;
}

std::string ClientMachine(Display* d, Window w) {
    XTextProperty p{};
    if (!XGetWMClientMachine(d, w, &p) || p.value == nullptr) return "";
    const std::string s(reinterpret_cast<char*>(p.value), p.nitems);
    XFree(p.value);
    return s;
}

TEST(Desktop, DialogsTakeTheKeyboardBelongToTheGameAndLeaveNoFocusMark) {
    rig::XServer& server = rig::SharedServer(true);
    ASSERT_TRUE(server.Ok());
    Display* d = server.Connection();
    rig::StandIns standIns(20);
    gamerig::GameProcess game(d, standIns);
    ASSERT_TRUE(game.Ok());
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    const auto owned = [&](Window w, Window owner) {
        EXPECT_EQ(rig::WindowProperty(d, w, "WM_TRANSIENT_FOR"), owner);
        EXPECT_EQ(rig::WindowProperty(d, w, "_NET_WM_PID"), static_cast<Window>(game.Process().Pid()));
        EXPECT_EQ(ClientMachine(d, w), host);
    };
    owned(game.Win(), 0);

    // A press on the game window beeps, raises the About form and gives it
    // the keyboard: Escape closes it.
    game.Click(gamerig::kInfoButton);
    Window about = WaitWindow(d, "Info...");
    owned(about, game.Win());
    rig::ClickIn(d, game.Win(), 700, 570);
    EXPECT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() == 1; }));
    EXPECT_TRUE(rig::WaitUntil([&] { return Focus(d) == about; }));
    rig::TapKey(d, XK_Escape);
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Info...") == 0; }));

    // The About form destroyed by another client is forgotten: the game
    // takes presses again, and its Exit asks the question.
    game.Click(gamerig::kInfoButton);
    about = WaitWindow(d, "Info...");
    Display* other = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(other, nullptr);
    XDestroyWindow(other, about);
    XSync(other, False);
    game.Click(gamerig::kExitButton);
    const Window question = WaitWindow(d, "Exit");
    ASSERT_NE(question, 0U);
    owned(question, game.Win());
    // Tab gives the focus to a button of the question: Exit loses it.
    EXPECT_TRUE(rig::WaitUntil([&] { return Focus(d) == question; }));
    rig::TapKey(d, XK_Tab);
    gamerig::RequestClose(d, question);
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Exit") == 0; }));
    // Info and Exit have lost the focus to dialogs: neither keeps a mark.
    EXPECT_EQ("", rig::CompareGolden(d, game.Win(), "desktop-buttons-after-dialogs", 10, 30, 320, 28));

    // The game window destroyed by another client ends the program as the
    // loop's end does, with one line in the log.
    XDestroyWindow(other, game.Win());
    XCloseDisplay(other);
    EXPECT_EQ(game.Process().Wait(5000), 0);
    EXPECT_EQ(game.Log(), "Main window destroyed by another client.\n");
}

TEST(Desktop, PlayWithoutADisplaySaysSoBeforeInstallingAnything) {
    rig::TempDir dir;
    const std::string run = "cp '" LUMETRA_SOURCE_DIR "/play' '" + dir.Path() + "' && env -u DISPLAY '" + (dir / "play") +
                            "' 2>'" + (dir / "err") + "'";
    const int status = std::system(run.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(rig::ReadFile(dir / "err").find("DISPLAY is not set"), std::string::npos) << rig::ReadFile(dir / "err");
}

}  // namespace
