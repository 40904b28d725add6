// labels: x11
// The drawing context, fonts and images on a real server: every operation drawn on a canvas
// against its golden image, and again with no window; the compiled-in pictures; a 16-bit display.
#include <cstdlib>
#include <numeric>

#include "rig/BmpFiles.h"
#include "rig/ControlFixture.h"
// After ControlFixture.h, which includes Xlib after gtest.
#include <X11/Xutil.h>

#include "lumetra/graphics/EmbeddedImage.h"
#include "lumetra/graphics/FontDescriptor.h"
#include "lumetra/graphics/GraphicsContext.h"
#include "lumetra/graphics/ImageFormat.h"
#include "lumetra/graphics/MyImage.h"
#include "lumetra/graphics/Pictures.h"
#include "rig/Process.h"

using namespace lumetra;
using rig::ControlFixture;
using rig::kFormBack;

namespace {

std::string Captured() { return testing::internal::GetCapturedStdout(); }

XImagePtr Image(Form* form, const std::vector<uint32_t>& colours, int w) {
    return XImagePtr(CreateImageFromRgb(form, rig::BmpRgb(24, colours), w,
                                        static_cast<int>(colours.size()) / w));
}

// Every shape and every kind of text placement, each once.
void Shapes(GraphicsContext& gc) {
    gc.DrawRectangle(10, 10, 20, 10, 1, 0xFF0000);                // exactly its size
    gc.FillRectangle(40, 10, 20, 10, 0, 0, 0x00FF00);             // one pixel short
    gc.FillRectangle(70, 10, 20, 10, 1, 0x0000FF, 0x00FF00);      // the border on the filled area
    gc.FillRectangle(100, 10, 20, 10, 5, 1, 0x0000FF, 0x00FF00);  // the extra argument ignored
    gc.DrawRectangle(130, 10, 40, 30, 5, 0xFF0000);  // a wide line, set back afterwards
    gc.DrawLine(180, 15, 220, 15, 1, 0x0000FF);
    gc.DrawLine(10, 50, 109, 50, 1, 1, 0xFF0000);  // dashed
    gc.DrawLine(10, 55, 109, 55, 2, 1,
                0xFF0000);                      // double dashed: the gaps in the background colour
    gc.DrawLine(10, 60, 109, 60, 1, 0xFF0000);  // solid again
    gc.DrawLine(120, 45, 120, 84, 1, 0x00FF00);
    const Point open[] = {{130, 50}, {170, 50}, {170, 90}};
    const Point triangle[] = {{180, 50}, {240, 50}, {180, 110}};
    gc.DrawLines(open, 3, 1, 0xFF0000);
    gc.FillPolygon(triangle, 3, 1, 0x0000FF, 0x00FF00);
    gc.DrawEllipse(250, 10, 60, 40, 1, 0xFF0000);
    gc.FillEllipse(320, 10, 60, 40, 1, 0x0000FF, 0x00FF00);
    gc.DrawEllipse(395, 10, 0, 40, 1, 0xFF0000);  // no width: a line
    gc.DrawPoint(5, 120, 0x0000FF);
    gc.DrawLine(10, 120, 40, 120, 1, NoColour);  // keeps the last colour
    gc.FillRectangle(50, 115, 10, 10, 0, 0, NoColour);
    // Text centred in its box over the background, aligned, wrapped at a
    // space, cut in a long word, blank lines dropped; nothing in a box of
    // nine rows or less; without a foreground the last colour set.
    gc.DrawText(250, 60, 120, 40, "HELLO", 0x202020, 0xFFFFFF, AlignLeft);
    gc.DrawText(250, 105, 120, 25, "HELLO", 0x202020, 0xFFFFFF, AlignRight);
    gc.DrawText(250, 135, 120, 25, "HELLO", 0x202020, 0xFFFFFF, AlignCenter);
    gc.DrawText(10, 140, 6 * 7, 50, "HHHHH HHHHH", 0x202020, 0xFFFFFF, AlignCenter);
    gc.DrawText(80, 140, 3 * 7, 70, std::string(10, 'M'), 0x202020, 0xFFFFFF, AlignLeft);
    gc.DrawText(130, 140, 100, 60, "A\n\n\nB", 0x202020, 0xFFFFFF, AlignLeft);
    gc.DrawText(10, 230, 180, 90,
                "The quick brown fox jumps over the lazy dog while the five boxing wizards jump.",
                0x202020, 0xFFFFFF, AlignLeft);
    gc.DrawText(250, 170, 120, 9, "HELLO", 0x202020, 0xFFFFFF, AlignLeft);
    gc.DrawPoint(0, 0, 0xFF0000);
    gc.DrawText(250, 190, 120, 30, "HELLO", NoColour, NoColour, AlignLeft);
    // Vanishes in its own fill.
    gc.DrawText(250, 230, 120, 30, "HELLO", NoColour, 0xFFFFFF, AlignLeft);
    // One character a line.
    gc.DrawText(400, 60, 1, 60, "ABC", 0x202020, NoColour, AlignLeft);
}

// Images put whole and in part, copied, put with a key colour, off the
// window's edges, and BMP files of each depth.
void Images(GraphicsContext& gc, Form* form, const std::string& dir) {
    XImagePtr image = Image(
        form, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x101010, 0x202020, 0x303030, 0x404040}, 4);
    XImagePtr keyed = Image(form, {0x000000, 0x010101, 0xFF0000, 0x000000}, 4);
    XImagePtr red = Image(form, std::vector<uint32_t>(100, 0xFF0000), 10);
    XImagePtr sheet = Image(form,
                            {0, 0, 0xFF0000, 0x00FF00, 0, 0, 0x0000FF, 0, 0, 0, 0x111111, 0x222222,
                             0, 0, 0x333333, 0x444444},
                            4);
    gc.PutImage(10, 10, 0, 0, image.get());  // 0: the image's own size
    gc.PutImage(20, 10, 2, 1, image.get(), 1, 1);
    gc.CopyArea(30, 10, 24, 12, gc.GetDrawable());
    gc.CopyArea(60, 10, 1, 2, gc.GetDrawable(), 10, 10);  // one column
    gc.CopyArea(60, 10, 1, 0, gc.GetDrawable(), 10, 10);  // no row: nothing, and nothing said
    gc.FillRectangle(10, 40, 200, 30, 0, 0, 0xFFFF00);
    // Only pure key pixels let the window through.
    gc.PutImageTransparent(10, 40, 4, 1, keyed.get(), 0);
    gc.PutImageTransparent(20, 40, 4, 1, keyed.get(), 0xFF0000);
    gc.PutImageTransparent(30, 40, 2, 2, sheet.get(), 2, 0, 0);
    gc.PutImageTransparent(40, 40, 4, 4, sheet.get(), 2, 2, 0);  // running off the image
    gc.PutImageTransparent(50, 40, 2, 2, sheet.get(), 8, 8, 0);
    gc.PutImageTransparent(50, 40, 2, 2, sheet.get(), -1, 0, 0);
    gc.PutImageTransparent(form->GetWidth() - 4, form->GetHeight() - 3, 10, 10, red.get(), 0);
    gc.PutImageTransparent(-6, -7, 10, 10, red.get(), 0);
    for (int bits : {24, 8, 4}) {
        const std::string file = dir + "/" + std::to_string(bits) + ".bmp";
        gc.DrawImageFile(10 + bits * 5, 80, 40, 40, bits, file);  // at most the file
        gc.DrawImageFile(10 + bits * 5, 100, 2, 2, bits, file);
    }
    gc.FillRectangle(150, 80, 20, 20, 0, 0, 0x00FF00);
    gc.DrawImageFileTransparent(150, 80, 5, 3, 24, dir + "/24.bmp");
}

