// The leaderboard on real files in a scratch working directory. The cases
// that need file modes to bite run as an unprivileged user when the tests run
// as root, since root ignores them.
#include "game/Leaderboard.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "rig/Process.h"

using lumetra::Leaderboard;

namespace {

const char* const kBoard = "board";
const char* const kFile = "Data/board/Score/Classifica.txt";
const char* const kHelperOp = "LEADERBOARD_TEST_HELPER_OP";

// Helper mode: the test program started again (as another user) runs one
// operation in the given directory and prints "<answer> <failed>" as its last
// line. It runs before the test framework starts and never returns.
const bool helperRan = [] {
    const char* op = std::getenv(kHelperOp);
    const char* dir = std::getenv("LEADERBOARD_TEST_HELPER_DIR");
    if (op == nullptr || dir == nullptr) return false;
    if (chdir(dir) != 0) _exit(3);
    Leaderboard board(kBoard);
    bool answer = false;
    const std::string what = op;
    if (what == "load") {
        answer = !board.Load().empty();
    } else if (what == "add") {
        answer = board.AddScore(100, "Helper");
    } else {
        _exit(4);
    }
    std::printf("%d %d\n", answer ? 1 : 0, board.Failed() ? 1 : 0);
    std::fflush(stdout);
    _exit(0);
}();

// A copy of this program that any user may run: the build folder itself
// may be closed to others.
std::string HelperProgram() {
    static rig::TempDir place;
    static std::string path;
    if (!path.empty()) return path;
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return path;
    const std::string self(buf, static_cast<size_t>(n));
    const std::string copy = place / "leaderboard_helper";
    if (chmod(place.Path().c_str(), 0755) == 0 && rig::WriteFile(copy, rig::ReadFile(self)) && chmod(copy.c_str(), 0755) == 0) {
        path = copy;
    } else {
        path = self;
    }
    return path;
}

// Runs the helper for `op` in `dir`, as user nobody when we are root (root
// ignores file modes), else as ourselves. Answers its output line, or a text
// that starts with "error" when it could not be run.
std::string RunUnprivileged(const std::string& op, const std::string& dir) {
    int out[2];
    if (pipe(out) != 0) return "error: pipe";
    const std::string self = HelperProgram();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        setenv(kHelperOp, op.c_str(), 1);
        setenv("LEADERBOARD_TEST_HELPER_DIR", dir.c_str(), 1);
        if (geteuid() == 0) {
            execl("/usr/bin/setpriv", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", self.c_str(),
                  static_cast<char*>(nullptr));
            execlp("setpriv", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", self.c_str(),
                   static_cast<char*>(nullptr));
        } else {
            execl(self.c_str(), self.c_str(), static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    close(out[1]);
    // The log lines come first; the answer is the last line.
    std::string all;
    char buf[512];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) all.append(buf, static_cast<size_t>(n));
    close(out[0]);
    if (!all.empty() && all.back() == '\n') all.pop_back();
    const std::string text = all.substr(all.find_last_of('\n') == std::string::npos ? 0 : all.find_last_of('\n') + 1);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "error: helper status " + std::to_string(status) + ", output: " + all;
    }
    return text;
}

// Gives the scratch tree to the unprivileged user, so only the modes set
// afterwards stand in its way.
void GiveToNobody(const std::string& dir) {
    if (geteuid() != 0) return;
    const std::string cmd = "chown -R 65534:65534 '" + dir + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
}

class LeaderboardFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(helperRan);
        ASSERT_FALSE(dir.Path().empty());
        ASSERT_TRUE(here.Ok());
    }

    // Writes the board file as given (lines each ended by "\n").
    void WriteBoard(const std::vector<std::string>& lines) {
        Leaderboard::ScoreDirectory(kBoard);
        std::string all;
        for (const std::string& l : lines) all += l + "\n";
        ASSERT_TRUE(rig::WriteFile(kFile, all));
    }
    static std::vector<std::string> FileLines() { return rig::ReadLines(kFile); }
    // Ten entries 00000050 ... 00000500, best first.
    void WriteFullBoard() {
        std::vector<std::string> lines;
        for (int i = 10; i >= 1; --i) lines.push_back(Leaderboard::Entry(i * 50, "P" + std::to_string(i)));
        WriteBoard(lines);
    }

    rig::TempDir dir;
    rig::WorkingDirectory here{dir.Path()};
};

TEST_F(LeaderboardFiles, FirstScoreMakesTheDirectoriesAndOneFixedWidthLine) {
    Leaderboard board(kBoard);
    EXPECT_EQ(Leaderboard::ScoreDirectory(kBoard), "Data/board/Score/");
    ASSERT_TRUE(board.AddScore(120, "Bob"));
    EXPECT_FALSE(board.Failed());
    EXPECT_EQ(rig::ReadFile(kFile), "00000120 Bob\n");
}

