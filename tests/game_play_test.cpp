// labels: x11 e2e slow
// The real game program, end to end, under Xvfb with openbox and the
// recording stand-ins: played through XTEST as a player would, read back
// from the server, its appearance compared with the golden images. One game
// walks the rules, the dialogs and the exit, in order.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "GameProcess.h"
#include "rig/XServer.h"

namespace {

using gamerig::GameProcess;
using gamerig::Golden;
const std::string kBeep = "aplay Data/beep.wav", kHowl = "aplay Data/urlo.wav";

int Count(const rig::StandIns& s, const std::string& line) {
    const std::vector<std::string> r = s.Recorded();
    return static_cast<int>(std::count(r.begin(), r.end(), line));
}

TEST(GamePlay, LevelsLossDialogsAndExit) {
    rig::XServer& server = rig::SharedServer(true);
    ASSERT_TRUE(server.Ok());
    Display* d = server.Connection();
    rig::StandIns standIns(200);
    gamerig::Launch launch;
    launch.prepare = [](const rig::TempDir& dir) { rig::WriteFile(dir / "log.txt", "a stale line\n"); };
    GameProcess game(d, standIns, launch);
    ASSERT_TRUE(game.Ok());
    const Window win = game.Win();
    EXPECT_EQ("", Golden(d, win, "game-first-paint"));

    // A press before START and one during the playback are ignored: the
    // playback goes on, with only its own three beeps.
    game.ClickBox(2);
    ASSERT_TRUE(gamerig::StartPlayback(game));
    EXPECT_FALSE(game.StartEnabled());
    std::vector<int> level0 = {game.LitBox()};
    game.ClickBox(level0[0] % 4 + 1);
    for (int box : gamerig::WatchPlayback(game, 2)) level0.push_back(box);
    ASSERT_EQ(level0.size(), 3U);
    EXPECT_EQ(Count(standIns, kBeep), 3);
    EXPECT_EQ("", Golden(d, win, "play-turn-0", 0, 0, 800, 100));  // "Level: 0", "-3", "Now you play..."

    // Repeated, it starts level 1: a dark step, then four fresh boxes.
    ASSERT_TRUE(gamerig::Repeat(game, level0));
    const std::vector<int> level1 = gamerig::WatchPlayback(game, 4);
    ASSERT_EQ(level1.size(), 4U);
    EXPECT_EQ(Count(standIns, kBeep), 10);
    EXPECT_EQ("", Golden(d, win, "play-turn-1", 0, 0, 800, 100));

    // One right press, then a wrong one: lost, START back, the board as it was.
    ASSERT_TRUE(gamerig::Repeat(game, {level1[0]}));
    game.ClickBox(level1[1] % 4 + 1);
    ASSERT_TRUE(rig::WaitUntil([&] { return game.StartEnabled(); }));
    EXPECT_EQ(game.LitBox(), level1[0]);
    EXPECT_EQ("", Golden(d, win, "play-lost", 0, 0, 800, 100));  // "Level: 1", "-3", "I'm sorry..."
    EXPECT_TRUE(rig::WaitUntil([&] { return Count(standIns, kHowl) == 1; }));

    // After the loss presses change nothing; the exit question comes after them.
    for (int box = 1; box <= 4; ++box) game.ClickBox(box);
    game.Click(gamerig::kExitButton);
    Window question = gamerig::WaitWindow(d, "Exit");
    ASSERT_NE(question, 0U);
    EXPECT_EQ("", Golden(d, question, "exit-question"));
    gamerig::Click(d, question, 65, 124);  // NO
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Exit") == 0; }));
    EXPECT_TRUE(rig::WaitUntil([&] { return game.LitBox() == level1[0]; }));
    EXPECT_EQ(standIns.Recorded().size(), 12U);

    // The window manager's close asks too; asked again meanwhile, the game
    // beeps and keeps the one question; closing the question is a "no".
    gamerig::RequestClose(d, win);
    question = gamerig::WaitWindow(d, "Exit");
    ASSERT_NE(question, 0U);
    gamerig::RequestClose(d, win);
    EXPECT_TRUE(rig::WaitUntil([&] { return Count(standIns, kBeep) == 12; }));
    gamerig::RequestClose(d, question);
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Exit") == 0; }));

    // The About form: its links run exactly one command each.
    standIns.Clear();
    game.Click(gamerig::kInfoButton);
    Window about = gamerig::WaitWindow(d, "Info...");
    ASSERT_NE(about, 0U);
    EXPECT_EQ("", Golden(d, about, "about"));  // painted: it takes presses
    gamerig::Click(d, about, 215, 74);
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() == 1; }));
    gamerig::Click(d, about, 425, 74);
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() == 2; }));
    EXPECT_EQ(standIns.Recorded(), (std::vector<std::string>{"firefox https://www.lumetra.example",
                                                             "thunderbird -compose to=info@lumetra.example"}));
    // A press on the game beeps and raises the form over it again; a close
    // request beeps and asks nothing.
    gamerig::Click(d, win, 700, 570);
    EXPECT_TRUE(rig::WaitUntil([&] { return Count(standIns, kBeep) == 1; }));
    EXPECT_EQ("", Golden(d, about, "about"));
    gamerig::RequestClose(d, win);
    EXPECT_TRUE(rig::WaitUntil([&] { return Count(standIns, kBeep) == 2; }));
    gamerig::Click(d, about, 399, 187);  // OK
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Info...") == 0; }));
    EXPECT_EQ(rig::FindWindowByName(d, "Exit"), 0U);
    for (KeySym key : {XK_Return, XK_Escape, XK_Delete}) {
        game.Click(gamerig::kInfoButton);
        ASSERT_NE(about = gamerig::WaitWindow(d, "Info..."), 0U);
        EXPECT_EQ("", Golden(d, about, "about"));
        XSetInputFocus(d, about, RevertToParent, CurrentTime);
        rig::TapKey(d, key);
        EXPECT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Info...") == 0; })) << "key " << key;
    }

    // Every child was reaped; YES ends the program, whose log was emptied.
    EXPECT_TRUE(rig::WaitUntil([&] {
        const std::vector<pid_t> kids = rig::ChildrenOf(game.Process().Pid());
        return std::none_of(kids.begin(), kids.end(), rig::IsZombie);
    }));
    game.Click(gamerig::kExitButton);
    ASSERT_NE(question = gamerig::WaitWindow(d, "Exit"), 0U);
    EXPECT_EQ("", Golden(d, question, "exit-question"));
    gamerig::Click(d, question, 185, 124);  // YES
    EXPECT_EQ(game.Process().Wait(10000), 0);
    EXPECT_EQ(game.Log(), "");
}

}  // namespace
