// labels: x11 e2e
// The real game among faults (server killed, ending signals, aplay missing,
// failing, flooded or hung, no Data/, stdout closed or broken, window manager
// gone or restarted): a defined state, the exact log, no process left.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>

#include "lumetra/util/Paths.h"
#include "rig/Game.h"
#include "rig/XServer.h"

namespace {

using rig::GameProcess;

// The shared server with openbox; one of the test's own without a window manager, or with one
// restarted.
enum Server { Shared, Bare, Restarted };
// An aplay that notes its pid and never ends; one with a process of its group that is not the
// player itself, which only the group's end stops; one of those that ignores SIGTERM.
const char* const kHung = "echo $$ >> \"$0.pids\"\nexec sleep 600";
const char* const kHungGroup = "echo $$ >> \"$0.pids\"\nsleep 600 & wait";
const char* const kHungDeaf = "trap '' TERM\necho $$ >> \"$0.pids\"\nsleep 600 & wait";
const std::string kHungLine = "aplay was still playing Data/beep.wav 2 s after its end: stopped.\n";

// Orphans of the game come to this process (a subreaper), which reaps the zombies among them.
class Faults : public ::testing::Test {
protected:
    void SetUp() override {
        prctl(PR_SET_CHILD_SUBREAPER, 1);
        // The game is given the defaults, also when the test was started in the background.
        for (int sig : {SIGHUP, SIGINT, SIGQUIT}) std::signal(sig, SIG_DFL);
    }
    // The game with a script as `aplay` first on PATH (nullptr: none there).
    GameProcess& Start(Server kind, const char* aplay, rig::Launch launch = {}) {
        if (kind != Shared)
            own = std::make_unique<rig::XServer>(
                rig::ServerOptions{24, kind == Restarted, 1280, 1024});
        server = own ? own.get() : &rig::SharedServer(true);
        d = server->Connection();
        before = rig::ChildrenOf(getpid());  // the servers and window managers
        launch.env.push_back("DISPLAY=" + server->Name());
        launch.path = bin.Path() + (aplay != nullptr ? ":/usr/bin:/bin" : "");
        if (aplay != nullptr) Install("aplay", aplay);
        game = std::make_unique<GameProcess>(d, standIns, launch);
        return *game;
    }
    void Install(const std::string& name, const std::string& script) {
        rig::WriteFile(bin / name, "#!/bin/sh\n" + script + "\n");
        chmod((bin / name).c_str(), 0755);
    }
    std::vector<std::string> Players() const { return rig::ReadLines(bin / "aplay.pids"); }
    // Live processes other than the game that came to this test since it began.
    size_t Strays() {
        size_t n = 0;
        for (pid_t p : rig::ChildrenOf(getpid())) {
            if (p == game->Process().Pid() || std::count(before.begin(), before.end(), p) > 0)
                continue;
            if (!(rig::IsZombie(p) && waitpid(p, nullptr, WNOHANG) == p)) ++n;
        }
        return n;
    }
    bool Ended(int status) {
        return game->Process().Wait(20000) == status &&
               rig::WaitUntil([&] { return Strays() == 0; }, 10000);
    }

