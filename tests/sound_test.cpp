// The sound and command layer: the exact command lines handed to the shell,
// children that return at once, end cleanly and are reaped, and the player
// that can be stopped.
#include "game/Sound.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/Application.h"
#include "core/Form.h"
#include "core/Screen.h"
#include "rig/Process.h"
#include "rig/Rig.h"
#include "rig/XServer.h"
#include "util/Paths.h"

namespace {

using lumetra::SoundPlayer;

// Every case runs in a scratch working directory holding Data/beep.wav and
// Data/urlo.wav, with the recording stand-ins first on PATH.
class Sound : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(here.Ok());
        ASSERT_EQ(system("mkdir -p Data && : > Data/beep.wav && : > Data/urlo.wav"), 0);
        standIns.Install();
        baseline = rig::ChildrenOf(getpid());
    }
    void TearDown() override {
        lumetra::ReapFinishedChildren();
    }
    // Children of this process other than those it had before the case
    // began (the test's own X server once it runs).
    std::vector<pid_t> NewChildren() const {
        std::vector<pid_t> out;
        for (pid_t p : rig::ChildrenOf(getpid())) {
            if (std::find(baseline.begin(), baseline.end(), p) == baseline.end()) out.push_back(p);
        }
        return out;
    }
    // Waits for every started child to end and reaps them.
    bool ReapAll() {
        return rig::WaitUntil([this] {
            lumetra::ReapFinishedChildren();
            return NewChildren().empty();
        });
    }

    rig::TempDir dir;
    rig::WorkingDirectory here{dir.Path()};
    rig::StandIns standIns{50};
    std::vector<pid_t> baseline;
};

TEST_F(Sound, CommandsReportFailureAsTrue) {
    EXPECT_FALSE(lumetra::RunShellCommand("true"));
    EXPECT_TRUE(lumetra::RunShellCommand("false"));
    EXPECT_TRUE(lumetra::RunShellCommand("no-such-program-anywhere 2>/dev/null"));
    EXPECT_FALSE(lumetra::RunCommand("test", "-d Data"));
    EXPECT_TRUE(lumetra::RunCommand("test", "-d NoSuchDirectory"));
}

TEST_F(Sound, PlayWaveRunsTheExactCommandLineAndWaits) {
    lumetra::PlayWave("Data/beep.wav");
    // It waited: the stand-in has written its line before the call returned.
    EXPECT_EQ(standIns.Recorded(), (std::vector<std::string>{"aplay Data/beep.wav"}));
    EXPECT_TRUE(NewChildren().empty());
}

TEST_F(Sound, PathsTheShellWouldInterpretAreQuoted) {
    EXPECT_EQ(lumetra::ShellWord("Data/beep.wav"), "Data/beep.wav");
    EXPECT_EQ(lumetra::ShellWord("Data/a-b_c.0.wav"), "Data/a-b_c.0.wav");
    EXPECT_EQ(lumetra::ShellWord("Data/it's.wav"), "'Data/it'\\''s.wav'");
    EXPECT_EQ(lumetra::ShellWord(""), "''");

    // Unquoted, the first would run "touch hacked" and the second expand $HOME.
    ASSERT_TRUE(rig::WriteFile("Data/a;touch hacked.wav", ""));
    ASSERT_TRUE(rig::WriteFile("Data/$HOME it's.wav", ""));
    lumetra::PlayWave("Data/a;touch hacked.wav");
    lumetra::PlayWave("Data/$HOME it's.wav");
    EXPECT_FALSE(lumetra::FileExists("hacked"));
    EXPECT_EQ(standIns.Recorded(), (std::vector<std::string>{"aplay Data/a;touch hacked.wav", "aplay Data/$HOME it's.wav"}));
}

TEST_F(Sound, MissingFilesAreLoggedByPlayWaveAndSilentForBeep) {
    ASSERT_EQ(system("rm -f Data/beep.wav Data/urlo.wav"), 0);
    lumetra::PlayWave("Data/urlo.wav");
    lumetra::PlayWave("Data/beep.wav");
    lumetra::Beep();
    EXPECT_TRUE(NewChildren().empty());
    EXPECT_TRUE(standIns.Recorded().empty());
    EXPECT_EQ(rig::ReadLines("log.txt"), (std::vector<std::string>{"Data/urlo.wav non trovato.", "Data/beep.wav non trovato."}));
}

