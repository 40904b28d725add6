// labels: x11
// The drawing context, fonts, images and the image controls on a real
// server: every operation drawn on one canvas and compared with its golden
// image; the image controls walked through their setters; the compiled-in
// pictures as the user sees them; a 16-bit display survived.
#include "BmpFiles.h"
#include "ControlFixture.h"
#include "graphics/EmbeddedImage.h"
#include "graphics/FontDescriptor.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageFormat.h"
#include "graphics/ImageFrame.h"
#include "graphics/MyImage.h"
#include "graphics/Pictures.h"
#include "rig/Process.h"
#include "util/Paths.h"

using namespace lumetra;

namespace {

constexpr Colour kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kInk = 0x202020, kWhite = 0xFFFFFF;

int LinesOf(const std::string& log) { return static_cast<int>(std::count(log.begin(), log.end(), '\n')); }

// A picture whose every pixel tells where it is: red = x, green = y.
XImagePtr Sheet(Form* form, int w, int h) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) rgb.insert(rgb.end(), {uint8_t(x * 3), uint8_t(y * 3), 0x55});
    return XImagePtr(CreateImageFromRgb(form, rgb, w, h));
}

XImagePtr FromColours(Form* form, const std::vector<uint32_t>& colours, int w) {
    return XImagePtr(CreateImageFromRgb(form, bmp::Rgb(24, colours), w, static_cast<int>(colours.size()) / w));
}

using Drawing = ControlFixture;

TEST_F(Drawing, ShapesAndTextOnOneCanvas) {
    GraphicsContext gc(form.get());
    ASSERT_TRUE(gc.IsUsable());
    gc.DrawRectangle(10, 10, 20, 10, 1, kRed);  // exactly its size
    gc.FillRectangle(40, 10, 20, 10, 0, 0, kGreen);  // one pixel short
    gc.FillRectangle(70, 10, 20, 10, 1, kBlue, kGreen);  // the border on the filled area
    gc.FillRectangle(100, 10, 20, 10, 5, 1, kBlue, kGreen);  // the extra argument is ignored
    gc.DrawRectangle(130, 10, 40, 30, 5, kRed);  // a wide line, set back afterwards
    gc.DrawLine(180, 15, 220, 15, 1, kBlue);
    gc.DrawLine(10, 50, 109, 50, 1, 1, kRed);  // dashed
    gc.DrawLine(10, 55, 109, 55, 2, 1, kRed);  // double dashed: the gaps in the background colour
    gc.DrawLine(10, 60, 109, 60, 1, kRed);     // solid again
    gc.DrawLine(120, 45, 120, 84, 1, kGreen);
    XPoint open[] = {{130, 50}, {170, 50}, {170, 90}}, triangle[] = {{180, 50}, {240, 50}, {180, 110}};
    gc.DrawLines(open, 3, 1, kRed);
    gc.FillPolygon(triangle, 3, 1, kBlue, kGreen);
    gc.DrawEllipse(250, 10, 60, 40, 1, kRed);
    gc.FillEllipse(320, 10, 60, 40, 1, kBlue, kGreen);
    gc.DrawPoint(5, 120, kBlue);
    gc.DrawLine(10, 120, 40, 120, 1, NoColour);  // keeps the last colour
    gc.FillRectangle(50, 115, 10, 10, 0, 0, NoColour);
    // Text: centred in its box over the background, aligned, wrapped at a
    // space, cut inside a long word, blank lines dropped; nothing in a box of
    // nine rows or less; without a foreground the last colour set.
    gc.DrawText(250, 60, 120, 40, "HELLO", kInk, kWhite, AlignLeft);
    gc.DrawText(250, 105, 120, 25, "HELLO", kInk, kWhite, AlignRight);
    gc.DrawText(250, 135, 120, 25, "HELLO", kInk, kWhite, AlignCenter);
    gc.DrawText(10, 140, 6 * gc.CharWidth(), 50, "HHHHH HHHHH", kInk, kWhite, AlignCenter);
    gc.DrawText(80, 140, 3 * gc.CharWidth(), 70, std::string(10, 'M'), kInk, kWhite, AlignLeft);
    gc.DrawText(130, 140, 100, 60, "A\n\n\nB", kInk, kWhite, AlignLeft);
    gc.DrawText(10, 230, 180, 90, "The quick brown fox jumps over the lazy dog while the five boxing wizards jump quickly.", kInk,
                kWhite, AlignLeft);
    gc.DrawText(250, 170, 120, 9, "HELLO", kInk, kWhite, AlignLeft);
    gc.DrawPoint(0, 0, kRed);
    gc.DrawText(250, 190, 120, 30, "HELLO", NoColour, NoColour, AlignLeft);
    gc.DrawText(250, 230, 120, 30, "HELLO", NoColour, kWhite, AlignLeft);  // vanishes in its own fill
    gc.DrawText(400, 60, 1, 60, "ABC", kInk, NoColour, AlignLeft);  // one character a line
    EXPECT_EQ("", Golden("drawing-shapes"));
    // Measures: one step per line; the font's ascent and its M.
    XFontStruct* font = ApplicationFont().GetFontStruct(screen->GetDisplay());
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(gc.LineHeight(), font->ascent + 1);
    EXPECT_EQ(gc.CharWidth(), XTextWidth(font, "M", 1));
    const int step = std::max(font->ascent + 1, 15), cw = gc.CharWidth();
    const std::pair<int, int> heights[] = {{gc.TextHeight(6 * cw, "HHHHH HHHHH"), 2}, {gc.TextHeight(3 * cw, "MMMMMMMMMM"), 4},
                                           {gc.TextHeight(200, "A\n\n\nB"), 2}, {gc.TextHeight(1, "ABC"), 3},
                                           {gc.TextHeight(2, "A B\nC"), 3}, {gc.TextHeight(0, "A long line\nB"), 2}};
    for (const auto& [height, lines] : heights) EXPECT_EQ(height, lines * step);
}

