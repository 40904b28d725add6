// The text box on a real server: typing through XTEST, the caret and the
// characters read back as pixels, every mode, the alerts, and the faults that
// must not happen at the edges of the buffer and of the grid.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "ControlFixture.h"
#include "controls/AlertSound.h"
#include "controls/TextBoxCustom.h"
#include "core/Application.h"
#include "game/Sound.h"
#include "rig/Process.h"

using lumetra::Application;
using lumetra::TextBoxCustom;
using testing_controls::ControlFixture;
using testing_controls::kFormBack;

namespace {

constexpr uint32_t kCaret = 0xFFFF00;
constexpr uint32_t kInk = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;


int alerts = 0;
void CountAlert() { ++alerts; }
// The game's alert, counted as it is made.
void CountAndBeep() {
    ++alerts;
    lumetra::Beep();
}

class TextBox : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        alerts = 0;
        lumetra::SetAlertFunction(&CountAlert);
    }
    void TearDown() override {
        lumetra::SetAlertFunction(nullptr);
        ControlFixture::TearDown();
    }

    // A box at (x, y) of the given size, shown.
    std::unique_ptr<TextBoxCustom> MakeBox(int x, int y, int w, int h, const std::string& initial = "") {
        auto box = std::make_unique<TextBoxCustom>(form.get(), initial);
        box->SetPosition(x, y);
        box->SetSize(w, h);
        return box;
    }
    void Show(TextBoxCustom& box) {
        box.Show();
        Settle();
    }
    // The box takes the focus itself, as a form gives it to its first box.
    void Focus(TextBoxCustom& box) {
        box.SetFocus();
        Settle();
    }
    void Type(const std::string& s) {
        rig::TypeText(d, s);
        Settle();
    }

    // A cell's rectangle in the form's window; DrawText fills one pixel less
    // than the cell's width.
    struct Rect {
        int x, y, w, h;
    };
    static Rect Cell(TextBoxCustom& box, int c, int r) {
        return {box.x + 3 + c * box.GetCellWidth(), box.y + 3 + r * box.GetLineHeight(), box.GetCellWidth() - 1,
                box.GetLineHeight()};
    }
    int CountIn(const Rect& rc, uint32_t colour) { return Count(rc.x, rc.y, rc.w, rc.h, colour); }
    bool CaretAt(TextBoxCustom& box, int c, int r = 0) { return CountIn(Cell(box, c, r), kCaret) > 0; }
    // Which cells of the first row show the caret.
    std::vector<int> CaretCells(TextBoxCustom& box, int r = 0) {
        std::vector<int> out;
        for (int c = 0; c < box.Columns(); ++c) {
            if (CaretAt(box, c, r)) out.push_back(c);
        }
        return out;
    }
    bool InkAt(TextBoxCustom& box, int c, int r = 0, uint32_t ink = kInk) { return CountIn(Cell(box, c, r), ink) > 0; }
    std::vector<uint32_t> CellPixels(TextBoxCustom& box, int c, int r = 0) {
        XSync(screen->GetDisplay(), False);
        const Rect rc = Cell(box, c, r);
        return rig::Pixels(d, Win(), rc.x, rc.y, rc.w, rc.h);
    }
};

TEST_F(TextBox, GridIsMadeOfMWideCellsAndALowBoxIsRaisedToOneRow) {
    auto box = MakeBox(10, 10, 125, 20);
    EXPECT_GT(box->GetCellWidth(), 2);
    EXPECT_GT(box->GetLineHeight(), 5);
    // 14 (the default font size) + 10, or one row when that is more.
    EXPECT_EQ(box->height, std::max(24, box->GetLineHeight() + 6));
    EXPECT_EQ(box->Rows(), 1);
    EXPECT_EQ(box->Columns(), (125 - 6) / box->GetCellWidth());
    Show(*box);
    // Sunken double frame: white above, black below, the box white inside.
    EXPECT_EQ(Pixel(box->x + 20, box->y), kWhite);
    EXPECT_EQ(Pixel(box->x + 20, box->y + 1), kInk);
    EXPECT_EQ(Pixel(box->x + 20, box->y + box->height - 1), kInk);
    EXPECT_EQ(Pixel(box->x + 20, box->y + box->height - 2), kWhite);
    EXPECT_EQ(Pixel(box->x + 20, box->y + 5), kWhite);
}

