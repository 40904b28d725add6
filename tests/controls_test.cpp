// labels: x11
// The control gallery, walked through its states by real input and by its setters, the picture
// controls below it: after each step the window must match the step's golden image, also after a
// full repaint. Tables check what pixels cannot: commands, values and hit tests.
#include <climits>

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
#include "lumetra/graphics/ImageFrame.h"
#include "lumetra/graphics/MyImage.h"
#include "lumetra/graphics/Pictures.h"
#include "rig/BmpFiles.h"
#include "rig/ControlFixture.h"

using namespace lumetra;
using rig::ControlFixture;

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
    // Types the keys, then reads the value.
    template <typename Read>
    auto After(const std::string& script, Read read) {
        Keys(script);
        return read();
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
             Keys("a ");
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
             auto checked = [&] { return music->IsChecked(); };
             EXPECT_TRUE(After(" ", checked));
             EXPECT_TRUE(After("x<Return>", checked));
             ClickOn(Nth<CheckBox>(2));  // disabled
             Keys(" ");
             EXPECT_EQ(fired, 3);
         }},
        {"level-keys",
         [&] {
             ClickOn(level, 20, 10);
             auto index = [&] { return level->GetSelectedIndex(); };
             EXPECT_EQ(After("<Up>", index), 2);
             EXPECT_EQ(After("<Down>", index), 0);
             EXPECT_EQ(After(" ", index), 1);
             EXPECT_EQ(After("<Left><Right>", index), 1);
             level->SetSize(120, 84);
             ClickOn(level, 20, 82);  // below the last row: the last
             EXPECT_EQ(fired, 8);
         }},
        {"speed-tabbed", [&] { Keys("<Tab>"); }},
        {"speed-clicked",
         [&] {
             // Ticks 16 pixels apart from x 40 (0) to 184 (9), 10 at 201; the track at y 174. A
             // click takes the first tick less than three pixels left of it; beyond the last, none.
             // clang-format off
             const std::tuple<const char*, int, int> clicks[] = {
                 {"two right of tick 4", 106, 4},
                 {"three right of tick 4", 107, 5},
                 {"left of the first tick", 30, 0},
                 {"three right of the last tick", 204, 0},
                 {"two right of the last tick", 203, 10},
                 {"just left of tick 7", 150, 7},
             };
             // clang-format on
             for (const auto& [name, x, value] : clicks) {
                 Click(x, 174);
                 EXPECT_EQ(speed->GetValue(), value) << name;
             }
             ClickOn(Nth<Slider>(1), 60, 18);  // disabled
             Click(255, 190);                  // the vertical one: ticks 14 apart from y 174 (1)
         }},
        {"speed-keys",
         [&] {
             Click(152, 174);  // on the value's own tick: the focus, and no change
             auto value = [&] { return speed->GetValue(); };
             EXPECT_EQ(After("<Right>", value), 8);
             EXPECT_EQ(After("<Down>", value), 9);
             EXPECT_EQ(After("<Up>", value), 8);
             EXPECT_EQ(After("<Left>", value), 7);
             EXPECT_EQ(After(" ", value), 8);
             EXPECT_EQ(After("a", value), 8);
             speed->SetValue(10);
             EXPECT_EQ(After("<Right>", value), 0);
             speed->SetValue(0);  // painted at 0: the last key alone paints 10
             EXPECT_EQ(After("<Left>", value), 10);
         }},
    };
    Walk("gallery-", steps);
}