TEST_F(Drawing, ImagesPutCopiedReadAndDrawnFromFiles) {
    GraphicsContext gc(form.get());
    XImagePtr image = FromColours(form.get(), {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x101010, 0x202020, 0x303030, 0x404040}, 4);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytes_per_line, 16);
    gc.PutImage(10, 10, 0, 0, image.get());  // 0: the image's own size
    gc.PutImage(20, 10, 2, 1, image.get(), 1, 1);
    // Another drawable: a pixmap in two colours, whole, in part, and a part it does not have.
    Display* tk = screen->GetDisplay();
    const Pixmap pixmap = XCreatePixmap(tk, Win(), 8, 8, static_cast<unsigned>(screen->GetDepth()));
    GC pgc = XCreateGC(tk, pixmap, 0, nullptr);
    XSetForeground(tk, pgc, 0x00FF00);
    XFillRectangle(tk, pixmap, pgc, 0, 0, 8, 8);
    XSetForeground(tk, pgc, 0xFF0000);
    XFillRectangle(tk, pixmap, pgc, 4, 4, 4, 4);
    gc.CopyArea(30, 10, 8, 8, pixmap);
    gc.CopyArea(40, 10, 4, 4, pixmap, 4, 4);
    gc.CopyArea(50, 10, 20, 20, pixmap, 4, 4);
    XFreeGC(tk, pgc);
    XFreePixmap(tk, pixmap);
    EXPECT_EQ(gc.GetPixel(37, 17), 0xFF0000UL);
    EXPECT_EQ(gc.GetPixel(5000, 5000), 0UL);
    XImagePtr read(gc.GetImage(30, 10, 8, 8));
    ASSERT_TRUE(read);
    EXPECT_EQ(XGetPixel(read.get(), 7, 7), 0xFF0000UL);
    EXPECT_FALSE(XImagePtr(gc.GetImage(400, 300, 100, 100)) || XImagePtr(gc.GetImage(0, 0, 0, 5)));
    // Transparent: only pure key pixels let the window through; parts of a
    // sheet; rectangles off the image or off the window.
    gc.FillRectangle(10, 40, 200, 30, 0, 0, 0xFFFF00);
    XImagePtr keyed = FromColours(form.get(), {0x000000, 0x010101, 0xFF0000, 0x000000}, 4);
    gc.PutImageTransparent(10, 40, 4, 1, keyed.get(), 0);
    gc.PutImageTransparent(20, 40, 4, 1, keyed.get(), 0xFF0000);
    XImagePtr sheet = FromColours(form.get(), {0, 0, 0xFF0000, 0x00FF00, 0, 0, 0x0000FF, 0, 0, 0, 0x111111, 0x222222, 0, 0, 0x333333, 0x444444}, 4);
    gc.PutImageTransparent(30, 40, 2, 2, sheet.get(), 2, 0, 0);
    gc.PutImageTransparent(40, 40, 4, 4, sheet.get(), 2, 2, 0);
    gc.PutImageTransparent(50, 40, 2, 2, sheet.get(), 8, 8, 0);
    gc.PutImageTransparent(50, 40, 2, 2, sheet.get(), -1, 0, 0);
    XImagePtr red = FromColours(form.get(), std::vector<uint32_t>(100, 0xFF0000), 10);
    testing::internal::CaptureStdout();
    gc.PutImageTransparent(form->GetWidth() - 4, form->GetHeight() - 3, 10, 10, red.get(), 0);
    gc.PutImageTransparent(-6, -7, 10, 10, red.get(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    // BMP files of each depth, drawn at most as large as the file, in part, and transparent.
    rig::TempDir dir;
    const std::vector<uint32_t> pixels = {0xFF0000, 0x000000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x123456, 0x654321, 0x000000,
                                          0xABCDEF, 0xFEDCBA, 0x111111, 0x222222, 0x333333, 0x444444, 0x555555};
    std::vector<uint32_t> indices(15), palette = pixels;
    for (uint32_t i = 0; i < 15; ++i) indices[i] = i;
    palette.push_back(0x777777);
    rig::WriteFile(dir / "24.bmp", bmp::File(24, 5, 3, pixels));
    rig::WriteFile(dir / "8.bmp", bmp::File(8, 5, 3, indices, pixels));
    rig::WriteFile(dir / "4.bmp", bmp::File(4, 5, 3, indices, palette));
    for (int bits : {24, 8, 4}) {
        gc.DrawImageFile(10 + bits * 5, 80, 40, 40, bits, dir / (std::to_string(bits) + ".bmp"));
        gc.DrawImageFile(10 + bits * 5, 100, 2, 2, bits, dir / (std::to_string(bits) + ".bmp"));
    }
    gc.FillRectangle(150, 80, 20, 20, 0, 0, 0x00FF00);
    gc.DrawImageFileTransparent(150, 80, 5, 3, 24, dir / "24.bmp");
    EXPECT_TRUE(FileExists(dir / "4.bmp.c"));
    // Missing silently; unreadable, malformed or of no known depth: one line each, nothing drawn.
    std::string broken = bmp::File(24, 5, 3, pixels);
    rig::WriteFile(dir / "bad.bmp", broken.substr(0, 60));
    testing::internal::CaptureStdout();
    gc.DrawImageFile(200, 80, 5, 3, 24, dir / "missing.bmp");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    testing::internal::CaptureStdout();
    gc.DrawImageFile(200, 80, 5, 3, 24, dir / "bad.bmp");
    gc.DrawImageFile(200, 80, 5, 3, 24, dir.Path());
    gc.DrawImageFile(200, 80, 5, 3, 16, dir / "24.bmp");
    gc.DrawImageFileTransparent(200, 80, 5, 3, 24, dir / "bad.bmp");
    EXPECT_EQ(LinesOf(testing::internal::GetCapturedStdout()), 4);
    EXPECT_EQ("", Golden("drawing-images"));
}

TEST_F(Drawing, TheLayoutProbeImageBytesAndAContextWithoutWindow) {
    ResetImageLayout();
    testing::internal::CaptureStdout();
    ProbeImageFormat(form.get());
    ProbeImageFormat(form.get());  // once learnt, not probed again
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    const ImageLayout& l = CurrentImageLayout();
    EXPECT_TRUE(l.coloursFound && ImageLayoutUsable());
    EXPECT_EQ(std::vector<int>({l.ixRosso, l.ixVerde, l.ixBlu, l.probeBytes[0], l.probeBytes[1], l.probeBytes[2]}),
              std::vector<int>({2, 1, 0, 0x76, 0x3B, 0xCF}));
    XImage* own = XGetImage(d, Win(), 0, 0, 1, 1, AllPlanes, ZPixmap);  // what the server gives the test's connection
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(std::vector<int>({l.depth, l.bitsPerPixel, l.bitmapPad, l.format, l.xoffset, l.bitmapBitOrder}),
              std::vector<int>({own->depth, own->bits_per_pixel, own->bitmap_pad, own->format, own->xoffset, own->bitmap_bit_order}));
    XDestroyImage(own);
    EXPECT_EQ(rig::PixelAt(d, Win(), 0, 0), static_cast<uint32_t>(kFormBack));  // no probe pixel left behind
    // A 3 x 1 picture: a 12-byte row with red at 2, 6 and 10; too few pixels or none: no image.
    XImagePtr small(CreateImageFromRgb(form.get(), {1, 2, 3, 4, 5, 6, 7, 8, 9}, 3, 1));
    ASSERT_TRUE(small);
    EXPECT_EQ(std::vector<uint8_t>(small->data, small->data + 12), (std::vector<uint8_t>{3, 2, 1, 0, 6, 5, 4, 0, 9, 8, 7, 0}));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(XImagePtr(CreateImageFromRgb(form.get(), {}, 3, 1)));  // nothing asked for: nothing said
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    testing::internal::CaptureStdout();
    for (const auto& [w, h] : {std::pair{2, 1}, {0, 1}, {1, -1}}) EXPECT_FALSE(XImagePtr(CreateImageFromRgb(form.get(), {1, 2, 3}, w, h)));
    EXPECT_EQ(LinesOf(testing::internal::GetCapturedStdout()), 3);
    DestroyImage(nullptr);
    // A form never created has no window: nothing is drawn, nothing measured.
    Form unshown;
    GraphicsContext gc(&unshown);
    EXPECT_FALSE(gc.IsUsable());
    XPoint points[] = {{0, 0}, {10, 10}};
    gc.DrawPoint(1, 1, kRed);
    gc.DrawLines(points, 2, 1, kRed);
    gc.FillPolygon(points, 2, 1, kRed, kRed);
    gc.DrawRectangle(0, 0, 10, 10, 3, kRed);
    gc.FillRectangle(0, 0, 10, 10, 1, kRed, kRed);
    gc.DrawEllipse(0, 0, 10, 10, 1, kRed);
    gc.FillEllipse(0, 0, 10, 10, 1, kRed, kRed);
    gc.DrawLine(0, 0, 10, 10, 1, 1, kRed);
    gc.DrawText(0, 0, 100, 100, "text", kRed, kRed, AlignLeft);
    gc.PutImage(0, 0, 10, 10, small.get());
    gc.CopyArea(0, 0, 10, 10, Win());
    gc.PutImageTransparent(0, 0, 10, 10, small.get(), 0);
    gc.DrawImageFile(0, 0, 10, 10, 24, "no such file.bmp");
    EXPECT_TRUE(gc.TextHeight(100, "text") == 0 && gc.GetPixel(0, 0) == 0 && gc.GetImage(0, 0, 10, 10) == nullptr);
    EXPECT_EQ(rig::CountColour(d, Win(), 0, 0, 40, 40, kFormBack), 1600);
}

TEST_F(Drawing, FontsLoadOnceCopySettingsAndFallBack) {
    Display* tk = screen->GetDisplay();
    FontDescriptor a("misc-fixed", 13), missing("no-such-foundry-no-such-family", 14);
    XFontStruct* first = a.GetFontStruct(tk);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(a.GetFontStruct(tk), first);
    EXPECT_EQ(a.Size(), first->ascent);  // loaded: measured by its ascent
    FontDescriptor b(a), c;
    ASSERT_NE(c.GetFontStruct(tk), nullptr);
    c = a;
    EXPECT_EQ(b.Family() + std::to_string(b.Size()) + std::to_string(c.Size()), "misc-fixed1313");  // settings, not the font
    EXPECT_NE(b.GetFontStruct(tk), first);
    form->SetFont(a);
    EXPECT_EQ(form->GetFont().Family(), "misc-fixed");
    testing::internal::CaptureStdout();
    EXPECT_NE(missing.GetFontStruct(tk), nullptr);
    missing.GetFontStruct(tk);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "XLoadQueryFont failed\n");
}

