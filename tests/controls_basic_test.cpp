// Buttons, panels and cells on a real form: their pixels where they carry
// meaning, and their behaviour under real XTEST input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlFixture.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/PanelChildren.h"

using namespace lumetra;
using testing_controls::ControlFixture;
using testing_controls::kFormBack;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

// What the command handlers saw.
std::vector<GUIElement*> commands;
void RecordCommand(GUIElement* sender) { commands.push_back(sender); }
int clicks = 0;
void CountClick(GUIElement*, uint64_t, PackedPoint) { ++clicks; }

class Buttons : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        commands.clear();
        clicks = 0;
    }
    // The bevel read at the midpoints of the four edges of a button at (x, y, w, h).
    std::vector<uint32_t> Edges(int x, int y, int w, int h) {
        return {Pixel(x + w / 2, y), Pixel(x, y + h / 2), Pixel(x + w - 1, y + h / 2), Pixel(x + w / 2, y + h - 1)};
    }
    std::vector<uint32_t> Raised() { return {kWhite, kWhite, kBlack, kBlack}; }
    std::vector<uint32_t> Sunken() { return {kBlack, kBlack, kWhite, kWhite}; }
};

TEST_F(Buttons, RaisedBevelOnTheFormsColourWithACentredCaption) {
    ButtonCustom button(form.get(), "OK");
    button.SetPosition(40, 30);
    button.Show();
    EXPECT_EQ(Edges(40, 30, 80, 30), Raised());
    EXPECT_EQ(Pixel(40, 30), kWhite);   // top-left corner
    EXPECT_EQ(Pixel(119, 59), kBlack);  // bottom-right corner
    EXPECT_EQ(Pixel(42, 32), static_cast<uint32_t>(kFormBack));
    // The caption is black, in the middle of the button and nowhere near its left end.
    EXPECT_GT(Count(60, 33, 40, 24, kBlack), 5);
    EXPECT_EQ(Count(42, 32, 15, 26, kBlack), 0);
    // Its own colour wins over the form's.
    button.SetBackColor(0x30C030);
    EXPECT_EQ(Pixel(42, 32), 0x30C030U);
}

TEST_F(Buttons, ClickFiresTheCommandOnceOnTheReleaseLookingPressedMeanwhile) {
    ButtonCustom button(form.get(), "Go");
    button.SetPosition(40, 30);
    button.SetCommand(RecordCommand);
    button.SetOnClick(CountClick);
    button.Show();
    rig::MovePointerIn(d, Win(), 80, 45);
    rig::PressButton(d);
    Settle();
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(Edges(40, 30, 80, 30), Sunken());
    rig::ReleaseButton(d);
    Settle();
    ASSERT_EQ(commands.size(), 1U);
    EXPECT_EQ(commands[0], &button);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Edges(40, 30, 80, 30), Raised());
}

TEST_F(Buttons, PressInsideReleaseOutsideFiresNothingAndRaisesTheButton) {
    ButtonCustom button(form.get(), "Go");
    button.SetPosition(40, 30);
    button.SetCommand(RecordCommand);
    button.Show();
    rig::MovePointerIn(d, Win(), 80, 45);
    rig::PressButton(d);
    Settle();
    rig::MovePointerIn(d, Win(), 300, 200);
    rig::ReleaseButton(d);
    Settle();
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(Edges(40, 30, 80, 30), Raised());
}

TEST_F(Buttons, DisabledButtonIgnoresClicksAndGreysItsCaption) {
    ButtonCustom button(form.get(), "Off");
    button.SetPosition(40, 30);
    button.SetCommand(RecordCommand);
    button.SetOnClick(CountClick);
    button.Show();
    button.Enable(false);
    Click(80, 45);
    Click(80, 45);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(clicks, 0);
    EXPECT_GT(Count(42, 32, 76, 26, DisabledTextColour), 5);
    EXPECT_EQ(Count(42, 32, 76, 26, kBlack), 0);
    EXPECT_EQ(Edges(40, 30, 80, 30), Raised());
    // Enabled again it answers.
    button.Enable(true);
    Click(80, 45);
    EXPECT_EQ(commands.size(), 1U);
}