TEST_F(TextBox, SingleLineTypingOverwritesAndCaretMovesAtStartMiddleAndEnd) {
    auto box = MakeBox(10, 10, 200, 30);
    Show(*box);
    Focus(*box);
    EXPECT_EQ(CaretCells(*box), std::vector<int>{0});
    Type("abcd");
    EXPECT_EQ(box->GetText(), "abcd");
    EXPECT_EQ(box->GetCaret(), 4);
    EXPECT_EQ(CaretCells(*box), std::vector<int>{4});
    for (int c = 0; c < 4; ++c) EXPECT_TRUE(InkAt(*box, c)) << c;
    EXPECT_FALSE(InkAt(*box, 4));

    // Middle: over the character under the caret; the rest stays.
    Tap(XK_Left);
    Tap(XK_Left);
    EXPECT_EQ(CaretCells(*box), std::vector<int>{2});
    Type("X");
    EXPECT_EQ(box->GetText(), "abXd");
    EXPECT_EQ(CaretCells(*box), std::vector<int>{3});

    // Backspace closes the gap and the caret follows.
    Tap(XK_BackSpace);
    EXPECT_EQ(box->GetText(), "abd");
    EXPECT_EQ(CaretCells(*box), std::vector<int>{2});
    EXPECT_FALSE(InkAt(*box, 3));

    // Start: Left stops at 0, Backspace there only sounds the alert.
    for (int i = 0; i < 4; ++i) Tap(XK_Left);
    EXPECT_EQ(box->GetCaret(), 0);
    EXPECT_EQ(alerts, 0);
    Tap(XK_BackSpace);
    EXPECT_EQ(alerts, 1);
    Type("Z");
    EXPECT_EQ(box->GetText(), "Zbd");

    // Delete blanks the character under the caret; the blank stays inside
    // the text and goes only at its end.
    Tap(XK_Delete);
    EXPECT_EQ(box->GetText(), "Z d");
    EXPECT_FALSE(InkAt(*box, 1));
    Tap(XK_Right);
    Tap(XK_Delete);
    EXPECT_EQ(box->GetText(), "Z");

    // End: Right stops at the count of characters entered, with the alert.
    while (box->GetCaret() < box->GetLength()) Tap(XK_Right);
    const int caret = box->GetCaret();
    Tap(XK_Right);
    EXPECT_EQ(box->GetCaret(), caret);
    EXPECT_EQ(alerts, 2);
    EXPECT_EQ(CaretCells(*box), std::vector<int>{caret});
}

TEST_F(TextBox, EnterEscapeAreIgnoredSilentlyOtherControlCharactersSoundTheAlert) {
    auto box = MakeBox(10, 10, 200, 30, "ab");
    Show(*box);
    Focus(*box);
    Tap(XK_Return);
    Tap(XK_Escape);
    EXPECT_EQ(alerts, 0);
    rig::PressKey(d, XK_Control_L);
    rig::TapKey(d, XK_a);
    rig::ReleaseKey(d, XK_Control_L);
    Settle();
    EXPECT_EQ(alerts, 1);
    EXPECT_EQ(box->GetText(), "ab");
}

TEST_F(TextBox, MaximumLengthTakesTenAndRefusesTheEleventhAndDeleteAtTheEndDoesNothing) {
    auto box = MakeBox(10, 10, 200, 30);
    box->SetMaxLength(10);
    Show(*box);
    Focus(*box);
    Type("abcdefghijk");
    EXPECT_EQ(box->GetText(), "abcdefghij");
    EXPECT_EQ(box->GetCaret(), 10);
    EXPECT_EQ(alerts, 1);
    // The caret stands on the buffer's terminator: Delete there must not
    // replace it (the text would run on past the buffer).
    Tap(XK_Delete);
    EXPECT_EQ(box->GetText(), "abcdefghij");
    EXPECT_EQ(alerts, 1);
    Tap(XK_BackSpace);
    EXPECT_EQ(box->GetText(), "abcdefghi");
    // The maximum length is fixed once the buffer exists.
    box->SetMaxLength(3);
    EXPECT_EQ(box->GetMaxLength(), 10);
}

