// The controls that show and choose values: progress bar, slider, check box
// and option box, on a real form, driven by real XTEST input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlFixture.h"
#include "controls/CheckBox.h"
#include "controls/OptionBox.h"
#include "controls/ProgressBar.h"
#include "controls/Slider.h"
#include "graphics/EmbeddedImage.h"
#include "graphics/Pictures.h"

using namespace lumetra;
using testing_controls::ControlFixture;
using testing_controls::kFormBack;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBlue = 0x0000FF;

std::vector<GUIElement*> commands;
void RecordCommand(GUIElement* sender) { commands.push_back(sender); }
std::vector<int32_t> reported;
void RecordValue(Slider*, int32_t value) { reported.push_back(value); }
int changes = 0;
void CountChange(GUIElement*) { ++changes; }

class ValueControls : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        commands.clear();
        reported.clear();
        changes = 0;
    }

    // How many pixels of the 20 x 20 block at (x, y) differ from the state
    // picture n; with a transparent key, black picture pixels must show the
    // background instead.
    int PictureMismatches(int x, int y, const EmbeddedPicture& p, bool blackIsTransparent, uint32_t background) {
        XSync(screen->GetDisplay(), False);
        const std::vector<uint8_t> rgb = DecodeEmbeddedImage(p.w, p.h, p.img);
        const std::vector<uint32_t> drawn = rig::Pixels(d, Win(), x, y, p.w, p.h);
        if (rgb.empty() || drawn.size() != static_cast<size_t>(p.w * p.h)) return -1;
        int mismatches = 0;
        for (size_t i = 0; i < drawn.size(); ++i) {
            uint32_t want = (uint32_t{rgb[3 * i]} << 16) | (uint32_t{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2];
            if (blackIsTransparent && want == 0) want = background;
            if (drawn[i] != want) ++mismatches;
        }
        return mismatches;
    }

    // How many pixels differ between two 20 x 20 blocks of the form.
    int Differences(int x1, int y1, int x2, int y2) {
        XSync(screen->GetDisplay(), False);
        const std::vector<uint32_t> a = rig::Pixels(d, Win(), x1, y1, 20, 20), b = rig::Pixels(d, Win(), x2, y2, 20, 20);
        int n = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
        return n;
    }
};

// ---- progress bar -------------------------------------------------------------

using ProgressBars = ValueControls;

TEST_F(ProgressBars, SunkenFrameAndFillAtZeroHalfAndFull) {
    ProgressBar bar(form.get(), 0, 100);
    bar.SetPosition(20, 20);
    bar.Show();
    EXPECT_EQ(bar.GetWidth(), 190);
    EXPECT_EQ(Pixel(115, 20), kBlack);
    EXPECT_EQ(Pixel(20, 32), kBlack);
    EXPECT_EQ(Pixel(209, 32), kWhite);
    EXPECT_EQ(Pixel(115, 44), kWhite);
    EXPECT_EQ(Count(20, 20, 190, 25, kBlue), 0);
    bar.SetValue(50);
    // (190 - 2) x 0.5 = 94 given to the fill, which covers 93 pixels from x + 1.
    EXPECT_EQ(Count(20, 25, 190, 1, kBlue), 93);
    EXPECT_EQ(Pixel(21, 25), kBlue);
    EXPECT_EQ(Pixel(113, 25), kBlue);
    EXPECT_EQ(Pixel(114, 25), static_cast<uint32_t>(kFormBack));
    EXPECT_EQ(Count(21, 20, 1, 25, kBlue), 22);
    bar.SetValue(150);
    EXPECT_EQ(bar.GetValue(), 100);
    EXPECT_EQ(Count(20, 25, 190, 1, kBlue), 187);
    bar.SetValue(-7);
    EXPECT_EQ(Count(20, 20, 190, 25, kBlue), 0);
}

TEST_F(ProgressBars, WithoutARangeOrRoomItDrawsNoFill) {
    ProgressBar flat(form.get(), 5, 5);
    flat.SetPosition(20, 20);
    flat.Show();
    flat.SetValue(9);
    EXPECT_EQ(flat.GetValue(), 5);
    ProgressBar reversed(form.get(), 10, 0);
    reversed.SetPosition(20, 60);
    reversed.Show();
    reversed.SetValue(5);
    ProgressBar thin(form.get(), 0, 10);
    thin.SetPosition(20, 100);
    thin.SetSize(2, 25);
    thin.Show();
    thin.SetValue(10);
    EXPECT_EQ(Count(0, 0, 300, 200, kBlue), 0);
    EXPECT_EQ(Pixel(20, 20), kBlack);  // the frame is still there
}

