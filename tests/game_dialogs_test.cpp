// The message box and the About form on a real server with the window
// manager: real presses and keys through XTEST, answers reported to the
// owner, the owner disabled exactly while a dialog is open, and the
// commands the About form's links start.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "GameProcess.h"
#include "controls/ButtonCustom.h"
#include "core/Application.h"
#include "core/Screen.h"
#include "game/FormAbout.h"
#include "game/FormMsgBox.h"
#include "game/MakerTexts.h"
#include "game/Sound.h"
#include "rig/Process.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

using lumetra::Application;
using lumetra::FormAbout;
using lumetra::FormMsgBox;

namespace {

// A plain form that records every answer it is given.
class Owner : public lumetra::Form {
public:
    void DialogResult(int32_t id, int32_t result) override {
        results.emplace_back(id, result);
        if (onResult) onResult(id, result);
    }
    std::vector<std::pair<int, int>> results;
    std::function<void(int, int)> onResult;
};

int clicks = 0;

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        server = &rig::SharedServer(true);
        ASSERT_TRUE(server->Ok());
        d = server->Connection();
        ASSERT_TRUE(here.Ok());
        ASSERT_EQ(std::system("mkdir -p Data && : > Data/beep.wav"), 0);
        standIns.Install();
        screen = std::make_unique<lumetra::Screen>();
        owner = std::make_unique<Owner>();
        owner->SetScreen(screen.get());
        owner->SetTitle("owner");
        owner->SetSize(500, 400);
        owner->SetLocation(60, 50);
        owner->SetOnLoad([](lumetra::GUIElement* self, uint64_t) {
            auto* button = new lumetra::ButtonCustom(self, "owned");
            button->SetSize(100, 28);
            button->SetLocation(10, 10);
            button->SetCommand([](lumetra::GUIElement*) { ++clicks; });
            button->Create();
        });
        owner->Create();
        ownerButton.reset(static_cast<lumetra::ButtonCustom*>(Application::GetChildren(owner->GetId()).at(0)));
        clicks = 0;
        ASSERT_TRUE(rig::PumpUntil(owner.get(), [&] { return rig::IsMapped(d, owner->GetWindow()); }));
        rig::Pump(owner.get(), 100);
    }
    void TearDown() override {
        Application::currentMessageBox.reset();
        Application::DeleteRetired();
        about.reset();
        ownerButton.reset();
        owner.reset();
        screen.reset();
        lumetra::ReapFinishedChildren();
    }

    bool Pump(const std::function<bool()>& condition) { return rig::PumpUntil(owner.get(), condition, 5000); }
    // Waits until the dialog's window is on screen and painted.
    bool Shown(lumetra::Form* form) {
        return Pump([&] { return rig::IsMapped(d, form->GetWindow()); }) && (rig::Pump(owner.get(), 150), true);
    }
    void ClickIn(lumetra::Form* form, int x, int y) { rig::ClickIn(d, form->GetWindow(), x, y); }
    // The offset of the dialog's window from where it was asked to be: what
    // the window manager's frame adds.
    void ExpectCentred(lumetra::Form* dialog, int w, int h) {
        int ox = 0, oy = 0, bx = 0, by = 0;
        rig::RootOrigin(d, owner->GetWindow(), &ox, &oy);
        rig::RootOrigin(d, dialog->GetWindow(), &bx, &by);
        const int dx = bx - (ox + (500 - w) / 2), dy = by - (oy + (400 - h) / 2);
        EXPECT_GE(dx, 0);
        EXPECT_LE(dx, 10);
        EXPECT_GE(dy, 0);
        EXPECT_LE(dy, 40);
    }

    rig::XServer* server = nullptr;
    Display* d = nullptr;
    rig::TempDir dir;
    rig::WorkingDirectory here{dir.Path()};
    rig::StandIns standIns{0};
    std::unique_ptr<lumetra::Screen> screen;
    std::unique_ptr<Owner> owner;
    std::unique_ptr<lumetra::ButtonCustom> ownerButton;
    std::unique_ptr<FormAbout> about;
};

// ---- message box ----------------------------------------------------------

