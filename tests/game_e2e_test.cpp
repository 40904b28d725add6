// The real game program, end to end: started under Xvfb with the window
// manager and the recording stand-ins for aplay, firefox and thunderbird,
// driven through XTEST as a player would, and read back from the server.
// The board's boxes are read by their colours; the cells' texts by
// comparing their pixels with the same texts drawn by the toolkit in a
// reference form of this test. One game process serves the checks of a
// suite, in order, so the suite stays short.
// gtest first: the X headers define None and Bool as macros.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <X11/keysym.h>
// clang-format on

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GameProcess.h"
#include "controls/CellControl.h"
#include "core/Application.h"
#include "core/Form.h"
#include "core/Screen.h"
#include "rig/Process.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

using gamerig::Area;
using gamerig::GameProcess;

namespace {

// The game's three cells, drawn by the toolkit in this process at the same
// places and with the same settings, so equal texts give equal pixels.
class Reference {
public:
    Reference() {
        screen = std::make_unique<lumetra::Screen>();
        form.SetScreen(screen.get());
        form.SetTitle("reference cells");
        form.SetSize(800, 110);
        form.SetLocation(0, 850);
        form.SetBackColor(0xAAAAAA);
        form.Create();
        level = Make(gamerig::kLevelCell, 0x000000, true);
        count = Make(gamerig::kCountCell, 0xFF0000, true);
        message = Make(gamerig::kMessageCell, 0xFF0000, false);
    }
    lumetra::Form& Form() { return form; }
    lumetra::CellControl* CellFor(const Area& a) {
        if (a.x == gamerig::kLevelCell.x) return level.get();
        if (a.x == gamerig::kCountCell.x) return count.get();
        return message.get();
    }
    // The pixels of the cell showing the text.
    std::vector<uint32_t> Drawn(Display* d, const Area& a, const std::string& text) {
        lumetra::CellControl* cell = CellFor(a);
        cell->SetText(text);
        XSync(screen->GetDisplay(), False);
        return rig::Pixels(d, form.GetWindow(), a.x, a.y, a.w, a.h);
    }

private:
    std::unique_ptr<lumetra::CellControl> Make(const Area& a, lumetra::Colour textColour, bool border) {
        auto c = std::make_unique<lumetra::CellControl>(&form);
        c->SetSize(a.w, a.h);
        c->SetLocation(a.x, a.y);
        c->SetBackColor(0xAAAAAA);
        c->SetTextColor(textColour);
        c->SetBorder(border);
        c->Create();
        c->Show();
        return c;
    }
    std::unique_ptr<lumetra::Screen> screen;
    lumetra::Form form;
    std::unique_ptr<lumetra::CellControl> level, count, message;
};

// The texts every client draws (core PolyText8 requests), recorded by the
// server's RECORD extension: it sees the texts a cell shows only for an
// instant, "0" and "Good. Well done." at the end of a level.
class DrawnTexts {
public:
    explicit DrawnTexts(const std::string& display) {
        control = XOpenDisplay(display.c_str());
        data = XOpenDisplay(display.c_str());
        if (control == nullptr || data == nullptr) return;
        XRecordClientSpec clients = XRecordAllClients;
        XRecordRange* range = XRecordAllocRange();
        if (range == nullptr) return;
        range->core_requests.first = X_PolyText8;
        range->core_requests.last = X_PolyText8;
        context = XRecordCreateContext(control, 0, &clients, 1, &range, 1);
        XFree(range);
        XSync(control, False);
        if (context != 0) XRecordEnableContextAsync(data, context, &DrawnTexts::Intercept, reinterpret_cast<XPointer>(this));
    }
    ~DrawnTexts() {
        if (context != 0) {
            XRecordDisableContext(control, context);
            XSync(control, False);
            XRecordProcessReplies(data);
            XRecordFreeContext(control, context);
        }
        if (data) XCloseDisplay(data);
        if (control) XCloseDisplay(control);
    }
    bool Ok() const { return context != 0; }
    // Everything drawn so far, oldest first.
    const std::vector<std::string>& Texts() {
        if (context != 0) XRecordProcessReplies(data);
        return texts;
    }
    // The texts drawn after the given number of earlier ones.
    std::vector<std::string> Since(size_t from) {
        const std::vector<std::string>& all = Texts();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
    }

private:
    static void Intercept(XPointer self, XRecordInterceptData* d) {
        auto* recorder = reinterpret_cast<DrawnTexts*>(self);
        if (d->category == XRecordFromClient && d->data_len * 4 >= 16 && d->data[0] == X_PolyText8) {
            const unsigned char* p = d->data;
            const size_t end = d->data_len * 4;
            // Items after the 16-byte header: length, delta, characters; a
            // length of 255 is a font change, 0 the padding.
            for (size_t i = 16; i + 1 < end;) {
                const unsigned n = p[i];
                if (n == 0) break;
                if (n == 255) {
                    i += 5;
                    continue;
                }
                if (i + 2 + n > end) break;
                recorder->texts.emplace_back(reinterpret_cast<const char*>(p + i + 2), n);
                i += 2 + n;
            }
        }
        XRecordFreeData(d);
    }
    Display* control = nullptr;
    Display* data = nullptr;
    XRecordContext context = 0;
    std::vector<std::string> texts;
};

class Game : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = &rig::SharedServer(true);
        if (!server->Ok()) return;
        d = server->Connection();
        reference = new Reference();
        rig::PumpUntil(&reference->Form(), [] { return rig::IsMapped(d, reference->Form().GetWindow()); });
        rig::Pump(&reference->Form(), 100);
    }
    static void TearDownTestSuite() {
        delete reference;
        reference = nullptr;
    }

    // The game's cell shows the text (now).
    static bool Shows(const GameProcess& game, const Area& a, const std::string& text) {
        return rig::Pixels(d, game.Win(), a.x, a.y, a.w, a.h) == reference->Drawn(d, a, text);
    }
    static bool WaitShows(const GameProcess& game, const Area& a, const std::string& text, int ms = 5000) {
        return rig::WaitUntil([&] { return Shows(game, a, text); }, ms);
    }
    static int Count(const rig::StandIns& s, const std::string& line) {
        const std::vector<std::string> r = s.Recorded();
        return static_cast<int>(std::count(r.begin(), r.end(), line));
    }
    // START shows its yellow caption only while enabled.
    static bool StartEnabled(const GameProcess& game) {
        const Area a = gamerig::kStartButton;
        return rig::CountColour(d, game.Win(), a.x, a.y, a.w, a.h, 0xFFFF00) > 0;
    }
    // Watches a playback of n boxes to the player's turn and answers the
    // boxes as they lit; shown is the box lit when the watch begins.
    static std::vector<int> Watch(const GameProcess& game, size_t n, int shown = 0) {
        std::vector<int> seen;
        int last = shown;
        rig::WaitUntil(
            [&] {
                const int box = game.LitBox();
                if (box > 0 && box != last) seen.push_back(box);
                if (box >= 0) last = box;
                return seen.size() >= n && box == 0 && Shows(game, gamerig::kMessageCell, "Now you play. Repeat the sequence");
            },
            static_cast<int>(n + 3) * 1500);
        return seen;
    }
    // A press on a box that the game takes (it lights the box). Presses are
    // spaced by the game's answer: XTEST presses sent in one burst while the
    // window manager holds the pointer can reach the game at stale places.
    static bool Press(const GameProcess& game, int box) {
        game.ClickBox(box);
        return rig::WaitUntil([&] { return game.LitBox() == box; }, 2000);
    }
    static Window WaitWindow(const std::string& name) {
        Window w = 0;
        rig::WaitUntil([&] { return (w = rig::FindWindowByName(d, name)) != 0 && rig::IsMapped(d, w); });
        return w;
    }
    static int Windows(const std::string& name) {
        int n = 0;
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        std::function<void(Window)> walk = [&](Window w) {
            if (rig::WindowName(d, w) == name && rig::IsMapped(d, w)) ++n;
            Window* kids = nullptr;
            unsigned k = 0;
            if (!XQueryTree(d, w, &root, &parent, &kids, &k)) return;
            std::vector<Window> list(kids, kids + k);
            if (kids) XFree(kids);
            for (Window c : list) walk(c);
        };
        (void)children;
        (void)count;
        walk(DefaultRootWindow(d));
        return n;
    }
    // Where the dialog's window is, against where it would be centred over
    // the game's window; the window manager's frame adds a few pixels.
    static void ExpectCentred(const GameProcess& game, Window dialog, int w, int h) {
        int gx = 0, gy = 0, x = 0, y = 0;
        rig::RootOrigin(d, game.Win(), &gx, &gy);
        rig::RootOrigin(d, dialog, &x, &y);
        EXPECT_GE(x - (gx + (800 - w) / 2), 0);
        EXPECT_LE(x - (gx + (800 - w) / 2), 10);
        EXPECT_GE(y - (gy + (600 - h) / 2), 0);
        EXPECT_LE(y - (gy + (600 - h) / 2), 40);
    }
    static bool NoZombies(pid_t pid) {
        for (pid_t child : rig::ChildrenOf(pid)) {
            if (rig::IsZombie(child)) return false;
        }
        return true;
    }

    static rig::XServer* server;
    static Display* d;
    static Reference* reference;
};
rig::XServer* Game::server = nullptr;
Display* Game::d = nullptr;
Reference* Game::reference = nullptr;

