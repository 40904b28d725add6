// The game's rules, tick by tick: the game window runs in this process with
// its timer stopped, and the test calls its tick and press operations
// directly, so every count is exact and no test waits for the clock.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "core/Application.h"
#include "core/Screen.h"
#include "core/Timer.h"
#include "game/BoxGame.h"
#include "game/FormAbout.h"
#include "game/FormMain.h"
#include "game/FormMsgBox.h"
#include "game/MakerTexts.h"
#include "game/Random.h"
#include "game/Sound.h"
#include "rig/Process.h"
#include "rig/Rig.h"
#include "rig/XServer.h"
#include "util/Paths.h"

using lumetra::Application;
using lumetra::FormMain;

namespace {

class GameRules : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig::SharedServer().Ok());
        // No Data/ here: every sound is a log line and returns at once.
        ASSERT_TRUE(here.Ok());
        standIns.Install();
        screen = std::make_unique<lumetra::Screen>();
        game = std::make_unique<FormMain>(screen.get(), "rules under test");
        ASSERT_TRUE(game->IsCreated());
        ASSERT_NE(game->GetGameTimer(), nullptr);
        EXPECT_TRUE(game->GetGameTimer()->IsRunning());
        game->GetGameTimer()->Stop();
    }
    void TearDown() override {
        Application::currentMessageBox.reset();
        Application::DeleteRetired();
        Application::quitRequested = false;
        game.reset();
        screen.reset();
        lumetra::ReapFinishedChildren();
    }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i) game->HandleTick();
    }
    void Start() { game->HandleClick(game->GetStartButton()); }
    int Lit() const {
        int lit = 0;
        for (int b = 1; b <= 4; ++b) {
            if (game->GetBoard()->IsLit(b)) lit = lit == 0 ? b : -1;
        }
        return lit;
    }
    std::string Level() const { return game->GetLevelLabel()->GetText(); }
    std::string Count() const { return game->GetCountLabel()->GetText(); }
    std::string Message() const { return game->GetMessageLabel()->GetText(); }

    // Plays a whole playback from its first tick and answers the sequence
    // as the board showed it.
    std::vector<int> WatchPlayback() {
        std::vector<int> shown;
        for (int guard = 0; guard < 2000 && game->IsPlayingBack(); ++guard) {
            game->HandleTick();
            const int lit = Lit();
            if (game->IsPlayingBack() && lit > 0 &&
                static_cast<int>(game->GetSequence().size()) > static_cast<int>(shown.size())) {
                shown.push_back(lit);
            }
        }
        return shown;
    }
    // Sound files for the cases that count the commands run.
    static void WithSounds() { ASSERT_EQ(std::system("mkdir -p Data && : > Data/beep.wav && : > Data/urlo.wav"), 0); }
    void Repeat(const std::vector<int>& boxes) {
        for (int b : boxes) game->HandleBoxClick(b);
    }

    rig::TempDir dir;
    rig::WorkingDirectory here{dir.Path()};
    rig::StandIns standIns{0};
    std::unique_ptr<lumetra::Screen> screen;
    std::unique_ptr<FormMain> game;
};

TEST_F(GameRules, StartsIdleWithItsControls) {
    EXPECT_FALSE(game->IsRunning());
    EXPECT_EQ(Level(), "Level: 0");
    EXPECT_EQ(Count(), "");
    EXPECT_EQ(Message(), "");
    EXPECT_TRUE(game->GetStartButton()->IsEnabled());
    EXPECT_EQ(Lit(), 0);
    EXPECT_EQ(Application::mainForm, game.get());
    EXPECT_EQ(game->GetBoard()->GetKind(), "BoxGame");
}

