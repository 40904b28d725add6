// labels: x11
// The control gallery, walked through its states by real input and by every setter:
// after each step the window must match the step's golden image, also after a full
// repaint. Tables check what pixels cannot: commands, values and hit tests.
#include <climits>

#include "ControlFixture.h"
#include "GalleryForm.h"
#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/controls/CellControl.h"
#include "lumetra/controls/CheckBox.h"
#include "lumetra/controls/OptionBox.h"
#include "lumetra/controls/PanelChildren.h"
#include "lumetra/controls/ProgressBar.h"
#include "lumetra/controls/Slider.h"
#include "lumetra/graphics/EmbeddedImage.h"
#include "lumetra/graphics/ImageFormat.h"
#include "lumetra/graphics/Pictures.h"

using namespace lumetra;

namespace {

int fired = 0;
// Counts every command, then lets the gallery show it in its status line.
void Counted(GUIElement* sender) {
    ++fired;
    static_cast<GalleryForm*>(Application::GetParentForm(sender))->HandleCommand(sender);
}

class Gallery : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        fired = 0;
        for (auto* b : All<ButtonCustom>()) b->SetCommand(Counted);
        for (auto* c : All<CheckBox>()) c->SetCommand(Counted);
        Nth<OptionBox>(0)->SetCommand(Counted);
    }
    std::unique_ptr<Form> MakeForm() override {
        return std::make_unique<GalleryForm>(screen.get());
    }
    template <typename T>
    std::vector<T*> All() {
        std::vector<T*> out;
        for (GUIElement* e : Application::GetChildren(form->GetId()))
            if (auto* t = dynamic_cast<T*>(e)) out.push_back(t);
        return out;
    }
    template <typename T>
    T* Nth(size_t n) {
        return All<T>().at(n);
    }
    // Clicks the control at (dx, dy) from its top left corner.
    void ClickOn(GUIElement* e, int dx = 8, int dy = 8) {
        Click(PointX(e->PositionInForm()) + dx, PointY(e->PositionInForm()) + dy);
    }
    template <typename Value>
    void Keys(const std::vector<std::pair<std::string, int>>& rows, Value value) {
        for (const auto& [script, expected] : rows) {
            ControlFixture::Keys(script);
            EXPECT_EQ(value(), expected) << script;
        }
    }
};

TEST_F(Gallery, ButtonsByPointerAndKeys) {
    ButtonCustom* enabled = Nth<ButtonCustom>(0);
    const Steps steps = {
        {"first-paint", [] {}},
        {"button-held",
         [&] {
             rig::MovePointerIn(d, Win(), PointX(enabled->PositionInForm()) + 50,
                                PointY(enabled->PositionInForm()) + 15);
             rig::PressButton(d);
         }},
        {"button-released-outside",
         [&] {
             rig::MovePointerIn(d, Win(), 5, 5);
             rig::ReleaseButton(d);
         }},
        {"button-clicked",
         [&] {
             ClickOn(enabled);
             ClickOn(Nth<ButtonCustom>(1));  // disabled
         }},
        {"return-held",
         [&] {
             ClickOn(Nth<ButtonCustom>(3));
             rig::PressKey(d, XK_Return);
         }},
        {"return-released",
         [&] {
             EXPECT_EQ(fired, 2);
             rig::ReleaseKey(d, XK_Return);
             ControlFixture::Keys("a ");
         }},
    };
    Walk("gallery-", steps);
    EXPECT_EQ(fired, 3);
}