TEST_F(TextBox, ShiftingDeleteRemovesTheCharacterAtTheCaretAndNothingAtTheEnd) {
    auto box = MakeBox(10, 10, 200, 60, "abc");
    box->SetDeleteShifts(true);
    ASSERT_TRUE(box->IsMultiLine());
    Show(*box);
    Focus(*box);
    ASSERT_EQ(box->GetCaret(), 3);
    Tap(XK_Delete);
    EXPECT_EQ(box->GetText(), "abc");
    EXPECT_EQ(box->GetLength(), 3);
    Tap(XK_Left);
    Tap(XK_Left);
    Tap(XK_Delete);
    EXPECT_EQ(box->GetText(), "ac");
    EXPECT_EQ(box->GetLength(), 2);
    EXPECT_EQ(box->GetCaret(), 1);
    EXPECT_TRUE(InkAt(*box, 1));
    EXPECT_FALSE(InkAt(*box, 2));
    EXPECT_EQ(alerts, 0);
}

TEST_F(TextBox, DigitsAndDatesRefuseOtherCharactersWithTheGameAlert) {
    // The real alert: "aplay Data/beep.wav" through the recording stand-in.
    rig::TempDir dir;
    ASSERT_EQ(mkdir((dir / "Data").c_str(), 0755), 0);
    ASSERT_TRUE(rig::WriteFile(dir / "Data/beep.wav", "RIFF"));
    rig::WorkingDirectory cwd(dir.Path());
    ASSERT_TRUE(cwd.Ok());
    rig::StandIns standIns(0);
    standIns.Install();
    lumetra::SetAlertFunction(&CountAndBeep);

    auto digits = MakeBox(10, 10, 200, 30);
    digits->SetNumericOnly(true);
    auto decimal = MakeBox(10, 50, 200, 30);
    decimal->SetNumericOnly(true);
    decimal->SetAllowDecimalPoint(true);
    auto date = MakeBox(10, 90, 200, 30);
    date->SetDateMode(true);
    Show(*digits);
    Show(*decimal);
    Show(*date);

    Focus(*digits);
    Type("1a2.3 ");
    EXPECT_EQ(digits->GetText(), "123");
    EXPECT_EQ(alerts, 3);

    Focus(*decimal);
    Type("1.5.2");
    EXPECT_EQ(decimal->GetText(), "1.52");
    EXPECT_EQ(alerts, 4);

    Focus(*date);
    EXPECT_EQ(date->GetMaxLength(), 10);
    Type("12032024");
    EXPECT_EQ(date->GetText(), "12/03/2024");
    EXPECT_EQ(date->GetCaret(), 10);
    Type("7-");
    EXPECT_EQ(alerts, 6);
    // Left skips the separators.
    for (int i = 0; i < 4; ++i) Tap(XK_Left);
    EXPECT_EQ(date->GetCaret(), 6);
    Tap(XK_Left);
    EXPECT_EQ(date->GetCaret(), 4);
    Tap(XK_Right);
    EXPECT_EQ(date->GetCaret(), 6);
    // Backspace just after a separator takes the separator and the digit
    // before it; the separators are then put back in place.
    Tap(XK_BackSpace);
    EXPECT_EQ(date->GetText(), "12/02/024");
    EXPECT_EQ(date->GetCaret(), 4);

    EXPECT_TRUE(rig::WaitUntil([&] { return standIns.Recorded().size() >= 6; }));
    const std::vector<std::string> recorded = standIns.Recorded();
    EXPECT_EQ(recorded.size(), 6U);
    for (const std::string& line : recorded) EXPECT_EQ(line, "aplay Data/beep.wav");
}

TEST_F(TextBox, PasswordShowsOnlyTheMaskWhileGetTextAnswersTheText) {
    auto secret = MakeBox(10, 10, 200, 30);
    secret->SetPassword(true);
    auto plain = MakeBox(10, 60, 200, 30, "** *");
    Show(*secret);
    Show(*plain);
    Focus(*secret);
    Type("ab c");
    EXPECT_EQ(secret->GetText(), "ab c");
    Click(300, 300);  // away from both boxes: no caret to compare
    ASSERT_EQ(Application::focusedElement, nullptr);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(CellPixels(*secret, c), CellPixels(*plain, c)) << "cell " << c;
    EXPECT_TRUE(InkAt(*secret, 0));
    EXPECT_FALSE(InkAt(*secret, 2));
}