TEST_F(ProgressBars, AHiddenBarStaysHiddenWhenItsValueChanges) {
    ProgressBar bar(form.get(), 0, 10);
    bar.SetPosition(20, 20);
    bar.SetFramed(false);
    bar.Show();
    EXPECT_EQ(Pixel(20, 20), static_cast<uint32_t>(kFormBack));
    bar.Hide();
    bar.SetValue(10);
    EXPECT_EQ(Count(20, 20, 190, 25, kBlue), 0);
    bar.Show();
    EXPECT_EQ(Count(20, 25, 190, 1, kBlue), 187);
}

// ---- slider ---------------------------------------------------------------------

class Sliders : public ValueControls {
protected:
    // A horizontal 0..4 slider at (20, 20): 100 x 36 once painted, track from
    // x0 = 40, ticks 15 apart and the last at x0 + 61, track line at y 38.
    static constexpr int kX0 = 40, kYm = 38;
    static int TickX(int i) { return i == 4 ? kX0 + 61 : kX0 + 15 * i; }
    bool PointerAt(int tickX) { return Pixel(tickX, kYm - 10) == kBlack; }
};

TEST_F(Sliders, SizeFitsTheTicksAndThePointerMarksTheValue) {
    Slider slider(form.get(), false, 0, 4);
    slider.SetPosition(20, 20);
    slider.SetSize(103, 20);
    slider.Show();
    EXPECT_EQ(slider.GetWidth(), 100);
    EXPECT_EQ(slider.GetHeight(), 36);
    for (int i = 0; i <= 4; ++i) {
        EXPECT_EQ(Pixel(TickX(i), kYm - 3), kBlack) << "tick " << i;
        EXPECT_EQ(Pixel(TickX(i) + 1, kYm - 3), 0xDDDDDDU) << "tick " << i;
    }
    EXPECT_EQ(Pixel(kX0 + 7, kYm), kBlack);  // the track
    EXPECT_EQ(Pixel(kX0 + 7, kYm - 3), static_cast<uint32_t>(kFormBack));
    EXPECT_TRUE(PointerAt(TickX(0)));
    EXPECT_FALSE(PointerAt(TickX(2)));
    slider.SetValue(2);
    EXPECT_FALSE(PointerAt(TickX(0)));
    EXPECT_TRUE(PointerAt(TickX(2)));
    // Labels: the minimum left of the track, the maximum right of it.
    EXPECT_GT(Count(20, 20, 20, 36, kBlack), 3);
    EXPECT_GT(Count(101, 20, 19, 36, kBlack), 3);
    slider.SetValue(99);
    EXPECT_EQ(slider.GetValue(), 4);
    EXPECT_TRUE(reported.empty());
}

TEST_F(Sliders, KeysWithTheFocusStepAndWrap) {
    Slider slider(form.get(), false, 0, 4);
    slider.SetPosition(20, 20);
    slider.SetSize(100, 36);
    slider.SetOnValueChanged(RecordValue);
    slider.SetOnChange(CountChange);
    slider.Show();
    // Without the focus keys do nothing.
    Tap(XK_Right);
    EXPECT_EQ(slider.GetValue(), 0);
    Tap(XK_Tab);
    ASSERT_EQ(Application::focusedElement, &slider);
    EXPECT_EQ(Pixel(20, 21), kBlack);  // the dashed focus mark starts at (x, y + 1)
    Tap(XK_Right);
    Tap(XK_Down);
    EXPECT_EQ(slider.GetValue(), 2);
    EXPECT_TRUE(PointerAt(TickX(2)));
    Tap(XK_Left);
    Tap(XK_Up);
    Tap(XK_Left);
    EXPECT_EQ(slider.GetValue(), 4);  // wrapped from the minimum
    Tap(XK_Right);
    EXPECT_EQ(slider.GetValue(), 0);  // and from the maximum
    Tap(XK_space);
    EXPECT_EQ(slider.GetValue(), 1);
    EXPECT_EQ(reported, (std::vector<int32_t>{1, 2, 1, 0, 4, 0, 1}));
    EXPECT_EQ(changes, 7);
    Tap(XK_a);
    EXPECT_EQ(reported.size(), 7U);
}

