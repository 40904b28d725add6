// labels: x11 e2e slow
// The real game under faults, one start each: the X server killed, SIGTERM
// or SIGINT while a sound plays, aplay missing or failing, a log that cannot
// be written, no Data/, no window manager or one restarted. Each time: the
// exact log lines, the defined exit status (or a game still usable), and no
// player left behind.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>

#include "GameProcess.h"
#include "rig/XServer.h"

namespace {

enum Act { KillServer, Term, Interrupt, Play, RestartWm };
enum Server { Shared, Bare, Managed };  // shared with openbox; an own one without, with
struct Fault {
    const char* name;
    Server server;
    const char* aplay;  // the player's script; "" the recording stand-in; nullptr none on PATH
    bool withData, logWritable;
    Act act;
    int status;       // the exit status; -1: the game goes on
    const char* log;  // log.txt (or standard output when it cannot be written); nullptr: not checked
};

const Fault kFaults[] = {
    {"ServerKilled", Bare, "", true, true, KillServer, 1, "X server connection lost.\n"},
    {"SigtermDuringASound", Shared, "sleep 120", true, true, Term, 128 + SIGTERM, nullptr},
    {"SigintDuringASound", Shared, "sleep 120", true, true, Interrupt, 128 + SIGINT, nullptr},
    {"NoAplay", Shared, nullptr, true, true, Play, -1, "aplay was not found on PATH: the game plays without sound.\n"},
    {"FailingAplayUnwritableLog", Shared, "exit 1", true, false, Play, -1,
     "aplay could not play Data/beep.wav (exit status 1).\naplay could not play Data/urlo.wav (exit status 1).\n"},
    {"NoDataNoWindowManager", Bare, "", false, true, Play, -1,
     "Data/beep.wav non trovato.\nData/beep.wav non trovato.\nData/beep.wav non trovato.\nData/urlo.wav non trovato.\n"},
    {"WindowManagerRestarted", Managed, "", true, true, RestartWm, -1, ""},
};

class GameFaults : public ::testing::TestWithParam<Fault> {};

// Processes orphaned by the game come to this test (a subreaper): a player
// it left behind is seen here.
std::vector<pid_t> Strays(const std::vector<pid_t>& before) {
    std::vector<pid_t> out;
    for (pid_t p : rig::ChildrenOf(getpid())) {
        if (std::find(before.begin(), before.end(), p) != before.end()) continue;
        if (!rig::IsZombie(p)) out.push_back(p);
        waitpid(p, nullptr, WNOHANG);
    }
    return out;
}

TEST_P(GameFaults, DefinedStateAndExactLog) {
    const Fault& f = GetParam();
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    rig::XServer& shared = rig::SharedServer(true);
    std::unique_ptr<rig::XServer> own;
    if (f.server != Shared) own = std::make_unique<rig::XServer>(rig::ServerOptions{24, f.server == Managed, 1280, 1024});
    rig::XServer& server = own ? *own : shared;
    ASSERT_TRUE(server.Ok());
    Display* d = server.Connection();
    rig::StandIns standIns;
    rig::TempDir bin;
    gamerig::Launch launch;
    launch.env = {"DISPLAY=" + server.Name()};
    launch.withData = f.withData;
    if (f.aplay == nullptr || *f.aplay != '\0') launch.path = bin.Path() + (f.aplay ? ":/usr/bin:/bin" : "");
    if (f.aplay != nullptr && *f.aplay != '\0') {
        rig::WriteFile(bin / "aplay", std::string("#!/bin/sh\n") + f.aplay + "\n");
        chmod((bin / "aplay").c_str(), 0755);
    }
    // A log.txt that is a folder with something in it can be neither
    // removed nor written.
    if (!f.logWritable) launch.prepare = [](const rig::TempDir& dir) { (void)!std::system(("mkdir -p " + dir / "log.txt/x").c_str()); };
    const std::vector<pid_t> before = rig::ChildrenOf(getpid());
    gamerig::GameProcess game(d, standIns, launch);
    ASSERT_TRUE(game.Ok());

    if (f.act == Play) {
        EXPECT_TRUE(gamerig::PlayGame(game, 0));
    } else {
        ASSERT_TRUE(gamerig::StartPlayback(game));
    }
    const int first = game.LitBox();
    if (f.act == KillServer) server.Kill();
    if (f.act == Term || f.act == Interrupt) game.Process().Signal(f.act == Term ? SIGTERM : SIGINT);
    if (f.act == RestartWm) {
        server.StopWindowManager();
        ASSERT_TRUE(server.StartWindowManager());
        // Managed again (framed and mapped) before the presses are aimed;
        // then the running game ends with a press that is surely wrong.
        ASSERT_TRUE(rig::WaitUntil([&] {
            Window root = 0, parent = 0, *kids = nullptr;
            unsigned n = 0;
            if (!XQueryTree(d, game.Win(), &root, &parent, &kids, &n)) return false;
            if (kids) XFree(kids);
            return parent != root && rig::IsMapped(d, game.Win());
        }));
        ASSERT_TRUE(rig::WaitUntil([&] { return game.LitBox() == 0; }, 10000));
        game.ClickBox(first % 4 + 1);
        EXPECT_TRUE(rig::WaitUntil([&] { return game.StartEnabled(); }));
    }

    if (f.status >= 0) {
        EXPECT_EQ(game.Process().Wait(20000), f.status);
        EXPECT_TRUE(rig::WaitUntil([&] { return Strays(before).empty(); }, 3000));
    } else {
        EXPECT_TRUE(game.Process().Running());
    }
    if (f.log != nullptr) {
        EXPECT_EQ(f.logWritable ? game.Log() : game.Output(), f.log);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, GameFaults, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<Fault>& i) { return std::string(i.param.name); });

}  // namespace