TEST_F(Drawing, ImageControlsRepaintWhatTheirSettersChange) {
    XImagePtr sheet = Sheet(form.get(), 160, 80);
    XImagePtr flip = FromColours(form.get(), {0, 0x010101, 0xFF0000, 0, 0x00FF00, 0, 0, 0x0000FF}, 8);  // two 4 x 1 frames
    MyImage image(form.get(), nullptr), empty(form.get(), nullptr);
    ImageFrame frame(form.get(), sheet.get(), 3, 1), keyed(form.get(), flip.get(), 0, 0), outside(form.get(), sheet.get(), 4, 2);
    image.SetPosition(20, 30);
    image.SetSize(30, 20);
    image.SetImage(sheet.get());  // not created: stored only
    empty.SetPosition(20, 100);
    empty.SetSize(30, 20);
    frame.SetPosition(100, 30);
    frame.SetSize(40, 40);
    keyed.SetPosition(100, 100);
    keyed.SetSize(4, 1);
    keyed.SetTransparent(true);
    outside.SetPosition(200, 30);
    outside.SetSize(40, 40);
    Application::formLoading = true;  // nothing is painted while a form loads
    image.Show();
    Application::formLoading = false;
    EXPECT_EQ(rig::CountColour(d, Win(), 20, 30, 30, 20, kFormBack), 600);
    Walk("image-", {
        {"shown", [&] {
             image.Paint();
             empty.Show();
             for (ImageFrame* f : {&frame, &keyed, &outside}) f->Show(), f->Paint();
         }},
        {"border", [&] {
             image.SetBorder(true);
             frame.SetFrame(3, 1);  // the frame shown already: no repaint
             keyed.SetFrame(1, 0);  // no pixel of the previous frame stays behind a black one
         }},
        {"moved", [&] {
             image.SetPosition(60, 30);
             frame.SetFrame(0, 0);
         }},
        {"resized", [&] {
             image.SetSize(10, 10);
             frame.SetFrame(1, 0, true);
             image.Enable(false);  // not repainted
         }},
        {"hidden", [&] {
             image.Hide();
             frame.Hide();
             frame.SetFrame(2, 0);  // not created: stored only
             outside.SetFrame(9, 9);
         }},
    });
    EXPECT_FALSE(image.IsCreated() || frame.IsCreated());
    form->backColor = NoColour;  // the default grey behind a missing image
    empty.Paint();
    EXPECT_EQ(rig::CountColour(d, Win(), 20, 100, 29, 19, DefaultBackColour), 29 * 19);
}

