// MyImage and ImageFrame on a real form: what they paint, how they hide and
// move, and that their form repaints them when its window is uncovered.
#include <gtest/gtest.h>

#include <vector>

#include "ControlFixture.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageFormat.h"
#include "graphics/ImageFrame.h"
#include "graphics/MyImage.h"

using namespace lumetra;
using testing_controls::ControlFixture;
using testing_controls::kFormBack;

namespace {

constexpr uint32_t kBack = static_cast<uint32_t>(kFormBack);
constexpr uint32_t kJunk = 0xC0FFEE;

class ImageControls : public ControlFixture {
protected:
    std::vector<uint32_t> Block(int x, int y, int w, int h) {
        XSync(screen->GetDisplay(), False);
        return rig::Pixels(d, Win(), x, y, w, h);
    }
    // Paints over an area behind the controls' backs.
    void Scribble(int x, int y, int w, int h) {
        GraphicsContext gc(form.get());
        gc.FillRectangle(x, y, w + 1, h + 1, 0, 0, static_cast<Colour>(kJunk));
    }
    // A picture whose every pixel tells where it is: red = x, green = y.
    XImagePtr Sheet(int w, int h) {
        std::vector<uint8_t> rgb;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) rgb.insert(rgb.end(), {uint8_t(x), uint8_t(y), 0x55});
        return XImagePtr(CreateImageFromRgb(form.get(), rgb, w, h));
    }
    static std::vector<uint32_t> SheetPart(int sx, int sy, int w, int h) {
        std::vector<uint32_t> out;
        for (int y = sy; y < sy + h; ++y)
            for (int x = sx; x < sx + w; ++x) out.push_back(static_cast<uint32_t>(x << 16 | y << 8 | 0x55));
        return out;
    }
    // The server blanks the area and the form gets an Expose, as when a
    // window that covered it goes away.
    void ExposeArea(int x, int y, int w, int h) {
        XClearArea(d, Win(), x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), True);
        rig::Sync(d);
    }
    // Another window over the form, then gone again.
    void CoverAndUncover(int x, int y, int w, int h) {
        int rx = 0, ry = 0;
        rig::RootOrigin(d, Win(), &rx, &ry);
        XSetWindowAttributes a{};
        a.override_redirect = True;
        a.background_pixel = 0x000000;
        const Window cover =
            XCreateWindow(d, DefaultRootWindow(d), rx + x, ry + y, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
                          CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
        XMapRaised(d, cover);
        rig::Sync(d);
        XDestroyWindow(d, cover);
        rig::Sync(d);
    }
};

TEST_F(ImageControls, AnImageIsPutAtTheControlsSizeWithAnOptionalSunkenFrame) {
    XImagePtr sheet = Sheet(60, 40);
    ASSERT_TRUE(sheet);
    MyImage image(form.get(), sheet.get());
    EXPECT_EQ(image.GetKind(), "image");
    EXPECT_TRUE(image.IsAutoRepaint());
    image.SetPosition(20, 30);
    image.SetSize(30, 20);
    image.Show();
    EXPECT_EQ(Block(20, 30, 30, 20), SheetPart(0, 0, 30, 20));
    EXPECT_EQ(Block(50, 30, 1, 20), std::vector<uint32_t>(20, kBack));

    image.SetBorder(true);
    // Top and left black, right and bottom white, over the picture's edge pixels.
    EXPECT_EQ(Block(21, 30, 28, 1), std::vector<uint32_t>(28, 0x000000));
    EXPECT_EQ(Block(20, 30, 1, 19), std::vector<uint32_t>(19, 0x000000));
    EXPECT_EQ(Block(49, 30, 1, 20), std::vector<uint32_t>(20, 0xFFFFFF));
    EXPECT_EQ(Block(20, 49, 30, 1), std::vector<uint32_t>(30, 0xFFFFFF));
    EXPECT_EQ(Block(21, 31, 28, 18), SheetPart(1, 1, 28, 18));
}

