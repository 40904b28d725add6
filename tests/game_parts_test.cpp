// labels: x11
// The game's parts in this process: the rules tick by tick (the game's timer
// stopped, its ticks and presses called; without Data/ each sound is a log
// line), the dialogs and the name form, the leaderboard file, the sound layer.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <tuple>
#include <utility>

#include "GameProcess.h"
#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/controls/CellControl.h"
#include "lumetra/core/Application.h"
#include "lumetra/core/Screen.h"
#include "lumetra/core/Timer.h"
#include "lumetra/game/FormAbout.h"
#include "lumetra/game/FormMain.h"
#include "lumetra/game/FormMsgBox.h"
#include "lumetra/game/FormNamePlayer.h"
#include "lumetra/game/Leaderboard.h"
#include "lumetra/game/Random.h"
#include "lumetra/game/Sound.h"
#include "rig/XServer.h"
#include "lumetra/util/Paths.h"

using lumetra::Application;
using lumetra::Leaderboard;

namespace {

struct Scratch {
    rig::TempDir dir;
    rig::WorkingDirectory here{dir.Path()};
};
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
        Application::currentMessageBox.reset(), Application::DeleteRetired();
    }
    bool Pump(const std::function<bool()>& until) { return rig::PumpUntil(game.get(), until); }
    std::string Shows(lumetra::Form* f, const char* name) {
        return gamerig::Golden(d, f->GetWindow(), name, game.get());
    }

    Display* d = rig::SharedServer(true).Connection();
    Scratch scratch;
    rig::StandIns standIns{0};
    std::unique_ptr<lumetra::Screen> screen = std::make_unique<lumetra::Screen>();
    std::unique_ptr<lumetra::FormMain> game =
        std::make_unique<lumetra::FormMain>(screen.get(), "parts");
};

enum Act { Tick, Right, Wrong, All, Start };
enum Lit { Dark, Newest, Repeated };  // the box drawn last, or the one repeated last
// What is done how often; then the boxes left in the sequence, the lit box,
// the three cells' texts, and the beeps and howls so far.
using Step = std::tuple<Act, int, size_t, Lit, const char*, const char*, const char*, long, long>;
const char* const kNow = "Now you play. Repeat the sequence";
const char* const kSorry = "I'm sorry. You were wrong";
const Step kGame[] = {
    {All, 1, 0, Dark, "Level: 0", "", "", 0, 0},  // presses before START are ignored
    {Start, 1, 0, Dark, "Level: 0", "", "", 0, 0},
    {Tick, 30, 0, Dark, "Level: 0", "", "", 0, 0},
    {Tick, 1, 1, Newest, "Level: 0", "", "", 1, 0},  // the 31st tick lights a box, with a beep
    {All, 1, 1, Newest, "Level: 0", "", "", 1, 0},   // and so are presses during the playback
    {Tick, 30, 1, Newest, "Level: 0", "", "", 1, 0},
    {Tick, 1, 2, Newest, "Level: 0", "", "", 2, 0},
    {Tick, 31, 3, Newest, "Level: 0", "", "", 3, 0},
    {Tick, 30, 3, Newest, "Level: 0", "", "", 3, 0},  // the last box stays lit a step more
    {Tick, 1, 3, Dark, "Level: 0", "-3", kNow, 3, 0},
    {Tick, 100, 3, Dark, "Level: 0", "-3", kNow, 3, 0},
    {Right, 1, 2, Repeated, "Level: 0", "-2", kNow, 4, 0},
    {Right, 1, 1, Repeated, "Level: 0", "-1", kNow, 5, 0},
    {Right, 1, 0, Repeated, "Level: 0", "", "", 6, 0},  // the next level
    {Tick, 30, 0, Repeated, "Level: 0", "", "", 6, 0},
    {Tick, 1, 0, Dark, "Level: 1", "", "", 6, 0},  // begins with a dark step
    {Tick, 31, 1, Newest, "Level: 1", "", "", 7, 0},
    {Tick, 93, 4, Newest, "Level: 1", "", "", 10, 0},
    {Tick, 31, 4, Dark, "Level: 1", "-4", kNow, 10, 0},
    {Right, 1, 3, Repeated, "Level: 1", "-3", kNow, 11, 0},
    {Wrong, 1, 3, Repeated, "Level: 1", "-3", kSorry, 11, 1},  // lost; the board as it was
    {All, 1, 3, Repeated, "Level: 1", "-3", kSorry, 11, 1},
    {Tick, 17, 3, Repeated, "Level: 1", "-3", kSorry, 11, 1},
    {Start, 1, 0, Dark, "Level: 0", "", "", 11, 1},
    {Tick, 30, 0, Dark, "Level: 0", "", "", 11, 1},
    {Tick, 1, 1, Newest, "Level: 0", "", "", 12, 1},  // a new game begins without a dark step
};

