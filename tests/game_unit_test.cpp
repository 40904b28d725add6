// labels: unit
// The game's parts that need no X server: the leaderboard file, the sound layer, hostile files,
// and a start without a display.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>

#include "lumetra/core/ChildProcess.h"
#include "lumetra/game/Leaderboard.h"
#include "lumetra/game/Sound.h"
#include "lumetra/graphics/BmpLoader.h"
#include "lumetra/util/Paths.h"
#include "rig/Process.h"
#include "rig/Rig.h"

using lumetra::Leaderboard;

namespace {

const char* const kFile = "Data/board/Score/Classifica.txt";

// Each row prepares the board (before; "" for none) and its folder, adds a
// score, and compares the answer, the log and the board afterwards: a row
// that logs a line fails and leaves the board as it was. No file beside the
// board is left or written through; a linked board stays a link.
TEST(LeaderboardFile, AddScore) {
    std::string nine;
    for (int i = 10; i >= 2; --i)
        nine += Leaderboard::Entry(i * 50, "P" + std::to_string(i)) + "\n";
    const std::string ten = nine + "00000050 P1\n";
    const std::string ann = "00000300 Ann\n";
    const std::string planted = std::string(kFile) + "." + std::to_string(getpid()) + ".tmp";
    // Just within the bound of reading, and no room for one more entry.
    const std::string wide = std::string(65535, 'w') + "\n";
    const std::string full = std::string(200, 'f') + "\n";
    const std::string old = std::string(7009, 'o') + "\n";  // longer than a tenth of the bound
    // The board writable by all, in a folder of the given mode, added to by an unprivileged user.
    const auto nobody = [](mode_t folder) {
        return [folder] {
            ASSERT_EQ(chmod(".", 0755) + chmod(kFile, 0666) + chmod("Data/board/Score", folder), 0);
            ASSERT_EQ(seteuid(65534), 0);
        };
    };
    std::optional<rig::FileSizeLimit> diskFull;
    int holder = -1;
    struct Row {
        const char* what;
        std::string before;
        std::string name;
        int64_t score;
        std::string after;
        std::string log;
        std::function<void()> setup = [] {};
    };
    const Row rows[] = {
        {"the first score", "", "Bob", 120, "00000120 Bob\n", ""},
        {"sorted anew, equal scores by their unsigned bytes descending, a prefix after",
         "00000070 Anna\n00000070 \xC9mile\n00000900 Carl\n00000070 anna\n", "Ann", 70,
         "00000900 Carl\n00000070 \xC9mile\n00000070 anna\n00000070 Anna\n00000070 Ann\n", ""},
        {"below a full board", ten, "Low", 40, ten, ""},
        {"into a full board", ten, "Mid", 60, nine + "00000060 Mid\n", ""},
        {"a score of nine digits keeps eight", "", "Wide", 123456789, "23456789 Wide\n", ""},
        {"foreign lines stay", ann + "hello\n\n", "Cid", 200, "hello\n" + ann + "00000200 Cid\n\n",
         ""},
        {"a link at the old temporary name", ann, "Eve", 50, ann + "00000050 Eve\n", "",
         [&] { ASSERT_EQ(symlink("../../../victim", planted.c_str()), 0); }},
        {"a name with a line break", ann, "Eve\n00009999 Mallory", 50, ann,
         "Classifica: nome con un a capo, non scritto"},
        {"disk full", full, "Eve", 50, full, "Scrittura non riuscita: " + std::string(kFile),
         [&] { diskFull.emplace(100); }},  // the log line fits
        {"a board read but not readable back", wide, "Eve", 50, wide,
         "Classifica troppo lunga, non scritta"},
        {"a long old line", old, "Eve", 50, old + "00000050 Eve\n", ""},
        {"a linked board", ann, "Eve", 50, ann + "00000050 Eve\n", "",
         [] {
             ASSERT_EQ(std::rename(kFile, "linked"), 0);
             ASSERT_EQ(symlink("../../../linked", kFile), 0);
         }},
        {"a read-only folder", ann, "Eve", 50, ann + "00000050 Eve\n", "", nobody(0555)},
        {"a folder that cannot be read", ann, "Eve", 50, ann,
         "Cartella non leggibile: Data/board/Score/", nobody(0333)},
        {"locked by another program", ann, "Eve", 50, ann,
         "Classifica occupata da un altro programma: " + std::string(kFile),
         [&] {
             holder = open("Data/board/Score", O_RDONLY);
             ASSERT_EQ(flock(holder, LOCK_EX), 0);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        rig::Scratch scratch;
        Leaderboard::ScoreDirectory("board");
        rig::WriteFile(kFile, row.before);
        if (row.before.empty()) std::remove(kFile);
        rig::WriteFile("victim", "precious");
        row.setup();
        const bool linked = std::filesystem::is_symlink(kFile);
        testing::internal::CaptureStdout();
        Leaderboard board("board");
        EXPECT_EQ(board.AddScore(row.score, row.name), row.log.empty());
        ASSERT_EQ(seteuid(0), 0);
        diskFull.reset();
        EXPECT_EQ(board.Failed(), !row.log.empty());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), row.log.empty() ? "" : row.log + "\n");
        EXPECT_EQ(rig::ReadFile(kFile), row.after);
        EXPECT_EQ(std::filesystem::is_symlink(kFile), linked);
        EXPECT_EQ(rig::ReadFile("victim"), "precious");
        std::remove(planted.c_str());
        EXPECT_EQ(std::system("test $(ls -A Data/board/Score | wc -l) = 1"), 0);
        if (holder >= 0) close(holder);
        holder = -1;
    }
}

// Four programs adding scores to a board not made yet, at the same moment, all get their entries
// in: the ten best of them.
TEST(LeaderboardFile, RivalsAddingAtOnce) {
    rig::Scratch scratch;
    std::string best;
    for (int i = 0; i < 10; ++i) best += Leaderboard::Entry(5 - i / 4, {"DCBA"[i % 4]}) + "\n";
    for (int attempt = 0; attempt < 20; ++attempt) {
        SCOPED_TRACE(attempt);
        ASSERT_EQ(std::system("rm -rf Data"), 0);
        std::vector<pid_t> rivals;
        for (const char* player : {"A", "B", "C", "D"}) {
            const pid_t pid = fork();
            if (pid == 0) {
                // Without standard input the lock takes descriptor 0, which it must let go too.
                close(STDIN_FILENO);
                Leaderboard board("board");
                bool ok = true;
                for (int i = 1; i <= 5; ++i) ok = board.AddScore(i, player) && ok;
                _exit(ok ? 0 : 1);
            }
            rivals.push_back(pid);
        }
        for (const pid_t pid : rivals) {
            int status = -1;
            waitpid(pid, &status, 0);
            EXPECT_EQ(status, 0);
        }
        EXPECT_EQ(rig::ReadFile(kFile), best);
    }
}

// Saved lines read back sorted; a line with a line feed in it is refused and changes nothing.
TEST(LeaderboardFile, SaveAndLoad) {
    rig::Scratch scratch;
    Leaderboard board("board");
    std::vector<std::string> lines = {"00000001 A", "00000003 C", "00000002 B"};
    EXPECT_TRUE(board.Save(lines));
    const std::vector<std::string> sorted = {"00000003 C", "00000002 B", "00000001 A"};
    EXPECT_EQ(board.Load(), sorted);
    EXPECT_FALSE(board.Failed());
    std::vector<std::string> broken = {"00000004 D\n00000005 E"};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(board.Save(broken));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Classifica: riga con un a capo, non scritta\n");
    EXPECT_EQ(board.Load(), sorted);
}

TEST(LeaderboardFile, NamesLeadingOutOfDataOrBlockedFailAndMakeNothing) {
    rig::Scratch scratch;
    std::vector<std::string> one = {"00000001 A"};
    rig::WriteFile("Data", "a file where the folder would go");
    for (const std::string name : {"..", "../out", "a/b", "/tmp/out", "x..y", "board"}) {
        Leaderboard board(name);
        SCOPED_TRACE(name);
        EXPECT_TRUE(board.Load().empty());
        EXPECT_TRUE(board.Failed());
        EXPECT_FALSE(board.Save(one));
        EXPECT_FALSE(board.AddScore(1, "A"));
        EXPECT_EQ(Leaderboard::ScoreDirectory(name), "");
    }
    for (const char* made : {"out", "../out", "a"}) EXPECT_FALSE(lumetra::FileExists(made)) << made;
}

// The sound layer with the recording stand-ins on PATH: commands answer
// failure, PlayWave names its file as one word; the player returns at once,
// a second play stops the first, a child that ends is reaped and forgotten,
// and a missing file is logged (but by Beep).
TEST(Sound, CommandsSoundsAndChildren) {
    rig::Scratch scratch;
    ASSERT_EQ(std::system("mkdir Data && : > Data/beep.wav && : > \"Data/a;touch hacked's.wav\""),
              0);
    for (const auto& [command, failed] : {
             std::pair{"true", false},
             {"false", true},
         }) {
        EXPECT_EQ(lumetra::RunShellCommand(command), failed) << command;
        EXPECT_EQ(lumetra::RunCommand(command, ""), failed) << command;
    }
    rig::StandIns slow(1000);
    slow.Install();
    lumetra::SoundPlayer player;
    player.PlayInBackground("Data/beep.wav", true);
    const pid_t first = player.Pid();
    EXPECT_TRUE(lumetra::IsUnreapedChild(first));
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_FALSE(lumetra::IsUnreapedChild(getpid()));
    player.PlayInBackground("Data/beep.wav", false);
    const pid_t second = player.Pid();
    player.StopSound();
    for (pid_t child : {first, second}) {
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGTERM);
    }
    EXPECT_FALSE(player.IsPlaying());
    player.PlayInBackground("Data/beep.wav", false);
    EXPECT_TRUE(rig::WaitUntil([&] {
        lumetra::ReapFinishedChildren();
        return !player.IsPlaying() && player.Pid() == 0;
    }));
    lumetra::PlayWave("Data/a;touch hacked's.wav");
    EXPECT_EQ(slow.Recorded(),
              (std::vector<std::string>{"aplay Data/beep.wav", "aplay Data/a;touch hacked's.wav"}));
    EXPECT_FALSE(lumetra::FileExists("hacked"));
    // Reaping by pid left the shell's own waiting alone.
    EXPECT_TRUE(lumetra::RunShellCommand("exit 3"));
    // A watched child's exit status reaches its handler once it is reaped.
    int told = -1;
    lumetra::WatchChild(lumetra::StartShell("exit 3", lumetra::ChildKind::Plain),
                        [&told](int status) { told = status; });
    EXPECT_TRUE(rig::WaitUntil([&] {
        lumetra::ReapFinishedChildren();
        return told == 3;
    }));
    ASSERT_EQ(std::system("rm Data/beep.wav"), 0);
    lumetra::Beep();
    lumetra::SoundPlayer().PlayInBackground("Data/beep.wav", true);
    EXPECT_EQ(rig::ReadFile("log.txt"), "Data/beep.wav non trovato.\n");
    EXPECT_EQ(slow.Recorded().size(), 2U);
}