TEST_F(ImageControls, WithoutAnImageTheBackgroundBehindIsShown) {
    MyImage image(form.get(), nullptr);
    image.SetPosition(20, 30);
    image.SetSize(30, 20);
    Scribble(20, 30, 30, 20);
    image.Show();
    // The fill stops one pixel short, as every fill does.
    EXPECT_EQ(Block(20, 30, 29, 19), std::vector<uint32_t>(29 * 19, kBack));
    // A form without a colour of its own gives the default grey.
    form->backColor = NoColour;
    image.Paint();
    EXPECT_EQ(Block(20, 30, 29, 19), std::vector<uint32_t>(29 * 19, 0xAAAAAA));
    form->backColor = kFormBack;
}

TEST_F(ImageControls, SettingTheImageRepaintsEnablingDoesNot) {
    XImagePtr sheet = Sheet(60, 40);
    MyImage image(form.get(), nullptr);
    image.SetPosition(20, 30);
    image.SetSize(30, 20);
    image.SetImage(sheet.get());  // not created: stored only
    EXPECT_EQ(Block(20, 30, 30, 20), std::vector<uint32_t>(600, kBack));
    image.Show();
    Scribble(20, 30, 30, 20);
    image.Enable(false);
    EXPECT_EQ(Block(20, 30, 30, 20), std::vector<uint32_t>(600, kJunk));
    EXPECT_FALSE(image.IsEnabled());
    image.SetImage(sheet.get());
    EXPECT_EQ(Block(20, 30, 30, 20), SheetPart(0, 0, 30, 20));
}

TEST_F(ImageControls, HidingPaintsTheWholeAreaOverAndMovingShowsItElsewhere) {
    XImagePtr sheet = Sheet(60, 40);
    MyImage image(form.get(), sheet.get());
    image.SetPosition(20, 30);
    image.SetSize(30, 20);
    image.Show();
    image.Hide();
    EXPECT_FALSE(image.IsCreated());
    EXPECT_EQ(Block(20, 30, 30, 20), std::vector<uint32_t>(600, kBack));
    image.Show();
    const uint32_t id = image.GetId();
    image.SetPosition(100, 30);
    EXPECT_EQ(image.GetId(), id);
    EXPECT_EQ(Block(20, 30, 30, 20), std::vector<uint32_t>(600, kBack));
    EXPECT_EQ(Block(100, 30, 30, 20), SheetPart(0, 0, 30, 20));
    image.SetSize(10, 10);
    EXPECT_EQ(Block(110, 30, 20, 20), std::vector<uint32_t>(400, kBack));
    EXPECT_EQ(Block(100, 30, 10, 10), SheetPart(0, 0, 10, 10));
}

TEST_F(ImageControls, NothingIsPaintedWhileAFormIsLoading) {
    XImagePtr sheet = Sheet(60, 40);
    MyImage image(form.get(), sheet.get());
    image.SetPosition(20, 30);
    image.SetSize(30, 20);
    Application::formLoading = true;
    image.Show();
    Application::formLoading = false;
    EXPECT_EQ(Block(20, 30, 30, 20), std::vector<uint32_t>(600, kBack));
    EXPECT_TRUE(image.IsCreated());
}

TEST_F(ImageControls, TheFormRepaintsItsPicturesWhenUncovered) {
    XImagePtr sheet = Sheet(160, 80);
    MyImage image(form.get(), sheet.get());
    image.SetPosition(20, 30);
    image.SetSize(30, 20);
    image.SetBorder(true);
    image.Show();
    ImageFrame frame(form.get(), sheet.get(), 1, 1);
    frame.SetPosition(100, 30);
    frame.SetSize(40, 40);
    frame.Show();
    frame.Paint();
    const std::vector<uint32_t> imagePixels = Block(20, 30, 30, 20);
    const std::vector<uint32_t> framePixels = Block(100, 30, 40, 40);
    EXPECT_EQ(framePixels, SheetPart(40, 40, 40, 40));

    ExposeArea(0, 0, 200, 100);
    EXPECT_TRUE(rig::PumpUntil(
        form.get(), [&] { return Block(20, 30, 30, 20) == imagePixels; }, 3000));
    EXPECT_TRUE(rig::PumpUntil(
        form.get(), [&] { return Block(100, 30, 40, 40) == framePixels; }, 3000));

    CoverAndUncover(10, 20, 150, 60);
    EXPECT_TRUE(rig::PumpUntil(
        form.get(), [&] { return Block(20, 30, 30, 20) == imagePixels; }, 3000));
    EXPECT_TRUE(rig::PumpUntil(
        form.get(), [&] { return Block(100, 30, 40, 40) == framePixels; }, 3000));
}