// Setters of controls on screen repaint at once: each step sets one property of one control.
// Below the gallery the picture controls: a sheet of 40 x 40 frames whose every pixel tells
// where it is, and a frame with a key colour.
TEST_F(Gallery, SettersRepaintAtOnce) {
    const EmbeddedPicture& p = CheckBoxPicture(2);
    XImagePtr icon(CreateImageFromRgb(form.get(), DecodeEmbeddedImage(p.w, p.h, p.img), p.w, p.h));
    form->SetSize(GalleryForm::Width, GalleryForm::Height + 60);  // the window follows
    Settle();
    std::vector<uint32_t> where;
    for (uint32_t y = 0; y < 80; ++y)
        for (uint32_t x = 0; x < 160; ++x) where.push_back(x * 3 << 16 | y * 3 << 8 | 0x55);
    XImagePtr sheet(CreateImageFromRgb(form.get(), rig::BmpRgb(24, where), 160, 80));
    const std::vector<uint32_t> blue(600, 0x336699);
    XImagePtr plain(CreateImageFromRgb(form.get(), rig::BmpRgb(24, blue), 30, 20));
    const std::vector<uint32_t> flipped = {0, 0x010101, 0xFF0000, 0, 0x00FF00, 0, 0, 0x0000FF};
    XImagePtr flip(CreateImageFromRgb(form.get(), rig::BmpRgb(24, flipped), 8, 1));
    MyImage image(form.get(), sheet.get());
    ImageFrame frame(form.get(), sheet.get(), 3, 1);
    ImageFrame keyed(form.get(), flip.get(), 0, 0);
    ImageFrame outside(form.get(), sheet.get(), 4, 2);  // off the sheet: nothing
    keyed.SetTransparent(true);
    const std::tuple<GUIElement*, int, int, int, int> places[] = {{&image, 20, 430, 30, 20},
                                                                  {&frame, 100, 430, 40, 40},
                                                                  {&keyed, 150, 430, 4, 1},
                                                                  {&outside, 200, 430, 40, 40}};
    for (const auto& [e, x, y, w, h] : places) {
        e->SetPosition(x, y);
        e->SetSize(w, h);
    }
    // Nothing painted while a form loads.
    Application::formLoading = true;
    image.Show();
    Application::formLoading = false;
    EXPECT_EQ(rig::CountColour(d, Win(), 20, 430, 30, 20, DefaultBackColour), 600);
    image.Paint();
    for (ImageFrame* f : {&frame, &keyed, &outside}) {
        f->Show();
        f->Paint();
    }
    const Steps steps = {
        {"cell-right", [&] { Nth<CellControl>(0)->SetAlignment(AlignRight); }},
        {"cell-highlight", [&] { Nth<CellControl>(2)->SetHighlightColor(0x80FF80); }},
        {"cell-text-colour", [&] { Nth<CellControl>(3)->SetTextColor(0xC00000); }},
        {"cell-border", [&] { Nth<CellControl>(0)->SetBorder(true); }},
        {"cell-marked", [&] { Nth<CellControl>(1)->SetMarked(true); }},
        {"cell-highlight-text", [&] { Nth<CellControl>(2)->SetHighlightTextColor(0x0000C0); }},
        {"cell-back", [&] { Nth<CellControl>(0)->SetBackColor(0xFFFFFF); }},
        {"cell-image-centred", [&] { Nth<CellControl>(1)->SetImage(icon.get(), 20, 20, 2); }},
        {"cell-image-right", [&] { Nth<CellControl>(3)->SetImage(icon.get(), 20, 20, 1); }},
        {"bar-past-maximum", [&] { Nth<ProgressBar>(0)->SetValue(150); }},
        {"bar-below-minimum", [&] { Nth<ProgressBar>(1)->SetValue(-7); }},
        {"bar-unframed", [&] { Nth<ProgressBar>(2)->SetFramed(false); }},
        {"slider-past-maximum", [&] { Nth<Slider>(0)->SetValue(99); }},
        {"slider-enabled", [&] { Nth<Slider>(1)->Enable(true); }},
        {"slider-line-colour", [&] { Nth<Slider>(2)->SetLineColor(0xC00000); }},
        {"bar-resized", [&] { Nth<ProgressBar>(0)->SetSize(150, 20); }},
        {"slider-no-labels", [&] { Nth<Slider>(0)->SetShowLabels(false); }},
        {"button-back", [&] { Nth<ButtonCustom>(2)->SetBackColor(0xC0E0C0); }},
        {"button-disabled", [&] { Nth<ButtonCustom>(3)->Enable(false); }},
        {"button-resized", [&] { Nth<ButtonCustom>(0)->SetSize(60, 20); }},
        {"button-hidden", [&] { Nth<ButtonCustom>(3)->Hide(); }},
        {"button-image-and-text", [&] { Nth<ButtonCustom>(0)->SetImage(icon.get()); }},
        {"button-image-only", [&] { Nth<ButtonCustom>(0)->SetText(""); }},
        {"button-content-hidden", [&] { Nth<ButtonCustom>(1)->SetContentHidden(true); }},
        {"box-unchecked", [&] { Nth<CheckBox>(0)->SetChecked(false); }},
        {"box-text", [&] { Nth<CheckBox>(1)->SetText("Tunes"); }},
        {"box-enabled", [&] { Nth<CheckBox>(2)->Enable(true); }},
        {"option-selected", [&] { Nth<OptionBox>(0)->SetSelectedIndex(2); }},
        {"box-text-colour", [&] { Nth<CheckBox>(0)->SetTextColor(0x0000C0); }},
        {"option-removed", [&] { EXPECT_TRUE(Nth<OptionBox>(0)->RemoveOption(0)); }},
        {"option-added", [&] { Nth<OptionBox>(0)->AddOption("Expert", "8"); }},
        {"option-text-colour", [&] { Nth<OptionBox>(0)->SetTextColor(0xC00000); }},
        {"option-first", [&] { Nth<OptionBox>(0)->SelectFirst(); }},
        {"option-disabled", [&] { Nth<OptionBox>(0)->Enable(false); }},
        {"bar-hidden", [&] { Nth<ProgressBar>(2)->Hide(); }},
        {"bar-hidden-stays-hidden", [&] { Nth<ProgressBar>(2)->SetValue(0); }},
        {"panel-moved", [&] { Nth<PanelChildren>(0)->SetPosition(16, 14); }},
        {"panel-hidden", [&] { Nth<PanelChildren>(1)->Hide(); }},
        {"image-border", [&] { image.SetBorder(true); }},
        {"image-removed", [&] { image.SetImage(nullptr); }},  // the colour behind
        {"image-replaced", [&] { image.SetImage(plain.get()); }},
        {"image-moved", [&] { image.SetPosition(60, 430); }},
        {"image-resized", [&] { image.SetSize(10, 10); }},
        {"image-disabled", [&] { image.Enable(false); }},  // unchanged
        {"image-hidden", [&] { image.Hide(); }},
        {"frame-next", [&] { frame.SetFrame(0, 0); }},
        {"frame-erased", [&] { frame.SetFrame(1, 0, true); }},
        // No pixel of the previous frame stays behind a black one.
        {"frame-keyed", [&] { keyed.SetFrame(1, 0); }},
        {"frame-hidden",
         [&] {
             frame.SetFrame(1, 0);  // the frame shown already
             frame.Hide();
             frame.SetFrame(2, 0);
         }},
        // The disabled button, back since its panel moved, shows its own picture.
        {"button-disabled-image", [&] { Nth<ButtonCustom>(3)->SetDisabledImage(icon.get()); }},
        {"panel-back", [&] { Nth<PanelChildren>(0)->SetBackColor(0xE0E0FF); }},
        {"panel-caption-colour",
         [&] {
             Nth<PanelChildren>(0)->SetCaptionColour(0xC00000);
             Nth<PanelChildren>(0)->Paint();
         }},
        // Every child of a panel shown again takes the panel's colour for its own.
        {"panel-child-back",
         [&] {
             Nth<PanelChildren>(0)->SetChildBackColour(0xFFFFE0);
             Nth<PanelChildren>(0)->Hide();
             Nth<PanelChildren>(0)->Show();
         }},
        {"shown-again",
         [&] {
             image.ShowWindow();
             Nth<ProgressBar>(2)->SetValue(50);
             Nth<ProgressBar>(2)->ShowWindow();
         }},
    };
    Walk("set-", steps);
    EXPECT_EQ(fired, 0);
    // A cell counts as modified by a change of what it shows, not by the same value again.
    CellControl* cell = Nth<CellControl>(0);
    EXPECT_TRUE(cell->IsModified());
    cell->ClearModified();
    cell->SetText(cell->GetText());
    EXPECT_FALSE(cell->IsModified());
    EXPECT_TRUE(Nth<OptionBox>(0)->ClearOptions());
    EXPECT_EQ(Nth<OptionBox>(0)->GetOptionCount(), 0);
    // A caption is drawn in a column as narrow as one pixel.
    ButtonCustom* narrow = Nth<ButtonCustom>(2);
    narrow->SetSize(13, 30);
    Settle();
    const PackedPoint at = narrow->PositionInForm();
    const std::vector<uint32_t> captioned = rig::Pixels(d, Win(), PointX(at), PointY(at), 13, 30);
    narrow->SetText("");
    Settle();
    EXPECT_NE(rig::Pixels(d, Win(), PointX(at), PointY(at), 13, 30), captioned);
}

