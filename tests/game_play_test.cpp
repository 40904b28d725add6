// labels: x11 e2e slow
// The real game program end to end, played through XTEST: one game under
// openbox walks the levels, the loss, the exit question, the About form and
// the exit, compared with the golden images; then faults, one start each,
// each ending in a defined state with the exact log and no player left.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <tuple>

#include "GameProcess.h"
#include "rig/XServer.h"

namespace {

using gamerig::Golden;

TEST(GamePlay, LevelsLossDialogsAndExit) {
    Display* d = rig::SharedServer(true).Connection();
    rig::StandIns standIns(200);
    const auto count = [&](const std::string& sound) {
        const std::vector<std::string> r = standIns.Recorded();
        return std::count(r.begin(), r.end(), "aplay Data/" + sound + ".wav");
    };
    const auto gone = [d](const char* name) { return rig::WaitUntil([=] { return rig::FindWindowByName(d, name) == 0; }); };
    gamerig::Launch launch;
    launch.prepare = [](const rig::TempDir& dir) { rig::WriteFile(dir / "log.txt", "a stale line\n"); };
    gamerig::GameProcess game(d, standIns, launch);
    ASSERT_TRUE(game.Ok());
    const Window win = game.Win();
    EXPECT_EQ("", Golden(d, win, "game-first-paint"));

    // A press during the playback is ignored.
    ASSERT_TRUE(gamerig::PlayGame(game, -1));
    std::vector<int> level0 = {game.LitBox()};
    game.ClickBox(level0[0] % 4 + 1);
    for (int box : gamerig::WatchPlayback(game, 2)) level0.push_back(box);
    ASSERT_EQ(level0.size(), 3U);
    EXPECT_EQ(count("beep"), 3);
    EXPECT_EQ("", Golden(d, win, "play-turn-0", nullptr, 0, 0, 800, 100));  // "Level: 0", "-3", START off

    // Repeated, it starts level 1: a dark step, then four boxes.
    ASSERT_TRUE(gamerig::Repeat(game, level0));
    const std::vector<int> level1 = gamerig::WatchPlayback(game, 4);
    ASSERT_EQ(level1.size(), 4U);
    EXPECT_EQ(count("beep"), 10);
    EXPECT_EQ("", Golden(d, win, "play-turn-1", nullptr, 0, 0, 800, 100));

    // One right press, one wrong: lost, the board as it was, START back.
    ASSERT_TRUE(gamerig::Repeat(game, {level1[0]}));
    game.ClickBox(level1[1] % 4 + 1);
    ASSERT_TRUE(rig::WaitUntil([&] { return game.StartEnabled(); }));
    EXPECT_EQ(game.LitBox(), level1[0]);
    EXPECT_EQ("", Golden(d, win, "play-lost", nullptr, 0, 0, 800, 100));
    EXPECT_EQ(count("urlo"), 1);

    // NO to the exit question leaves the game as it was. The window manager's
    // close asks too; closing the question is a "no".
    game.Click(gamerig::kExitButton);
    Window question = gamerig::WaitWindow(d, "Exit");
    EXPECT_EQ("", Golden(d, question, "exit-question"));
    gamerig::Click(d, question, 65, 124);
    ASSERT_TRUE(gone("Exit"));
    EXPECT_TRUE(rig::WaitUntil([&] { return game.LitBox() == level1[0]; }));
    gamerig::RequestClose(d, win);
    ASSERT_NE(question = gamerig::WaitWindow(d, "Exit"), 0U);
    gamerig::RequestClose(d, question);
    ASSERT_TRUE(gone("Exit"));

    // The About form's links run one exact command each. A press on the game
    // beeps and raises the form again; a close request beeps, asking nothing.
    standIns.Clear();
    game.Click(gamerig::kInfoButton);
    Window about = gamerig::WaitWindow(d, "Info...");
    EXPECT_EQ("", Golden(d, about, "about"));
    gamerig::Click(d, about, 215, 74);
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() == 1; }));
    gamerig::Click(d, about, 425, 74);
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() == 2; }));
    EXPECT_EQ(standIns.Recorded(), (std::vector<std::string>{"firefox https://www.lumetra.example",
                                                             "thunderbird -compose to=info@lumetra.example"}));
    gamerig::Click(d, win, 700, 570);
    EXPECT_TRUE(rig::WaitUntil([&] { return count("beep") == 1; }));
    EXPECT_EQ("", Golden(d, about, "about"));
    gamerig::RequestClose(d, win);
    EXPECT_TRUE(rig::WaitUntil([&] { return count("beep") == 2; }));
    gamerig::Click(d, about, 399, 187);  // OK
    ASSERT_TRUE(gone("Info..."));
    EXPECT_EQ(rig::FindWindowByName(d, "Exit"), 0U);

    // Every child was reaped; YES ends the program, whose log was emptied.
    EXPECT_TRUE(rig::WaitUntil([&] {
        const std::vector<pid_t> kids = rig::ChildrenOf(game.Process().Pid());
        return std::none_of(kids.begin(), kids.end(), rig::IsZombie);
    }));
    game.Click(gamerig::kExitButton);
    EXPECT_EQ("", Golden(d, question = gamerig::WaitWindow(d, "Exit"), "exit-question"));
    gamerig::Click(d, question, 185, 124);
    EXPECT_EQ(game.Process().Wait(10000), 0);
    EXPECT_EQ(game.Log(), "");
}

