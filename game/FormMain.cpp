// The game window's controls, its playback tick by tick, and the player's presses.
#include "lumetra/game/FormMain.h"

#include "lumetra/controls/AlertSound.h"
#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/controls/CellControl.h"
#include "lumetra/core/Application.h"
#include "lumetra/core/FormOf.h"
#include "lumetra/core/Timer.h"
#include "lumetra/game/BoxGame.h"
#include "lumetra/game/FormAbout.h"
#include "lumetra/game/FormMsgBox.h"
#include "lumetra/game/FormNamePlayer.h"
#include "lumetra/game/MakerTexts.h"
#include "lumetra/game/Random.h"
#include "lumetra/game/Sound.h"
#include "lumetra/graphics/EmbeddedImage.h"
#include "lumetra/graphics/MyImage.h"
#include "lumetra/graphics/Pictures.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

namespace {

const char* const kBeep = "Data/beep.wav";
const char* const kHowl = "Data/urlo.wav";
constexpr Colour kFormColour = 0xAAAAAA;
constexpr Colour kButtonColour = 0xFFFDE5;

// The command of the three buttons.
void OnCommand(GUIElement* sender) {
    if (auto* game = FormOf<FormMain>(sender, Application::mainForm)) game->HandleClick(sender);
}

void OnBoxClick(BoxGame* board_, int32_t box) {
    if (auto* game = dynamic_cast<FormMain*>(board_->GetParent())) game->HandleBoxClick(box);
}

void OnTick(Timer* timer) {
    if (auto* game = dynamic_cast<FormMain*>(timer->GetParent())) game->HandleTick();
}

bool SameElement(GUIElement* a, const std::unique_ptr<ButtonCustom>& b) {
    return b && a->GetId() == b->GetId();
}

// An embedded picture as an X image for the form's display; null when the
// display cannot show pictures.
XImagePtr MakePicture(Form* form, const EmbeddedPicture& picture) {
    std::vector<uint8_t> rgb = DecodeEmbeddedImage(picture.w, picture.h, picture.img);
    return XImagePtr(CreateImageFromRgb(form, rgb, picture.w, picture.h));
}

}  // namespace

FormMain::FormMain(Screen* s, const std::string& title) {
    if (s != nullptr) SetScreen(s);
    // The toolkit's controls alert with the game's beep.
    SetAlertFunction(&Beep);
    soundPlayer_ = std::make_unique<SoundPlayer>();
    SetSize(800, 600);
    SetTitle(title);
    SetOnLoad([](GUIElement* self, uint64_t) { static_cast<FormMain*>(self)->HandleLoad(); });
    SetOnQueryClose(
        [](GUIElement* self) { return static_cast<FormMain*>(self)->HandleQueryClose(); });
    SetOnMouseDown([](GUIElement* self, uint64_t, PackedPoint p) {
        static_cast<FormMain*>(self)->HandleMouseDown(p);
    });
    SetOnKeyChar(
        [](GUIElement* self, char ch) { return static_cast<FormMain*>(self)->HandleKeyChar(ch); });
    SetBackColor(kFormColour);
    sequence.clear();
    targetLength = 3;
    Create();
    if (Application::mainForm == nullptr) Application::mainForm = this;
}

FormMain::~FormMain() {
    // A message box still open over this window would outlive its owner.
    if (auto* box = dynamic_cast<FormMsgBox*>(Application::currentMessageBox.get());
        box && box->GetOwner() == this) {
        Application::currentMessageBox.reset();
    }
    if (GameTimer) GameTimer->Stop();
    GameTimer.reset();
    soundPlayer_.reset();
    DestroyWindow();
    aboutForm_.reset();
    namePlayerForm_.reset();
    InfoButton.reset();
    StartButton.reset();
    ExitButton.reset();
    TitleImage.reset();
    board_.reset();
    MessageLabel.reset();
    CountLabel.reset();
    LevelLabel.reset();
    AboutLogo.reset();
    titlePicture_.reset();
    sequence.clear();
}