TEST_F(Sliders, ClicksChooseTheNearestTickToTheRight) {
    Slider slider(form.get(), false, 0, 4);
    slider.SetPosition(20, 20);
    slider.SetSize(100, 36);
    slider.SetOnValueChanged(RecordValue);
    slider.Show();
    Click(TickX(3) - 5, kYm);
    EXPECT_EQ(slider.GetValue(), 3);
    EXPECT_TRUE(PointerAt(TickX(3)));
    Click(TickX(3) + 2, kYm + 5);  // within two pixels after the tick: still that tick
    EXPECT_EQ(slider.GetValue(), 3);
    Click(25, kYm);  // on the label, left of the first tick
    EXPECT_EQ(slider.GetValue(), 0);
    Click(TickX(4) + 6, kYm);  // beyond the last tick
    EXPECT_EQ(slider.GetValue(), 0);
    EXPECT_EQ(reported, (std::vector<int32_t>{3, 0}));
}

TEST_F(Sliders, WithoutARangeItShowsOneTickAndNeverMoves) {
    Slider single(form.get(), false, 5, 5);
    single.SetPosition(20, 20);
    single.SetSize(100, 36);
    single.SetOnValueChanged(RecordValue);
    single.Show();
    Slider reversed(form.get(), true, 7, 3);
    reversed.SetPosition(200, 20);
    reversed.SetOnValueChanged(RecordValue);
    reversed.Show();
    EXPECT_EQ(Pixel(kX0, kYm - 3), kBlack);
    EXPECT_TRUE(PointerAt(kX0));
    Tap(XK_Tab);
    Tap(XK_Right);
    Click(kX0, kYm);
    Click(kX0 + 30, kYm);
    Tap(XK_Tab);
    ASSERT_EQ(Application::focusedElement, &reversed);
    Tap(XK_Down);
    Tap(XK_space);
    reversed.SetValue(5);
    EXPECT_EQ(single.GetValue(), 5);
    EXPECT_EQ(reversed.GetValue(), 7);
    EXPECT_TRUE(reported.empty());
}

TEST_F(Sliders, VerticalPointerSitsRightOfTheTrack) {
    Slider slider(form.get(), true, 0, 2);
    slider.SetPosition(20, 20);
    slider.SetSize(10, 10);
    slider.SetOnValueChanged(RecordValue);
    slider.Show();
    // 40 x 52: track at x 40 from y 38, ticks 8 apart, the last at y 55.
    EXPECT_EQ(slider.GetWidth(), 40);
    EXPECT_EQ(slider.GetHeight(), 52);
    EXPECT_EQ(Pixel(37, 38), kBlack);
    EXPECT_EQ(Pixel(37, 46), kBlack);
    EXPECT_EQ(Pixel(37, 55), kBlack);
    EXPECT_EQ(Pixel(52, 38), kBlack);  // pointer at the minimum
    Click(40, 53);
    EXPECT_EQ(slider.GetValue(), 2);
    EXPECT_EQ(Pixel(52, 55), kBlack);
    EXPECT_NE(Pixel(52, 38), kBlack);
}

TEST_F(Sliders, DisabledSliderIsGreyAndIgnoresKeys) {
    Slider slider(form.get(), false, 0, 4);
    slider.SetPosition(20, 20);
    slider.SetSize(100, 36);
    slider.SetOnValueChanged(RecordValue);
    slider.Show();
    Tap(XK_Tab);
    slider.Enable(false);
    Tap(XK_Right);
    EXPECT_EQ(slider.GetValue(), 0);
    EXPECT_EQ(Pixel(kX0, kYm - 3), DisabledTextColour);
    EXPECT_EQ(Count(20, 20, 100, 36, kBlack), 0);  // no focus mark either
    EXPECT_TRUE(reported.empty());
}

// ---- check box --------------------------------------------------------------------

using CheckBoxes = ValueControls;

