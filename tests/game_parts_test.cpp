// labels: x11
// The game's parts in this process: the rules tick by tick (the game's timer
// stopped, its ticks and presses called; without Data/ each sound is a log
// line), the dialogs and the name form, the leaderboard file, the sound layer.
#include <X11/keysym.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <optional>
#include <sstream>

#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/controls/CellControl.h"
#include "lumetra/core/Application.h"
#include "lumetra/core/ChildProcess.h"
#include "lumetra/core/Screen.h"
#include "lumetra/core/Timer.h"
#include "lumetra/game/FormAbout.h"
#include "lumetra/game/FormMain.h"
#include "lumetra/game/FormMsgBox.h"
#include "lumetra/game/FormNamePlayer.h"
#include "lumetra/game/Leaderboard.h"
#include "lumetra/game/Random.h"
#include "lumetra/game/Sound.h"
#include "lumetra/util/Paths.h"
#include "rig/Game.h"
#include "rig/XServer.h"

using lumetra::Application;
using lumetra::Leaderboard;

namespace {

const char* const kFile = "Data/board/Score/Classifica.txt";

class Parts : public ::testing::Test {
protected:
    void SetUp() override {
        standIns.Install();
        game->GetGameTimer()->Stop();
        lumetra::Random(1, 4);  // the game's own seeding first, then fixed numbers
        std::srand(17);
    }
    void TearDown() override {
        Application::currentMessageBox.reset();
        Application::DeleteRetired();
    }
    // A tick as the timer gives it: an expiry, then the tick it brings.
    void Expire() {
        Application::NoteExpiry();
        game->HandleTick();
    }
    bool Pump(const std::function<bool()>& until) { return rig::PumpUntil(game.get(), until); }
    const std::function<void()> loop = [this] { Application::RunOnce(game.get(), 5); };