TEST_F(Dialogs, QuestionReportsYesAndNoAndDisablesItsOwnerMeanwhile) {
    FormMsgBox* box = lumetra::ShowQuestion(5, owner.get(), "Sure?", "Asking");
    ASSERT_TRUE(Shown(box));
    EXPECT_EQ(rig::WindowName(d, box->GetWindow()), "Asking");
    EXPECT_EQ(rig::AtomProperty(d, box->GetWindow(), "_NET_WM_WINDOW_TYPE").at(0),
              XInternAtom(d, "_NET_WM_WINDOW_TYPE_DIALOG", False));
    ExpectCentred(box, 250, 150);
    EXPECT_FALSE(owner->IsEnabled());
    EXPECT_EQ(owner->GetActiveDialog(), box);
    // The message cell and both buttons (their raised top edges): NO on the
    // left, YES on the right.
    EXPECT_EQ(rig::PixelAt(d, box->GetWindow(), 20, 20), 0xB7B7B7U);
    EXPECT_EQ(rig::PixelAt(d, box->GetWindow(), 30, 110), 0xFFFFFFU);
    EXPECT_EQ(rig::PixelAt(d, box->GetWindow(), 150, 110), 0xFFFFFFU);

    // The owner's controls receive nothing while the box is open.
    rig::ClickIn(d, owner->GetWindow(), 50, 24);
    rig::Pump(owner.get(), 100);
    EXPECT_EQ(clicks, 0);
    // The window manager raised the owner on that click; the game window
    // raises its dialog again, this plain owner does not.
    box->Show();
    rig::Pump(owner.get(), 100);

    ClickIn(box, 185, 124);
    ASSERT_TRUE(Pump([&] { return !owner->results.empty(); }));
    EXPECT_EQ(owner->results, (std::vector<std::pair<int, int>>{{5, lumetra::MsgBoxYes}}));
    EXPECT_TRUE(owner->IsEnabled());
    EXPECT_FALSE(box->IsCreated());
    EXPECT_EQ(box->GetResult(), lumetra::MsgBoxYes);

    box = lumetra::ShowQuestion(6, owner.get(), "Really?", "Asking");
    ASSERT_TRUE(Shown(box));
    ClickIn(box, 65, 124);
    ASSERT_TRUE(Pump([&] { return owner->results.size() == 2; }));
    EXPECT_EQ(owner->results.back(), std::make_pair(6, static_cast<int>(lumetra::MsgBoxNo)));
    EXPECT_TRUE(owner->IsEnabled());

    rig::ClickIn(d, owner->GetWindow(), 50, 24);
    EXPECT_TRUE(Pump([&] { return clicks == 1; }));
}

TEST_F(Dialogs, InformationShowsOnlyOkAndReportsOne) {
    FormMsgBox* box = lumetra::ShowMessage(owner.get(), "Done.", "Note");
    ASSERT_TRUE(Shown(box));
    EXPECT_EQ(box->GetDialogId(), 0);
    // No NO button: the place shows the box's colour and answers nothing.
    EXPECT_EQ(rig::CountColour(d, box->GetWindow(), 10, 110, 110, 28, 0xAAAAAA), 110 * 28);
    EXPECT_EQ(rig::PixelAt(d, box->GetWindow(), 150, 110), 0xFFFFFFU);
    ClickIn(box, 65, 124);
    rig::Pump(owner.get(), 150);
    EXPECT_TRUE(owner->results.empty());
    ClickIn(box, 185, 124);
    ASSERT_TRUE(Pump([&] { return !owner->results.empty(); }));
    EXPECT_EQ(owner->results, (std::vector<std::pair<int, int>>{{0, lumetra::MsgBoxOk}}));
}

TEST_F(Dialogs, ClosingTheBoxThroughTheWindowManagerReportsNoAnswer) {
    FormMsgBox* box = lumetra::ShowQuestion(9, owner.get(), "Sure?", "Asking");
    ASSERT_TRUE(Shown(box));
    gamerig::RequestClose(d, box->GetWindow());
    ASSERT_TRUE(Pump([&] { return !owner->results.empty(); }));
    EXPECT_EQ(owner->results, (std::vector<std::pair<int, int>>{{9, lumetra::MsgBoxNoAnswer}}));
    EXPECT_TRUE(owner->IsEnabled());
    EXPECT_FALSE(box->IsCreated());
}