void FormMain::HandleLoad() {
    const int32_t w = GetWidth();

    TitleImage = std::make_unique<MyImage>(this, nullptr);
    TitleImage->SetSize(200, 50);
    TitleImage->SetLocation(w - 210, 30);
    TitleImage->Create();

    auto cell = [this](int32_t x, int32_t y, int32_t cw, Colour textColour, bool border,
                       const std::string& text) {
        auto c = std::make_unique<CellControl>(this);
        c->SetSize(cw, 22);
        c->SetLocation(x, y);
        c->SetBackColor(static_cast<Colour>(GetBackColor()));
        c->SetTextColor(textColour);
        c->SetBorder(border);
        c->SetText(text);
        c->Create();
        return c;
    };
    LevelLabel = cell(10, 75, 100, 0x000000, true, "Level: 0");
    CountLabel = cell(120, 75, 100, 0xFF0000, true, "");

    auto button = [this](const std::string& caption, int32_t x, Colour back) {
        auto b = std::make_unique<ButtonCustom>(this, caption);
        b->SetSize(100, 28);
        b->SetLocation(x, 30);
        b->SetBackColor(back);
        b->SetCommand(OnCommand);
        return b;
    };
    InfoButton = button("Info", 10, kButtonColour);
    InfoButton->Create();
    ExitButton = button("Exit", 120, kButtonColour);
    ExitButton->Create();
    StartButton = button("START", 230, 0xFF0000);
    StartButton->SetForeColor(0xFFFF00);
    StartButton->Create();

    MessageLabel = cell(230, 75, 300, 0xFF0000, false, "");

    board_ = std::make_unique<BoxGame>(this);
    board_->SetSize(400, 400);
    board_->SetLocation((w - 420) / 2 + 10, 130);
    board_->SetBackColor(0x000000);
    board_->SetBoxClickHandler(OnBoxClick);
    board_->Create();

    // It runs for the window's whole life, also between games.
    GameTimer = std::make_unique<Timer>(this, kTickMillis);
    GameTimer->SetOnTick(OnTick);
    GameTimer->Create();
    GameTimer->Start();
}

bool FormMain::HandleQueryClose() {
    if (!IsEnabled()) {
        // A dialog of this window is open: one at a time.
        Beep();
        if (Form* dialog = GetActiveDialog()) dialog->Activate();
        return false;
    }
    ShowQuestion(ExitQuestionId, this, "Do you really want to go exit?", "Exit");
    return false;
}

void FormMain::DialogResult(int32_t id, int32_t result) {
    if (id != ExitQuestionId || result != kMsgBoxYes) return;
    if (GameTimer) GameTimer->Stop();
    Application::quitRequested = true;
}

void FormMain::HandleMouseDown(PackedPoint /*p*/) {
    if (IsEnabled()) return;
    if (Form* dialog = GetActiveDialog()) {
        Beep();
        // Raised, it takes the keyboard too: Escape or Enter answer it at once.
        dialog->Activate();
    }
}

void FormMain::HandleClick(GUIElement* sender) {
    if (sender == nullptr) return;
    if (SameElement(sender, ExitButton)) {
        if (HandleQueryClose()) Application::quitRequested = true;
    } else if (SameElement(sender, StartButton)) {
        StartGame();
    } else if (SameElement(sender, InfoButton)) {
        OpenAbout();
    }
}

void FormMain::StartGame() {
    board_->AllOff();
    LevelLabel->SetText("Level: 0");
    MessageLabel->SetText("");
    CountLabel->SetText("");
    sequence.clear();
    targetLength = 3;
    phase_ = Phase::kShowing;
    // Enabled again only when the game is lost.
    StartButton->Enable(false);
}

void FormMain::OpenAbout() {
    aboutForm_.reset();
    aboutForm_ = std::make_unique<FormAbout>(this);
    aboutForm_->SetScreen(GetScreen());
    aboutForm_->SetLogo(AboutLogo.get(), 163, 50);
    aboutForm_->SetProductText(kProductLine);
    aboutForm_->SetCopyrightText(kCopyright);
    aboutForm_->SetNotice(kNotice);
    aboutForm_->SetWebAddress(kWebAddress);
    aboutForm_->Show();
}

void FormMain::OpenNamePlayerForm() {
    namePlayerForm_.reset();
    namePlayerForm_ = std::make_unique<FormNamePlayer>(this, "Classifica");
    namePlayerForm_->SetOnClose([](GUIElement*) {});
    namePlayerForm_->SetPrompt("Enter your name:");
    const PackedPoint at = GetPosition();
    namePlayerForm_->SetLocation(PointX(at) + (GetWidth() - namePlayerForm_->GetWidth()) / 2,
                                 PointY(at) + (GetHeight() - namePlayerForm_->GetHeight()) / 2);
    namePlayerForm_->Show();
}