TEST_F(Gallery, ChoicesAndValuesByMouseAndKeys) {
    CheckBox* music = Nth<CheckBox>(1);
    OptionBox* level = Nth<OptionBox>(0);
    Slider* speed = Nth<Slider>(0);
    const Steps steps = {
        {"music-on", [&] { ClickOn(music); }},
        {"music-off-by-caption", [&] { ClickOn(music, 60); }},
        {"music-keys",
         [&] {
             Keys(
                 {
                     {" ", 1},
                     {"x<Return>", 1},
                 },
                 [&] { return music->IsChecked(); });
             ClickOn(Nth<CheckBox>(2));  // disabled
             ControlFixture::Keys(" ");
             EXPECT_EQ(fired, 3);
         }},
        {"level-keys",
         [&] {
             ClickOn(level, 20, 10);
             Keys(
                 {
                     {"<Up>", 2},
                     {"<Down>", 0},
                     {" ", 1},
                     {"<Left><Right>", 1},
                 },
                 [&] { return level->GetSelectedIndex(); });
             level->SetSize(120, 84);
             ClickOn(level, 20, 82);  // below the last row: the last
             EXPECT_EQ(level->GetSelectedIndex(), 2);
             EXPECT_EQ(fired, 8);
         }},
        {"speed-clicked",
         [&] {
             // Ticks 16 pixels apart from x 40 (0) to 184 (9), 10 at 201; the track at y 174. A
             // click takes the first tick less than three pixels left of it; beyond the last, none.
             struct SliderClick {
                 const char* name;
                 int x;
                 int value;
             };
             const SliderClick clicks[] = {
                 {"two right of tick 4", 106, 4},          {"three right of tick 4", 107, 5},
                 {"between ticks 1 and 2", 70, 2},         {"left of the first tick", 30, 0},
                 {"three right of the last tick", 204, 0}, {"two right of the last tick", 203, 10},
                 {"just left of tick 7", 150, 7},
             };
             for (const SliderClick& click : clicks) {
                 Click(click.x, 174);
                 EXPECT_EQ(speed->GetValue(), click.value) << click.name;
             }
             ClickOn(Nth<Slider>(1), 60, 18);  // disabled
             Click(255, 190);                  // the vertical one: ticks 14 apart from y 174 (1)
             EXPECT_EQ(Nth<Slider>(2)->GetValue(), 2);
         }},
        {"speed-keys",
         [&] {
             Click(152, 174);  // on the value's own tick: the focus, and no change
             Keys(
                 {
                     {"<Right>", 8},
                     {"<Down>", 9},
                     {"<Up>", 8},
                     {"<Left>", 7},
                     {" ", 8},
                     {"a", 8},
                 },
                 [&] { return speed->GetValue(); });
             speed->SetValue(10);
             Keys(
                 {
                     {"<Right>", 0},
                     {"<Left>", 10},
                 },
                 [&] { return speed->GetValue(); });
         }},
    };
    Walk("gallery-", steps);
}