TEST_F(GameRules, FirstBoxLightsOnThe31stTickAndTheTurnShowsMinusThree) {
    Start();
    EXPECT_TRUE(game->IsRunning());
    EXPECT_TRUE(game->IsPlayingBack());
    EXPECT_FALSE(game->GetStartButton()->IsEnabled());
    Ticks(30);
    EXPECT_EQ(Lit(), 0);
    EXPECT_TRUE(game->GetSequence().empty());
    Ticks(1);
    ASSERT_EQ(game->GetSequence().size(), 1U);
    EXPECT_EQ(Lit(), game->GetSequence()[0]);
    EXPECT_EQ(Level(), "Level: 0");
    // Each box stays lit for one step, the next one replacing it.
    Ticks(30);
    EXPECT_EQ(game->GetSequence().size(), 1U);
    EXPECT_EQ(Lit(), game->GetSequence()[0]);
    Ticks(1);
    ASSERT_EQ(game->GetSequence().size(), 2U);
    EXPECT_EQ(Lit(), game->GetSequence()[1]);
    Ticks(31);
    ASSERT_EQ(game->GetSequence().size(), 3U);
    EXPECT_EQ(Lit(), game->GetSequence()[2]);
    // The last box stays lit one more step; then the player's turn.
    Ticks(30);
    EXPECT_TRUE(game->IsPlayingBack());
    EXPECT_EQ(Lit(), game->GetSequence()[2]);
    Ticks(1);
    EXPECT_FALSE(game->IsPlayingBack());
    EXPECT_EQ(Lit(), 0);
    EXPECT_EQ(Message(), "Now you play. Repeat the sequence");
    EXPECT_EQ(Count(), "-3");
    // Ticks in the player's turn change nothing.
    Ticks(100);
    EXPECT_FALSE(game->IsPlayingBack());
    EXPECT_EQ(game->GetSequence().size(), 3U);
    // Every step beeped.
    EXPECT_EQ(rig::ReadLines("log.txt"), std::vector<std::string>(3, "Data/beep.wav non trovato."));
}

TEST_F(GameRules, RepeatingCountsDownAndTheNextLevelBeginsWithADarkStep) {
    Start();
    const std::vector<int> level0 = WatchPlayback();
    ASSERT_EQ(level0.size(), 3U);
    EXPECT_EQ(level0, game->GetSequence());

    game->HandleBoxClick(level0[0]);
    EXPECT_EQ(Lit(), level0[0]);
    EXPECT_EQ(Count(), "-2");
    game->HandleBoxClick(level0[1]);
    EXPECT_EQ(Lit(), level0[1]);
    EXPECT_EQ(Count(), "-1");
    game->HandleBoxClick(level0[2]);
    // "0" and "Good. Well done." are drawn and at once replaced by NextLevel.
    EXPECT_EQ(Count(), "");
    EXPECT_EQ(Message(), "");
    EXPECT_EQ(game->GetTargetLength(), 4);
    EXPECT_TRUE(game->IsPlayingBack());
    EXPECT_TRUE(game->GetSequence().empty());

    // The pressed box stays lit until the 31st tick, which is a dark step
    // that also shows the new level.
    Ticks(30);
    EXPECT_EQ(Lit(), level0[2]);
    EXPECT_EQ(Level(), "Level: 0");
    Ticks(1);
    EXPECT_EQ(Lit(), 0);
    EXPECT_EQ(Level(), "Level: 1");
    EXPECT_TRUE(game->GetSequence().empty());
    Ticks(30);
    EXPECT_EQ(Lit(), 0);
    Ticks(1);
    ASSERT_EQ(game->GetSequence().size(), 1U);
    EXPECT_EQ(Lit(), game->GetSequence()[0]);

    const std::vector<int> rest = WatchPlayback();
    ASSERT_EQ(rest.size(), 4U);
    EXPECT_EQ(rest, game->GetSequence());
    EXPECT_EQ(Count(), "-4");
    Repeat(rest);
    EXPECT_EQ(game->GetTargetLength(), 5);
    const std::vector<int> level2 = WatchPlayback();
    EXPECT_EQ(level2.size(), 5U);
    EXPECT_EQ(Level(), "Level: 2");
}

TEST_F(GameRules, ALevelIsDrawnAfreshWithNoBoxTwiceInARow) {
    // Fixed numbers after the game's own seeding, so the run is repeatable.
    lumetra::Random(1, 4);
    std::srand(20260101);
    Start();
    int firstEqualsPreviousLast = 0;
    int previousLast = 0;
    for (int level = 0; level < 20; ++level) {
        const std::vector<int> shown = WatchPlayback();
        ASSERT_EQ(static_cast<int>(shown.size()), level + 3);
        for (size_t i = 1; i < shown.size(); ++i) EXPECT_NE(shown[i], shown[i - 1]) << "level " << level;
        if (shown.front() == previousLast) ++firstEqualsPreviousLast;
        previousLast = shown.back();
        Repeat(shown);
        EXPECT_EQ(game->GetTargetLength(), level + 4);
    }
    // The ban holds only within a sequence.
    EXPECT_GT(firstEqualsPreviousLast, 0);
    EXPECT_EQ(Level(), "Level: 19");
}