TEST_F(Buttons, ReturnOnTheFocusedButtonPressesAndClicksOnRelease) {
    ButtonCustom button(form.get(), "Key");
    button.SetPosition(40, 30);
    button.SetCommand(RecordCommand);
    button.Show();
    Tap(XK_Tab);
    ASSERT_EQ(Application::focusedElement, &button);
    // The dashed focus rectangle starts at (x + 4, y + 3) in the fore colour.
    EXPECT_EQ(Pixel(44, 33), kBlack);
    EXPECT_EQ(Pixel(44, 55), kBlack);
    rig::PressKey(d, XK_Return);
    Settle();
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(Edges(40, 30, 80, 30), Sunken());
    EXPECT_NE(Pixel(44, 33), kBlack);  // no focus mark while pressed
    rig::ReleaseKey(d, XK_Return);
    Settle();
    EXPECT_EQ(commands.size(), 1U);
    EXPECT_EQ(Edges(40, 30, 80, 30), Raised());
    // Another key does nothing.
    Tap(XK_a);
    EXPECT_EQ(commands.size(), 1U);
}

TEST_F(Buttons, HidingPaintsTheParentsColourOverTheWholeButton) {
    ButtonCustom button(form.get(), "Gone");
    button.SetPosition(40, 30);
    button.SetBackColor(0xC03030);
    button.Show();
    button.Hide();
    EXPECT_EQ(Count(40, 30, 80, 30, kFormBack), 80 * 30);
    EXPECT_FALSE(button.IsCreated());
    // Clicks on the empty place reach nothing.
    button.SetCommand(RecordCommand);
    Click(80, 45);
    EXPECT_TRUE(commands.empty());
}

TEST_F(Buttons, MovingAShownButtonErasesItWhereItWas) {
    ButtonCustom button(form.get(), "Move");
    button.SetPosition(40, 30);
    button.Show();
    const uint32_t id = button.GetId();
    button.SetPosition(200, 150);
    EXPECT_EQ(Count(40, 30, 80, 30, kFormBack), 80 * 30);
    EXPECT_EQ(Edges(200, 150, 80, 30), Raised());
    EXPECT_EQ(button.GetId(), id);
    button.SetSize(100, 40);
    EXPECT_EQ(Edges(200, 150, 100, 40), Raised());
}

TEST_F(Buttons, TinyButtonsDrawOnlyTheirBevel) {
    ButtonCustom thin(form.get(), "Caption");
    thin.SetPosition(40, 30);
    thin.SetSize(2, 40);
    thin.Show();
    ButtonCustom flat(form.get(), "Caption");
    flat.SetPosition(100, 30);
    flat.SetSize(60, 1);
    flat.Show();
    Tap(XK_Tab);
    // Nothing but bevel lines and the form around them.
    EXPECT_EQ(Count(40, 30, 2, 40, kWhite) + Count(40, 30, 2, 40, kBlack), 2 * 40);
    EXPECT_EQ(Count(100, 30, 60, 1, kWhite) + Count(100, 30, 60, 1, kBlack), 60);
    EXPECT_EQ(Count(100, 31, 60, 20, kFormBack), 60 * 20);
}

// ---- panels -----------------------------------------------------------------

class Panels : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        commands.clear();
    }
    std::vector<uint32_t> Edges(int x, int y, int w, int h) {
        return {Pixel(x + w / 2, y), Pixel(x, y + h / 2), Pixel(x + w - 1, y + h / 2), Pixel(x + w / 2, y + h - 1)};
    }
};

TEST_F(Panels, FramesSunkenRaisedAndOutlined) {
    PanelChildren panel(form.get());
    panel.SetPosition(20, 20);
    panel.SetSize(200, 120);
    panel.SetBackColor(0xC8C8C8);
    panel.Show();
    // No frame: background only, to the edges.
    EXPECT_EQ(Count(20, 20, 200, 120, 0xC8C8C8), 200 * 120);
    panel.SetFrame(true);
    panel.Paint();
    EXPECT_EQ(Edges(20, 20, 200, 120), (std::vector<uint32_t>{kBlack, kBlack, kWhite, kWhite}));
    panel.SetSunken(false);
    panel.Paint();
    EXPECT_EQ(Edges(20, 20, 200, 120), (std::vector<uint32_t>{kWhite, kWhite, kBlack, kBlack}));
    panel.SetOutline(true);
    panel.Paint();
    EXPECT_EQ(Edges(20, 20, 200, 120), (std::vector<uint32_t>{kBlack, kBlack, kBlack, kBlack}));
    // SetFrame turns the outline off again.
    panel.SetFrame(true);
    panel.Paint();
    EXPECT_EQ(Edges(20, 20, 200, 120), (std::vector<uint32_t>{kWhite, kWhite, kBlack, kBlack}));
    EXPECT_EQ(Pixel(25, 25), 0xC8C8C8U);
}