// Very wide ranges: a few ticks, the pointer and the share where they belong. Past the reach of
// X's 16-bit coordinates nothing wraps around into view, and however long the track, the ticks
// stay few.
TEST_F(ControlFixture, WideRangesAndHugeTracks) {
    Slider wide(form.get(), false, 0, 1000000);
    Slider tall(form.get(), true, INT_MIN, INT_MAX);
    ProgressBar bar(form.get(), INT_MIN, INT_MAX);
    // The last tick and the maximum's number stand at x 65,746, which 16 bits make 210.
    Slider far(form.get(), false, 0, 1);
    wide.SetValue(250000);
    tall.SetValue(INT_MAX - 1);
    bar.SetValue(0);
    tall.SetSize(40, 160);
    far.SetSize(65755, 36);
    wide.SetLocation(10, 10);
    wide.Show();
    tall.SetLocation(230, 10);
    tall.Show();
    bar.SetLocation(10, 100);
    bar.Show();
    far.SetLocation(10, 200);
    far.Show();
    EXPECT_EQ("", Golden("toolkit-wide-ranges", 0, 0, 300, 240));
    Click(91, 35);  // at the end of the track
    EXPECT_EQ(wide.GetValue(), 1000000);
    // A million values on 400,000 pixels: a tick every 8 would ask for 50,000 of them.
    Slider many(form.get(), false, 0, 1000000);
    many.SetSize(400000, 36);
    many.SetLocation(10, 250);
    const unsigned long before = XNextRequest(screen->GetDisplay());
    many.Show();
    EXPECT_LT(XNextRequest(screen->GetDisplay()) - before, 20000UL);
}

}  // namespace