TEST_F(Parts, RulesTickByTick) {
    int repeated = 0, row = 0;
    for (const auto& [act, n, left, lit, level, count, message, beeps, howls] : kGame) {
        SCOPED_TRACE(row++);
        for (int i = 0; i < n; ++i) {
            if (act == Tick) game->HandleTick();
            if (act == Start) game->HandleClick(game->GetStartButton());
            if (act == Right) game->HandleBoxClick(repeated = game->GetSequence().front());
            if (act == Wrong) game->HandleBoxClick(game->GetSequence().front() % 4 + 1);
            for (int b = 1; act == All && b <= 4; ++b) game->HandleBoxClick(b);
        }
        ASSERT_EQ(game->GetSequence().size(), left);
        const int on = lit == Dark ? 0 : lit == Newest ? game->GetSequence().back() : repeated;
        for (int b = 1; b <= 4; ++b) EXPECT_EQ(game->GetBoard()->IsLit(b), b == on) << "box " << b;
        EXPECT_EQ(game->GetLevelLabel()->GetText(), level);
        EXPECT_EQ(game->GetCountLabel()->GetText(), count);
        EXPECT_EQ(game->GetMessageLabel()->GetText(), message);
        const std::vector<std::string> log = rig::ReadLines("log.txt");
        EXPECT_EQ(std::count(log.begin(), log.end(), "Data/beep.wav non trovato."), beeps);
        EXPECT_EQ(std::count(log.begin(), log.end(), "Data/urlo.wav non trovato."), howls);
    }
    EXPECT_EQ("",
              gamerig::Golden(d, game->GetWindow(), "board-lit", game.get(), 200, 130, 400, 400));
    // Twenty levels on, each drawn afresh: no box twice in a row within one,
    // though one may begin with the box the last one ended with.
    int previousLast = 0, firstIsPreviousLast = 0;
    for (size_t level = 0; level < 20; ++level) {
        while (game->IsPlayingBack()) game->HandleTick();
        const std::vector<int32_t> seq = game->GetSequence();
        ASSERT_EQ(seq.size(), level + 3);
        EXPECT_EQ(std::adjacent_find(seq.begin(), seq.end()), seq.end()) << "level " << level;
        firstIsPreviousLast += seq.front() == std::exchange(previousLast, seq.back()) ? 1 : 0;
        for (int b : seq) game->HandleBoxClick(b);
    }
    EXPECT_GT(firstIsPreviousLast, 0);
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
// nor its late second close.
TEST_F(Parts, DialogsAnswerAndGiveTheirOwnerBack) {
    Owner owner(screen.get()), unshown;
    const auto answer = [&](lumetra::Form* box, const char* golden, std::vector<int> xs) {
        EXPECT_EQ("", Shows(box, golden));
        EXPECT_FALSE(owner.IsEnabled());
        for (int x : xs) gamerig::Click(d, box->GetWindow(), x, 124);
        return Pump([&, n = owner.results.size()] { return owner.results.size() > n; });
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
    EXPECT_TRUE(owner.IsEnabled() && unshown.IsEnabled() && owner.GetActiveDialog() == nullptr);
    lumetra::FormAbout about(&owner), lost(&unshown);
    lost.Show();
    EXPECT_TRUE(unshown.IsEnabled());
    EXPECT_TRUE(about.HandleQueryClose());
    lumetra::ShowQuestion(7, &owner, "Sure?", "Three");
    EXPECT_TRUE(about.HandleQueryClose());
    EXPECT_FALSE(owner.IsEnabled());
    // Closed from code, a question answers as after the window manager's close.
    EXPECT_TRUE(lumetra::ShowQuestion(8, &owner, "Sure?", "Four")->RequestClose());
    EXPECT_EQ(owner.results.back(), std::make_pair(8, lumetra::MsgBoxNoAnswer));
    EXPECT_TRUE(owner.IsEnabled());
}

// The player-name form, opened afresh for each row (replacing the last one).
TEST_F(Parts, NameForm) {
    ASSERT_EQ(std::system("mkdir Data && : > Data/beep.wav"), 0);
    // Typed; then a key, or 0 for a click on OK, 1 for the window manager's close;
    // the alerts so far, whether it closes, the name kept.
    using Row = std::tuple<const char*, unsigned long, size_t, bool, const char*>;
    for (const auto& [typed, finish, beeps, closes, name] :
         {Row{"", 0, 1, false, ""}, Row{"   ", XK_Return, 2, false, ""},
          Row{"Annabelle12", XK_Return, 3, true, "Annabelle1"},
          Row{"Bob", XK_Delete, 3, true, "Bob"}, Row{"Zed", 0, 3, true, "Zed"},
          Row{"Eve", 1, 3, true, ""}}) {
        SCOPED_TRACE(typed);
        game->OpenNamePlayerForm();
        XSync(screen->GetDisplay(), False);
        const Window w = gamerig::WaitWindow(d, "Classifica");
        lumetra::Form* form = Application::FindFormByWindow(w);
        ASSERT_NE(form, nullptr);
        XSetInputFocus(d, w, RevertToParent, CurrentTime);
        EXPECT_EQ("", Shows(form, "name-form"));  // the prompt, the box with the caret, OK
        EXPECT_FALSE(game->IsEnabled());
        rig::TypeText(d, typed);
        finish > 1 ? rig::TapKey(d, finish)
        : finish   ? gamerig::RequestClose(d, w)
                   : gamerig::Click(d, w, 125, 94);
        EXPECT_TRUE(Pump(
            [&] { return standIns.Recorded().size() == beeps && form->IsCreated() != closes; }));
        EXPECT_EQ(lumetra::FormNamePlayer::playerName, name);
        EXPECT_EQ(game->IsEnabled(), closes);
    }
}

TEST(LeaderboardFile, AddScore) {
    std::string nine, blocked = "<no room beside>";
    for (int i = 10; i >= 2; --i)
        nine += Leaderboard::Entry(i * 50, "P" + std::to_string(i)) + "\n";
    const std::string ten = nine + "00000050 P1\n";
    // The file before ("": none), the name and score added, the answer, the file after.
    using Row = std::tuple<std::string, std::string, int64_t, bool, std::string>;
    for (const auto& [before, name, score, ok, after] : std::vector<Row>{
             {"", "Bob", 120, true, "00000120 Bob\n"},
             {"00000070 Anna\n00000900 Carl\n", "anna", 70, true,
              "00000900 Carl\n00000070 anna\n00000070 Anna\n"},
             {"00000070 Anna\n", "Ann", 70, true,
              "00000070 Anna\n00000070 Ann\n"},  // a prefix after
             {"00000070 Zoe\n", "\xC9mile", 70, true,
              "00000070 \xC9mile\n00000070 Zoe\n"},  // unsigned bytes
             {ten, "Low", 40, true, ten},
             {ten, "Mid", 60, true, nine + "00000060 Mid\n"},
             {"", "Wide", 123456789, true, "23456789 Wide\n"},
             {"00000300 Ann\nhello\n\n", "Cid", 200, true,
              "hello\n00000300 Ann\n00000200 Cid\n\n"},  // foreign lines stay
             {"00000300 Ann\n", "Eve\n00009999 Mallory", 50, false, "00000300 Ann\n"},
             {blocked, "Eve", 50, false,
              "00000300 Ann\n"},  // the new file cannot be written beside the old
         }) {
        SCOPED_TRACE(name);
        Scratch scratch;
        Leaderboard::ScoreDirectory("board");
        if (before == blocked)
            mkdir((std::string(kFile) + "." + std::to_string(getpid()) + ".tmp").c_str(), 0755);
        rig::WriteFile(kFile, before == blocked ? "00000300 Ann\n" : before);
        if (before.empty()) std::remove(kFile);
        Leaderboard board("board");
        EXPECT_EQ(board.AddScore(score, name), ok);
        EXPECT_EQ(board.Failed(), !ok);
        EXPECT_EQ(rig::ReadFile(kFile), after);
        const std::string files = before == blocked ? "2" : "1";  // no temporary file left
        EXPECT_EQ(std::system(("test $(ls -A Data/board/Score | wc -l) = " + files).c_str()), 0);
    }
}

TEST(LeaderboardFile, NamesLeadingOutOfDataOrBlockedFailAndMakeNothing) {
    Scratch scratch;
    std::vector<std::string> one = {"00000001 A"};
    rig::WriteFile("Data", "a file where the folder would go");
    for (const std::string name : {"..", "../out", "a/b", "/tmp/out", "x..y", "board"}) {
        Leaderboard board(name);
        EXPECT_TRUE(board.Load().empty() && board.Failed()) << name;
        EXPECT_FALSE(board.Save(one) || board.AddScore(1, "A") ||
                     !Leaderboard::ScoreDirectory(name).empty())
            << name;
    }
    for (const char* made : {"out", "../out", "a"}) EXPECT_FALSE(lumetra::FileExists(made)) << made;
}

// The sound layer with the recording stand-ins on PATH: commands answer
// failure, PlayWave waits and names its file as one word, missing files are
// logged (but by Beep); Beep and the player return at once, a second play
// stops the first, and a child that ends is reaped and forgotten.
TEST(Sound, CommandsSoundsAndChildren) {
    Scratch scratch;
    ASSERT_EQ(std::system("mkdir Data && : > Data/beep.wav && : > \"Data/a;touch hacked's.wav\""),
              0);
    for (const auto& [command, failed] :
         {std::pair{"true", false}, {"false", true}, {"no-such-program 2>/dev/null", true}}) {
        EXPECT_EQ(lumetra::RunShellCommand(command), failed) << command;
        EXPECT_EQ(lumetra::RunCommand(command, ""), failed) << command;
    }
    rig::StandIns slow(1000);
    slow.Install();
    lumetra::Beep();
    lumetra::SoundPlayer player;
    player.PlayInBackground("Data/beep.wav", true);
    const pid_t first = player.Pid();
    EXPECT_TRUE(lumetra::IsUnreapedChild(first) && player.IsPlaying() &&
                !lumetra::IsUnreapedChild(getpid()));
    player.PlayInBackground("Data/beep.wav", false);
    const pid_t second = player.Pid();
    player.StopSound();
    for (pid_t child : {first, second}) {
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    }
    EXPECT_FALSE(player.IsPlaying());
    player.PlayInBackground("Data/beep.wav", false);
    EXPECT_TRUE(rig::WaitUntil(
        [&] { return lumetra::ReapFinishedChildren(), !player.IsPlaying() && player.Pid() == 0; }));
    lumetra::PlayWave("Data/a;touch hacked's.wav");
    EXPECT_EQ(slow.Recorded(),
              (std::vector<std::string>{"aplay Data/beep.wav", "aplay Data/beep.wav",
                                        "aplay Data/a;touch hacked's.wav"}));
    EXPECT_FALSE(lumetra::FileExists("hacked"));
    EXPECT_TRUE(
        lumetra::RunShellCommand("exit 3"));  // reaping by pid left the shell's own waiting alone
    ASSERT_EQ(std::system("rm Data/beep.wav"), 0);
    lumetra::PlayWave("Data/urlo.wav");
    lumetra::Beep();
    lumetra::SoundPlayer().PlayInBackground("Data/beep.wav", true);
    EXPECT_EQ(rig::ReadFile("log.txt"), "Data/urlo.wav non trovato.\nData/beep.wav non trovato.\n");
    EXPECT_EQ(slow.Recorded().size(), 3U);
}

}  // namespace