    std::unique_ptr<rig::XServer> own;
    rig::XServer* server = nullptr;
    Display* d = nullptr;
    std::vector<pid_t> before;
    rig::StandIns standIns;
    rig::TempDir bin;
    std::unique_ptr<GameProcess> game;
};

// One start each: the server; aplay; a shell command run in the game's folder
// before; a perl line that starts the game (nullptr: none); what is done: 0, a
// game played and its window destroyed by another client, -1, a game played
// and the server killed, or else that signal while a sound plays (after the
// log, when one is expected, has told that the sound before hung); the exit
// status; the log, or standard output when log.txt cannot be written.
struct Fault {
    const char* name;
    Server server;
    const char* aplay;
    const char* setup;
    const char* launcher;
    int act;
    int status;
    std::string log;
    const char* firefox = nullptr;  // a browser opened from the About form first, left open
};
const std::string kGone = "Main window destroyed by another client.\n";
const std::string kNotFound = "Data/beep.wav non trovato.\n";
// Its byte rate disagrees with its rate and block size: its length cannot be
// read, and its player may run 10 s, long after any signal of a row.
const char* const kByteRate1 =
    "printf '\\1\\0\\0\\0' | dd of=Data/beep.wav bs=1 seek=28 conv=notrunc 2>/dev/null";
// The game as a user of its own with a limit of one process: no child can be made (nor the
// thread of a leak checker at its exit).
const char* const kNoFork =
    "$u = 100000 + $$; chown($u, $u, '.') or die; $ENV{ASAN_OPTIONS} .= ':detect_leaks=0'; "
    "exec(qw(prlimit --nproc=1 setpriv --clear-groups), \"--reuid=$u\", \"--regid=$u\", @ARGV) "
    "or die";
const Fault kFaults[] = {
    {"HungThenSigterm", Shared, kHungGroup, ":", nullptr, SIGTERM, 128 + SIGTERM, kHungLine},
    {"HungByteRate1ThenSighup", Shared, kHungGroup, kByteRate1, nullptr, SIGHUP, 128 + SIGHUP,
     "aplay was still playing Data/beep.wav 10 s after it started (its length could not be "
     "read): stopped.\n"},
    {"Sigint", Shared, kHungGroup, kByteRate1, nullptr, SIGINT, 128 + SIGINT, ""},
    {"Sigquit", Shared, kHungGroup, kByteRate1, nullptr, SIGQUIT, 128 + SIGQUIT, ""},
    {"SigkillBrowserOpen", Shared, kHung, kByteRate1, nullptr, SIGKILL, 128 + SIGKILL, "", kHung},
    {"NoAplayStdinAndStdoutClosed", Shared, nullptr, ":",
     "close STDIN; close STDOUT; exec @ARGV or die", 0, 0,
     "aplay was not found on PATH: the game plays without sound.\n" + kGone},
    {"FailingAplayLogAnEmptyFolder", Shared, "exit 1", "mkdir log.txt", nullptr, 0, 0,
     "aplay could not play Data/beep.wav (exit status 1).\n"
     "log.txt is not a regular file: messages go to standard output only.\n"
     "aplay could not play Data/urlo.wav (exit status 1).\n" +
         kGone},
    {"NoDataNoWindowManagerStdoutBrokenServerKilled", Bare, ":", "rm -r Data",
     "pipe(R, W) or die; close R; open(STDOUT, '>&', \\*W) or die; exec @ARGV or die", -1, 1,
     kNotFound + kNotFound + kNotFound + "Data/urlo.wav non trovato.\n" +
         "X server connection lost.\n"},
    {"PlayersLeaveChildrenDeafToSigterm", Shared, "trap '' TERM\n(sleep 301) & exit 0", ":",
     nullptr, 0, 0, kGone},
    {"NoProcessForThePlayer", Shared, ":", ":", kNoFork, 0, 0,
     "aplay could not be started: Data/beep.wav not played.\n"
     "aplay could not be started: Data/urlo.wav not played.\n" +
         kGone},
    {"WindowManagerRestartedBeepAFifo", Restarted, ":", "rm Data/beep.wav && mkfifo Data/beep.wav",
     nullptr, 0, 0, "Data/beep.wav is a FIFO, not a sound file: not played.\n" + kGone},
};
class FaultTable : public Faults, public ::testing::WithParamInterface<Fault> {};

TEST_P(FaultTable, DefinedStateExactLogNoProcessLeft) {
    const Fault& f = GetParam();
    rig::Launch launch;
    launch.prepare = [&f](const rig::TempDir& dir) {
        (void)!std::system(("cd '" + dir.Path() + "' && " + f.setup).c_str());
    };
    if (f.launcher != nullptr) launch.prefix = {"/usr/bin/perl", "-e", f.launcher};
    GameProcess& game = Start(f.server, f.aplay, launch);
    ASSERT_TRUE(game.Ok());
    if (f.server == Restarted) {
        server->StopWindowManager();
        ASSERT_TRUE(server->StartWindowManager());
        ASSERT_TRUE(rig::WaitUntil([&] {  // framed and mapped again
            return rig::Frame(d, game.Win()) != game.Win() && rig::IsMapped(d, game.Win());
        }));
        before = rig::ChildrenOf(getpid());
    }
    if (f.firefox != nullptr) {
        Install("firefox", f.firefox);
        game.Click(rig::kInfoButton);
        rig::ClickIn(d, rig::WaitWindow(d, "Info..."), 250, 74);  // the web link
        ASSERT_TRUE(rig::WaitUntil([&] { return lumetra::FileExists(bin / "firefox.pids"); }));
        rig::TapKey(d, XK_Escape);
        ASSERT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Info...") == 0; }));
    }
    ASSERT_TRUE(rig::PlayGame(game, f.act > 0 ? -1 : 0));
    if (f.act > 0) {
        // A hung player is stopped (with its whole group, or a stray is left) and said once; the
        // game goes on to the next sound.
        if (!f.log.empty()) {
            EXPECT_TRUE(rig::WaitUntil([&] { return game.Log() == f.log; }, 20000)) << game.Log();
        }
        const size_t players = f.log.empty() ? 1 : 2;
        ASSERT_TRUE(rig::WaitUntil([&] { return Players().size() == players; }, 10000));
        game.Process().Signal(f.act);
    }
    if (f.firefox != nullptr) {
        // The game's windows go with it, though the browser stays open; then it is closed.
        EXPECT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, rig::kTitle) == 0; }));
        for (const std::string& pid : rig::ReadLines(bin / "firefox.pids"))
            kill(std::stoi(pid), SIGKILL);
    }
    if (f.act < 0) server->Kill();
    if (f.act == 0) {
        Display* other = XOpenDisplay(server->Name().c_str());
        XDestroyWindow(other, game.Win());
        XCloseDisplay(other);
    }
    EXPECT_TRUE(Ended(f.status)) << "status " << game.Process().Wait(0) << ", output:\n"
                                 << rig::ReadFile(game.Process().Output());
    EXPECT_EQ(std::strstr(f.setup, "log.txt") ? rig::ReadFile(game.Process().Output()) : game.Log(),
              f.log);
}