// ---- one game played through, then its dialogs, then the exit -----------

class FullGame : public Game {
protected:
    static void SetUpTestSuite() {
        Game::SetUpTestSuite();
        if (d == nullptr) return;
        standIns = new rig::StandIns(200);
        game = new GameProcess(d, *standIns, true, "a stale line from the last run\n");
    }
    static void TearDownTestSuite() {
        delete game;
        delete standIns;
        game = nullptr;
        standIns = nullptr;
        Game::TearDownTestSuite();
    }
    void SetUp() override {
        ASSERT_NE(game, nullptr);
        ASSERT_TRUE(game->Ok());
    }
    static rig::StandIns* standIns;
    static GameProcess* game;
};
rig::StandIns* FullGame::standIns = nullptr;
GameProcess* FullGame::game = nullptr;

TEST_F(FullGame, PlaysThreeLevelsAndLosesOnAWrongPress) {
    EXPECT_TRUE(Shows(*game, gamerig::kLevelCell, "Level: 0"));
    EXPECT_TRUE(Shows(*game, gamerig::kCountCell, ""));
    EXPECT_TRUE(Shows(*game, gamerig::kMessageCell, ""));
    EXPECT_TRUE(StartEnabled(*game));

    // Before the first START a press changes nothing.
    game->ClickBox(2);
    rig::WaitUntil([] { return false; }, 300);
    EXPECT_EQ(game->LitBox(), 0);
    EXPECT_TRUE(standIns->Recorded().empty());

    game->Click(gamerig::kStartButton);
    ASSERT_TRUE(rig::WaitUntil([&] { return !StartEnabled(*game); }));
    // About a second later (31 ticks) the first box lights, with a beep.
    EXPECT_EQ(game->LitBox(), 0);
    ASSERT_TRUE(rig::WaitUntil([&] { return game->LitBox() > 0; }, 3000));
    const int first = game->LitBox();
    EXPECT_TRUE(Shows(*game, gamerig::kLevelCell, "Level: 0"));
    // A press during the playback is ignored: no light, no sound.
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns->Recorded().size() == 1; }));
    game->ClickBox(first % 4 + 1);
    rig::WaitUntil([] { return false; }, 150);
    EXPECT_EQ(game->LitBox(), first);
    EXPECT_EQ(standIns->Recorded().size(), 1U);

    std::vector<int> level0 = Watch(*game, 2, first);
    level0.insert(level0.begin(), first);
    ASSERT_EQ(level0.size(), 3U);
    EXPECT_TRUE(Shows(*game, gamerig::kCountCell, "-3"));
    EXPECT_EQ(Count(*standIns, "aplay Data/beep.wav"), 3);

    // Repeating it counts down; the last press starts level 1.
    game->ClickBox(level0[0]);
    EXPECT_TRUE(WaitShows(*game, gamerig::kCountCell, "-2"));
    EXPECT_EQ(game->LitBox(), level0[0]);
    game->ClickBox(level0[1]);
    EXPECT_TRUE(WaitShows(*game, gamerig::kCountCell, "-1"));
    DrawnTexts drawn(server->Name());
    EXPECT_TRUE(drawn.Ok());
    game->ClickBox(level0[2]);
    // "0" and "Good. Well done." are drawn and at once replaced by the next
    // level's empty texts; the pressed box stays lit until the dark step.
    EXPECT_TRUE(WaitShows(*game, gamerig::kCountCell, ""));
    EXPECT_TRUE(Shows(*game, gamerig::kMessageCell, ""));
    const std::vector<std::string> flashed = drawn.Since(0);
    const auto zero = std::find(flashed.begin(), flashed.end(), "0");
    EXPECT_NE(zero, flashed.end());
    EXPECT_NE(std::find(zero, flashed.end(), "Good. Well done."), flashed.end());
    EXPECT_EQ(game->LitBox(), level0[2]);
    ASSERT_TRUE(rig::WaitUntil([&] { return game->LitBox() == 0; }, 3000));
    EXPECT_TRUE(WaitShows(*game, gamerig::kLevelCell, "Level: 1"));

    const std::vector<int> level1 = Watch(*game, 4);
    ASSERT_EQ(level1.size(), 4U);
    EXPECT_TRUE(Shows(*game, gamerig::kCountCell, "-4"));
    for (int box : level1) Press(*game, box);
    ASSERT_TRUE(rig::WaitUntil([&] { return game->LitBox() == 0; }, 5000));
    EXPECT_TRUE(WaitShows(*game, gamerig::kLevelCell, "Level: 2"));

    const std::vector<int> level2 = Watch(*game, 5);
    ASSERT_EQ(level2.size(), 5U);
    EXPECT_TRUE(Shows(*game, gamerig::kCountCell, "-5"));
    EXPECT_EQ(Count(*standIns, "aplay Data/urlo.wav"), 0);
    game->ClickBox(level2[0] % 4 + 1);
    EXPECT_TRUE(WaitShows(*game, gamerig::kMessageCell, "I'm sorry. You were wrong"));
    ASSERT_TRUE(rig::WaitUntil([&] { return StartEnabled(*game); }));
    EXPECT_EQ(Count(*standIns, "aplay Data/urlo.wav"), 1);
    EXPECT_TRUE(Shows(*game, gamerig::kCountCell, "-5"));
    EXPECT_TRUE(Shows(*game, gamerig::kLevelCell, "Level: 2"));
    EXPECT_EQ(game->LitBox(), 0);

    // After the loss presses change nothing.
    const size_t sounds = standIns->Recorded().size();
    for (int box = 1; box <= 4; ++box) {
        game->ClickBox(box);
        rig::WaitUntil([] { return false; }, 100);
    }
    rig::WaitUntil([] { return false; }, 300);
    EXPECT_EQ(game->LitBox(), 0);
    EXPECT_EQ(standIns->Recorded().size(), sounds);
    EXPECT_TRUE(Shows(*game, gamerig::kMessageCell, "I'm sorry. You were wrong"));
    // Every beep's child was reaped.
    EXPECT_TRUE(rig::WaitUntil([&] { return NoZombies(game->Process().Pid()); }));
}

