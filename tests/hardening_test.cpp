// Hostile surroundings: a closed or broken standard output, the terminal's
// signals, a flood of beeps, a player that never ends, and FIFOs, devices,
// links and oversized files where the program expects its own files. Each
// gets one log line at most and a defined reduced state: no crash, no hang,
// no process left behind, no file written over.
// labels: x11 e2e
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "GamePlayer.h"
#include "core/Log.h"
#include "game/Leaderboard.h"
#include "graphics/BmpLoader.h"
#include "rig/XServer.h"

namespace {

using gamerig::GameProcess;
using gamerig::Launch;

const char* const kHungLine = "aplay was still playing Data/beep.wav 2 s after its end: stopped.\n";
const char* const kTooManyLine = "Too many sounds at once: Data/beep.wav not played.\n";

std::string Le32(uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

// A WAV file whose header says it plays dataBytes / byteRate seconds.
std::string Wave(uint32_t byteRate, uint32_t dataBytes) {
    return "RIFF" + Le32(36 + dataBytes) + "WAVEfmt " + Le32(16) + std::string("\1\0\1\0", 4) + Le32(byteRate) + Le32(byteRate) +
           std::string("\1\0\10\0", 4) + "data" + Le32(dataBytes) + std::string(dataBytes, '\0');
}

// An aplay stand-in that notes its pid, then runs the body.
class Player {
public:
    explicit Player(const std::string& body) {
        rig::WriteFile(dir / "aplay", "#!/bin/sh\necho $$ >> '" + (dir / "pids") + "'\n" + body + "\n");
        chmod((dir / "aplay").c_str(), 0755);
    }
    std::string Path() const { return dir.Path() + ":/usr/bin:/bin"; }
    std::vector<pid_t> Pids() const {
        std::vector<pid_t> out;
        for (const std::string& l : rig::ReadLines(dir / "pids")) out.push_back(std::stoi(l));
        return out;
    }

private:
    rig::TempDir dir;
};

// The game's orphans come to this process (a subreaper); zombies among them
// are reaped, so a process group that is gone has no member left at all.
class Hardening : public ::testing::Test {
public:
    void SetUp() override {
        prctl(PR_SET_CHILD_SUBREAPER, 1);
        ASSERT_TRUE(rig::SharedServer(true).Ok());
        d = rig::SharedServer(true).Connection();
        before = rig::ChildrenOf(getpid());
    }
    size_t Strays(pid_t game) {
        size_t n = 0;
        for (pid_t p : rig::ChildrenOf(getpid())) {
            if (p == game || std::count(before.begin(), before.end(), p) > 0) continue;
            if (rig::IsZombie(p)) waitpid(p, nullptr, WNOHANG);
            else ++n;
        }
        return n;
    }
    bool GroupGone(pid_t game, pid_t group) {
        return rig::WaitUntil([&] { return Strays(game) < 1000 && kill(-group, 0) != 0; }, 10000);
    }
    Display* d = nullptr;
    std::vector<pid_t> before;
};

// Standard output closed by the launcher, or a pipe whose reader has gone
// (`lumetra | true`): the log still reaches "log.txt" and the game goes on.
TEST_F(Hardening, AClosedOrBrokenStandardOutputLosesNeitherTheLogNorTheGame) {
    const std::vector<std::vector<std::string>> launchers = {
        {"/bin/sh", "-c", "exec \"$0\" >&-"},
        {"/usr/bin/perl", "-e", "pipe(R, W) or die; close R; open(STDOUT, '>&', \\*W) or die; exec @ARGV or die"}};
    for (const std::vector<std::string>& launcher : launchers) {
        rig::StandIns standIns;
        rig::TempDir noPlayer;
        Launch launch;
        launch.prefix = launcher;
        launch.path = noPlayer.Path();
        GameProcess game(d, standIns, launch);
        ASSERT_TRUE(game.Ok()) << launcher[2];
        EXPECT_TRUE(gamerig::PlayGame(d, game, 0)) << launcher[2];
        EXPECT_EQ(game.Log(), "aplay was not found on PATH: the game plays without sound.\n") << launcher[2];
        EXPECT_TRUE(game.Process().Running()) << launcher[2];
    }
}

// Any of the ending signals during a beep: the player stops with the game,
// which ends of that signal and logs no failure of a player it stopped.
TEST_F(Hardening, EndingSignalsDuringABeepStopThePlayerWithoutAFailureLine) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        rig::StandIns standIns;
        Player player("exec sleep 600");
        Launch launch;
        launch.path = player.Path();
        launch.prepare = [](const rig::TempDir& dir) { rig::WriteFile(dir / "Data/beep.wav", Wave(10, 1000)); };
        GameProcess game(d, standIns, launch);
        ASSERT_TRUE(game.Ok());
        ASSERT_TRUE(gamerig::StartPlayback(d, game));
        ASSERT_TRUE(rig::WaitUntil([&] { return player.Pids().size() == 1; }));
        game.Process().Signal(sig);
        EXPECT_EQ(game.Process().Wait(20000), 128 + sig) << sig;
        EXPECT_EQ(game.Log(), "") << sig;
        EXPECT_TRUE(rig::WaitUntil([&] { return Strays(game.Process().Pid()) == 0; })) << sig;
    }
}