using Drawing = ControlFixture;

TEST_F(Drawing, EveryOperationOnACanvasAndNothingWithoutAWindow) {
    rig::TempDir dir;
    const std::vector<uint32_t> pixels = {
        0xFF0000, 0x000000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x123456, 0x654321, 0x000000,
        0xABCDEF, 0xFEDCBA, 0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x777777};
    std::vector<uint32_t> indices(15);
    std::iota(indices.begin(), indices.end(), 0U);
    rig::WriteFile(dir / "24.bmp", rig::BmpFile(24, 5, 3, pixels));
    rig::WriteFile(dir / "8.bmp", rig::BmpFile(8, 5, 3, indices, pixels));
    rig::WriteFile(dir / "4.bmp", rig::BmpFile(4, 5, 3, indices, pixels));
    {
        Form unshown;  // never created: no window, nothing drawn or measured
        GraphicsContext none(&unshown);
        Shapes(none);
        Images(none, form.get(), dir.Path());
        EXPECT_EQ(none.TextHeight(100, "text"), 0);
        EXPECT_EQ(none.GetPixel(0, 0), 0U);
        EXPECT_EQ(none.GetImage(0, 0, 10, 10), nullptr);
    }
    // What the context without a window drew would show in the golden.
    GraphicsContext gc(form.get());
    Shapes(gc);
    EXPECT_EQ("", Golden("drawing-shapes"));
    gc.FillRectangle(0, 0, 441, 331, 0, 0, kFormBack);
    testing::internal::CaptureStdout();
    Images(gc, form.get(), dir.Path());
    EXPECT_EQ(Captured(), "");
    EXPECT_EQ(gc.GetPixel(12, 10), 0x0000FFUL);
    XImagePtr read(gc.GetImage(10, 10, 4, 2));
    ASSERT_TRUE(read);
    EXPECT_EQ(XGetPixel(read.get(), 3, 1), 0x404040UL);
    EXPECT_FALSE(XImagePtr(gc.GetImage(0, 0, 0, 5)));
    EXPECT_TRUE(XImagePtr(gc.GetImage(10, 10, 1, 1)));
    // Missing: silently; cut short, of no known depth, an X error: logged, nothing drawn.
    rig::WriteFile(dir / "bad.bmp", rig::BmpFile(24, 5, 3, pixels).substr(0, 60));
    testing::internal::CaptureStdout();
    gc.DrawImageFile(200, 80, 5, 3, 24, dir / "missing.bmp");
    gc.DrawImageFile(200, 80, 5, 3, 16, dir / "24.bmp");
    gc.DrawImageFileTransparent(200, 80, 5, 3, 24, dir / "bad.bmp");
    gc.CopyArea(200, 80, 4, 2, gc.GetDrawable(), 1000, 1000);
    EXPECT_EQ(gc.GetPixel(5000, 5000), 0UL);
    EXPECT_FALSE(XImagePtr(gc.GetImage(400, 300, 100, 100)));
    // A picture of one bit a pixel cannot be walked for its key colour.
    Display* own = screen->GetDisplay();
    XImagePtr bits(XCreateImage(own, DefaultVisual(own, 0), 1, XYBitmap, 0,
                                static_cast<char*>(std::calloc(4, 1)), 1, 1, 32, 0));
    gc.PutImageTransparent(200, 80, 1, 1, bits.get(), 0);
    EXPECT_EQ(rig::LinesOf(Captured()), 9);
    EXPECT_EQ("", Golden("drawing-images"));
    // Measures: a step per line, from the font's ascent. (The cell sizes they give show in
    // every text box's picture.)
    auto* font = static_cast<XFontStruct*>(ApplicationFont().GetFontStruct(screen->GetDisplay()));
    const int step = std::max(font->ascent + 1, 15);  // lines broken as the shapes golden shows
    EXPECT_EQ(gc.TextHeight(3 * gc.CharWidth(), "MMMMMMMMMM"), 4 * step);
    EXPECT_EQ(gc.TextHeight(1, "ABC"), 3 * step);
}