// Setters of controls on screen repaint at once; each step sets properties
// of different controls, so that no repaint hides another's absence.
TEST_F(Gallery, SettersRepaintAtOnce) {
    auto cells = All<CellControl>();
    auto bars = All<ProgressBar>();
    auto sliders = All<Slider>();
    auto buttons = All<ButtonCustom>();
    auto boxes = All<CheckBox>();
    OptionBox* level = Nth<OptionBox>(0);
    const EmbeddedPicture& p = CheckBoxPicture(2);
    XImagePtr icon(CreateImageFromRgb(form.get(), DecodeEmbeddedImage(p.w, p.h, p.img), p.w, p.h));
    const Steps steps = {
        {"set-cells",
         [&] {
             cells[0]->SetAlignment(AlignRight);
             cells[1]->SetText("Changed");
             cells[2]->SetHighlightColor(0x80FF80);
             cells[3]->SetTextColor(0xC00000);
         }},
        {"set-cells-2",
         [&] {
             cells[0]->SetBorder(true);
             cells[1]->SetMarked(true);
             cells[2]->SetHighlightTextColor(0x0000C0);
             cells[3]->SetAlignment(AlignCenter);
         }},
        {"set-cells-3",
         [&] {
             cells[0]->SetBackColor(0xFFFFFF);
             cells[1]->SetImage(icon.get(), 20, 20, 2);
             cells[2]->SetHighlighted(false);
             cells[3]->SetImage(icon.get(), 20, 20, 1);
         }},
        {"set-values",
         [&] {
             bars[0]->SetValue(150);
             bars[1]->SetValue(-7);
             bars[2]->SetFramed(false);
             sliders[0]->SetValue(99);
             sliders[1]->Enable(true);
             sliders[2]->SetLineColor(0xC00000);
             EXPECT_EQ(bars[0]->GetValue(), 100);
             EXPECT_EQ(sliders[0]->GetValue(), 10);
         }},
        {"set-values-2",
         [&] {
             bars[0]->SetSize(150, 20);
             bars[1]->SetPosition(300, 50);
             sliders[0]->SetShowLabels(false);
             sliders[2]->Enable(false);
         }},
        {"set-buttons",
         [&] {
             buttons[0]->SetText("Renamed");
             buttons[1]->Enable(true);
             buttons[2]->SetBackColor(0xC0E0C0);
             buttons[3]->Enable(false);
         }},
        {"set-buttons-2",
         [&] {
             buttons[0]->SetSize(60, 20);
             buttons[1]->SetImage(icon.get());
             buttons[2]->SetPosition(12, 80);
             buttons[3]->Hide();
         }},
        {"set-buttons-3",
         [&] {
             buttons[0]->SetImage(icon.get());
             buttons[0]->SetText("");
             buttons[1]->SetContentHidden(true);
         }},
        {"set-choices",
         [&] {
             boxes[0]->SetChecked(false);
             boxes[1]->SetText("Tunes");
             boxes[2]->Enable(true);
             level->SetSelectedIndex(2);
         }},
        {"set-choices-2",
         [&] {
             boxes[0]->SetTextColor(0x0000C0);
             boxes[1]->SetPosition(40, 50);
             level->RemoveOption(0);
             level->AddOption("Expert", "8");
         }},
        {"set-choices-3",
         [&] {
             boxes[2]->Hide();
             level->SetTextColor(0xC00000);
             level->SelectFirst();
         }},
        {"set-choices-4",
         [&] {
             level->Enable(false);
             bars[2]->Hide();
             bars[2]->SetValue(0);  // a hidden bar stays hidden
         }},
        {"set-panels",
         [&] {
             All<PanelChildren>()[0]->SetPosition(16, 14);
             All<PanelChildren>()[1]->Hide();
         }},
    };
    Walk("gallery-", steps);
    EXPECT_EQ(fired, 0);
}

// Very wide ranges: a few ticks, the pointer and the share where they belong.
TEST_F(ControlFixture, WideRangesKeepTheirPointerAndShare) {
    Slider wide(form.get(), false, 0, 1000000);
    Slider tall(form.get(), true, INT_MIN, INT_MAX);
    ProgressBar bar(form.get(), INT_MIN, INT_MAX);
    wide.SetValue(250000);
    tall.SetValue(INT_MAX - 1);
    bar.SetValue(0);
    tall.SetSize(40, 160);
    wide.SetLocation(10, 10);
    wide.Show();
    tall.SetLocation(230, 10);
    tall.Show();
    bar.SetLocation(10, 100);
    bar.Show();
    EXPECT_EQ("", Golden("toolkit-wide-ranges", 0, 0, 300, 180));
    Click(91, 35);  // at the end of the track
    EXPECT_EQ(wide.GetValue(), 1000000);
}

// Past the reach of X's 16-bit coordinates nothing wraps around into view, and however long
// the track, the ticks stay few.
TEST_F(ControlFixture, HugeSlidersStayOutOfView) {
    // The last tick and the maximum's number stand at x 65,746, which 16 bits make 210.
    Slider far(form.get(), false, 0, 1);
    far.SetSize(65755, 36);
    far.SetLocation(10, 200);
    far.Show();
    Settle();
    // Only the track's black row crosses the columns where they would show.
    EXPECT_EQ(rig::CountColour(d, Win(), 200, 200, 40, 36, 0x000000), 40);
    // A million values on 400,000 pixels: a tick every 8 would ask for 50,000 of them.
    Slider many(form.get(), false, 0, 1000000);
    many.SetSize(400000, 36);
    many.SetLocation(10, 250);
    Display* display = screen->GetDisplay();
    const unsigned long before = XNextRequest(display);
    many.Show();
    EXPECT_LT(XNextRequest(display) - before, 20000UL);
}

}  // namespace