TEST_F(FullGame, ExitButtonAndCloseRequestAskAndNoLeavesTheGame) {
    standIns->Clear();
    game->Click(gamerig::kExitButton);
    Window question = WaitWindow("Exit");
    ASSERT_NE(question, 0U);
    ExpectCentred(*game, question, 250, 150);
    rig::WaitUntil([] { return false; }, 150);
    rig::ClickIn(d, question, 65, 124);  // NO
    ASSERT_TRUE(rig::WaitUntil([&] { return !rig::IsMapped(d, question) || rig::FindWindowByName(d, "Exit") == 0; }));
    EXPECT_TRUE(Shows(*game, gamerig::kMessageCell, "I'm sorry. You were wrong"));
    EXPECT_TRUE(StartEnabled(*game));

    // The window manager's close button asks the same question.
    gamerig::RequestClose(d, game->Win());
    question = WaitWindow("Exit");
    ASSERT_NE(question, 0U);
    // Asked again while the question is open: a beep, the question raised,
    // and still only one question.
    gamerig::RequestClose(d, game->Win());
    EXPECT_TRUE(rig::WaitUntil([&] { return Count(*standIns, "aplay Data/beep.wav") == 1; }));
    rig::WaitUntil([] { return false; }, 200);
    EXPECT_EQ(Windows("Exit"), 1);
    // Closing the question's window is a "no" as well.
    gamerig::RequestClose(d, question);
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Exit") == 0; }));
    EXPECT_TRUE(game->Process().Running());
    // The game window takes presses again: START answers.
    EXPECT_TRUE(StartEnabled(*game));
}