TEST_F(Drawing, TheCompiledInPicturesAsTheUserSeesThem) {
    {
        GraphicsContext gc(form.get());
        gc.FillRectangle(0, 0, 441, 331, 0, 0, DefaultBackColour);
        int x = 10;
        std::vector<const EmbeddedPicture*> all = {&TitlePicture(), &AboutLogoPicture()};
        for (int n = 1; n <= 4; ++n) all.push_back(&CheckBoxPicture(n)), all.push_back(&OptionBoxPicture(n));
        for (size_t i = 0; i < all.size(); ++i) {
            const EmbeddedPicture& p = *all[i];
            XImagePtr img(CreateImageFromRgb(form.get(), DecodeEmbeddedImage(p.w, p.h, p.img), p.w, p.h));
            ASSERT_TRUE(img);
            const int y = i < 2 ? 10 : 70 + 30 * static_cast<int>(i % 2);
            gc.PutImage(i < 2 ? 10 + 210 * static_cast<int>(i) : x, y, p.w, p.h, img.get());
            if (i % 2 == 1 && i > 2) gc.PutImageTransparent(x, y + 30, p.w, p.h, img.get(), 0);  // option boxes are see-through
            if (i >= 2 && i % 2 == 1) x += 30;
        }
    }
    EXPECT_EQ("", Golden("pictures", 0, 0, 393, 160));
    if (std::getenv("LUMETRA_UPDATE_DOCS") != nullptr) {
        EXPECT_TRUE(rig::SaveWindowPng(d, Win(), std::string(LUMETRA_SOURCE_DIR) + "/docs/pictures.png", 4));
    }
}