TEST_F(LeaderboardFiles, OrdersByScoreThenNameInByteOrder) {
    Leaderboard board(kBoard);
    ASSERT_TRUE(board.AddScore(70, "Anna"));
    ASSERT_TRUE(board.AddScore(70, "Zoe"));
    ASSERT_TRUE(board.AddScore(70, "anna"));
    ASSERT_TRUE(board.AddScore(900, "Carl"));
    ASSERT_TRUE(board.AddScore(5, "Zed"));
    ASSERT_TRUE(board.AddScore(70, "Ann"));
    // Equal scores: the name that sorts higher byte-wise first, so lower
    // case before upper case and a prefix after the longer name.
    EXPECT_EQ(FileLines(), (std::vector<std::string>{"00000900 Carl", "00000070 anna", "00000070 Zoe", "00000070 Anna",
                                                     "00000070 Ann", "00000005 Zed"}));
    EXPECT_EQ(board.Load(), FileLines());
    // Bytes count as unsigned: one above 0x7F sorts after every ASCII letter.
    ASSERT_TRUE(board.AddScore(70, "\xC9mile"));
    EXPECT_EQ(FileLines()[1], "00000070 \xC9mile");
}

TEST_F(LeaderboardFiles, KeepsTheTenBestAndDropsTheEleventh) {
    WriteFullBoard();
    const std::vector<std::string> before = FileLines();
    Leaderboard board(kBoard);
    ASSERT_TRUE(board.AddScore(40, "Low"));
    EXPECT_EQ(FileLines(), before);

    ASSERT_TRUE(board.AddScore(60, "Mid"));
    const std::vector<std::string> after = FileLines();
    ASSERT_EQ(after.size(), 10U);
    EXPECT_EQ(after[0], "00000500 P10");
    EXPECT_EQ(after[8], "00000100 P2");
    EXPECT_EQ(after[9], "00000060 Mid");

    std::vector<std::string> lines = {"b", "a", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"};
    ASSERT_TRUE(board.Save(lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"l", "k", "j", "i", "h", "g", "f", "e", "d", "c"}));
    EXPECT_EQ(FileLines(), lines);
}

TEST_F(LeaderboardFiles, ScoreWiderThanEightDigitsKeepsItsLastEight) {
    Leaderboard board(kBoard);
    ASSERT_TRUE(board.AddScore(123456789, "Wide"));
    ASSERT_TRUE(board.AddScore(99999999, "Max"));
    EXPECT_EQ(FileLines(), (std::vector<std::string>{"99999999 Max", "23456789 Wide"}));
}

TEST_F(LeaderboardFiles, ForeignLinesStayAndAreSortedLikeAnyOther) {
    WriteBoard({"00000300 Ann", "hello there", "", "00000100 Bob"});
    Leaderboard board(kBoard);
    EXPECT_EQ(board.Load(), (std::vector<std::string>{"00000300 Ann", "hello there", "", "00000100 Bob"}));
    ASSERT_TRUE(board.AddScore(200, "Cid"));
    EXPECT_EQ(FileLines(), (std::vector<std::string>{"hello there", "00000300 Ann", "00000200 Cid", "00000100 Bob", ""}));
}

TEST_F(LeaderboardFiles, MissingFileIsAnEmptyBoardAndAnEmptySaveAnEmptyFile) {
    Leaderboard board(kBoard);
    EXPECT_TRUE(board.Load().empty());
    EXPECT_FALSE(board.Failed());
    std::vector<std::string> none;
    ASSERT_TRUE(board.Save(none));
    struct stat st {};
    ASSERT_EQ(stat(kFile, &st), 0);
    EXPECT_EQ(st.st_size, 0);
}

TEST_F(LeaderboardFiles, DirectoryThatCannotBeMadeFailsAllThreeWithoutWriting) {
    ASSERT_TRUE(rig::WriteFile("Data", "not a directory"));
    Leaderboard board(kBoard);
    EXPECT_TRUE(board.Load().empty());
    EXPECT_TRUE(board.Failed());
    std::vector<std::string> lines = {"00000001 A"};
    EXPECT_FALSE(board.Save(lines));
    EXPECT_TRUE(board.Failed());
    EXPECT_FALSE(board.AddScore(1, "A"));
    EXPECT_TRUE(board.Failed());
    EXPECT_EQ(rig::ReadFile("Data"), "not a directory");
    EXPECT_EQ(Leaderboard::ScoreDirectory(kBoard), "");
}

