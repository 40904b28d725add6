// Hostile surroundings: standard output closed or broken, ending signals, a flood of beeps, a player
// that never ends, FIFOs, devices and oversized files in the place of the program's own. One log line
// at most, a reduced state; no crash, no hang, no process left, no file written over.
// labels: x11 e2e
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "GameProcess.h"
#include "core/Log.h"
#include "game/Leaderboard.h"
#include "graphics/BmpLoader.h"
#include "rig/XServer.h"
#include "util/Paths.h"

namespace {

using gamerig::GameProcess;
using gamerig::Launch;

const std::string kHungLine = "aplay was still playing Data/beep.wav 2 s after its end: stopped.\n";

std::string Le32(uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

// The game with a stand-in aplay that notes its pid and never ends; orphans
// come to this process (a subreaper), which reaps the zombies among them.
class Hardening : public ::testing::Test {
public:
    void SetUp() override {
        prctl(PR_SET_CHILD_SUBREAPER, 1);
        ASSERT_TRUE(rig::SharedServer(true).Ok());
        d = rig::SharedServer(true).Connection();
        before = rig::ChildrenOf(getpid());
        rig::WriteFile(bin / "aplay", "#!/bin/sh\necho $$ >> '" + (bin / "pids") + "'\nexec sleep 600\n");
        chmod((bin / "aplay").c_str(), 0755);
    }
    GameProcess& Start(Launch launch = {}) {
        if (launch.path.empty()) launch.path = bin.Path() + ":/usr/bin:/bin";
        game.reset();  // one game at a time: both would show the same title
        game = std::make_unique<GameProcess>(d, standIns, launch);
        return *game;
    }
    std::vector<std::string> Players() const { return rig::ReadLines(bin / "pids"); }
    // Live processes other than the game that came to this test since it began.
    size_t Strays() {
        size_t n = 0;
        for (pid_t p : rig::ChildrenOf(getpid())) {
            if (p == game->Process().Pid() || std::count(before.begin(), before.end(), p) > 0) continue;
            if (!(rig::IsZombie(p) && waitpid(p, nullptr, WNOHANG) == p)) ++n;
        }
        return n;
    }
    bool Ended(int sig) {
        return game->Process().Wait(20000) == 128 + sig && rig::WaitUntil([&] { return Strays() == 0; }, 10000);
    }
    Display* d = nullptr;
    std::vector<pid_t> before;
    rig::StandIns standIns;
    rig::TempDir bin;
    std::unique_ptr<GameProcess> game;
};

// Standard output closed by the launcher, or a pipe whose reader has gone
// (`lumetra | true`): the log still reaches "log.txt" and the game goes on.
TEST_F(Hardening, AClosedOrBrokenStandardOutputLosesNeitherTheLogNorTheGame) {
    rig::TempDir noPlayer;
    const std::vector<std::vector<std::string>> launchers = {
        {"/bin/sh", "-c", "exec \"$0\" >&-"},
        {"/usr/bin/perl", "-e", "pipe(R, W) or die; close R; open(STDOUT, '>&', \\*W) or die; exec @ARGV or die"}};
    for (const std::vector<std::string>& launcher : launchers) {
        const std::string& how = launcher.back();
        Launch launch;
        launch.prefix = launcher;
        launch.path = noPlayer.Path();
        GameProcess& game = Start(launch);
        ASSERT_TRUE(game.Ok()) << how;
        EXPECT_TRUE(gamerig::PlayGame(game, 0)) << how;
        EXPECT_EQ(game.Log(), "aplay was not found on PATH: the game plays without sound.\n") << how;
        EXPECT_TRUE(game.Process().Running()) << how;
    }
}

// Any of the ending signals during a beep: the player stops with the game,
// which ends of that signal and logs no failure of a player it stopped.
TEST_F(Hardening, EndingSignalsDuringABeepStopThePlayerWithoutAFailureLine) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        Launch launch;
        // A beep without a header waits 10 s at most: none of it passes before the signal.
        launch.prepare = [](const rig::TempDir& dir) { rig::WriteFile(dir / "Data/beep.wav", "no header"); };
        const size_t players = Players().size();
        GameProcess& game = Start(launch);
        ASSERT_TRUE(game.Ok() && gamerig::PlayGame(game, -1));
        ASSERT_TRUE(rig::WaitUntil([&] { return Players().size() == players + 1; }));
        game.Process().Signal(sig);
        EXPECT_TRUE(Ended(sig)) << sig;
        EXPECT_EQ(game.Log(), "") << sig;
    }
}

// Requests to close the window while its exit question is open beep in the
// background; the 33rd beep while 32 still play is refused, logged once.
TEST_F(Hardening, BeepsBeyondThirtyTwoAreRefusedAndNoneOutlivesTheGame) {
    GameProcess& game = Start();
    ASSERT_TRUE(game.Ok());
    game.Click(gamerig::kExitButton);
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Exit") != 0; }));
    // Close requests straight to the window, as many presses would: each beeps.
    XEvent close{};
    close.xclient = {ClientMessage, 0, True, d, game.Win(), XInternAtom(d, "WM_PROTOCOLS", False), 32, {}};
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    for (int i = 0; i < 60; ++i) XSendEvent(d, game.Win(), False, NoEventMask, &close);
    XSync(d, False);
    EXPECT_TRUE(rig::WaitUntil([&] { return game.Log() == "Too many sounds at once: Data/beep.wav not played.\n"; }, 15000));
    EXPECT_TRUE(rig::WaitUntil([&] { return Players().size() == 32; }));
    game.Process().Signal(SIGTERM);
    EXPECT_TRUE(Ended(SIGTERM));
    EXPECT_EQ(Players().size(), 32U);
}