INSTANTIATE_TEST_SUITE_P(Table, FaultTable, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<Fault>& i) {
                             return std::string(i.param.name);
                         });

// Requests to close the window while its exit question is open beep in the
// background; with players that never end, the 33rd beep while 32 play is
// refused, logged once; each is stopped with its group 2 s after its
// sound's end, so a later beep plays again; a confirmed exit leaves none,
// though they ignore SIGTERM.
TEST_F(Faults, HungBeepsAreStoppedInTimeAndNoneOutlivesTheGame) {
    GameProcess& game = Start(Shared, kHungDeaf);
    ASSERT_TRUE(game.Ok());
    game.Click(rig::kExitButton);
    const Window question = rig::WaitWindow(d, "Exit");
    ASSERT_NE(question, 0U);
    // As many presses of the close button would: each beeps.
    for (int i = 0; i < 60; ++i) rig::RequestClose(d, game.Win());
    const std::string log = "Too many sounds at once: Data/beep.wav not played.\n" + kHungLine;
    EXPECT_TRUE(rig::WaitUntil([&] { return game.Log() == log; }, 15000)) << game.Log();
    ASSERT_EQ(Players().size(), 32U);
    // Stopped and reaped, so that their places are free again.
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::ChildrenOf(game.Process().Pid()).empty(); }));
    rig::RequestClose(d, game.Win());
    EXPECT_TRUE(rig::WaitUntil([&] { return Players().size() == 33; }));
    rig::ClickIn(d, question, 185, 124);  // Yes
    EXPECT_TRUE(Ended(0));
    EXPECT_EQ(game.Log(), log);
}

// Started ignoring SIGHUP and SIGINT (nohup, a background job) and SIGCHLD
// (some launchers): neither of the first two ends the game, its players and
// the browser are given exactly the ignores it was given, and good beeps are
// not taken for failures.
TEST_F(Faults, InheritedIgnoresStayIgnoredAndSigchldIsTheGamesOwn) {
    const char* const record = "grep SigIgn /proc/$$/status >> \"$0.sigign\"";
    Install("firefox", record);
    rig::Launch launch;
    launch.prefix = {"/usr/bin/perl", "-e",
                     "$SIG{$_} = 'IGNORE' for qw(HUP INT CHLD); exec @ARGV or die"};
    GameProcess& game = Start(Shared, record, launch);
    ASSERT_TRUE(game.Ok());
    ASSERT_TRUE(rig::PlayGame(game, 0));
    game.Click(rig::kInfoButton);
    const Window about = rig::WaitWindow(d, "Info...");
    rig::ClickIn(d, about, 250, 74);  // the web link
    ASSERT_TRUE(rig::WaitUntil([&] { return lumetra::FileExists(bin / "firefox.sigign"); }));
    game.Process().Signal(SIGHUP);
    game.Process().Signal(SIGINT);
    rig::RequestClose(d, about);
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Info...") == 0; }));
    game.Process().Signal(SIGTERM);
    EXPECT_TRUE(Ended(128 + SIGTERM));
    EXPECT_EQ(game.Log(), "");
    unsigned long long ignored = 0;
    for (const std::string& line : rig::ReadLines("/proc/self/status")) {
        if (line.rfind("SigIgn:", 0) == 0) ignored = std::stoull(line.substr(7), nullptr, 16);
    }
    char expected[40];
    std::snprintf(expected, sizeof expected, "SigIgn:\t%016llx", ignored | 3);
    const std::vector<std::string> seen = rig::ReadLines(bin / "aplay.sigign");
    EXPECT_EQ(seen, std::vector<std::string>(4, expected));  // three beeps and the howl
    EXPECT_EQ(rig::ReadLines(bin / "firefox.sigign"), std::vector<std::string>{expected});
}

}  // namespace