TEST_F(TextBox, MultiLineWrapsBreaksLinesAndMovesTheCaretBetweenThem) {
    auto box = MakeBox(10, 10, 0, 0);
    const int cw = box->GetCellWidth(), lh = box->GetLineHeight();
    box->SetSize(6 + 5 * cw, 6 + 3 * lh);  // five columns, three rows
    box->SetMultiLine(true);
    Show(*box);
    ASSERT_EQ(box->Columns(), 5);
    ASSERT_EQ(box->Rows(), 3);
    Focus(*box);
    Type("abcdefgh");
    EXPECT_EQ(box->GetText(), "abcdefgh");
    // The sixth character starts the second row.
    EXPECT_TRUE(InkAt(*box, 4, 0));
    EXPECT_TRUE(InkAt(*box, 0, 1));
    EXPECT_TRUE(InkAt(*box, 2, 1));
    EXPECT_FALSE(InkAt(*box, 3, 1));
    EXPECT_TRUE(CaretAt(*box, 3, 1));

    Tap(XK_Up);
    EXPECT_EQ(box->GetCaret(), 3);
    EXPECT_TRUE(CaretAt(*box, 3, 0));
    EXPECT_FALSE(CaretAt(*box, 3, 1));
    Tap(XK_Up);  // no row above
    EXPECT_EQ(alerts, 1);
    Tap(XK_Left);
    Tap(XK_Down);
    EXPECT_EQ(box->GetCaret(), 7);
    EXPECT_TRUE(CaretAt(*box, 2, 1));
    Tap(XK_Down);  // nothing typed below
    EXPECT_EQ(box->GetCaret(), 7);
    EXPECT_EQ(alerts, 2);

    // Inserting in the middle moves the rest on, across the row's end.
    Tap(XK_Up);
    Type("X");
    EXPECT_EQ(box->GetText(), "abXcdefgh");
    EXPECT_TRUE(InkAt(*box, 3, 1));

    // Enter breaks the line: the rest of the row stays blank.
    Tap(XK_Return);
    EXPECT_EQ(box->GetText(), "abX\rcdefgh");
    EXPECT_EQ(box->GetCaret(), 4);
    EXPECT_TRUE(CaretAt(*box, 0, 1));
    EXPECT_FALSE(InkAt(*box, 3, 0));
    EXPECT_FALSE(InkAt(*box, 4, 0));
    EXPECT_TRUE(InkAt(*box, 4, 1));  // "cdefg" fills the second row
    EXPECT_TRUE(InkAt(*box, 0, 2));
    Tap(XK_Up);
    EXPECT_EQ(box->GetCaret(), 0);
    Tap(XK_Right);
    Tap(XK_Right);
    Tap(XK_Right);
    EXPECT_EQ(box->GetCaret(), 3);  // on the line break, at the end of the row
    EXPECT_TRUE(CaretAt(*box, 3, 0));
    Tap(XK_Down);
    EXPECT_EQ(box->GetCaret(), 7);

    // The grid is the whole capacity: what no longer fits is refused.
    Type("123");
    EXPECT_EQ(box->GetText(), "abX\rcde123fgh");
    Type("4");
    EXPECT_EQ(box->GetText(), "abX\rcde123fgh");
    EXPECT_EQ(alerts, 3);
}

TEST_F(TextBox, MultiLineTypingAfterBackspacePastTheTrimmedTextPadsWithSpaces) {
    auto box = MakeBox(10, 10, 200, 60);
    box->SetMultiLine(true);
    Show(*box);
    Focus(*box);
    Type("a  ");
    Tap(XK_BackSpace);
    EXPECT_EQ(box->GetCaret(), 2);
    Type("b");
    EXPECT_EQ(box->GetText(), "a b");
    EXPECT_EQ(box->GetCaret(), 3);
    EXPECT_TRUE(CaretAt(*box, 3));
    EXPECT_TRUE(InkAt(*box, 2));
}