TEST_F(ImageControls, AFrameShowsItsCellOfTheSheet) {
    XImagePtr sheet = Sheet(160, 80);
    ImageFrame frame(form.get(), sheet.get(), 3, 1);
    EXPECT_EQ(frame.GetKind(), "imageframe");
    EXPECT_TRUE(frame.IsAutoRepaint());
    frame.SetPosition(20, 30);
    frame.SetSize(40, 40);
    frame.Show();  // the base Show: created, but not painted
    EXPECT_EQ(Block(20, 30, 40, 40), std::vector<uint32_t>(1600, kBack));
    frame.Paint();
    EXPECT_EQ(Block(20, 30, 40, 40), SheetPart(120, 40, 40, 40));
    EXPECT_EQ(PointX(frame.GetFrame()), 3);
    EXPECT_EQ(PointY(frame.GetFrame()), 1);

    // The frame already shown is not painted again; another one is.
    Scribble(20, 30, 40, 40);
    frame.SetFrame(3, 1);
    EXPECT_EQ(Block(20, 30, 40, 40), std::vector<uint32_t>(1600, kJunk));
    frame.SetFrame(0, 0);
    EXPECT_EQ(Block(20, 30, 40, 40), SheetPart(0, 0, 40, 40));
    // With erase the area is painted over first, and the id stays.
    const uint32_t id = frame.GetId();
    frame.SetFrame(1, 0, true);
    EXPECT_EQ(Block(20, 30, 40, 40), SheetPart(40, 0, 40, 40));
    EXPECT_EQ(frame.GetId(), id);
    EXPECT_TRUE(frame.IsCreated());

    frame.Hide();
    EXPECT_EQ(Block(20, 30, 40, 40), std::vector<uint32_t>(1600, kBack));
    EXPECT_FALSE(frame.IsCreated());
    frame.SetFrame(2, 0);  // not created: stored only
    EXPECT_EQ(Block(20, 30, 40, 40), std::vector<uint32_t>(1600, kBack));
}

TEST_F(ImageControls, AFrameWithoutSheetOrOutsideItsSheetDrawsNothing) {
    ImageFrame empty(form.get(), nullptr, 0, 0);
    empty.SetPosition(20, 30);
    empty.SetSize(40, 40);
    Scribble(20, 30, 40, 40);
    empty.Show();
    empty.Paint();
    EXPECT_EQ(Block(20, 30, 40, 40), std::vector<uint32_t>(1600, kJunk));

    XImagePtr sheet = Sheet(160, 80);
    ImageFrame outside(form.get(), sheet.get(), 4, 2);
    outside.SetPosition(100, 30);
    outside.SetSize(40, 40);
    Scribble(100, 30, 40, 40);
    outside.Show();
    outside.Paint();
    outside.SetTransparent(true);
    outside.SetFrame(9, 9);
    // Opaque, nothing of the sheet is there to put; transparent, only the background.
    const std::vector<uint32_t> after = Block(100, 30, 40, 40);
    for (uint32_t p : after) EXPECT_TRUE(p == kJunk || p == kBack) << std::hex << p;
}

TEST_F(ImageControls, ATransparentFrameShowsTheBackgroundThroughItsBlack) {
    // 2 frames of 4 x 1: black, near black, red, black | green, black, black, blue.
    const std::vector<uint8_t> rgb = {0, 0, 0, 1, 1, 1, 255, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255};
    XImagePtr sheet(CreateImageFromRgb(form.get(), rgb, 8, 1));
    ASSERT_TRUE(sheet);
    ImageFrame frame(form.get(), sheet.get(), 0, 0);
    frame.SetTransparent(true);
    EXPECT_TRUE(frame.IsTransparent());
    frame.SetPosition(20, 30);
    frame.SetSize(4, 1);
    frame.Show();
    frame.Paint();
    EXPECT_EQ(Block(20, 30, 4, 1), (std::vector<uint32_t>{kBack, 0x010101, 0xFF0000, kBack}));
    // Flipping: no pixel of the previous frame stays behind a black one.
    frame.SetFrame(1, 0);
    EXPECT_EQ(Block(20, 30, 4, 1), (std::vector<uint32_t>{0x00FF00, kBack, kBack, 0x0000FF}));
}

}  // namespace
