// The player-name form opened by the game window, on a real server with the
// window manager: typing and clicking through XTEST, the alert recorded by the
// aplay stand-in, the owner disabled exactly while the form is open.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "GameProcess.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/TextBoxCustom.h"
#include "core/Application.h"
#include "core/Screen.h"
#include "game/FormMain.h"
#include "game/FormNamePlayer.h"
#include "rig/Process.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

using lumetra::Application;
using lumetra::FormMain;
using lumetra::FormNamePlayer;

namespace {

constexpr uint32_t kCaret = 0xFFFF00;

class NameForm : public ::testing::Test {
protected:
    void SetUp() override {
        server = &rig::SharedServer(true);
        ASSERT_TRUE(server->Ok());
        d = server->Connection();
        ASSERT_TRUE(here.Ok());
        ASSERT_EQ(std::system("mkdir -p Data && : > Data/beep.wav"), 0);
        standIns.Install();
        screen = std::make_unique<lumetra::Screen>();
        game = std::make_unique<FormMain>(screen.get(), "name form test");
        ASSERT_TRUE(game->IsCreated());
        ASSERT_TRUE(rig::PumpUntil(game.get(), [&] { return rig::IsMapped(d, game->GetWindow()); }));
        rig::Pump(game.get(), 100);
        FormNamePlayer::playerName = "previous";
    }
    void TearDown() override {
        Application::ResetFocus();
        game.reset();
        screen.reset();
    }

    // Opens the form and waits until it is on screen with the keyboard.
    FormNamePlayer* Open() {
        game->OpenNamePlayerForm();
        Window w = 0;
        EXPECT_TRUE(rig::PumpUntil(game.get(), [&] {
            w = rig::FindWindowByName(d, "Classifica");
            return w != 0 && rig::IsMapped(d, w);
        }));
        auto* form = dynamic_cast<FormNamePlayer*>(Application::FindFormByWindow(w));
        EXPECT_NE(form, nullptr);
        if (form == nullptr) return nullptr;
        window = w;
        XSetInputFocus(d, w, RevertToParent, CurrentTime);
        EXPECT_TRUE(rig::PumpUntil(game.get(), [&] { return CaretShown(*form); }));
        return form;
    }
    bool CaretShown(FormNamePlayer& form) {
        XSync(screen->GetDisplay(), False);
        lumetra::TextBoxCustom* box = form.GetNameBox();
        return rig::CountColour(d, window, box->x, box->y, box->width, box->height, kCaret) > 0;
    }
    void Pump() {
        rig::Sync(d);
        rig::Pump(game.get(), 50);
    }
    void Type(const std::string& s) {
        rig::TypeText(d, s);
        Pump();
    }
    void ClickOk(FormNamePlayer& form) {
        lumetra::ButtonCustom* ok = form.GetOkButton();
        rig::ClickIn(d, window, ok->x + ok->width / 2, ok->y + ok->height / 2);
        Pump();
    }
    bool WaitForBeeps(size_t n) {
        return rig::WaitUntil([&] { return standIns.Recorded().size() >= n; });
    }
    size_t Beeps() const { return standIns.Recorded().size(); }
    // The owner is given back: enabled, unmarked, no active dialog.
    void ExpectOwnerReleased() {
        EXPECT_TRUE(game->IsEnabled());
        EXPECT_FALSE(game->IsPrimaryMark());
        EXPECT_EQ(game->GetActiveDialog(), nullptr);
    }