TEST_F(Sound, BeepReturnsAtOnceAndItsChildIsReaped) {
    rig::StandIns slow(1000);
    slow.Install();
    lumetra::Beep();
    // The child still waits for its (slow) aplay: the call did not.
    const std::vector<pid_t> children = NewChildren();
    ASSERT_EQ(children.size(), 1U);
    EXPECT_TRUE(lumetra::IsUnreapedChild(children[0]));
    ASSERT_TRUE(rig::WaitUntil([&] { return slow.Recorded().size() == 1; }));
    EXPECT_EQ(slow.Recorded()[0], "aplay Data/beep.wav");
    ASSERT_TRUE(ReapAll());
    EXPECT_FALSE(lumetra::IsUnreapedChild(children[0]));
    // Reaping by pid left the C library's own waiting intact.
    EXPECT_TRUE(lumetra::RunShellCommand("exit 3"));
    EXPECT_FALSE(lumetra::RunShellCommand("exit 0"));
    struct sigaction sa {};
    sigaction(SIGCHLD, nullptr, &sa);
    EXPECT_NE(sa.sa_handler, SIG_IGN);
}

// A child ends with _exit: it neither flushes the stdio buffers it inherited
// (which would print the parent's pending output twice) nor runs the
// parent's exit-time handlers.
TEST_F(Sound, ChildrenEndWithoutTheParentsExitCleanUp) {
    const pid_t helper = fork();
    ASSERT_GE(helper, 0);
    if (helper == 0) {
        if (!std::freopen("out.txt", "w", stdout)) _exit(2);
        std::setvbuf(stdout, nullptr, _IOFBF, 4096);
        std::atexit([] { std::fputs("exit handler\n", stdout); });
        std::fputs("pending\n", stdout);
        lumetra::Beep();
        lumetra::StartShellCommand("true");
        SoundPlayer player;
        player.PlayInBackground("Data/beep.wav", false);
        while (!rig::ChildrenOf(getpid()).empty()) {
            lumetra::ReapFinishedChildren();
            usleep(5000);
        }
        std::exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(helper, &status, 0), helper);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(rig::ReadFile("out.txt"), "pending\nexit handler\n");
    EXPECT_EQ(standIns.Recorded().size(), 2U);
}

TEST_F(Sound, TheLoopReapsEveryChildItStarted) {
    rig::XServer& server = rig::SharedServer();
    ASSERT_TRUE(server.Ok());
    auto screen = std::make_unique<lumetra::Screen>();
    lumetra::Form form;
    form.SetScreen(screen.get());
    form.Create();
    baseline = rig::ChildrenOf(getpid());
    for (int i = 0; i < 5; ++i) lumetra::Beep();
    for (int i = 0; i < 3; ++i) lumetra::StartShellCommand("firefox https://www.example.org");
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() == 8; }));
    EXPECT_TRUE(rig::PumpUntil(&form, [this] { return NewChildren().empty(); }));
    form.DestroyWindow();
}

TEST_F(Sound, PlayerStopsItsChildAndForgetsAReapedOne) {
    rig::StandIns slow(5000);
    slow.Install();
    SoundPlayer player;
    EXPECT_FALSE(player.IsPlaying());
    player.StopSound();  // nothing to stop: no signal, no effect

    player.PlayInBackground("Data/beep.wav", true);
    const pid_t first = player.Pid();
    ASSERT_GT(first, 0);
    EXPECT_TRUE(player.IsPlaying());
    // A second play terminates the first child before starting the next.
    player.PlayInBackground("Data/urlo.wav", false);
    const pid_t second = player.Pid();
    ASSERT_GT(second, 0);
    EXPECT_NE(second, first);
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::IsZombie(first); }));
    int status = 0;
    ASSERT_EQ(waitpid(first, &status, 0), first);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);

    player.StopSound();
    EXPECT_EQ(player.Pid(), 0);
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::IsZombie(second); }));
    ASSERT_EQ(waitpid(second, &status, 0), second);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_FALSE(player.IsPlaying());

    // A child that ended by itself and was reaped is forgotten at once.
    standIns.Install();
    player.PlayInBackground("Data/beep.wav", false);
    const pid_t third = player.Pid();
    ASSERT_TRUE(rig::WaitUntil([&] { return !player.IsPlaying(); }));
    EXPECT_EQ(player.Pid(), 0);
    EXPECT_FALSE(lumetra::IsUnreapedChild(third));
    EXPECT_TRUE(ReapAll());
}

TEST_F(Sound, PlayerReportsAMissingFile) {
    SoundPlayer player;
    player.PlayInBackground("Data/nothing.wav", true);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(rig::ReadLines("log.txt"), (std::vector<std::string>{"Data/nothing.wav non trovato."}));
}

}  // namespace