// The faults, one start each: the name; the server (the shared one with
// openbox, or one of its own without, or with openbox restarted); aplay (its
// script; "": the recording stand-in; nullptr: none on PATH); Data/ copied;
// log.txt writable; what is done (0: a game played; else, while a sound
// plays, a signal to the game, or -1: the server killed); the exit status
// (-1: the game goes on); and log.txt, or the output when log.txt cannot be
// written (nullptr: not checked).
enum Server { Shared, Bare, Restarted };
using Fault = std::tuple<const char*, Server, const char*, bool, bool, int, int, const char*>;
const char* const kNotFound = "Data/beep.wav non trovato.\n";
const std::string kNoData = std::string(kNotFound) + kNotFound + kNotFound + "Data/urlo.wav non trovato.\n";
const Fault kFaults[] = {
    {"ServerKilled", Bare, "", true, true, -1, 1, "X server connection lost.\n"},
    {"SigtermDuringASound", Shared, "sleep 120", true, true, SIGTERM, 128 + SIGTERM, nullptr},
    {"SigintDuringASound", Shared, "sleep 120", true, true, SIGINT, 128 + SIGINT, nullptr},
    {"NoAplay", Shared, nullptr, true, true, 0, -1, "aplay was not found on PATH: the game plays without sound.\n"},
    {"FailingAplayUnwritableLog", Shared, "exit 1", true, false, 0, -1,
     "aplay could not play Data/beep.wav (exit status 1).\nlog.txt is not a regular file: messages go to standard output "
     "only.\naplay could not play Data/urlo.wav (exit status 1).\n"},
    {"NoDataNoWindowManager", Bare, "", false, true, 0, -1, kNoData.c_str()},
    {"WindowManagerRestarted", Restarted, "", true, true, 0, -1, ""},
};
class GameFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(GameFaults, DefinedStateAndExactLogNoPlayerLeft) {
    const auto& [name, kind, aplay, withData, logWritable, act, status, log] = GetParam();
    prctl(PR_SET_CHILD_SUBREAPER, 1);  // what the game leaves behind comes to this test
    std::unique_ptr<rig::XServer> own;
    if (kind != Shared) own = std::make_unique<rig::XServer>(rig::ServerOptions{24, kind == Restarted, 1280, 1024});
    rig::XServer& server = own ? *own : rig::SharedServer(true);
    ASSERT_TRUE(server.Ok());
    Display* d = server.Connection();
    rig::StandIns standIns;
    rig::TempDir bin;
    gamerig::Launch launch;
    launch.env = {"DISPLAY=" + server.Name()};
    launch.withData = withData;
    if (aplay == nullptr || *aplay != '\0') launch.path = bin.Path() + (aplay ? ":/usr/bin:/bin" : "");
    if (aplay != nullptr && *aplay != '\0') {
        rig::WriteFile(bin / "aplay", std::string("#!/bin/sh\n") + aplay + "\n");
        chmod((bin / "aplay").c_str(), 0755);
    }
    // A log.txt that is a folder with something in it can be neither removed nor written.
    if (!logWritable) launch.prepare = [](const rig::TempDir& dir) { (void)!std::system(("mkdir -p " + dir / "log.txt/x").c_str()); };
    const std::vector<pid_t> before = rig::ChildrenOf(getpid());
    gamerig::GameProcess game(d, standIns, launch);
    ASSERT_TRUE(game.Ok());
    if (kind == Restarted) {
        server.StopWindowManager();
        ASSERT_TRUE(server.StartWindowManager());
        ASSERT_TRUE(rig::WaitUntil([&] {  // framed and mapped again
            Window root = 0, parent = 0, *kids = nullptr;
            unsigned n = 0;
            if (!XQueryTree(d, game.Win(), &root, &parent, &kids, &n)) return false;
            if (kids) XFree(kids);
            return parent != root && rig::IsMapped(d, game.Win());
        }));
    }

    ASSERT_TRUE(gamerig::PlayGame(game, act == 0 ? 0 : -1));
    if (act < 0) server.Kill();
    if (act > 0) game.Process().Signal(act);
    if (status < 0) {
        EXPECT_TRUE(game.Process().Running());
    } else {
        EXPECT_EQ(game.Process().Wait(20000), status);
        EXPECT_TRUE(rig::WaitUntil([&] {
            for (pid_t p : rig::ChildrenOf(getpid())) {
                if (std::find(before.begin(), before.end(), p) == before.end() && waitpid(p, nullptr, WNOHANG) != p) return false;
            }
            return true;
        }));
    }
    if (log != nullptr) {
        EXPECT_EQ(logWritable ? game.Log() : rig::ReadFile(game.Process().Output()), log);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, GameFaults, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<Fault>& i) { return std::string(std::get<0>(i.param)); });

}  // namespace