TEST_F(CheckBoxes, ClickTogglesThePictureAndReportsOnce) {
    CheckBox box(form.get(), "Sound");
    box.SetPosition(20, 20);
    box.SetSize(120, 30);
    box.SetCommand(RecordCommand);
    box.Show();
    EXPECT_EQ(PictureMismatches(21, 21, CheckBoxPicture(4), false, 0), 0);
    EXPECT_GT(Count(46, 21, 90, 29, kBlack), 5);  // the caption
    Click(30, 30);
    ASSERT_EQ(commands.size(), 1U);
    EXPECT_EQ(commands[0], &box);
    EXPECT_TRUE(box.IsChecked());
    EXPECT_EQ(PictureMismatches(21, 21, CheckBoxPicture(2), false, 0), 0);
    Click(80, 30);  // on the caption as well
    EXPECT_FALSE(box.IsChecked());
    EXPECT_EQ(commands.size(), 2U);
}

TEST_F(CheckBoxes, TheCheckMarkShows) {
    CheckBox on(form.get(), "On");
    on.SetPosition(20, 20);
    on.SetChecked(true);
    on.Show();
    CheckBox off(form.get(), "Off");
    off.SetPosition(20, 60);
    off.Show();
    EXPECT_GT(Differences(21, 21, 21, 61), 10);
}

TEST_F(CheckBoxes, SpaceWithTheFocusToggles) {
    CheckBox box(form.get(), "Keys");
    box.SetPosition(20, 20);
    box.SetSize(120, 30);
    box.SetCommand(RecordCommand);
    box.Show();
    Tap(XK_space);
    EXPECT_FALSE(box.IsChecked());
    Tap(XK_Tab);
    ASSERT_EQ(Application::focusedElement, &box);
    EXPECT_EQ(Pixel(20 + 23, 22), kBlack);  // the focus mark around the caption
    Tap(XK_space);
    EXPECT_TRUE(box.IsChecked());
    Tap(XK_x);
    Tap(XK_Return);
    EXPECT_TRUE(box.IsChecked());
    Tap(XK_space);
    EXPECT_FALSE(box.IsChecked());
    EXPECT_EQ(commands.size(), 2U);
}

TEST_F(CheckBoxes, DisabledBoxIsGreyAndIgnoresInput) {
    CheckBox box(form.get(), "Grey");
    box.SetPosition(20, 20);
    box.SetSize(120, 30);
    box.SetCommand(RecordCommand);
    box.SetChecked(true);
    box.Show();
    Tap(XK_Tab);
    box.Enable(false);
    Click(30, 30);
    Tap(XK_space);
    EXPECT_TRUE(box.IsChecked());
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(PictureMismatches(21, 21, CheckBoxPicture(1), false, 0), 0);
    EXPECT_GT(Count(46, 21, 90, 29, DisabledTextColour), 5);
    EXPECT_EQ(Count(42, 20, 98, 30, kBlack), 0);
}

// ---- option box ----------------------------------------------------------------------

class OptionBoxes : public ValueControls {
protected:
    void Fill(OptionBox& box) {
        box.SetPosition(20, 20);
        box.SetSize(150, 30);
        box.AddOption("Easy", "e");
        box.AddOption("Normal", "n");
        box.AddOption("Hard", "h");
        box.SetCommand(RecordCommand);
        box.Show();
    }
    // Which rows show the selected picture.
    std::vector<bool> Marked() {
        std::vector<bool> out;
        for (int row = 0; row < 3; ++row) {
            const int y = 20 + OptionBox::kRowHeight * row + 6;
            out.push_back(PictureMismatches(21, y, OptionBoxPicture(2), true, kFormBack) == 0);
        }
        return out;
    }
};