TEST_F(Drawing, TheImageLayoutFontsAndTheCompiledInPictures) {
    ResetImageLayout();
    testing::internal::CaptureStdout();
    ProbeImageFormat(form.get());
    ProbeImageFormat(form.get());  // once learnt, not probed again
    EXPECT_EQ(Captured(), "");
    // The layout learnt is the one the pictures golden shows; the probe leaves no pixel behind.
    EXPECT_EQ(rig::PixelAt(d, Win(), 0, 0), static_cast<uint32_t>(kFormBack));
    // A short buffer or a bad size is said once each; nothing asked for, nothing.
    testing::internal::CaptureStdout();
    const std::tuple<const char*, int, int, int> requests[] = {
        {"a buffer short of the size", 3, 2, 1},
        {"no width", 3, 0, 1},
        {"a negative height", 3, 1, -1},
        {"an empty buffer", 0, 3, 1},
    };
    const std::vector<uint8_t> rgb = {1, 2, 3};
    for (const auto& [name, bytes, w, h] : requests) {
        const std::vector<uint8_t> some(rgb.begin(), rgb.begin() + bytes);
        EXPECT_FALSE(XImagePtr(CreateImageFromRgb(form.get(), some, w, h))) << name;
    }
    EXPECT_EQ(rig::LinesOf(Captured()), 3);
    // Fonts load once, copies take the settings but not the font (AddressSanitizer
    // sees a double free), a missing one falls back to "fixed" and says so once.
    Display* tk = screen->GetDisplay();
    FontDescriptor a("misc-fixed", 13);
    FontDescriptor missing("no-such-foundry-no-such-family", 14);
    FontDescriptor c;
    auto* first = static_cast<XFontStruct*>(a.GetFontStruct(tk));
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(a.GetFontStruct(tk), first);
    ASSERT_NE(c.GetFontStruct(tk), nullptr);
    FontDescriptor b(a);
    c = a;
    form->SetFont(c);
    testing::internal::CaptureStdout();
    EXPECT_EQ(b.Size(), 13);
    EXPECT_EQ(c.Family(), "misc-fixed");
    EXPECT_EQ(a.Size(), first->ascent);
    EXPECT_NE(b.GetFontStruct(tk), first);
    EXPECT_NE(missing.GetFontStruct(tk), nullptr);
    // The fallback's size.
    EXPECT_EQ(missing.Size(), static_cast<XFontStruct*>(missing.GetFontStruct(tk))->ascent);
    EXPECT_EQ(Captured(), "XLoadQueryFont failed\n");
    FontDescriptor styled;
    EXPECT_EQ(styled.BuildFontName(), "-*-*-Medium-R-Normal--14-*");
    styled.SetFamily("adobe-helvetica");
    styled.SetBold(true);
    styled.SetItalic(true);
    EXPECT_EQ(styled.BuildFontName(), "-adobe-helvetica-Bold-R-Italic--14-*");
    // The pictures, as the user sees them on the default grey; the option boxes are see-through.
    GraphicsContext gc(form.get());
    gc.FillRectangle(0, 0, 441, 331, 0, 0, DefaultBackColour);
    auto put = [&](const EmbeddedPicture& p, int x, int y, bool seeThrough) {
        XImagePtr img(
            CreateImageFromRgb(form.get(), DecodeEmbeddedImage(p.w, p.h, p.img), p.w, p.h));
        if (seeThrough)
            gc.PutImageTransparent(x, y, p.w, p.h, img.get(), 0);
        else
            gc.PutImage(x, y, p.w, p.h, img.get());
    };
    put(TitlePicture(), 10, 10, false);
    put(AboutLogoPicture(), 220, 10, false);
    for (int n = 1; n <= 4; ++n) {
        put(CheckBoxPicture(n), 10 + 30 * (n - 1), 70, false);
        put(OptionBoxPicture(n), 10 + 30 * (n - 1), 100, true);
    }
    EXPECT_EQ("", Golden("pictures", 0, 0, 393, 130));
    if (std::getenv("LUMETRA_UPDATE_DOCS") != nullptr) {
        EXPECT_TRUE(rig::SaveWindowPng(d, Win(),
                                       std::string(LUMETRA_SOURCE_DIR) + "/docs/pictures.png", 4));
    }
}