// Presses on the window while its exit question is open beep in the
// background; the 33rd beep while 32 still play is refused, logged once.
TEST_F(Hardening, BeepsBeyondThirtyTwoAreRefusedAndNoneOutlivesTheGame) {
    rig::StandIns standIns;
    Player player("exec sleep 600");
    Launch launch;
    launch.path = player.Path();
    GameProcess game(d, standIns, launch);
    ASSERT_TRUE(game.Ok());
    game.Click(gamerig::kExitButton);
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Exit") != 0; }));
    for (int i = 0; i < 60; ++i) game.Click(gamerig::kLevelCell);
    EXPECT_TRUE(rig::WaitUntil([&] { return game.Log() == kTooManyLine; }, 15000)) << game.Log();
    EXPECT_TRUE(rig::WaitUntil([&] { return player.Pids().size() == 32; }));
    game.Process().Signal(SIGTERM);
    EXPECT_EQ(game.Process().Wait(20000), 128 + SIGTERM);
    EXPECT_TRUE(rig::WaitUntil([&] { return Strays(game.Process().Pid()) == 0; }, 10000));
    EXPECT_EQ(player.Pids().size(), 32U);
}

// A player that never ends, for a sound of 200 ms: stopped 2 s after the
// sound's end with its whole group, logged once, and the window answers.
TEST_F(Hardening, APlayerThatNeverEndsIsStoppedAndTheWindowAnswers) {
    rig::StandIns standIns;
    Player player("exec sleep 600");
    Launch launch;
    launch.path = player.Path();
    GameProcess game(d, standIns, launch);
    ASSERT_TRUE(game.Ok());
    ASSERT_TRUE(gamerig::StartPlayback(d, game));
    ASSERT_TRUE(rig::WaitUntil([&] { return !player.Pids().empty(); }));
    const pid_t group = getpgid(player.Pids()[0]);
    ASSERT_GT(group, 0);
    EXPECT_TRUE(rig::WaitUntil([&] { return game.Log() == kHungLine; }, 20000)) << game.Log();
    EXPECT_TRUE(GroupGone(game.Process().Pid(), group));
    gamerig::RequestClose(d, game.Win());
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Exit") != 0; }, 20000));
    EXPECT_EQ(game.Log(), kHungLine);
}

// Files from outside, each read in a child process that must finish within
// 5 s: its standard output holds every log line.
TEST(HostileFiles, AreRefusedWithOneLineAndLeftAsTheyWere) {
    const std::string board = "Data/t/Score/Classifica.txt";
    const std::string bigBoard(70000, 'a');
    const std::string refusedBoard = "Lettura non riuscita: " + board + "\n";
    auto fifo = [](const std::string& p) { return mkfifo(p.c_str(), 0600) == 0; };
    auto zero = [](const std::string& p) { return symlink("/dev/zero", p.c_str()) == 0; };
    auto boardDir = [] { return std::system("mkdir -p Data/t/Score") == 0; };
    auto notWritten = [&] { return !lumetra::Leaderboard("t").AddScore(1, "x"); };
    auto isA = [](const std::string& p, mode_t type) {
        struct stat st {};
        return lstat(p.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == type;
    };
    struct Row {
        const char* name;
        std::function<bool()> prepare, act;
        std::string out;
    };
    const std::vector<Row> rows = {
        {"BMP FIFO", [&] { return fifo("p.bmp"); }, [] { return lumetra::LoadBmp24("p.bmp").Empty(); },
         "BMP file p.bmp rejected: not a regular file\n"},
        {"BMP directory", [] { return mkdir("p.bmp", 0700) == 0; }, [] { return lumetra::LoadBmp8("p.bmp").Empty(); },
         "BMP file p.bmp rejected: not a regular file\n"},
        {"BMP link to /dev/zero", [&] { return zero("p.bmp"); },
         [&] { return lumetra::LoadBmp4("p.bmp").Empty() && !isA("p.bmp.c", S_IFREG); },
         "BMP file p.bmp rejected: not a regular file\n"},
        {"BMP 16384 x 16384, 8 bits",
         [] {
             const std::string h = "BM" + Le32(1078 + (1U << 28)) + Le32(0) + Le32(1078) + Le32(40) + Le32(16384) + Le32(16384) +
                                   std::string("\1\0\10\0", 4) + std::string(24, '\0');
             return rig::WriteFile("p.bmp", h) && truncate("p.bmp", 1078 + (1L << 28)) == 0;
         },
         [] { return lumetra::LoadBmp8("p.bmp").Empty(); }, "BMP file p.bmp rejected: over 64 MiB of pixels\n"},
        {"board FIFO", [&] { return boardDir() && fifo(board); }, [&] { return notWritten() && isA(board, S_IFIFO); }, refusedBoard},
        {"board over 64 KiB", [&] { return boardDir() && rig::WriteFile(board, bigBoard); },
         [&] { return notWritten() && rig::ReadFile(board) == bigBoard; }, refusedBoard},
        {"board link to /dev/zero", [&] { return boardDir() && zero(board); }, [&] { return notWritten() && isA(board, S_IFLNK); },
         refusedBoard},
        {"log.txt FIFO", [&] { return fifo("log.txt"); },
         [&] {
             lumetra::Log("a");
             lumetra::Log("b");
             return isA("log.txt", S_IFIFO);
         },
         "a\nlog.txt is not a regular file: messages go to standard output only.\nb\n"}};
    for (const Row& row : rows) {
        rig::TempDir dir;
        rig::WorkingDirectory here(dir.Path());
        ASSERT_TRUE(row.prepare()) << row.name;
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            alarm(5);
            const int out = open("out.txt", O_WRONLY | O_CREAT, 0600);
            if (out < 0 || dup2(out, STDOUT_FILENO) < 0) _exit(2);
            const bool ok = row.act();
            std::fflush(stdout);
            _exit(ok ? 0 : 1);
        }
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_EQ(status, 0) << row.name << (WIFSIGNALED(status) ? ": did not finish" : ": wrong state");
        EXPECT_EQ(rig::ReadFile("out.txt"), row.out) << row.name;
    }
}

}  // namespace