TEST_F(OptionBoxes, RowsGrowTheBoxAndOneChoiceExcludesTheOthers) {
    OptionBox box(form.get());
    Fill(box);
    EXPECT_EQ(box.GetHeight(), 78);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(PictureMismatches(21, 26 + 26 * row, OptionBoxPicture(4), true, kFormBack), 0) << "row " << row;
    }
    EXPECT_EQ(Marked(), (std::vector<bool>{false, false, false}));
    Click(60, 20 + 26 + 10);
    EXPECT_EQ(box.GetSelectedIndex(), 1);
    EXPECT_EQ(Marked(), (std::vector<bool>{false, true, false}));
    Click(60, 20 + 52 + 10);
    EXPECT_EQ(Marked(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(box.GetValue(box.GetSelectedIndex()), "h");
    EXPECT_EQ(commands.size(), 2U);
    // Captions sit right of the pictures.
    EXPECT_GT(Count(48, 20, 120, 26, kBlack), 5);
}

TEST_F(OptionBoxes, TheDotShows) {
    OptionBox box(form.get());
    Fill(box);
    box.SetSelectedIndex(1);
    EXPECT_GT(Differences(21, 26, 21, 52), 10);
}

TEST_F(OptionBoxes, ClickBelowTheLastRowSelectsTheLast) {
    OptionBox box(form.get());
    Fill(box);
    box.SetSize(150, 150);
    Click(60, 160);
    EXPECT_EQ(box.GetSelectedIndex(), 2);
}

TEST_F(OptionBoxes, KeysWithTheFocusMoveTheChoiceAndWrap) {
    OptionBox box(form.get());
    Fill(box);
    Tap(XK_Down);
    EXPECT_EQ(box.GetSelectedIndex(), -1);  // no focus yet
    Tap(XK_Tab);
    ASSERT_EQ(Application::focusedElement, &box);
    Tap(XK_Up);
    EXPECT_EQ(box.GetSelectedIndex(), 2);  // from none to the last
    Tap(XK_Down);
    EXPECT_EQ(box.GetSelectedIndex(), 0);  // wrapped
    Tap(XK_space);
    EXPECT_EQ(box.GetSelectedIndex(), 1);
    EXPECT_EQ(Marked(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(Pixel(20 + 25, 20 + 26 + 2), kBlack);  // focus mark on the selected row
    Tap(XK_Up);
    Tap(XK_Up);
    EXPECT_EQ(box.GetSelectedIndex(), 2);
    Tap(XK_Left);
    EXPECT_EQ(box.GetSelectedIndex(), 2);
    EXPECT_EQ(commands.size(), 5U);
}

TEST_F(OptionBoxes, DownFromNothingSelectsTheFirst) {
    OptionBox box(form.get());
    Fill(box);
    Tap(XK_Tab);
    Tap(XK_Down);
    EXPECT_EQ(box.GetSelectedIndex(), 0);
}

TEST_F(OptionBoxes, AnEmptyBoxIgnoresInputAndNoSelectionHasNoCaption) {
    OptionBox box(form.get());
    box.SetPosition(20, 20);
    box.SetCommand(RecordCommand);
    box.Show();
    Tap(XK_Tab);
    ASSERT_EQ(Application::focusedElement, &box);
    Tap(XK_Down);
    Tap(XK_Up);
    Tap(XK_space);
    Click(40, 30);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(box.GetSelectedIndex(), -1);
    EXPECT_EQ(box.GetCaption(-1), "");
    EXPECT_EQ(box.GetValue(0), "");
    box.AddOption("Only", "1");
    EXPECT_EQ(box.GetCaption(box.GetSelectedIndex()), "");
    EXPECT_EQ(box.GetCaption(7), "Only");
    EXPECT_FALSE(box.SetSelectedIndex(1));
    EXPECT_TRUE(box.SetSelectedIndex(-3));
    EXPECT_EQ(box.GetSelectedIndex(), 0);
    // Removing keeps the selection inside the list; clearing leaves it alone
    // but no key can move outside an empty list.
    EXPECT_TRUE(box.RemoveOption(0));
    EXPECT_EQ(box.GetSelectedIndex(), -1);
    EXPECT_FALSE(box.RemoveOption(0));
    box.AddOption("A", "a");
    box.AddOption("B", "b");
    box.SetSelectedIndex(1);
    box.ClearOptions();
    Tap(XK_Down);
    Click(40, 30);
    EXPECT_TRUE(commands.empty());
}

TEST_F(OptionBoxes, DisabledBoxIsGreyAndIgnoresInput) {
    OptionBox box(form.get());
    Fill(box);
    box.SetSelectedIndex(0);
    Tap(XK_Tab);
    box.Enable(false);
    Tap(XK_Down);
    Click(60, 60);
    EXPECT_EQ(box.GetSelectedIndex(), 0);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(PictureMismatches(21, 26, OptionBoxPicture(1), true, kFormBack), 0);
    EXPECT_EQ(PictureMismatches(21, 52, OptionBoxPicture(3), true, kFormBack), 0);
    EXPECT_GT(Count(48, 20, 120, 78, DisabledTextColour), 5);
}

}  // namespace