// A 16-bit display, which the program must survive with its warning: no
// picture can be built in its layout, so it is left out with one log line.
TEST(SixteenBitDisplay, AFormWithPicturesOpensWithoutThem) {
    rig::XServer server(rig::ServerOptions{16, false, 640, 480});
    ASSERT_TRUE(server.Ok());
    const std::string old = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    server.MakeDefault();
    ResetImageLayout();
    testing::internal::CaptureStdout();
    {
        lumetra::Screen screen;
        Form form;
        form.SetScreen(&screen);
        form.SetSize(300, 200);
        form.Create();
        rig::PumpUntil(&form, [&] { return rig::IsMapped(server.Connection(), form.GetWindow()); });
        const EmbeddedPicture& title = TitlePicture();
        XImagePtr picture(CreateImageFromRgb(
            &form, DecodeEmbeddedImage(title.w, title.h, title.img), title.w, title.h));
        MyImage image(&form, picture.get());
        image.SetSize(200, 50);
        image.Show();
        XSync(screen.GetDisplay(), False);
        // Nothing but the background.
        const uint32_t back = rig::PixelAt(server.Connection(), form.GetWindow(), 299, 199);
        EXPECT_EQ(rig::CountColour(server.Connection(), form.GetWindow(), 0, 0, 300, 200, back),
                  300 * 200);
    }
    EXPECT_EQ(
        Captured(),
        "This app requires 24-bit depth.\nWARNING img->depth: 16\nWARNING img->bits_per_pixel: 16\n"
        "WARNING MyImage::ixRosso: 2\nWARNING MyImage::ixVerde: 1\nWARNING MyImage::ixBlu: 0\n"
        "CreateImageFromRgb: the display's image layout cannot hold pictures\n");
    setenv("DISPLAY", old.c_str(), 1);
    ResetImageLayout();
}

}  // namespace