// A 16-bit display, which the program must survive with its warning: no X
// image can be built in its layout, so pictures are left out (one log line
// each) and nothing is read or written past a buffer (AddressSanitizer).
TEST(SixteenBitDisplay, AFormWithPicturesOpensWithoutThem) {
    rig::XServer server(rig::ServerOptions{16, false, 640, 480});
    ASSERT_TRUE(server.Ok());
    const std::string old = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    server.MakeDefault();
    ResetImageLayout();
    testing::internal::CaptureStdout();
    {
        lumetra::Screen screen;
        EXPECT_EQ(screen.GetDepth() * 1000 + screen.GetWidth(), 16640);
        Form form;
        form.SetScreen(&screen);
        form.SetSize(300, 200);
        form.Create();
        ASSERT_TRUE(rig::PumpUntil(&form, [&] { return rig::IsMapped(server.Connection(), form.GetWindow()); }));
        const EmbeddedPicture& title = TitlePicture();
        XImagePtr picture(CreateImageFromRgb(&form, DecodeEmbeddedImage(title.w, title.h, title.img), title.w, title.h));
        EXPECT_FALSE(picture || ImageLayoutUsable());
        MyImage image(&form, picture.get());
        image.SetSize(200, 50);
        image.Show();
        GraphicsContext gc(&form);
        XImagePtr windowImage(gc.GetImage(0, 0, 40, 40));  // in the display's own layout: put, never walked
        ASSERT_TRUE(windowImage);
        gc.PutImageTransparent(100, 100, 40, 40, windowImage.get(), 0);
        ImageFrame frame(&form, windowImage.get(), 1, 1);
        frame.SetSize(20, 20);
        frame.SetTransparent(true);
        frame.Show();
        frame.Paint();
        rig::TempDir dir;
        rig::WriteFile(dir / "p.bmp", bmp::File(24, 5, 5, std::vector<uint32_t>(25, 0xFF0000)));
        gc.DrawImageFile(200, 100, 5, 5, 24, dir / "p.bmp");
        XClearArea(server.Connection(), form.GetWindow(), 0, 0, 0, 0, True);
        rig::Sync(server.Connection());
        rig::Pump(&form, 200);
        XSync(screen.GetDisplay(), False);
        const uint32_t back = rig::PixelAt(server.Connection(), form.GetWindow(), 299, 199);  // nothing but the background
        EXPECT_EQ(rig::CountColour(server.Connection(), form.GetWindow(), 0, 0, 300, 200, back), 300 * 200);
    }
    const std::string log = testing::internal::GetCapturedStdout();
    for (const char* line : {"This app requires 24-bit depth.", "WARNING img->depth: 16", "WARNING img->bits_per_pixel: 16",
                             "CreateImageFromRgb: the display's image layout cannot hold pictures",
                             "PutImageTransparent: the image's pixel layout cannot be walked"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    setenv("DISPLAY", old.c_str(), 1);
    ResetImageLayout();
}

}  // namespace