TEST_F(FullGame, AboutFormOpensOnceRunsItsLinksAndCloses) {
    standIns->Clear();
    game->Click(gamerig::kInfoButton);
    Window about = WaitWindow("Info...");
    ASSERT_NE(about, 0U);
    ExpectCentred(*game, about, 600, 210);
    rig::WaitUntil([] { return false; }, 200);

    // The links: exactly one command each; the form stays open.
    rig::ClickIn(d, about, 215, 74);
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns->Recorded().size() == 1; }));
    EXPECT_EQ(standIns->Recorded()[0], std::string("firefox ") + lumetra::kWebAddress);
    rig::ClickIn(d, about, 425, 74);
    ASSERT_TRUE(rig::WaitUntil([&] { return standIns->Recorded().size() == 2; }));
    EXPECT_EQ(standIns->Recorded()[1], "thunderbird -compose to=info@lumetra.example");
    EXPECT_TRUE(rig::IsMapped(d, about));

    // A press on the game window beeps and brings the About form back up.
    rig::ClickIn(d, game->Win(), 700, 570);
    EXPECT_TRUE(rig::WaitUntil([&] { return Count(*standIns, "aplay Data/beep.wav") == 1; }));
    EXPECT_TRUE(rig::WaitUntil([&] { return gamerig::StackingIndex(d, about) > gamerig::StackingIndex(d, game->Win()); }));
    // So does the close request, which opens no exit question over it.
    gamerig::RequestClose(d, game->Win());
    EXPECT_TRUE(rig::WaitUntil([&] { return Count(*standIns, "aplay Data/beep.wav") == 2; }));
    rig::WaitUntil([] { return false; }, 200);
    EXPECT_EQ(rig::FindWindowByName(d, "Exit"), 0U);

    rig::ClickIn(d, about, 399, 187);  // OK
    ASSERT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Info...") == 0; }));

    for (KeySym key : {XK_Return, XK_Escape, XK_Delete}) {
        game->Click(gamerig::kInfoButton);
        about = WaitWindow("Info...");
        ASSERT_NE(about, 0U);
        // A second Info leaves one About form.
        EXPECT_EQ(Windows("Info..."), 1);
        rig::WaitUntil([] { return false; }, 150);
        XSetInputFocus(d, about, RevertToParent, CurrentTime);
        rig::TapKey(d, key);
        EXPECT_TRUE(rig::WaitUntil([&] { return rig::FindWindowByName(d, "Info...") == 0; })) << "key " << key;
    }
    EXPECT_TRUE(rig::WaitUntil([&] { return NoZombies(game->Process().Pid()); }));
}