// Files from outside, each refused within 5 s (the alarm ends the test program else) with one
// log line; the file stays as it was.
TEST(HostileFiles, AreRefusedWithOneLineAndLeftAsTheyWere) {
    const std::string board = "Data/t/Score/Classifica.txt";
    const std::string unread = "Lettura non riuscita: " + board + "\n";
    const auto picture = [] { return lumetra::LoadBmp8("p.bmp").Empty(); };
    const auto addScore = [] { return !lumetra::Leaderboard("t").AddScore(1, "x"); };
    // Legal 8-bit pictures 16384 wide: the header up to the height, and after it.
    const std::string wide =
        "printf 'BM\\0\\0\\0\\0\\0\\0\\0\\0\\66\\4\\0\\0\\50\\0\\0\\0\\0\\100\\0\\0";
    const std::string rest = "\\1\\0\\10' >p.bmp";
    // 16384 high, its pixels a hole in the file; 1365 high, just within the bound, and no pixels.
    const std::string huge = wide + "\\0\\100\\0\\0" + rest + " && truncate -s 268436534 p.bmp";
    const std::string bound = wide + "\\125\\5\\0\\0" + rest + " && truncate -s 1078 p.bmp";
    const struct {
        const char* name;
        std::string path;
        std::string make;  // a shell command
        std::function<bool()> refused;
        std::string out;
    } rows[] = {
        {"a missing picture", "p.bmp", ":", picture, "BMP file p.bmp rejected: cannot be opened\n"},
        {"a FIFO picture", "p.bmp", "mkfifo p.bmp", picture,
         "BMP file p.bmp rejected: not a regular file\n"},
        {"a huge picture", "p.bmp", huge, picture,
         "BMP file p.bmp rejected: over 64 MiB of pixels\n"},
        {"a picture at the bound with no pixels", "p.bmp", bound, picture,
         "BMP file p.bmp rejected: pixel rows missing (file truncated)\n"},
        {"an oversized board", board, "head -c 70000 /dev/zero >" + board, addScore, unread},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        rig::Scratch scratch;
        ASSERT_EQ(std::system(("mkdir -p Data/t/Score && " + row.make).c_str()), 0);
        // What would tell a file written over.
        const auto identity = [&row] {
            struct stat s = {};
            lstat(row.path.c_str(), &s);
            return std::make_tuple(s.st_ino, s.st_mode, s.st_size, s.st_mtime);
        };
        const auto before = identity();
        alarm(5);
        testing::internal::CaptureStdout();
        EXPECT_TRUE(row.refused());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), row.out);
        alarm(0);
        EXPECT_EQ(identity(), before);
    }
}