// A player that never ends, for a sound of 200 ms: stopped 2 s after the
// sound's end with its whole group, logged once, and the window answers.
TEST_F(Hardening, APlayerThatNeverEndsIsStoppedAndTheWindowAnswers) {
    GameProcess& game = Start();
    ASSERT_TRUE(game.Ok() && gamerig::PlayGame(game, -1));
    ASSERT_TRUE(rig::WaitUntil([&] { return !Players().empty(); }));
    const pid_t group = getpgid(std::stoi(Players()[0]));
    EXPECT_TRUE(rig::WaitUntil([&] { return game.Log() == kHungLine; }, 20000)) << game.Log();
    EXPECT_TRUE(rig::WaitUntil([&] { return Strays() < 1000 && kill(-group, 0) != 0; }, 10000));
    gamerig::RequestClose(d, game.Win());
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Exit") != 0; }, 20000));
    EXPECT_EQ(game.Log(), kHungLine);
}

// Files from outside, each read in a child process that must finish within
// 5 s: its standard output holds every log line; the file stays as it was.
TEST(HostileFiles, AreRefusedWithOneLineAndLeftAsTheyWere) {
    auto make = [](const std::string& p, char kind) {
        if (kind == 'f') return mkfifo(p.c_str(), 0600) == 0;
        if (kind == 'd') return mkdir(p.c_str(), 0700) == 0;
        if (kind == 'z') return symlink("/dev/zero", p.c_str()) == 0;
        if (kind == 'b') return rig::WriteFile(p, std::string(70000, 'a'));
        // A legal 16384 x 16384 8-bit picture, its pixels a hole in the file.
        return rig::WriteFile(p, "BM" + Le32(0) + Le32(0) + Le32(1078) + Le32(40) + Le32(16384) + Le32(16384) +
                                     std::string("\1\0\10\0", 4) + std::string(24, '\0')) &&
               truncate(p.c_str(), 1078 + (1L << 28)) == 0;
    };
    const std::string board = "Data/t/Score/Classifica.txt", refused = "Lettura non riuscita: " + board + "\n";
    const std::string notFile = "BMP file p.bmp rejected: not a regular file\n";
    const std::function<bool()> bmp24 = [] { return lumetra::LoadBmp24("p.bmp").Empty(); },
                                bmp8 = [] { return lumetra::LoadBmp8("p.bmp").Empty(); },
                                bmp4 = [] { return lumetra::LoadBmp4("p.bmp").Empty(); },
                                addScore = [] { return !lumetra::Leaderboard("t").AddScore(1, "x"); };
    const struct {
        const char* name;
        std::string path;
        char kind;
        std::function<bool()> refused;
        std::string out;
    } rows[] = {{"BMP FIFO", "p.bmp", 'f', bmp24, notFile},
                {"BMP directory", "p.bmp", 'd', bmp8, notFile},
                {"BMP link to /dev/zero", "p.bmp", 'z', bmp4, notFile},
                {"BMP of 16384 x 16384, 8 bits", "p.bmp", 'h', bmp8, "BMP file p.bmp rejected: over 64 MiB of pixels\n"},
                {"board FIFO", board, 'f', addScore, refused},
                {"board over 64 KiB", board, 'b', addScore, refused},
                {"board link to /dev/zero", board, 'z', addScore, refused},
                {"log.txt FIFO", "log.txt", 'f', [] { return lumetra::Log("a"), lumetra::Log("b"), true; },
                 "a\nlog.txt is not a regular file: messages go to standard output only.\nb\n"}};
    for (const auto& row : rows) {
        rig::TempDir dir;
        rig::WorkingDirectory here(dir.Path());
        struct stat before {
        }, after{};
        ASSERT_TRUE(std::system("mkdir -p Data/t/Score") == 0 && make(row.path, row.kind)) << row.name;
        lstat(row.path.c_str(), &before);
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            alarm(5);
            const int out = open("out.txt", O_WRONLY | O_CREAT, 0600);
            _exit(out >= 0 && dup2(out, STDOUT_FILENO) >= 0 && row.refused() && std::fflush(stdout) == 0 ? 0 : 1);
        }
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_EQ(status, 0) << row.name << (WIFSIGNALED(status) ? ": did not finish" : ": not refused");
        EXPECT_EQ(rig::ReadFile("out.txt"), row.out) << row.name;
        lstat(row.path.c_str(), &after);
        EXPECT_TRUE(before.st_ino == after.st_ino && before.st_mode == after.st_mode && before.st_size == after.st_size &&
                    before.st_mtime == after.st_mtime && !lumetra::FileExists("p.bmp.c"))
            << row.name;
    }
}

}  // namespace