TEST_F(FullGame, YesEndsTheProgramWithStatusZero) {
    game->Click(gamerig::kExitButton);
    const Window question = WaitWindow("Exit");
    ASSERT_NE(question, 0U);
    rig::WaitUntil([] { return false; }, 150);
    rig::ClickIn(d, question, 185, 124);  // YES
    EXPECT_EQ(game->Process().Wait(5000), 0);
    // The log was emptied at the start: the last run's line is gone.
    EXPECT_EQ(game->Log().find("stale"), std::string::npos);
}

// ---- without Data/ ---------------------------------------------------------

TEST_F(Game, WithoutSoundFilesTheGamePlaysAndLogsEachSound) {
    rig::StandIns standIns(200);
    GameProcess game(d, standIns, false, "a stale line from the last run\n");
    ASSERT_TRUE(game.Ok());
    game.Click(gamerig::kStartButton);
    const std::vector<int> seq = Watch(game, 3);
    ASSERT_EQ(seq.size(), 3U);
    game.ClickBox(seq[0]);
    EXPECT_TRUE(WaitShows(game, gamerig::kCountCell, "-2"));
    game.ClickBox(seq[1] % 4 + 1);
    EXPECT_TRUE(WaitShows(game, gamerig::kMessageCell, "I'm sorry. You were wrong"));
    EXPECT_TRUE(standIns.Recorded().empty());
    const std::vector<std::string> expected = {"Data/beep.wav non trovato.", "Data/beep.wav non trovato.",
                                               "Data/beep.wav non trovato.", "Data/beep.wav non trovato.",
                                               "Data/urlo.wav non trovato."};
    EXPECT_TRUE(rig::WaitUntil([&] { return rig::ReadLines(game.Dir() / "log.txt") == expected; })) << game.Log();
}

}  // namespace