TEST_F(GameRules, AWrongPressEndsTheGame) {
    Start();
    const std::vector<int> seq = WatchPlayback();
    const int wrong = seq[0] % 4 + 1;
    game->HandleBoxClick(wrong);
    EXPECT_FALSE(game->IsRunning());
    EXPECT_EQ(Message(), "I'm sorry. You were wrong");
    EXPECT_EQ(Count(), "-3");
    EXPECT_EQ(Level(), "Level: 0");
    EXPECT_EQ(Lit(), 0);  // the pressed box is not lit
    EXPECT_TRUE(game->GetStartButton()->IsEnabled());
    const std::vector<std::string> log = rig::ReadLines("log.txt");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "Data/urlo.wav non trovato.");
    EXPECT_EQ(std::count(log.begin(), log.end(), "Data/urlo.wav non trovato."), 1);
}

TEST_F(GameRules, PressesBeforeStartDuringPlaybackAndAfterALossChangeNothing) {
    game->HandleBoxClick(1);
    Ticks(200);
    EXPECT_EQ(Lit(), 0);
    EXPECT_FALSE(game->IsRunning());
    EXPECT_EQ(Message(), "");
    EXPECT_FALSE(lumetra::FileExists("log.txt"));

    Start();
    Ticks(31);
    const std::vector<int> before = game->GetSequence();
    const int lit = Lit();
    for (int b = 1; b <= 4; ++b) game->HandleBoxClick(b);
    EXPECT_EQ(game->GetSequence(), before);
    EXPECT_EQ(Lit(), lit);
    EXPECT_TRUE(game->IsPlayingBack());
    EXPECT_EQ(Message(), "");

    const std::vector<int> seq = [&] {
        WatchPlayback();
        return game->GetSequence();
    }();
    game->HandleBoxClick(seq[0] % 4 + 1);
    ASSERT_FALSE(game->IsRunning());
    const std::string log = rig::ReadFile("log.txt");
    for (int b = 1; b <= 4; ++b) game->HandleBoxClick(b);
    Ticks(100);
    EXPECT_EQ(Lit(), 0);
    EXPECT_EQ(Count(), "-3");
    EXPECT_EQ(Message(), "I'm sorry. You were wrong");
    EXPECT_EQ(rig::ReadFile("log.txt"), log);
}

TEST_F(GameRules, StartAfterALossPlaysANewLevelZero) {
    Start();
    WatchPlayback();
    game->HandleBoxClick(game->GetSequence()[0] % 4 + 1);
    Ticks(17);  // idle ticks
    Start();
    EXPECT_EQ(Level(), "Level: 0");
    EXPECT_EQ(Message(), "");
    EXPECT_EQ(Count(), "");
    EXPECT_FALSE(game->GetStartButton()->IsEnabled());
    // No dark step for length 3, whatever the lost game left pending.
    Ticks(30);
    EXPECT_TRUE(game->GetSequence().empty());
    Ticks(1);
    EXPECT_EQ(game->GetSequence().size(), 1U);
    EXPECT_GT(Lit(), 0);
}

TEST_F(GameRules, ExitAsksAndOnlyYesEndsTheLoop) {
    WithSounds();
    game->HandleClick(game->GetExitButton());
    auto* box = dynamic_cast<lumetra::FormMsgBox*>(Application::currentMessageBox.get());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetDialogId(), FormMain::ExitQuestionId);
    EXPECT_EQ(box->GetTitle(), "Exit");
    EXPECT_EQ(box->GetMessage(), "Do you really want to go exit?");
    EXPECT_EQ(box->GetKind(), lumetra::MsgBoxKind::Question);
    EXPECT_FALSE(game->IsEnabled());
    EXPECT_EQ(game->GetActiveDialog(), box);

    // The window manager's close request now raises the open question with
    // a beep instead of opening a second one.
    EXPECT_FALSE(game->QueryClose());
    EXPECT_EQ(Application::currentMessageBox.get(), box);
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() == 1; }));
    EXPECT_EQ(standIns.Recorded()[0], "aplay Data/beep.wav");

    game->DialogResult(FormMain::ExitQuestionId, lumetra::MsgBoxNo);
    game->DialogResult(FormMain::ExitQuestionId, lumetra::MsgBoxNoAnswer);
    game->DialogResult(7, lumetra::MsgBoxYes);
    EXPECT_FALSE(Application::quitRequested);
    game->GetGameTimer()->Start();
    game->DialogResult(FormMain::ExitQuestionId, lumetra::MsgBoxYes);
    EXPECT_TRUE(Application::quitRequested);
    EXPECT_FALSE(game->GetGameTimer()->IsRunning());
}