    Display* d = rig::SharedServer(true).Connection();
    rig::Scratch scratch;
    rig::StandIns standIns{0};
    std::unique_ptr<lumetra::Screen> screen = std::make_unique<lumetra::Screen>();
    std::unique_ptr<lumetra::FormMain> game =
        std::make_unique<lumetra::FormMain>(screen.get(), "parts");
};

// Late: the tick of expiries that fell due while a press played its beep, which comes after it.
enum Act { Tick, Late, Right, Wrong, All, Start };
enum Lit { Dark, Newest, Repeated };  // the box drawn last, or the one repeated last
// What is done how often; then the boxes left in the sequence, the lit box,
// the three cells' texts, and the beeps and howls so far.
struct Step {
    const char* name;
    Act act;
    int times;
    size_t left;
    Lit lit;
    const char* level;
    const char* count;
    const char* message;
    long beeps;
    long howls;
};
const char* const kNow = "Now you play. Repeat the sequence";
const char* const kSorry = "I'm sorry. You were wrong";
const Step kGame[] = {
    {"START", Start, 1, 0, Dark, "Level: 0", "", "", 0, 0},
    {"30 ticks in the dark", Tick, 30, 0, Dark, "Level: 0", "", "", 0, 0},
    {"the 31st lights a box, with a beep", Tick, 1, 1, Newest, "Level: 0", "", "", 1, 0},
    {"presses during the playback are ignored", All, 1, 1, Newest, "Level: 0", "", "", 1, 0},
    {"30 ticks with the box lit", Tick, 30, 1, Newest, "Level: 0", "", "", 1, 0},
    {"the second box", Tick, 1, 2, Newest, "Level: 0", "", "", 2, 0},
    {"the third box", Tick, 31, 3, Newest, "Level: 0", "", "", 3, 0},
    {"the last box stays lit a step more", Tick, 30, 3, Newest, "Level: 0", "", "", 3, 0},
    {"the player's turn", Tick, 1, 3, Dark, "Level: 0", "-3", kNow, 3, 0},
    {"the player takes his time", Tick, 100, 3, Dark, "Level: 0", "-3", kNow, 3, 0},
    {"the first box repeated", Right, 1, 2, Repeated, "Level: 0", "-2", kNow, 4, 0},
    {"the second box repeated", Right, 1, 1, Repeated, "Level: 0", "-1", kNow, 5, 0},
    {"the last box repeated: the next level", Right, 1, 0, Repeated, "Level: 0", "", "", 6, 0},
    {"a tick late from its beep does not count", Late, 1, 0, Repeated, "Level: 0", "", "", 6, 0},
    {"30 ticks with the repeated box lit", Tick, 30, 0, Repeated, "Level: 0", "", "", 6, 0},
    {"the level begins with a dark step", Tick, 1, 0, Dark, "Level: 1", "", "", 6, 0},
    {"its first box", Tick, 31, 1, Newest, "Level: 1", "", "", 7, 0},
    {"three boxes more", Tick, 93, 4, Newest, "Level: 1", "", "", 10, 0},
    {"the player's turn again", Tick, 31, 4, Dark, "Level: 1", "-4", kNow, 10, 0},
    {"one box repeated", Right, 1, 3, Repeated, "Level: 1", "-3", kNow, 11, 0},
    {"a wrong box: lost, the board kept", Wrong, 1, 3, Repeated, "Level: 1", "-3", kSorry, 11, 1},
    {"presses after the loss", All, 1, 3, Repeated, "Level: 1", "-3", kSorry, 11, 1},
    {"ticks after the loss", Tick, 17, 3, Repeated, "Level: 1", "-3", kSorry, 11, 1},
    {"START again", Start, 1, 0, Dark, "Level: 0", "", "", 11, 1},
    {"30 ticks in the dark again", Tick, 30, 0, Dark, "Level: 0", "", "", 11, 1},
    {"a new game begins without a dark step", Tick, 1, 1, Newest, "Level: 0", "", "", 12, 1},
};

TEST_F(Parts, RulesTickByTick) {
    int repeated = 0;
    EXPECT_FALSE(game->IsRunning());
    for (const Step& step : kGame) {
        SCOPED_TRACE(step.name);
        for (int i = 0; i < step.times; ++i) {
            if (step.act == Tick) Expire();
            if (step.act == Late) game->HandleTick();
            if (step.act == Start) game->HandleClick(game->GetStartButton());
            if (step.act == Right) {
                repeated = game->GetSequence().front();
                game->HandleBoxClick(repeated);
            }
            if (step.act == Wrong) game->HandleBoxClick(game->GetSequence().front() % 4 + 1);
            if (step.act == All)
                for (int b = 1; b <= 4; ++b) game->HandleBoxClick(b);
        }
        ASSERT_EQ(game->GetSequence().size(), step.left);
        int on = repeated;
        if (step.lit == Dark) on = 0;
        if (step.lit == Newest) on = game->GetSequence().back();
        for (int b = 1; b <= 4; ++b) EXPECT_EQ(game->GetBoard()->IsLit(b), b == on) << "box " << b;
        EXPECT_EQ(game->GetLevelLabel()->GetText(), step.level);
        EXPECT_EQ(game->GetCountLabel()->GetText(), step.count);
        EXPECT_EQ(game->GetMessageLabel()->GetText(), step.message);
        const std::vector<std::string> log = rig::ReadLines("log.txt");
        EXPECT_EQ(std::count(log.begin(), log.end(), "Data/beep.wav non trovato."), step.beeps);
        EXPECT_EQ(std::count(log.begin(), log.end(), "Data/urlo.wav non trovato."), step.howls);
    }
    EXPECT_TRUE(game->IsRunning());
    // There are four boxes, whatever a caller asks for.
    EXPECT_FALSE(game->GetBoard()->IsLit(5));
    EXPECT_EQ(lumetra::BoxGame::LitColour(5), lumetra::NoColour);
    EXPECT_EQ(lumetra::BoxGame::UnlitColour(0), lumetra::NoColour);
    EXPECT_EQ("", rig::CompareGolden(d, game->GetWindow(), "board-lit", loop, 200, 130, 400, 400));
    // Twenty levels on, each drawn afresh: no box twice in a row within one,
    // though one may begin with the box the last one ended with.
    std::vector<int32_t> all;
    for (size_t level = 0; level < 20; ++level) {
        while (game->IsPlayingBack()) Expire();
        const std::vector<int32_t> seq = game->GetSequence();
        ASSERT_EQ(seq.size(), level + 3);
        EXPECT_EQ(std::adjacent_find(seq.begin(), seq.end()), seq.end()) << "level " << level;
        all.insert(all.end(), seq.begin(), seq.end());
        for (int b : seq) game->HandleBoxClick(b);
    }
    EXPECT_NE(std::adjacent_find(all.begin(), all.end()), all.end());
}

// A form that records the answers its dialogs give it.
struct Owner : lumetra::Form {
    explicit Owner(lumetra::Screen* s = nullptr) {
        SetScreen(s);
        SetSize(500, 400);
        if (s != nullptr) Create();
    }
    void DialogResult(int32_t id, int32_t result) override {
        results.emplace_back(id, result);
        if (id == 1 || id == 2)
            lumetra::ShowQuestion(id + 1, this, "Do you really want to go exit?", "Exit");
    }
    std::vector<std::pair<int, int>> results;
};

// A chain of questions, each opened from the last one's answer while that
// box's handler runs (the sanitizer sees a box deleted too early), NO, and an
// information box's OK (its NO hidden). A box replaced while open gives its
// owner back, one without a window never takes it; nor does an About form,
// nor its late second close. The first game window stays the application's
// main form, which handlers with no form of their own fall back on.
TEST_F(Parts, DialogsAnswerAndGiveTheirOwnerBack) {
    lumetra::FormMain second(screen.get(), "second");
    EXPECT_EQ(Application::mainForm, game.get());
    Owner owner(screen.get());
    Owner unshown;
    const auto answer = [&](lumetra::Form* box, const char* golden, std::vector<int> xs) {
        EXPECT_EQ("", rig::CompareGolden(d, box->GetWindow(), golden, loop));
        EXPECT_FALSE(owner.IsEnabled());
        const Window w = box->GetWindow();
        for (int x : xs) rig::ClickIn(d, w, x, 124);
        // Answered, the box leaves the screen at once, also when no other box replaces it.
        return Pump([&, n = owner.results.size()] {
            return owner.results.size() > n && !rig::IsMapped(d, w);
        });
    };
    lumetra::ShowQuestion(1, &owner, "Do you really want to go exit?", "Exit");
    for (int n = 1; n <= 3; ++n)
        ASSERT_TRUE(answer(Application::currentMessageBox.get(), "exit-question", {185}));
    ASSERT_TRUE(answer(lumetra::ShowQuestion(4, &owner, "Do you really want to go exit?", "Exit"),
                       "exit-question", {65}));
    ASSERT_TRUE(
        answer(lumetra::ShowMessage(&owner, "Done.", "Note"), "msgbox-information", {65, 185}));
    EXPECT_EQ(owner.results,
              (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}, {4, 4}, {0, 1}}));
    lumetra::ShowQuestion(5, &owner, "Sure?", "One");
    lumetra::ShowQuestion(6, &unshown, "Sure?", "Two");
    EXPECT_TRUE(owner.IsEnabled());
    EXPECT_TRUE(unshown.IsEnabled());
    EXPECT_EQ(owner.GetActiveDialog(), nullptr);
    lumetra::FormAbout about(&owner);
    lumetra::FormAbout lost(&unshown);
    lost.Show();
    EXPECT_TRUE(unshown.IsEnabled());
    EXPECT_TRUE(about.HandleQueryClose());
    lumetra::ShowQuestion(7, &owner, "Sure?", "Three");
    EXPECT_TRUE(about.HandleQueryClose());
    EXPECT_FALSE(owner.IsEnabled());
    // Closed from code, a question answers as after the window manager's close.
    EXPECT_TRUE(lumetra::ShowQuestion(8, &owner, "Sure?", "Four")->RequestClose());
    EXPECT_EQ(owner.results.back(), std::make_pair(8, lumetra::kMsgBoxNoAnswer));
    EXPECT_TRUE(owner.IsEnabled());
    // With no owner given, a box is the first window's; shown, it takes a new question.
    lumetra::FormMsgBox* box = lumetra::ShowMessage(nullptr, "Done.", "Note");
    EXPECT_EQ(box->GetOwner(), game.get());
    box->Init(9, lumetra::MsgBoxKind::kQuestion, "Renamed", "Sure?");
    EXPECT_EQ(std::make_tuple(box->GetDialogId(), box->GetTitle(), box->GetMessage()),
              std::make_tuple(9, std::string("Renamed"), std::string("Sure?")));
    EXPECT_EQ(box->GetKind(), lumetra::MsgBoxKind::kQuestion);
}