bool FormMain::IsPlayingBack() const {
    return phase_ == Phase::kShowing || phase_ == Phase::kLevelPause || phase_ == Phase::kDarkStep;
}

void FormMain::HandleTick() {
    switch (phase_) {
        case Phase::kIdle:
            tickCount = 0;
            return;
        case Phase::kRepeating:
        case Phase::kAdvancing:
            return;
        case Phase::kLevelPause:
            // Ticks that fell due while the winning press played its beep are
            // delivered only now, after NextLevel. They belong to the player's
            // turn and are dropped: a tick with no expiry since the level began.
            if (Application::ExpiryCount() == levelExpiries_) return;
            // A longer level begins with a dark step; this tick is the first of
            // the 31 that lead to it.
            phase_ = Phase::kDarkStep;
            tickCount = 1;
            return;
        case Phase::kShowing:
        case Phase::kDarkStep:
            if (++tickCount < kTicksPerStep) return;
            tickCount = 0;
            PlaybackStep();
            return;
    }
}

void FormMain::PlaybackStep() {
    if (sequence.empty()) LevelLabel->SetText("Level: " + IntToString(targetLength - 3));
    if (static_cast<int32_t>(sequence.size()) == targetLength) {
        // The sequence is complete: the player's turn.
        phase_ = Phase::kRepeating;
        lastBox = -1;
        board_->AllOff();
        MessageLabel->SetText("Now you play. Repeat the sequence");
        CountLabel->SetText("-" + IntToString(targetLength));
        return;
    }
    if (phase_ == Phase::kDarkStep) {
        phase_ = Phase::kShowing;
        board_->AllOff();
        return;
    }
    int32_t box = 0;
    do {
        box = Random(1, 4);
    } while (box == lastBox);
    board_->LightBox(box);
    const long expiries = Application::ExpiryCount();
    PlayWave(kBeep);
    sequence.push_back(box);
    lastBox = box;
    RestartClockAfterBeep(expiries);
}

// The step's beep held the loop. The next step is to come 31 whole ticks
// after the beep has ended, however long it played, so the timer starts
// afresh from here; the expiries that fell due meanwhile still reach
// HandleTick once, and that late tick is not counted.
void FormMain::RestartClockAfterBeep(long expiriesBefore) {
    if (!GameTimer || !GameTimer->IsRunning()) return;
    GameTimer->Stop();
    if (Application::ExpiryCount() != expiriesBefore) tickCount = -1;
    GameTimer->Start();
}

void FormMain::HandleBoxClick(int32_t box) {
    // Only the player's turn takes presses.
    if (phase_ != Phase::kRepeating || sequence.empty()) return;
    if (box == sequence.front()) {
        sequence.erase(sequence.begin());
        board_->LightBox(box);
        PlayWave(kBeep);
        CountLabel->SetText(IntToString(-static_cast<int64_t>(sequence.size())));
        if (sequence.empty()) {
            MessageLabel->SetText("Good. Well done.");
            phase_ = Phase::kAdvancing;
            NextLevel();
        }
        return;
    }
    MessageLabel->SetText("I'm sorry. You were wrong");
    PlayWave(kHowl);
    phase_ = Phase::kIdle;
    StartButton->Enable(true);
}

void FormMain::NextLevel() {
    MessageLabel->SetText("");
    CountLabel->SetText("");
    sequence.clear();
    ++targetLength;
    phase_ = Phase::kLevelPause;
    levelExpiries_ = Application::ExpiryCount();
}

void FormMain::BuildPictures() {
    picturesBuilt_ = true;
    titlePicture_ = MakePicture(this, TitlePicture());
    if (TitleImage) {
        TitleImage->SetImage(titlePicture_.get());
        TitleImage->Create();
    }
    AboutLogo = MakePicture(this, AboutLogoPicture());
}

void FormMain::Paint() {
    // Pictures need the window (the display's image layout is probed on it),
    // so they are made at the first paint, once.
    if (IsCreated() && !picturesBuilt_) BuildPictures();
    Form::Paint();
}

}  // namespace lumetra