TEST_F(Panels, CaptionStartsFourPixelsInAndTwoDown) {
    PanelChildren panel(form.get());
    panel.SetPosition(20, 20);
    panel.SetSize(200, 120);
    panel.SetText("Settings");
    panel.SetCaptionColour(0x800000);
    panel.Show();
    EXPECT_GT(Count(24, 22, 80, 16, 0x800000), 10);
    EXPECT_EQ(Count(20, 20, 4, 30, 0x800000), 0);
    EXPECT_EQ(Count(20, 45, 200, 95, 0x800000), 0);
    // Without a colour of its own the panel shows the form's.
    EXPECT_EQ(Pixel(100, 100), static_cast<uint32_t>(kFormBack));
}

TEST_F(Panels, ChildrenPaintInsideTakeClicksAndTheChildBackground) {
    PanelChildren panel(form.get());
    panel.SetPosition(20, 20);
    panel.SetSize(250, 150);
    panel.SetBackColor(0xC8C8C8);
    panel.SetChildBackColour(0x30C030);
    ButtonCustom button(&panel, "In");
    button.SetPosition(10, 30);
    button.SetCommand(RecordCommand);
    panel.Show();
    // The button sits at its position plus the panel's, in the child colour.
    EXPECT_EQ(Pixel(30, 50), kWhite);
    EXPECT_EQ(Pixel(33, 53), 0x30C030U);
    EXPECT_EQ(Pixel(25, 25), 0xC8C8C8U);
    Click(70, 65);
    ASSERT_EQ(commands.size(), 1U);
    EXPECT_EQ(commands[0], &button);
    // The panel's bare background reaches no element of the panel.
    Click(200, 150);
    EXPECT_EQ(commands.size(), 1U);
    EXPECT_EQ(Application::focusedElement, nullptr);
}

TEST_F(Panels, HidingHidesTheChildrenAndMovingRepaintsThemAtTheNewPlace) {
    PanelChildren panel(form.get());
    panel.SetPosition(20, 20);
    panel.SetSize(150, 100);
    panel.SetBackColor(0xC8C8C8);
    ButtonCustom button(&panel, "In");
    button.SetPosition(10, 30);
    panel.Show();
    panel.SetPosition(200, 150);
    EXPECT_EQ(Count(20, 20, 150, 100, kFormBack), 150 * 100);
    EXPECT_EQ(Pixel(210, 180), kWhite);  // the button's corner, moved with the panel
    EXPECT_EQ(Pixel(205, 155), 0xC8C8C8U);
    panel.Hide();
    EXPECT_FALSE(button.IsVisible());
    EXPECT_EQ(Count(200, 150, 150, 100, kFormBack), 150 * 100);
    panel.Show();
    EXPECT_TRUE(button.IsVisible());
    EXPECT_EQ(Pixel(210, 180), kWhite);
}

TEST_F(Panels, TabGoesThroughThePanelsControlsInCreationOrder) {
    ButtonCustom first(form.get(), "1");
    first.SetPosition(10, 10);
    first.Show();
    PanelChildren panel(form.get());
    panel.SetPosition(10, 60);
    panel.SetSize(300, 60);
    CellControl label(&panel);
    label.SetPosition(5, 5);
    label.SetSize(40, 20);
    ButtonCustom second(&panel, "2");
    second.SetPosition(60, 10);
    ButtonCustom third(&panel, "3");
    third.SetPosition(150, 10);
    panel.Show();
    ButtonCustom fourth(form.get(), "4");
    fourth.SetPosition(10, 200);
    fourth.Show();
    std::vector<GUIElement*> order;
    for (int i = 0; i < 5; ++i) {
        Tap(XK_Tab);
        order.push_back(Application::focusedElement);
    }
    EXPECT_EQ(order, (std::vector<GUIElement*>{&first, &second, &third, &fourth, &first}));
    // The focused button inside the panel shows its focus mark at panel + button + (4, 3).
    Tap(XK_Tab);
    EXPECT_EQ(Application::focusedElement, &second);
    EXPECT_EQ(Pixel(10 + 60 + 4, 60 + 10 + 3), kBlack);
}

// ---- cells --------------------------------------------------------------------

class Cells : public ControlFixture {};

TEST_F(Cells, ANewTextIsOnScreenAtOnce) {
    CellControl cell(form.get());
    cell.SetPosition(20, 20);
    cell.SetSize(120, 30);
    cell.SetBackColor(0xFFFFFF);
    cell.Show();
    EXPECT_EQ(Count(20, 20, 120, 30, kBlack), 0);
    cell.SetText("Level 12");
    EXPECT_GT(Count(20, 20, 120, 30, kBlack), 10);
    cell.SetText("");
    EXPECT_EQ(Count(20, 20, 120, 30, kBlack), 0);
    EXPECT_EQ(Count(20, 20, 120, 30, kWhite), 120 * 30);
}