TEST_F(TextBox, ChangeIsReportedOnLosingTheFocusOnlyWhenTheValueChanged) {
    static int changes = 0;
    changes = 0;
    auto a = MakeBox(10, 10, 150, 30, "same");
    auto b = MakeBox(10, 60, 150, 30);
    a->SetOnChange([](lumetra::GUIElement*) { ++changes; });
    Show(*a);
    Show(*b);
    Click(a->x + 140, a->y + 10);
    EXPECT_EQ(Application::focusedElement, a.get());
    Type("x");
    EXPECT_EQ(changes, 0);  // never while typing
    Click(b->x + 10, b->y + 10);
    EXPECT_EQ(changes, 1);
    Click(a->x + 140, a->y + 10);
    Click(b->x + 10, b->y + 10);
    EXPECT_EQ(changes, 1);
    // Typed and taken back: the same value, no change.
    Click(a->x + 140, a->y + 10);
    Type("y");
    Tap(XK_BackSpace);
    Click(b->x + 10, b->y + 10);
    EXPECT_EQ(changes, 1);
}

TEST_F(TextBox, ClickPutsTheCaretOnTheCellOrAtTheEndOfTheText) {
    auto box = MakeBox(10, 10, 200, 30, "hello");
    Show(*box);
    const Rect third = Cell(*box, 2, 0);
    Click(third.x + 2, third.y + 4);
    EXPECT_EQ(box->GetCaret(), 2);
    EXPECT_EQ(CaretCells(*box), std::vector<int>{2});
    const Rect far = Cell(*box, 12, 0);
    Click(far.x + 2, far.y + 4);
    EXPECT_EQ(box->GetCaret(), 5);
    EXPECT_EQ(CaretCells(*box), std::vector<int>{5});
}

TEST_F(TextBox, TabMovesOnFromATabStopAndIsTheBoxsOwnKeyOtherwise) {
    auto a = MakeBox(10, 10, 150, 30);
    auto b = MakeBox(10, 60, 150, 30);
    Show(*a);
    Show(*b);
    Focus(*a);
    Tap(XK_Tab);
    EXPECT_EQ(Application::focusedElement, b.get());
    EXPECT_EQ(alerts, 0);
    EXPECT_TRUE(CaretCells(*a).empty());
    EXPECT_EQ(CaretCells(*b), std::vector<int>{0});

    // A box that is no tab stop receives Tab itself, as a control character.
    b->tabStop = false;
    Tap(XK_Tab);
    EXPECT_EQ(Application::focusedElement, b.get());
    EXPECT_EQ(alerts, 1);
    EXPECT_EQ(b->GetText(), "");
}

TEST_F(TextBox, ABoxThatIsNotCreatedIgnoresKeysAndClicks) {
    // Tab traversal does not look at creation: with nothing focused it
    // reaches the first tab stop, b, which was never shown.
    TextBoxCustom b(form.get(), "kept");
    auto a = MakeBox(10, 10, 150, 30);
    Show(*a);
    ASSERT_EQ(Application::focusedElement, nullptr);
    Tap(XK_Tab);
    ASSERT_EQ(Application::focusedElement, &b);
    Type("xyz");
    Tap(XK_Right);
    Tap(XK_BackSpace);
    Tap(XK_Delete);
    EXPECT_EQ(b.GetText(), "kept");
    EXPECT_EQ(alerts, 0);
    EXPECT_FALSE(b.KeyChar('q'));
    b.MouseUp(lumetra::PackPoint(b.x + 5, b.y + 5));
    b.KeyDown(lumetra::KeyDown);
    EXPECT_EQ(b.GetText(), "kept");
    EXPECT_EQ(alerts, 0);
    // Shown at last, it has its text.
    Show(b);
    EXPECT_EQ(b.GetText(), "kept");
}