TEST_F(GameRules, InfoOpensOneAboutFormAndThePressOnTheGameRaisesIt) {
    WithSounds();
    game->HandleClick(game->GetInfoButton());
    lumetra::FormAbout* first = game->GetAboutForm();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->IsCreated());
    EXPECT_FALSE(game->IsEnabled());
    EXPECT_EQ(game->GetActiveDialog(), first);
    EXPECT_EQ(first->GetTitle(), "Info...");

    // A press on the game window while it is open: a beep, and nothing else
    // opens.
    game->HandleMouseDown(lumetra::PackPoint(5, 5));
    EXPECT_FALSE(game->QueryClose());
    EXPECT_EQ(Application::currentMessageBox, nullptr);
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() == 2; }));

    game->HandleClick(game->GetInfoButton());
    lumetra::FormAbout* second = game->GetAboutForm();
    ASSERT_NE(second, nullptr);
    int infos = 0;
    for (lumetra::GUIElement* f : Application::forms) infos += static_cast<lumetra::Form*>(f)->GetTitle() == "Info..." ? 1 : 0;
    EXPECT_EQ(infos, 1);
    EXPECT_EQ(game->GetActiveDialog(), second);

    second->HandleKeyChar(27);
    EXPECT_FALSE(second->IsCreated());
    EXPECT_TRUE(game->IsEnabled());
    EXPECT_EQ(game->GetActiveDialog(), nullptr);
    // Enabled again, the window's own press does nothing.
    game->HandleMouseDown(lumetra::PackPoint(5, 5));
    rig::Pump(game.get(), 100);
    EXPECT_EQ(standIns.Recorded().size(), 2U);
}

TEST_F(GameRules, PlaybackGoesOnBehindTheDialogs) {
    Start();
    game->HandleClick(game->GetInfoButton());
    Ticks(31);
    EXPECT_EQ(game->GetSequence().size(), 1U);
    game->GetAboutForm()->HandleKeyChar(13);
    game->HandleClick(game->GetExitButton());
    Ticks(31);
    EXPECT_EQ(game->GetSequence().size(), 2U);
}

TEST(MakerTexts, NoticeAndWebAddressHaveTheirShape) {
    const std::string notice = lumetra::kNotice;
    EXPECT_EQ(notice.size(), 82U);
    EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), 1);
    // The line feed follows the first sentence.
    EXPECT_EQ(notice.find('\n'), notice.find('.') + 1);
    const std::string web = lumetra::kWebAddress;
    EXPECT_EQ(web.rfind("https://www.", 0), 0U);
    EXPECT_GT(web.size(), 12U);
    // A reserved example domain: the link never reaches a stranger.
    EXPECT_EQ(web.substr(web.size() - 8), ".example");
    EXPECT_EQ(std::string(lumetra::kProductLine), "Lumetra 1.0.0.0");
}

// With the real timer: the step's beep holds the loop, the expiries that
// fall due meanwhile reach the game as one late tick, and the next step
// still comes 31 counted ticks after the beep has ended.
class CountingGame : public FormMain {
public:
    using FormMain::FormMain;
    void HandleTick() override {
        ++ticks;
        FormMain::HandleTick();
    }
    int ticks = 0;
};

TEST_F(GameRules, AStepComes31TicksAfterThePreviousBeepEnded) {
    WithSounds();
    rig::StandIns beeps(200);
    beeps.Install();
    CountingGame counted(screen.get(), "counted");
    ASSERT_TRUE(counted.GetGameTimer()->IsRunning());
    counted.HandleClick(counted.GetStartButton());
    std::vector<int> at;
    for (size_t n = 1; n <= 3; ++n) {
        ASSERT_TRUE(rig::PumpUntil(
            &counted, [&] { return counted.GetSequence().size() == n; }, 5000));
        at.push_back(counted.ticks);
    }
    // One late tick for the beep, then 31 counted ones.
    EXPECT_EQ(at[1] - at[0], 32);
    EXPECT_EQ(at[2] - at[1], 32);
    EXPECT_EQ(beeps.Recorded().size(), 3U);
    counted.GetGameTimer()->Stop();
}

}  // namespace
