// One scripted game under valgrind's memcheck: three levels, a lost game,
// then leaving through the exit question. No memory errors, and nothing of
// the program's own definitely or indirectly lost.
#include <gtest/gtest.h>

#include <cstdlib>

#include "GameProcess.h"
#include "rig/XServer.h"

namespace {

TEST(Valgrind, AFullSessionIsClean) {
    if (std::system("command -v valgrind >/dev/null 2>&1") != 0) GTEST_SKIP() << "valgrind is not installed";
    rig::XServer& server = rig::SharedServer(true);
    ASSERT_TRUE(server.Ok());
    Display* d = server.Connection();
    rig::StandIns standIns;
    rig::TempDir logs;
    const std::string report = logs / "memcheck.txt";
    gamerig::Launch launch;
    launch.prefix = {"valgrind", "--tool=memcheck", "--error-exitcode=99", "--leak-check=full",
                     "--errors-for-leak-kinds=definite,indirect", "--show-leak-kinds=definite,indirect",
                     "--suppressions=" LUMETRA_SOURCE_DIR "/tests/valgrind.supp", "--log-file=" + report};
    launch.startMillis = 60000;
    gamerig::GameProcess game(d, standIns, launch);
    ASSERT_TRUE(game.Ok()) << rig::ReadFile(report);
    ASSERT_TRUE(gamerig::PlayGame(game, 3)) << rig::ReadFile(report);
    // Leave through the exit question: Exit, then YES.
    game.Click(gamerig::kExitButton);
    const Window question = gamerig::WaitWindow(d, "Exit");
    ASSERT_NE(question, 0U);
    EXPECT_EQ("", gamerig::Golden(d, question, "exit-question"));
    gamerig::Click(d, question, 185, 124);
    EXPECT_EQ(game.Process().Wait(60000), 0) << rig::ReadFile(report);
    const std::string text = rig::ReadFile(report);
    EXPECT_NE(text.find("ERROR SUMMARY: 0 errors"), std::string::npos) << text;
}

}  // namespace