TEST_F(TextBox, DisabledAndReadOnlyBoxesRefuseInputSilentlyAndShowNoCaret) {
    auto box = MakeBox(10, 10, 150, 30, "ab");
    Show(*box);
    box->Enable(false);
    Focus(*box);
    Type("cd");
    Tap(XK_Right);
    EXPECT_EQ(box->GetText(), "ab");
    EXPECT_EQ(alerts, 0);
    EXPECT_TRUE(CaretCells(*box).empty());
    EXPECT_TRUE(InkAt(*box, 0, 0, lumetra::DisabledTextColour));
    EXPECT_FALSE(InkAt(*box, 0, 0, kInk));
    EXPECT_EQ(Pixel(box->x + 5, box->y + 5), static_cast<uint32_t>(lumetra::DefaultBackColour));

    box->Enable(true);
    box->SetReadOnly(true);
    Settle();
    Type("cd");
    Tap(XK_Left);
    EXPECT_EQ(box->GetText(), "ab");
    EXPECT_EQ(alerts, 0);
    EXPECT_TRUE(CaretCells(*box).empty());
    EXPECT_TRUE(InkAt(*box, 0));
}

TEST_F(TextBox, MoreLineBreaksThanRowsTouchNoCellOutsideTheGrid) {
    auto box = MakeBox(10, 10, 150, 0);
    box->SetMultiLine(true);
    box->SetText("\r\r\r\rab\r\r");
    Show(*box);
    ASSERT_EQ(box->Rows(), 1);
    Focus(*box);
    box->Repaint();
    Settle();
    for (const TextBoxCustom::TextCell& cell : box->Cells()) EXPECT_LE(cell.textIndex, box->GetMaxLength());
    // Nothing was drawn below the box.
    EXPECT_EQ(Count(box->x, box->y + box->height + 1, box->width, 40, kFormBack), box->width * 40);
    Tap(XK_Down);
    Tap(XK_Up);
    EXPECT_EQ(box->GetText(), "\r\r\r\rab");
}

TEST_F(TextBox, DownInAGridLargerThanItsCapacityFindsNoCellBeyondIt) {
    // Far more than 1600 cells would fit this box; only 1600 exist.
    auto box = MakeBox(0, 0, 2000, 1200);
    box->SetMaxLength(4000);
    box->SetMultiLine(true);
    const int cols = box->Columns();
    ASSERT_GT(cols * box->Rows(), TextBoxCustom::MaxCells);
    // The row of the last cell, and how many of its cells exist.
    const int lastRow = (TextBoxCustom::MaxCells - 1) / cols;
    ASSERT_GT(TextBoxCustom::MaxCells - lastRow * cols, 2);
    // The caret after two letters on that row: the cell below it would be
    // past the capacity.
    box->SetText(std::string(static_cast<size_t>(lastRow), '\r') + "ab");
    Show(*box);
    Focus(*box);
    ASSERT_EQ(box->GetCaret(), lastRow + 2);
    Tap(XK_Down);
    EXPECT_EQ(box->GetCaret(), lastRow + 2);
    EXPECT_EQ(alerts, 1);
    Tap(XK_Up);
    EXPECT_EQ(box->GetCaret(), lastRow - 1);
}

TEST_F(TextBox, DateModeSetAfterCreationKeepsTheBufferItHas) {
    auto box = MakeBox(10, 10, 200, 30);
    box->SetMaxLength(2);
    Show(*box);
    box->SetDateMode(true);
    EXPECT_EQ(box->GetMaxLength(), 2);
    Focus(*box);
    Type("123");
    EXPECT_EQ(box->GetText(), "12");
    EXPECT_EQ(alerts, 1);
    Tap(XK_BackSpace);
    EXPECT_EQ(box->GetText(), "1");
}

TEST_F(TextBox, ResizingAShownBoxKeepsWhatWasTyped) {
    auto box = MakeBox(10, 10, 150, 30);
    Show(*box);
    Focus(*box);
    Type("keep");
    box->SetSize(250, 40);
    Settle();
    EXPECT_TRUE(box->IsCreated());
    EXPECT_EQ(box->GetText(), "keep");
    EXPECT_TRUE(InkAt(*box, 3));
    // The old frame was erased: its bottom edge is form colour again.
    box->SetPosition(10, 200);
    Settle();
    EXPECT_EQ(Pixel(50, 10 + 39), static_cast<uint32_t>(kFormBack));
    EXPECT_EQ(box->GetText(), "keep");
}

}  // namespace
