// The real game under faults: the X server killed mid-playback, a missing
// or failing player, a log that cannot be written, missing or unreadable
// sounds, the window manager restarted or absent, SIGTERM and SIGINT while a
// sound plays. Each time: one clear log line at most, a defined reduced
// state, no crash, no hang, no child left behind.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>

#include "GamePlayer.h"
#include "rig/XServer.h"

namespace {

using gamerig::GameProcess;
using gamerig::Launch;

std::string Cmdline(pid_t pid) {
    std::string s = rig::ReadFile("/proc/" + std::to_string(pid) + "/cmdline");
    std::replace(s.begin(), s.end(), '\0', ' ');
    return s;
}

int CountLines(const std::string& text, const std::string& line) {
    int n = 0;
    for (size_t at = text.find(line + "\n"); at != std::string::npos; at = text.find(line + "\n", at + 1)) {
        if (at == 0 || text[at - 1] == '\n') ++n;
    }
    return n;
}

// Processes orphaned by the game come to this test process (a subreaper), so
// a player it left behind is seen here; zombies among them are reaped.
class Faults : public ::testing::Test {
public:
    void SetUp() override {
        prctl(PR_SET_CHILD_SUBREAPER, 1);
        // The shared server and its window manager are no strays.
        ASSERT_TRUE(rig::SharedServer(true).Ok());
        before = rig::ChildrenOf(getpid());
    }
    // Live processes that came to this test since it began, other than the game.
    std::vector<std::string> Strays(pid_t game) {
        std::vector<std::string> out;
        for (pid_t p : rig::ChildrenOf(getpid())) {
            if (p == game || std::find(before.begin(), before.end(), p) != before.end()) continue;
            if (rig::IsZombie(p)) {
                waitpid(p, nullptr, WNOHANG);
                continue;
            }
            out.push_back(std::to_string(p) + " (group " + std::to_string(getpgid(p)) + "): " + Cmdline(p));
        }
        return out;
    }
    bool NoStrays(pid_t game) {
        return rig::WaitUntil([&] { return Strays(game).empty(); }, 3000);
    }
    std::vector<pid_t> before;
};

// A stand-in for aplay that runs the given shell body.
class Player {
public:
    explicit Player(const std::string& body) {
        const std::string path = dir / "aplay";
        rig::WriteFile(path, "#!/bin/sh\n" + body + "\n");
        chmod(path.c_str(), 0755);
        chmod(dir.Path().c_str(), 0755);
    }
    std::string Path() const { return dir.Path() + ":/usr/bin:/bin"; }

private:
    rig::TempDir dir;
};

TEST_F(Faults, TheServerKilledMidPlaybackEndsTheGameWithStatusOne) {
    rig::XServer server;
    ASSERT_TRUE(server.Ok());
    Display* d = server.Connection();
    rig::StandIns standIns;
    GameProcess game(d, standIns, Launch{true, {}, {}, {"DISPLAY=" + server.Name()}, {}, {}, 10000});
    ASSERT_TRUE(game.Ok());
    ASSERT_TRUE(gamerig::StartPlayback(d, game));
    server.Kill();
    EXPECT_EQ(game.Process().Wait(10000), 1);
    EXPECT_EQ(CountLines(game.Log(), "X server connection lost."), 1) << game.Log();
    EXPECT_TRUE(NoStrays(game.Process().Pid()));
}

void EndsCleanlyOnSignal(Faults& self, int sig) {
    rig::XServer& server = rig::SharedServer(true);
    ASSERT_TRUE(server.Ok());
    Display* d = server.Connection();
    rig::StandIns standIns;
    // A sound far longer than the test waits: only a stopped player lets the
    // game end in time.
    Player longSound("sleep 120");
    GameProcess game(d, standIns, Launch{true, {}, {}, {}, longSound.Path(), {}, 10000});
    ASSERT_TRUE(game.Ok());
    ASSERT_TRUE(gamerig::StartPlayback(d, game));
    game.Process().Signal(sig);
    EXPECT_EQ(game.Process().Wait(20000), 128 + sig);
    EXPECT_TRUE(self.NoStrays(game.Process().Pid())) << (self.Strays(0).empty() ? "" : self.Strays(0)[0]);
}

TEST_F(Faults, SigtermWhileASoundPlaysStopsThePlayerAndEnds) { EndsCleanlyOnSignal(*this, SIGTERM); }
TEST_F(Faults, SigintWhileASoundPlaysStopsThePlayerAndEnds) { EndsCleanlyOnSignal(*this, SIGINT); }

TEST_F(Faults, WithoutAplayTheGamePlaysSilentlyAndSaysWhyOnce) {
    rig::XServer& server = rig::SharedServer(true);
    Display* d = server.Connection();
    rig::StandIns standIns;
    rig::TempDir empty;
    GameProcess game(d, standIns, Launch{true, {}, {}, {}, empty.Path(), {}, 10000});
    ASSERT_TRUE(game.Ok());
    // Three beeps and the failure sound, one log line.
    ASSERT_TRUE(gamerig::PlayGame(d, game, 0));
    EXPECT_EQ(game.Log(), "aplay was not found on PATH: the game plays without sound.\n");
}

TEST_F(Faults, AFailingAplayIsLoggedOncePerSound) {
    rig::XServer& server = rig::SharedServer(true);
    Display* d = server.Connection();
    rig::StandIns standIns;
    Player broken("exit 1");
    GameProcess game(d, standIns, Launch{true, {}, {}, {}, broken.Path(), {}, 10000});
    ASSERT_TRUE(game.Ok());
    ASSERT_TRUE(gamerig::PlayGame(d, game, 0));
    EXPECT_EQ(game.Log(),
              "aplay could not play Data/beep.wav (exit status 1).\naplay could not play Data/urlo.wav (exit status 1).\n");
}

TEST_F(Faults, AnUnwritableLogStillReachesStandardOutput) {
    rig::XServer& server = rig::SharedServer(true);
    Display* d = server.Connection();
    rig::StandIns standIns;
    Launch launch;
    launch.withData = false;
    // A log.txt that is a non-empty folder can neither be removed nor written.
    launch.prepare = [](const rig::TempDir& dir) { (void)!std::system(("mkdir -p '" + dir / "log.txt/keep" + "'").c_str()); };
    GameProcess game(d, standIns, launch);
    ASSERT_TRUE(game.Ok());
    ASSERT_TRUE(gamerig::PlayGame(d, game, 0));
    const std::string out = rig::ReadFile(game.Process().Output());
    EXPECT_EQ(CountLines(out, "Data/beep.wav non trovato."), 3) << out;
    EXPECT_EQ(CountLines(out, "Data/urlo.wav non trovato."), 1) << out;
}

TEST_F(Faults, UnreadableSoundsLeaveTheGamePlayable) {
    rig::XServer& server = rig::SharedServer(true);
    Display* d = server.Connection();
    rig::StandIns standIns;
    // A player that reads its file, run by a user who may not.
    Player reader("cat \"$1\" >/dev/null 2>&1 || exit 2");
    Launch launch;
    launch.path = reader.Path();
    launch.prefix = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    launch.prepare = [](const rig::TempDir& dir) {
        chmod(dir.Path().c_str(), 0777);
        chmod((dir / "Data").c_str(), 0755);
        chmod((dir / "Data/beep.wav").c_str(), 0);
        chmod((dir / "Data/urlo.wav").c_str(), 0);
    };
    GameProcess game(d, standIns, launch);
    ASSERT_TRUE(game.Ok()) << rig::ReadFile(game.Process().Output());
    ASSERT_TRUE(gamerig::PlayGame(d, game, 0));
    EXPECT_EQ(game.Log(),
              "aplay could not play Data/beep.wav (exit status 2).\naplay could not play Data/urlo.wav (exit status 2).\n");
}

TEST_F(Faults, WithoutAWindowManagerTheGameIsUsable) {
    rig::XServer server;
    ASSERT_TRUE(server.Ok());
    Display* d = server.Connection();
    rig::StandIns standIns;
    GameProcess game(d, standIns, Launch{true, {}, {}, {"DISPLAY=" + server.Name()}, {}, {}, 10000});
    ASSERT_TRUE(game.Ok());
    EXPECT_TRUE(gamerig::PlayGame(d, game, 1));
}

TEST_F(Faults, ARestartedWindowManagerLeavesTheGameUsable) {
    rig::XServer server(rig::ServerOptions{24, true, 1280, 1024});
    ASSERT_TRUE(server.Ok());
    Display* d = server.Connection();
    rig::StandIns standIns;
    GameProcess game(d, standIns, Launch{true, {}, {}, {"DISPLAY=" + server.Name()}, {}, {}, 10000});
    ASSERT_TRUE(game.Ok());
    ASSERT_TRUE(gamerig::StartPlayback(d, game));
    const int first = game.LitBox();
    server.StopWindowManager();
    ASSERT_TRUE(server.StartWindowManager());
    // Managed again: the new manager has framed the window (reparented it)
    // and mapped it, so presses land where the test aims them.
    ASSERT_TRUE(rig::WaitUntil([&] {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(d, game.Win(), &root, &parent, &children, &n)) return false;
        if (children) XFree(children);
        return parent != root && rig::IsMapped(d, game.Win());
    }));
    // Finish the game that was running with a press that is surely wrong,
    // once the player's turn has come, then play another.
    ASSERT_TRUE(rig::WaitUntil([&] { return game.LitBox() == 0; }, 10000));
    game.ClickBox(first % 4 + 1);
    ASSERT_TRUE(rig::WaitUntil([&] { return gamerig::StartEnabled(d, game.Win()); }, 10000));
    EXPECT_TRUE(gamerig::PlayGame(d, game, 1));
    EXPECT_TRUE(game.Process().Running());
}

}  // namespace
