// The game window and the game's rules. A board of four boxes lights a
// random sequence, one box per playback step with a beep; then the player
// presses the boxes in the same order. A repeated sequence starts the next
// level, drawn afresh and one box longer; one wrong press ends the game.
//
// Time is counted in ticks of the 30 ms GameTimer: every 31st tick is a
// playback step. Ticks, presses and commands all run on the loop's thread,
// so each sees and leaves the game state whole.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lumetra/core/Form.h"
#include "lumetra/graphics/ImageFormat.h"

namespace lumetra {

class BoxGame;
class ButtonCustom;
class CellControl;
class FormAbout;
class FormNamePlayer;
class MyImage;
class SoundPlayer;
class Timer;

class FormMain : public Form {
public:
    static constexpr int32_t ExitQuestionId = 1000;
    static constexpr int32_t kTicksPerStep = 31;
    static constexpr uint32_t kTickMillis = 30;

    FormMain(Screen* screen, const std::string& title);
    ~FormMain() override;

    // Builds the controls, the board and the timer (once, while the window
    // is created).
    virtual void HandleLoad();
    // Asks the exit question and answers false: the window never closes
    // directly. While a dialog of this window is open it beeps and raises
    // that dialog instead, so at most one dialog is ever open over it.
    virtual bool HandleQueryClose();
    virtual void HandleResize() {}
    // One tick of the game clock.
    virtual void HandleTick();
    virtual bool HandleKeyChar(char /*ch*/) { return true; }
    virtual void HandleKeyDown(uint32_t /*keysym*/) {}
    virtual void HandleKeyUp(uint32_t /*keysym*/) {}
    // A press on the window's own surface: while a dialog is open it beeps
    // and brings the dialog to the front.
    virtual void HandleMouseDown(PackedPoint p);
    // One of the three buttons: Exit, START or Info.
    virtual void HandleClick(GUIElement* sender);
    // A box (1-4) of the board was pressed.
    virtual void HandleBoxClick(int32_t box);

    // Builds the pictures at the first paint, then paints as every form.
    void Paint() override;
    void DialogResult(int32_t id, int32_t result) override;

    // What the window shows and runs, for looking at (tests, benchmarks).
    BoxGame* GetBoard() const { return board_.get(); }
    Timer* GetGameTimer() const { return GameTimer.get(); }
    ButtonCustom* GetStartButton() const { return StartButton.get(); }
    CellControl* GetLevelLabel() const { return LevelLabel.get(); }
    CellControl* GetCountLabel() const { return CountLabel.get(); }
    CellControl* GetMessageLabel() const { return MessageLabel.get(); }
    // A game is in progress.
    bool IsRunning() const { return phase_ != Phase::kIdle; }
    // The program is showing the sequence; the player's presses are ignored.
    bool IsPlayingBack() const;
    int32_t GetTargetLength() const { return targetLength; }
    const std::vector<int32_t>& GetSequence() const { return sequence; }

    // Opens the player-name form "Classifica" centred over this window,
    // destroying one opened earlier. No rule of the game calls it.
    void OpenNamePlayerForm();

private:
    // Where the game is. Between two games it is idle; a game shows its
    // sequence, then waits for the player to repeat it, and a repeated
    // sequence advances to the next level, whose playback pauses for a tick
    // and then begins with a dark step. A game is running in every phase but
    // kIdle, and playing back in kShowing, kLevelPause and kDarkStep.
    enum class Phase {
        kIdle,
        kShowing,
        kRepeating,
        // The next level is being set up from the player's last press.
        kAdvancing,
        // The next level's playback waits for its first tick, which only an
        // expiry after the level began brings (levelExpiries_).
        kLevelPause,
        // The next playback step only turns the boxes off.
        kDarkStep,
    };

    void StartGame();
    // Every 31st tick of the playback: lights the next box, or ends the
    // playback when the sequence is complete.
    void PlaybackStep();
    void OpenAbout();
    void NextLevel();
    void RestartClockAfterBeep(long expiriesBefore);
    void BuildPictures();

    std::unique_ptr<Timer> GameTimer;
    std::unique_ptr<SoundPlayer> soundPlayer_;
    std::unique_ptr<FormAbout> aboutForm_;
    std::unique_ptr<FormNamePlayer> namePlayerForm_;
    std::unique_ptr<ButtonCustom> InfoButton;
    std::unique_ptr<ButtonCustom> StartButton;
    std::unique_ptr<ButtonCustom> ExitButton;
    std::unique_ptr<MyImage> TitleImage;
    std::unique_ptr<BoxGame> board_;
    std::unique_ptr<CellControl> MessageLabel;
    std::unique_ptr<CellControl> CountLabel;
    std::unique_ptr<CellControl> LevelLabel;
    XImagePtr AboutLogo;
    XImagePtr titlePicture_;
    bool picturesBuilt_ = false;

    Phase phase_ = Phase::kIdle;
    // Boxes (1-4) still to be repeated, oldest first.
    std::vector<int32_t> sequence;
    int32_t targetLength = 3;

    // The clock's state. Kept per window rather than per process: there is
    // one window, and a second one (a test's) then starts clean.
    int32_t lastBox = -1;
    int32_t tickCount = 0;
    // The timer's expiries counted when the current level began.
    long levelExpiries_ = 0;
};

}  // namespace lumetra
