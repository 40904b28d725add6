// labels: x11 e2e slow
// The real game end to end through XTEST under openbox: levels, the loss, the
// About form, the exit question and the exit against golden images; dialogs
// that belong to the game window, take the keyboard and leave no focus mark.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "rig/Game.h"
#include "rig/XServer.h"

namespace {

TEST(GamePlay, LevelsLossDialogsAndExit) {
    rig::XServer& server = rig::SharedServer(true);
    Display* d = server.Connection();
    rig::StandIns standIns(200);
    const auto count = [&](const std::string& sound) {
        const std::vector<std::string> r = standIns.Recorded();
        return std::count(r.begin(), r.end(), "aplay Data/" + sound + ".wav");
    };
    const auto gone = [d](const char* name) {
        return rig::WaitUntil([=] { return rig::FindWindowByName(d, name) == 0; });
    };
    const auto focus = [d] {
        Window w = 0;
        int revert = 0;
        XGetInputFocus(d, &w, &revert);
        return w;
    };
    rig::Launch launch;
    launch.prepare = [](const rig::TempDir& dir) {
        rig::WriteFile(dir / "log.txt", "a stale line\n");
    };
    rig::GameProcess game(d, standIns, launch);
    ASSERT_TRUE(game.Ok());
    const Window win = game.Win();
    // A dialog once mapped: transient for the game window.
    const auto dialog = [&](const char* name) {
        const Window w = rig::WaitWindow(d, name);
        EXPECT_EQ(rig::PropertyText(d, w, "WM_TRANSIENT_FOR"), std::to_string(win)) << name;
        return w;
    };
    EXPECT_EQ(rig::PropertyText(d, win, "WM_TRANSIENT_FOR"), "");
    EXPECT_EQ("", rig::CompareGolden(d, win, "game-first-paint"));

    // Level 0 repeated; at level 1 one right press, one wrong: lost, the board
    // as it was, START back.
    game.Click(rig::kStartButton);
    const std::vector<int> level0 = rig::WatchPlayback(game, 3);
    // "Level: 0", "-3", START off.
    EXPECT_EQ("", rig::CompareGolden(d, win, "play-turn-0", nullptr, 0, 0, 800, 100));
    ASSERT_TRUE(rig::Repeat(game, level0));
    const std::vector<int> level1 = rig::WatchPlayback(game, 4);
    ASSERT_EQ(level1.size(), 4U);
    ASSERT_TRUE(rig::Repeat(game, {level1[0]}));
    game.ClickBox(level1[1] % 4 + 1);
    ASSERT_TRUE(rig::WaitUntil([&] { return game.StartEnabled(); }));
    EXPECT_EQ(game.LitBox(), level1[0]);
    EXPECT_EQ("", rig::CompareGolden(d, win, "play-lost", nullptr, 0, 0, 800, 100));

    // The About form's links run one exact command each. A press on the game
    // beeps and raises the form with the keyboard; Escape closes it.
    standIns.Clear();
    game.Click(rig::kInfoButton);
    Window about = dialog("Info...");
    EXPECT_EQ("", rig::CompareGolden(d, about, "about"));
    rig::ClickIn(d, about, 215, 74);
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() == 1; }));
    rig::ClickIn(d, about, 425, 74);
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() == 2; }));
    EXPECT_EQ(standIns.Recorded(),
              (std::vector<std::string>{"firefox https://www.lumetra.example",
                                        "thunderbird -compose to=info@lumetra.example"}));
    rig::ClickIn(d, win, 700, 570);
    EXPECT_TRUE(rig::WaitUntil([&] { return count("beep") == 1 && focus() == about; }));
    rig::TapKey(d, XK_Escape);
    ASSERT_TRUE(gone("Info..."));
    // Destroyed by another client, the About form is forgotten: the game takes presses again.
    game.Click(rig::kInfoButton);
    Display* other = XOpenDisplay(server.Name().c_str());
    XDestroyWindow(other, dialog("Info..."));
    XCloseDisplay(other);

    // The exit question takes the keyboard; Tab gives it to a button of the
    // question, and closing the question is a "no": the game goes on as it was.
    game.Click(rig::kExitButton);
    Window question = dialog("Exit");
    EXPECT_TRUE(rig::WaitUntil([&] { return focus() == question; }));
    rig::TapKey(d, XK_Tab);
    rig::RequestClose(d, question);
    ASSERT_TRUE(gone("Exit"));
    EXPECT_TRUE(rig::WaitUntil([&] { return game.LitBox() == level1[0]; }));
    // Info and Exit lost the focus to dialogs: neither keeps a mark.
    EXPECT_EQ(
        "", rig::CompareGolden(d, win, "desktop-buttons-after-dialogs", nullptr, 10, 30, 320, 28));

    // Every child was reaped. The window manager's close asks too; YES ends
    // the program, whose log was emptied.
    EXPECT_TRUE(rig::WaitUntil([&] {
        const std::vector<pid_t> kids = rig::ChildrenOf(game.Process().Pid());
        return std::none_of(kids.begin(), kids.end(), rig::IsZombie);
    }));
    rig::RequestClose(d, win);
    question = rig::WaitWindow(d, "Exit");
    rig::ClickIn(d, question, 185, 124);
    EXPECT_EQ(game.Process().Wait(10000), 0);
    EXPECT_EQ(game.Log(), "");
}

}  // namespace