TEST_F(Dialogs, WithoutAnOwnerTheBoxBelongsToTheFirstForm) {
    FormMsgBox* box = lumetra::ShowMessage(nullptr, "Hello", "Note");
    ASSERT_TRUE(Shown(box));
    EXPECT_EQ(box->GetOwner(), owner.get());
    EXPECT_FALSE(owner->IsEnabled());
    ExpectCentred(box, 250, 150);
    ClickIn(box, 185, 124);
    ASSERT_TRUE(Pump([&] { return !owner->results.empty(); }));
    EXPECT_EQ(owner->results[0].second, lumetra::MsgBoxOk);
}

// An owner whose answer opens the next question replaces the box while the
// box's own button handler is still running: the old box must live until
// control is back in the loop (AddressSanitizer would see it otherwise).
TEST_F(Dialogs, ABoxReplacedFromItsOwnAnswerOutlivesItsHandlers) {
    owner->onResult = [this](int id, int) {
        if (id < 3) lumetra::ShowQuestion(id + 1, owner.get(), "And now?", "Chain");
    };
    FormMsgBox* box = lumetra::ShowQuestion(1, owner.get(), "First?", "Chain");
    for (int id = 1; id <= 3; ++id) {
        ASSERT_TRUE(Shown(box));
        ASSERT_EQ(box->GetDialogId(), id);
        ClickIn(box, 185, 124);
        ASSERT_TRUE(Pump([&] { return static_cast<int>(owner->results.size()) == id; }));
        box = static_cast<FormMsgBox*>(Application::currentMessageBox.get());
        // One box at a time, and the owner disabled while the next is open.
        EXPECT_EQ(owner->IsEnabled(), id == 3);
    }
    EXPECT_EQ(owner->results, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    int open = 0;
    for (lumetra::GUIElement* f : Application::forms) open += static_cast<lumetra::Form*>(f)->IsCreated() ? 1 : 0;
    EXPECT_EQ(open, 1);
}

TEST_F(Dialogs, ReplacingAnOpenBoxGivesItsOwnerBack) {
    Owner other;
    other.SetScreen(screen.get());
    other.Create();
    FormMsgBox* first = lumetra::ShowQuestion(1, owner.get(), "First?", "One");
    EXPECT_FALSE(owner->IsEnabled());
    FormMsgBox* second = lumetra::ShowQuestion(2, &other, "Second?", "Two");
    EXPECT_FALSE(first->IsCreated());
    EXPECT_TRUE(owner->IsEnabled());
    EXPECT_EQ(owner->GetActiveDialog(), nullptr);
    EXPECT_FALSE(other.IsEnabled());
    EXPECT_EQ(other.GetActiveDialog(), second);
    EXPECT_TRUE(owner->results.empty());
    Application::currentMessageBox.reset();
    EXPECT_EQ(other.GetActiveDialog(), nullptr);
    other.DestroyWindow();
}

TEST_F(Dialogs, ABoxWithoutAWindowLeavesItsOwnerEnabled) {
    Owner unshown;  // no display connection: no dialog of it can be created
    FormMsgBox* box = lumetra::ShowQuestion(1, &unshown, "Sure?", "Asking");
    EXPECT_FALSE(box->IsCreated());
    EXPECT_TRUE(unshown.IsEnabled());
    EXPECT_EQ(rig::ReadLines("log.txt"), (std::vector<std::string>{"E' necessario impostare il display"}));
    Application::currentMessageBox.reset();
}

// ---- About form -----------------------------------------------------------

class AboutForm : public Dialogs {
protected:
    FormAbout* Open() {
        about.reset();
        about = std::make_unique<FormAbout>(owner.get());
        about->SetScreen(screen.get());
        about->SetLogo(nullptr, 163, 50);
        about->SetProductText(lumetra::kProductLine);
        about->SetCopyrightText(lumetra::kCopyright);
        about->SetNotice(lumetra::kNotice);
        about->SetWebAddress(lumetra::kWebAddress);
        about->Show();
        return about.get();
    }
    bool Closed() {
        return Pump([&] { return !about->IsCreated(); }) && owner->IsEnabled() && owner->GetActiveDialog() == nullptr;
    }
};

TEST_F(AboutForm, OpensCentredOverItsDisabledOwner) {
    FormAbout* form = Open();
    ASSERT_TRUE(Shown(form));
    EXPECT_EQ(rig::WindowName(d, form->GetWindow()), "Info...");
    ExpectCentred(form, 600, 210);
    EXPECT_FALSE(owner->IsEnabled());
    EXPECT_EQ(owner->GetActiveDialog(), form);
    // The links are blue: the web link at (208, 68), the mail link at (418, 68).
    EXPECT_GT(rig::CountColour(d, form->GetWindow(), 208, 68, 200, 12, 0x0000FF), 20);
    EXPECT_GT(rig::CountColour(d, form->GetWindow(), 418, 68, 150, 12, 0x0000FF), 20);
    EXPECT_EQ(FormAbout::MailAddressFor(lumetra::kWebAddress), "info@lumetra.example");
}

TEST_F(AboutForm, OkEnterEscapeAndDeleteCloseIt) {
    FormAbout* form = Open();
    ASSERT_TRUE(Shown(form));
    ClickIn(form, 248, 187);  // OK: 80 x 28 at (359, 173)... of the form's own size
    // The click above is left of OK: nothing closes.
    rig::Pump(owner.get(), 150);
    EXPECT_TRUE(form->IsCreated());
    ClickIn(form, 399, 187);
    EXPECT_TRUE(Closed());

    for (KeySym key : {XK_Return, XK_Escape, XK_Delete}) {
        form = Open();
        ASSERT_TRUE(Shown(form));
        XSetInputFocus(d, form->GetWindow(), RevertToParent, CurrentTime);
        rig::Sync(d);
        rig::TapKey(d, key);
        EXPECT_TRUE(Closed()) << "key " << key;
    }
    // Other keys leave it open.
    form = Open();
    ASSERT_TRUE(Shown(form));
    XSetInputFocus(d, form->GetWindow(), RevertToParent, CurrentTime);
    rig::TapKey(d, XK_a);
    rig::Pump(owner.get(), 150);
    EXPECT_TRUE(form->IsCreated());
    gamerig::RequestClose(d, form->GetWindow());
    EXPECT_TRUE(Closed());
}

TEST_F(AboutForm, LinksStartTheBrowserAndTheMailClientOnce) {
    FormAbout* form = Open();
    ASSERT_TRUE(Shown(form));
    ClickIn(form, 215, 74);
    ASSERT_TRUE(Pump([&] { return standIns.Recorded().size() == 1; }));
    EXPECT_EQ(standIns.Recorded()[0], std::string("firefox ") + lumetra::kWebAddress);
    EXPECT_TRUE(form->IsCreated());
    ClickIn(form, 425, 74);
    ASSERT_TRUE(Pump([&] { return standIns.Recorded().size() == 2; }));
    // The shell has taken the quotes off the address.
    EXPECT_EQ(standIns.Recorded()[1], "thunderbird -compose to=info@lumetra.example");
    // The children were reaped by the loop; none lingers.
    EXPECT_TRUE(Pump([&] {
        for (pid_t p : rig::ChildrenOf(getpid())) {
            if (rig::IsZombie(p)) return false;
        }
        return true;
    }));
    rig::Pump(owner.get(), 200);
    EXPECT_EQ(standIns.Recorded().size(), 2U);
}

TEST_F(AboutForm, WithoutAWindowItGivesTheOwnerBack) {
    Owner unshown;
    FormAbout form(&unshown);
    EXPECT_FALSE(unshown.IsEnabled());
    form.Show();
    EXPECT_FALSE(form.IsCreated());
    EXPECT_TRUE(unshown.IsEnabled());
    EXPECT_EQ(unshown.GetActiveDialog(), nullptr);
}

TEST_F(AboutForm, ALateSecondCloseDoesNotEnableTheOwnerAgain) {
    FormAbout* form = Open();
    ASSERT_TRUE(Shown(form));
    EXPECT_TRUE(form->HandleQueryClose());
    EXPECT_TRUE(owner->IsEnabled());
    // Another dialog takes the owner; the About form's second close must
    // leave it disabled.
    lumetra::ShowQuestion(1, owner.get(), "Sure?", "Asking");
    EXPECT_TRUE(form->HandleQueryClose());
    EXPECT_FALSE(owner->IsEnabled());
}

}  // namespace
