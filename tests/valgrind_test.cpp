// labels: valgrind e2e slow
// One game under valgrind's memcheck: three levels, a loss, then out through
// the exit question. No memory errors, nothing of the program's own
// definitely or indirectly lost.
#include <gtest/gtest.h>

#include "rig/Game.h"
#include "rig/XServer.h"

TEST(Valgrind, AFullGameIsClean) {
    if (std::system("command -v valgrind >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "valgrind is not installed";
    Display* d = rig::SharedServer(true).Connection();
    rig::StandIns standIns;
    rig::TempDir logs;
    const std::string report = logs / "memcheck.txt";
    rig::Launch launch;
    launch.prefix = {"valgrind",
                     "--error-exitcode=99",
                     "--leak-check=full",
                     "--errors-for-leak-kinds=definite,indirect",
                     "--show-leak-kinds=definite,indirect",
                     "--suppressions=" LUMETRA_SOURCE_DIR "/tests/valgrind.supp",
                     "--log-file=" + report};
    launch.startMillis = 60000;
    rig::GameProcess game(d, standIns, launch);
    ASSERT_TRUE(game.Ok()) << rig::ReadFile(report);
    ASSERT_TRUE(rig::PlayGame(game, 3)) << rig::ReadFile(report);
    game.Click(rig::kExitButton);
    rig::ClickIn(d, rig::WaitWindow(d, "Exit"), 185, 124);  // YES
    EXPECT_EQ(game.Process().Wait(60000), 0) << rig::ReadFile(report);
    EXPECT_NE(rig::ReadFile(report).find("ERROR SUMMARY: 0 errors"), std::string::npos)
        << rig::ReadFile(report);
}
