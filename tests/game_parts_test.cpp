// labels: x11
// The game's parts in this process: the rules tick by tick (the game's timer
// stopped, its ticks and presses called; without Data/ each sound is a log
// line), the dialogs and the name form.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/controls/CellControl.h"
#include "lumetra/core/Application.h"
#include "lumetra/core/Screen.h"
#include "lumetra/core/Timer.h"
#include "lumetra/game/FormAbout.h"
#include "lumetra/game/FormMain.h"
#include "lumetra/game/FormMsgBox.h"
#include "lumetra/game/FormNamePlayer.h"
#include "lumetra/game/Random.h"
#include "rig/Game.h"
#include "rig/XServer.h"

using lumetra::Application;

namespace {

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
    const std::function<bool()> loop = [this] {
        Application::RunOnce(game.get(), 5);
        return false;
    };

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

// A chain of questions, each opened from the last one's answer while that box's handler runs
// (the sanitizer sees a box deleted too early), NO, and an information box's OK (its NO hidden).
// A box replaced while open gives its owner back, one without a window never takes it; nor does
// an About form, nor its late second close. The first game window stays the main form.
TEST_F(Parts, AnsweredDialogsGiveTheirOwnerBack) {
    auto second = std::make_unique<lumetra::FormMain>(screen.get(), "second");
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
    Owner closed(screen.get());
    ASSERT_TRUE(closed.RequestClose());
    const Window orphan = lumetra::ShowQuestion(6, &closed, "Sure?", "Two")->GetWindow();
    EXPECT_EQ(rig::PropertyText(d, orphan, "WM_TRANSIENT_FOR"), "");  // no window to stand by
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
    // With no owner given, a box is the first window's; shown, a box takes a new question.
    EXPECT_EQ(lumetra::ShowMessage(nullptr, "Done.", "Note")->GetOwner(), game.get());
    lumetra::FormMsgBox* box = lumetra::ShowQuestion(9, &owner, "Sure?", "Four");
    ASSERT_TRUE(Pump([&] { return rig::IsMapped(d, box->GetWindow()); }));
    box->Init(9, lumetra::MsgBoxKind::kQuestion, "Exit", "Do you really want to go exit?");
    EXPECT_EQ("", rig::CompareGolden(d, box->GetWindow(), "exit-question", loop));
    second.reset();  // another game window goes: the box stays open
    EXPECT_EQ(Application::currentMessageBox.get(), box);
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
        // The prompt, the box with the caret, OK.
        EXPECT_EQ("", rig::CompareGolden(d, w, "name-form", loop));
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

}  // namespace
