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
             // One row a line, which clang-format would pack.
             // clang-format off
             const SliderClick clicks[] = {
                 {"two right of tick 4", 106, 4},
                 {"three right of tick 4", 107, 5},
                 {"between ticks 1 and 2", 70, 2},
                 {"left of the first tick", 30, 0},
                 {"three right of the last tick", 204, 0},
                 {"two right of the last tick", 203, 10},
                 {"just left of tick 7", 150, 7},
             };
             // clang-format on
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

// A control's part of the form, and the part two such parts span.
struct Box {
    int left;
    int top;
    int right;
    int bottom;
};
Box BoxOf(GUIElement* e) {
    const PackedPoint at = e->PositionInForm();
    const PackedPoint size = e->GetSize();
    return {PointX(at), PointY(at), PointX(at) + PointX(size), PointY(at) + PointY(size)};
}
Box Span(const Box& a, const Box& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// Setters of controls on screen repaint at once. Each row sets one property of
// one control, whose part of the form (where it was and where it is) must then
// match the row's golden image, and again after a full repaint.
TEST_F(Gallery, SettersRepaintAtOnce) {
    auto cells = All<CellControl>();
    auto bars = All<ProgressBar>();
    auto sliders = All<Slider>();
    auto buttons = All<ButtonCustom>();
    auto boxes = All<CheckBox>();
    auto panels = All<PanelChildren>();
    OptionBox* level = Nth<OptionBox>(0);
    const EmbeddedPicture& p = CheckBoxPicture(2);
    XImagePtr icon(CreateImageFromRgb(form.get(), DecodeEmbeddedImage(p.w, p.h, p.img), p.w, p.h));
    struct Setter {
        const char* name;
        GUIElement* control;
        std::function<void()> set;
    };
    const Setter setters[] = {
        {"cell-right", cells[0], [&] { cells[0]->SetAlignment(AlignRight); }},
        {"cell-text", cells[1], [&] { cells[1]->SetText("Changed"); }},
        {"cell-highlight", cells[2], [&] { cells[2]->SetHighlightColor(0x80FF80); }},
        {"cell-text-colour", cells[3], [&] { cells[3]->SetTextColor(0xC00000); }},
        {"cell-border", cells[0], [&] { cells[0]->SetBorder(true); }},
        {"cell-marked", cells[1], [&] { cells[1]->SetMarked(true); }},
        {"cell-highlight-text", cells[2], [&] { cells[2]->SetHighlightTextColor(0x0000C0); }},
        {"cell-centre", cells[3], [&] { cells[3]->SetAlignment(AlignCenter); }},
        {"cell-back", cells[0], [&] { cells[0]->SetBackColor(0xFFFFFF); }},
        {"cell-image-centred", cells[1], [&] { cells[1]->SetImage(icon.get(), 20, 20, 2); }},
        {"cell-unhighlighted", cells[2], [&] { cells[2]->SetHighlighted(false); }},
        {"cell-image-left", cells[3], [&] { cells[3]->SetImage(icon.get(), 20, 20, 1); }},
        {"bar-past-maximum", bars[0], [&] { bars[0]->SetValue(150); }},
        {"bar-below-minimum", bars[1], [&] { bars[1]->SetValue(-7); }},
        {"bar-unframed", bars[2], [&] { bars[2]->SetFramed(false); }},
        {"slider-past-maximum", sliders[0], [&] { sliders[0]->SetValue(99); }},
        {"slider-enabled", sliders[1], [&] { sliders[1]->Enable(true); }},
        {"slider-line-colour", sliders[2], [&] { sliders[2]->SetLineColor(0xC00000); }},
        {"bar-resized", bars[0], [&] { bars[0]->SetSize(150, 20); }},
        {"bar-moved", bars[1], [&] { bars[1]->SetPosition(300, 50); }},
        {"slider-no-labels", sliders[0], [&] { sliders[0]->SetShowLabels(false); }},
        {"slider-disabled", sliders[2], [&] { sliders[2]->Enable(false); }},
        {"button-text", buttons[0], [&] { buttons[0]->SetText("Renamed"); }},
        {"button-enabled", buttons[1], [&] { buttons[1]->Enable(true); }},
        {"button-back", buttons[2], [&] { buttons[2]->SetBackColor(0xC0E0C0); }},
        {"button-disabled", buttons[3], [&] { buttons[3]->Enable(false); }},
        {"button-resized", buttons[0], [&] { buttons[0]->SetSize(60, 20); }},
        {"button-image", buttons[1], [&] { buttons[1]->SetImage(icon.get()); }},
        {"button-moved", buttons[2], [&] { buttons[2]->SetPosition(12, 80); }},
        {"button-hidden", buttons[3], [&] { buttons[3]->Hide(); }},
        {"button-image-and-text", buttons[0], [&] { buttons[0]->SetImage(icon.get()); }},
        {"button-image-only", buttons[0], [&] { buttons[0]->SetText(""); }},
        {"button-content-hidden", buttons[1], [&] { buttons[1]->SetContentHidden(true); }},
        {"box-unchecked", boxes[0], [&] { boxes[0]->SetChecked(false); }},
        {"box-text", boxes[1], [&] { boxes[1]->SetText("Tunes"); }},
        {"box-enabled", boxes[2], [&] { boxes[2]->Enable(true); }},
        {"option-selected", level, [&] { level->SetSelectedIndex(2); }},
        {"box-text-colour", boxes[0], [&] { boxes[0]->SetTextColor(0x0000C0); }},
        {"box-moved", boxes[1], [&] { boxes[1]->SetPosition(4, 50); }},
        {"option-removed", level, [&] { level->RemoveOption(0); }},
        {"option-added", level, [&] { level->AddOption("Expert", "8"); }},
        {"box-hidden", boxes[2], [&] { boxes[2]->Hide(); }},
        {"option-text-colour", level, [&] { level->SetTextColor(0xC00000); }},
        {"option-first", level, [&] { level->SelectFirst(); }},
        {"option-disabled", level, [&] { level->Enable(false); }},
        {"bar-hidden", bars[2], [&] { bars[2]->Hide(); }},
        {"bar-hidden-stays-hidden", bars[2], [&] { bars[2]->SetValue(0); }},
        {"panel-moved", panels[0], [&] { panels[0]->SetPosition(16, 14); }},
        {"panel-hidden", panels[1], [&] { panels[1]->Hide(); }},
    };
    for (const Setter& setter : setters) {
        const Box before = BoxOf(setter.control);
        setter.set();
        const Box part = Span(before, BoxOf(setter.control));
        const std::string golden = std::string("set-") + setter.name;
        const int w = part.right - part.left;
        const int h = part.bottom - part.top;
        EXPECT_EQ("", Golden(golden, part.left, part.top, w, h)) << setter.name;
        Repaint();
        EXPECT_EQ("", Golden(golden, part.left, part.top, w, h)) << setter.name << ", repainted";
    }
    EXPECT_EQ(bars[0]->GetValue(), 100);
    EXPECT_EQ(sliders[0]->GetValue(), 10);
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