TEST(GamePlay, PlayWithoutADisplaySaysSoBeforeInstallingAnything) {
    rig::TempDir dir;
    const std::string run = "cp '" LUMETRA_SOURCE_DIR "/play' '" + dir.Path() +
                            "' && env -u DISPLAY '" + (dir / "play") + "' 2>'" + (dir / "err") +
                            "'";
    EXPECT_EQ(WEXITSTATUS(std::system(run.c_str())), 1);
    EXPECT_NE(rig::ReadFile(dir / "err").find("DISPLAY is not set"), std::string::npos)
        << rig::ReadFile(dir / "err");
}

// No server at all: no window and no loop; the game ends with status 1, and its lines replace
// the old log.
TEST(Game, WithoutAServerEndsWithStatusOne) {
    rig::TempDir dir;
    rig::WriteFile(dir / "log.txt", "old run\n");
    const char* binary = std::getenv("LUMETRA_GAME");
    rig::ChildProcess game({binary ? binary : LUMETRA_BINARY_DIR "/lumetra"}, dir.Path(),
                           {"DISPLAY=:9999"});
    EXPECT_EQ(game.Wait(10000), 1);
    const std::string failed = "XOpenDisplay(0) failed.\nErrore creazione Form \n";
    EXPECT_EQ(rig::ReadFile(game.Output()) + rig::ReadFile(dir / "log.txt"), failed + failed);
}

}  // namespace