TEST_F(Cells, AlignmentPlacesTheText) {
    CellControl cell(form.get());
    cell.SetPosition(20, 20);
    cell.SetSize(300, 30);
    cell.SetBackColor(0xFFFFFF);
    cell.SetText("Lumetra");
    cell.SetAlignment(AlignLeft);
    cell.Show();
    EXPECT_GT(Count(20, 20, 80, 30, kBlack), 10);
    EXPECT_EQ(Count(120, 20, 200, 30, kBlack), 0);
    cell.SetAlignment(AlignRight);
    EXPECT_EQ(Count(20, 20, 200, 30, kBlack), 0);
    EXPECT_GT(Count(240, 20, 80, 30, kBlack), 10);
    cell.SetAlignment(AlignCenter);
    EXPECT_EQ(Count(20, 20, 90, 30, kBlack), 0);
    EXPECT_EQ(Count(230, 20, 90, 30, kBlack), 0);
    cell.SetTextColor(0xC00000);
    EXPECT_GT(Count(110, 20, 100, 30, 0xC00000), 10);
    EXPECT_EQ(Count(20, 20, 300, 30, kBlack), 0);
}

TEST_F(Cells, FrameIsBlackAllRoundOnWhiteAndLightBelowOnOtherColours) {
    CellControl white(form.get());
    white.SetPosition(20, 20);
    white.SetSize(100, 30);
    white.SetBackColor(0xFFFFFF);
    white.SetBorder(true);
    white.Show();
    CellControl grey(form.get());
    grey.SetPosition(20, 80);
    grey.SetSize(100, 30);
    grey.SetBorder(true);
    grey.Show();
    EXPECT_EQ(Pixel(70, 20), kBlack);
    EXPECT_EQ(Pixel(20, 35), kBlack);
    EXPECT_EQ(Pixel(119, 35), kBlack);
    EXPECT_EQ(Pixel(70, 49), kBlack);
    EXPECT_EQ(Pixel(70, 80), kBlack);
    EXPECT_EQ(Pixel(20, 95), kBlack);
    EXPECT_EQ(Pixel(119, 95), kWhite);
    EXPECT_EQ(Pixel(70, 109), kWhite);
    // A cell without a colour shows the form's, up to its frame.
    EXPECT_EQ(Count(21, 81, 98, 28, kFormBack), 98 * 28);
}

TEST_F(Cells, BackgroundFallsBackToThePanelAndHidingLeavesTheParentsColour) {
    PanelChildren panel(form.get());
    panel.SetPosition(10, 10);
    panel.SetSize(300, 200);
    panel.SetBackColor(0x30C030);
    CellControl cell(&panel);
    cell.SetPosition(20, 20);
    cell.SetSize(100, 30);
    panel.Show();
    EXPECT_EQ(Count(30, 30, 100, 30, 0x30C030), 100 * 30);
    cell.SetBackColor(0xFFFFFF);
    EXPECT_EQ(Count(30, 30, 100, 30, kWhite), 100 * 30);
    cell.Hide();
    EXPECT_EQ(Count(30, 30, 100, 30, 0x30C030), 100 * 30);
    cell.Show();
    EXPECT_EQ(Count(30, 30, 100, 30, kWhite), 100 * 30);
}

TEST_F(Cells, ClicksReachTheElementHandlers) {
    clicks = 0;
    CellControl link(form.get());
    link.SetPosition(20, 20);
    link.SetSize(150, 25);
    link.SetText("www.example.org");
    link.SetOnClick(CountClick);
    link.Show();
    Click(60, 30);
    EXPECT_EQ(clicks, 1);
    // A cell never takes the focus with Tab.
    Tap(XK_Tab);
    EXPECT_EQ(Application::focusedElement == &link && link.IsTabStop(), false);
}

TEST_F(Cells, TinyCellsDrawNothingInside) {
    CellControl cell(form.get());
    cell.SetPosition(20, 20);
    cell.SetSize(2, 2);
    cell.SetBorder(true);
    cell.SetText("text");
    cell.Show();
    EXPECT_EQ(Count(20, 20, 2, 2, kBlack) + Count(20, 20, 2, 2, kWhite), 4);
    EXPECT_EQ(Pixel(22, 22), static_cast<uint32_t>(kFormBack));
}

}  // namespace