// The player-name form, opened afresh for each row (replacing the last one).
TEST_F(Parts, NameForm) {
    ASSERT_EQ(std::system("mkdir Data && : > Data/beep.wav"), 0);
    // Typed; then a key, or 0 for a click on OK, 1 for the window manager's close;
    // the alerts so far, whether it closes, the name kept.
    struct Row {
        const char* name;
        const char* typed;
        unsigned long finish;
        size_t beeps;
        bool closes;
        const char* kept;
    };
    const Row rows[] = {
        {"OK with blanks", "   ", 0, 1, false, ""},
        {"Return after a key too many", "Annabelle12", XK_Return, 2, true, "Annabelle1"},
        {"Delete", "Bob", XK_Delete, 2, true, "Bob"},
        {"OK", "Zed", 0, 2, true, "Zed"},
        {"the window manager's close", "Eve", 1, 2, true, ""},
    };
    // The game window where the window manager puts it for good: managed and shown.
    const Window win = game->GetWindow();
    ASSERT_TRUE(Pump(
        [&] { return !rig::PropertyText(d, win, "WM_STATE").empty() && rig::IsMapped(d, win); }));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const lumetra::PackedPoint at = game->GetPosition();
        game->OpenNamePlayerForm();
        XSync(screen->GetDisplay(), False);
        const Window w = rig::WaitWindow(d, "Classifica");
        lumetra::Form* form = Application::FindFormByWindow(w);
        ASSERT_NE(form, nullptr);
        XSetInputFocus(d, w, RevertToParent, CurrentTime);
        EXPECT_EQ("", rig::CompareGolden(d, w, "name-form",
                                         loop));  // the prompt, the box with the caret, OK
        // It asks to be placed centred on the 800 x 600 game window (it is 250 x 115).
        std::istringstream hints(rig::PropertyText(d, w, "WM_NORMAL_HINTS"));
        long flags = 0;
        std::pair<int, int> asked;
        hints >> flags >> asked.first >> asked.second;
        EXPECT_EQ(asked, std::make_pair(lumetra::PointX(at) + 275, lumetra::PointY(at) + 242));
        EXPECT_FALSE(game->IsEnabled());
        rig::TypeText(d, row.typed);
        if (row.finish > 1)
            rig::TapKey(d, row.finish);
        else if (row.finish == 1)
            rig::RequestClose(d, w);
        else
            rig::ClickIn(d, w, 125, 94);
        EXPECT_TRUE(Pump([&] {
            return standIns.Recorded().size() == row.beeps && form->IsClosed() == row.closes &&
                   form->IsCreated() != row.closes;
        }));
        EXPECT_EQ(lumetra::FormNamePlayer::playerName, row.kept);
        EXPECT_EQ(game->IsEnabled(), row.closes);
    }
}

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

}  // namespace