TEST_F(LeaderboardFiles, DirectoryNamesLeadingOutOfDataAreRefused) {
    for (const std::string name : {"..", "../out", "a/b", "/tmp/out", "x..y"}) {
        SCOPED_TRACE(name);
        Leaderboard board(name);
        EXPECT_TRUE(board.Load().empty());
        EXPECT_TRUE(board.Failed());
        std::vector<std::string> lines = {"00000001 A"};
        EXPECT_FALSE(board.Save(lines));
        EXPECT_FALSE(board.AddScore(1, "A"));
        EXPECT_TRUE(board.Failed());
        EXPECT_EQ(Leaderboard::ScoreDirectory(name), "");
    }
    // Nothing was made, neither inside the working directory nor next to it.
    struct stat st {};
    EXPECT_NE(stat("Data", &st), 0);
    EXPECT_NE(stat("out", &st), 0);
    EXPECT_NE(stat((dir.Path() + "/../out").c_str(), &st), 0);
}

TEST_F(LeaderboardFiles, NamesWithLineBreaksAreRefusedWithoutWriting) {
    WriteBoard({"00000300 Ann"});
    Leaderboard board(kBoard);
    for (const std::string name : {"Eve\n00009999 Mallory", "Eve\r", "\n"}) {
        EXPECT_FALSE(board.AddScore(50, name));
        EXPECT_TRUE(board.Failed());
    }
    std::vector<std::string> lines = {"00000001 A\n00000002 B"};
    EXPECT_FALSE(board.Save(lines));
    EXPECT_TRUE(board.Failed());
    EXPECT_EQ(rig::ReadFile(kFile), "00000300 Ann\n");
    // The next good entry clears the failure.
    EXPECT_TRUE(board.AddScore(50, "Eve"));
    EXPECT_FALSE(board.Failed());
}

TEST_F(LeaderboardFiles, VeryLongLineSurvivesTheRewriteWhole) {
    const std::string longName(10000, 'x');
    WriteBoard({"00000500 " + longName, "00000050 Zed"});
    Leaderboard board(kBoard);
    ASSERT_TRUE(board.AddScore(100, "Bob"));
    EXPECT_EQ(FileLines(), (std::vector<std::string>{"00000500 " + longName, "00000100 Bob", "00000050 Zed"}));
    ASSERT_TRUE(board.AddScore(100, longName + "y"));
    EXPECT_EQ(FileLines().size(), 4U);
    EXPECT_EQ(FileLines()[1], "00000100 " + longName + "y");
}

TEST_F(LeaderboardFiles, SaveLeavesNoTemporaryFileBehind) {
    Leaderboard board(kBoard);
    ASSERT_TRUE(board.AddScore(1, "A"));
    ASSERT_TRUE(board.AddScore(2, "B"));
    EXPECT_EQ(rig::ReadFile(kFile), "00000002 B\n00000001 A\n");
    EXPECT_EQ(std::system("test \"$(ls -A Data/board/Score)\" = Classifica.txt"), 0);
}

// The two cases below need file modes to count: run as user nobody when we
// are root. They never skip: a helper that cannot run fails them.
TEST_F(LeaderboardFiles, UnreadableFileIsAnErrorAndIsNotOverwritten) {
    WriteFullBoard();
    const std::string before = rig::ReadFile(kFile);
    GiveToNobody(dir.Path());
    ASSERT_EQ(chmod(kFile, 0), 0);
    EXPECT_EQ(RunUnprivileged("load", dir.Path()), "0 1");
    EXPECT_EQ(RunUnprivileged("add", dir.Path()), "0 1");
    ASSERT_EQ(chmod(kFile, 0644), 0);
    EXPECT_EQ(rig::ReadFile(kFile), before);
    // The helper itself works: with the file readable again it adds.
    EXPECT_EQ(RunUnprivileged("add", dir.Path()), "1 0");
    EXPECT_EQ(FileLines()[8], "00000100 P2");
    EXPECT_EQ(FileLines()[9], "00000100 Helper");
}

TEST_F(LeaderboardFiles, FailedWriteAnswersFalseAndKeepsTheOldFile) {
    WriteFullBoard();
    const std::string before = rig::ReadFile(kFile);
    GiveToNobody(dir.Path());
    ASSERT_EQ(chmod("Data/board/Score", 0555), 0);
    EXPECT_EQ(RunUnprivileged("add", dir.Path()), "0 1");
    EXPECT_EQ(rig::ReadFile(kFile), before);
    EXPECT_EQ(std::system("test \"$(ls -A Data/board/Score)\" = Classifica.txt"), 0);
    ASSERT_EQ(chmod("Data/board/Score", 0755), 0);
}

}  // namespace
