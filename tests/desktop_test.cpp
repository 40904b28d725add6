// The game under a window manager as a new user meets it: dialogs take the
// keyboard when raised, leave no focus mark, belong to the game's window and
// name their process; windows destroyed by another client end cleanly.
// labels: x11 e2e
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "GameProcess.h"
#include "rig/Golden.h"
#include "rig/XServer.h"

TEST(Desktop, DialogsTakeTheKeyboardBelongToTheGameAndLeaveNoFocusMark) {
    rig::XServer& server = rig::SharedServer(true);
    ASSERT_TRUE(server.Ok());
    Display* d = server.Connection();
    rig::StandIns standIns(20);
    gamerig::GameProcess game(d, standIns);
    ASSERT_TRUE(game.Ok());
    // The window, once mapped, with its owner and process named.
    const auto window = [&](const std::string& name, Window owner) {
        Window w = 0;
        rig::WaitUntil([&] { return (w = rig::FindWindowByName(d, name)) != 0 && rig::IsMapped(d, w); });
        EXPECT_EQ(rig::PropertyText(d, w, "WM_TRANSIENT_FOR"), owner != 0 ? std::to_string(owner) : "") << name;
        EXPECT_EQ(rig::PropertyText(d, w, "_NET_WM_PID"), std::to_string(game.Process().Pid())) << name;
        return w;
    };
    const auto focus = [d] {
        Window w = 0;
        int revert = 0;
        XGetInputFocus(d, &w, &revert);
        return w;
    };
    const auto gone = [&](const char* name) { return rig::WaitUntil([&] { return rig::FindWindowByName(d, name) == 0; }); };
    window(gamerig::GameTitle(), 0);
    // A press on the game window beeps and raises the About form, which
    // takes the keyboard: Escape closes it.
    game.Click(gamerig::kInfoButton);
    Window about = window("Info...", game.Win());
    rig::ClickIn(d, game.Win(), 700, 570);
    EXPECT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() == 1 && focus() == about; }));
    rig::TapKey(d, XK_Escape);
    EXPECT_TRUE(gone("Info..."));
    // Destroyed by another client, the About form is forgotten: the game
    // takes presses again, and Exit asks its question.
    game.Click(gamerig::kInfoButton);
    about = window("Info...", game.Win());
    Display* other = XOpenDisplay(server.Name().c_str());
    XDestroyWindow(other, about);
    XSync(other, False);
    game.Click(gamerig::kExitButton);
    const Window question = window("Exit", game.Win());
    // Tab gives the focus to a button of the question: Exit loses it.
    EXPECT_TRUE(rig::WaitUntil([&] { return focus() == question; }));
    rig::TapKey(d, XK_Tab);
    gamerig::RequestClose(d, question);
    EXPECT_TRUE(gone("Exit"));
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
    EXPECT_EQ(WEXITSTATUS(std::system(run.c_str())), 1);
    EXPECT_NE(rig::ReadFile(dir / "err").find("DISPLAY is not set"), std::string::npos) << rig::ReadFile(dir / "err");
}