    rig::XServer* server = nullptr;
    Display* d = nullptr;
    rig::TempDir dir;
    rig::WorkingDirectory here{dir.Path()};
    rig::StandIns standIns{0};
    std::unique_ptr<lumetra::Screen> screen;
    std::unique_ptr<FormMain> game;
    Window window = 0;
};

TEST_F(NameForm, OpensCentredOverTheDisabledGameWindowWithTheNameBoxFocused) {
    FormNamePlayer* form = Open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(FormNamePlayer::playerName, "");
    EXPECT_TRUE(form->IsDialog());
    EXPECT_EQ(rig::WindowName(d, window), "Classifica");
    EXPECT_EQ(form->GetOwner(), game.get());
    EXPECT_FALSE(game->IsEnabled());
    EXPECT_TRUE(game->IsPrimaryMark());
    EXPECT_EQ(game->GetActiveDialog(), form);

    XWindowAttributes a{};
    ASSERT_TRUE(XGetWindowAttributes(d, window, &a));
    EXPECT_EQ(a.width, 250);
    EXPECT_EQ(a.height, 115);
    // Where it asked to be placed (the window manager then adds its frame).
    XSizeHints hints{};
    ASSERT_TRUE(rig::SizeHints(d, window, &hints));
    EXPECT_EQ(hints.x, lumetra::PointX(game->GetPosition()) + (800 - 250) / 2);
    EXPECT_EQ(hints.y, lumetra::PointY(game->GetPosition()) + (600 - 115) / 2);

    EXPECT_EQ(form->GetPromptLabel()->GetText(), "Enter your name:");
    EXPECT_EQ(form->GetPromptLabel()->y, 15);
    lumetra::TextBoxCustom* box = form->GetNameBox();
    EXPECT_EQ(box->x, 62);
    EXPECT_EQ(box->y, 45);
    EXPECT_EQ(box->width, 125);
    EXPECT_EQ(box->GetMaxLength(), 10);
    EXPECT_EQ(Application::focusedElement, box);
    lumetra::ButtonCustom* ok = form->GetOkButton();
    EXPECT_EQ(ok->GetText(), "OK");
    EXPECT_EQ(ok->x, 85);
    EXPECT_EQ(ok->y, 80);
    EXPECT_EQ(ok->width, 80);
    EXPECT_EQ(ok->height, 28);
}

TEST_F(NameForm, OkWithAnEmptyNameBeepsAndStaysOpen) {
    FormNamePlayer* form = Open();
    ASSERT_NE(form, nullptr);
    ClickOk(*form);
    ASSERT_TRUE(WaitForBeeps(1));
    EXPECT_EQ(standIns.Recorded().at(0), "aplay Data/beep.wav");
    EXPECT_TRUE(form->IsCreated());
    EXPECT_TRUE(rig::IsMapped(d, window));
    EXPECT_FALSE(game->IsEnabled());
    // The focus went back to the name box, which takes the name typed next.
    EXPECT_EQ(Application::focusedElement, form->GetNameBox());
    // Spaces only: the box's text loses its trailing spaces, so no name.
    Type("   ");
    ClickOk(*form);
    ASSERT_TRUE(WaitForBeeps(2));
    EXPECT_TRUE(form->IsCreated());
    EXPECT_EQ(FormNamePlayer::playerName, "");
}

TEST_F(NameForm, OkWithANameRecordsItClosesAndReleasesTheOwner) {
    FormNamePlayer* form = Open();
    ASSERT_NE(form, nullptr);
    Type("Bob");
    EXPECT_EQ(form->GetNameBox()->GetText(), "Bob");
    ClickOk(*form);
    EXPECT_EQ(FormNamePlayer::playerName, "Bob");
    EXPECT_FALSE(form->IsCreated());
    EXPECT_TRUE(form->IsClosed());
    EXPECT_EQ(rig::FindWindowByName(d, "Classifica"), 0U);
    ExpectOwnerReleased();
    EXPECT_EQ(Beeps(), 0U);
}

TEST_F(NameForm, EnterConfirmsANameAndBeepsWithoutOne) {
    FormNamePlayer* form = Open();
    ASSERT_NE(form, nullptr);
    rig::TapKey(d, XK_Return);
    Pump();
    ASSERT_TRUE(WaitForBeeps(1));
    EXPECT_TRUE(form->IsCreated());
    // The box holds ten characters; the eleventh is refused with the alert.
    Type("Annabelle12");
    ASSERT_TRUE(WaitForBeeps(2));
    EXPECT_EQ(form->GetNameBox()->GetText(), "Annabelle1");
    rig::TapKey(d, XK_Return);
    Pump();
    EXPECT_EQ(FormNamePlayer::playerName, "Annabelle1");
    EXPECT_FALSE(form->IsCreated());
    ExpectOwnerReleased();
}

TEST_F(NameForm, TheWindowManagersCloseReleasesTheOwnerWithoutAName) {
    FormNamePlayer* form = Open();
    ASSERT_NE(form, nullptr);
    Type("Eve");
    gamerig::RequestClose(d, window);
    ASSERT_TRUE(rig::PumpUntil(game.get(), [&] { return form->IsClosed(); }));
    EXPECT_FALSE(form->IsCreated());
    EXPECT_EQ(FormNamePlayer::playerName, "");
    ExpectOwnerReleased();
    // The game window takes input again: its own close asks the exit question.
    EXPECT_EQ(Beeps(), 0U);
}

TEST_F(NameForm, OpeningAgainReplacesTheEarlierForm) {
    FormNamePlayer* first = Open();
    ASSERT_NE(first, nullptr);
    const Window firstWindow = window;
    FormNamePlayer* second = Open();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(window, firstWindow);
    EXPECT_EQ(Application::FindFormByWindow(firstWindow), nullptr);
    EXPECT_FALSE(game->IsEnabled());
    EXPECT_EQ(game->GetActiveDialog(), second);
    Type("Zed");
    ClickOk(*second);
    EXPECT_EQ(FormNamePlayer::playerName, "Zed");
    ExpectOwnerReleased();
}

TEST_F(NameForm, AFormWithoutOwnerWorksAlone) {
    FormNamePlayer alone("Classifica");
    alone.SetScreen(screen.get());
    alone.SetPrompt("Name?");
    alone.Show();
    ASSERT_TRUE(alone.IsCreated());
    EXPECT_EQ(alone.GetOwner(), nullptr);
    EXPECT_EQ(alone.GetPromptLabel()->GetText(), "Name?");
    alone.SetPrompt("Your name?");
    EXPECT_EQ(alone.GetPromptLabel()->GetText(), "Your name?");
    EXPECT_TRUE(game->IsEnabled());
}

}  // namespace
