// The image layer on a real 24-bit server: the layout probe, packed RGB to X
// images and back to the same screen pixels, the embedded-picture decoder,
// transparent drawing and BMP files drawn on a form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BmpFiles.h"
#include "ControlFixture.h"
#include "graphics/EmbeddedImage.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageFormat.h"
#include "rig/Process.h"
#include "util/Paths.h"

using namespace lumetra;
using testing_controls::ControlFixture;
using testing_controls::kFormBack;

namespace {

constexpr uint32_t kBack = static_cast<uint32_t>(kFormBack);

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t b = 0;
    for (size_t e; (e = text.find('\n', b)) != std::string::npos; b = e + 1) lines.push_back(text.substr(b, e - b));
    return lines;
}

std::vector<uint8_t> Rgb(const std::vector<uint32_t>& colours) {
    std::vector<uint8_t> rgb;
    for (uint32_t c : colours) rgb.insert(rgb.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    return rgb;
}

class Images : public ControlFixture {
protected:
    std::vector<uint32_t> Block(int x, int y, int w, int h) {
        XSync(screen->GetDisplay(), False);
        return rig::Pixels(d, Win(), x, y, w, h);
    }
    void Paint(int x, int y, int w, int h, Colour c) {
        GraphicsContext gc(form.get());
        gc.FillRectangle(x, y, w + 1, h + 1, 0, 0, c);
    }
};

TEST_F(Images, TheProbeFindsTheServersOwnLayoutQuietlyAndLeavesTheWindowAlone) {
    ResetImageLayout();
    testing::internal::CaptureStdout();
    ProbeImageFormat(form.get());
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(log, "");
    const ImageLayout& l = CurrentImageLayout();
    EXPECT_EQ(l.ixRosso, 2);
    EXPECT_EQ(l.ixVerde, 1);
    EXPECT_EQ(l.ixBlu, 0);
    EXPECT_TRUE(l.coloursFound);
    EXPECT_TRUE(ImageLayoutUsable());
    EXPECT_EQ(l.probeBytes[0], 0x76);
    EXPECT_EQ(l.probeBytes[1], 0x3B);
    EXPECT_EQ(l.probeBytes[2], 0xCF);

    // The same as the server gives the test's own connection.
    XImage* own = XGetImage(d, Win(), 0, 0, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(l.depth, own->depth);
    EXPECT_EQ(l.bitsPerPixel, own->bits_per_pixel);
    EXPECT_EQ(l.bitmapPad, own->bitmap_pad);
    EXPECT_EQ(l.format, own->format);
    EXPECT_EQ(l.xoffset, own->xoffset);
    EXPECT_EQ(l.bitmapBitOrder, own->bitmap_bit_order);
    XDestroyImage(own);

    // No probe pixel is left on the window.
    EXPECT_EQ(Block(0, 0, 1, 1)[0], kBack);
    // Once learnt, it is not probed again.
    testing::internal::CaptureStdout();
    ProbeImageFormat(form.get());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(Images, PackedRgbBecomesTheSameScreenPixels) {
    // 7 x 5, every pixel different.
    std::vector<uint32_t> colours;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) colours.push_back(static_cast<uint32_t>(x * 0x240000 + y * 0x003000 + (x + y) * 0x11));
    XImagePtr image(CreateImageFromRgb(form.get(), Rgb(colours), 7, 5));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 7);
    EXPECT_EQ(image->height, 5);
    EXPECT_EQ(image->bytes_per_line, 28);
    GraphicsContext gc(form.get());
    gc.PutImage(20, 20, 7, 5, image.get());
    EXPECT_EQ(Block(20, 20, 7, 5), colours);

    // A 3 x 1 picture: a 12-byte row with red at 2, 6 and 10.
    XImagePtr small(CreateImageFromRgb(form.get(), {1, 2, 3, 4, 5, 6, 7, 8, 9}, 3, 1));
    ASSERT_TRUE(small);
    EXPECT_EQ(small->bytes_per_line, 12);
    const auto* b = reinterpret_cast<const uint8_t*>(small->data);
    EXPECT_EQ(std::vector<uint8_t>(b, b + 12), (std::vector<uint8_t>{3, 2, 1, 0, 6, 5, 4, 0, 9, 8, 7, 0}));
}

TEST_F(Images, NoPixelsOrTooFewMakeNoImage) {
    ProbeImageFormat(form.get());
    testing::internal::CaptureStdout();
    EXPECT_EQ(CreateImageFromRgb(form.get(), {}, 3, 1), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // no picture asked for: nothing to say
    testing::internal::CaptureStdout();
    EXPECT_EQ(CreateImageFromRgb(form.get(), {1, 2, 3}, 2, 1), nullptr);
    EXPECT_EQ(CreateImageFromRgb(form.get(), {1, 2, 3}, 0, 1), nullptr);
    EXPECT_EQ(CreateImageFromRgb(form.get(), {1, 2, 3}, 1, -1), nullptr);
    EXPECT_EQ(Lines(testing::internal::GetCapturedStdout()).size(), 3U);
    DestroyImage(nullptr);
}

TEST_F(Images, TheDecoderReadsRowsBottomFirstHighNibbleLeftAndSkipsTheOddNibble) {
    // Palette entry i is (16 i, 255 - i, i).
    std::vector<unsigned char> img;
    for (int i = 0; i < 16; ++i) img.insert(img.end(), {uint8_t(16 * i), uint8_t(255 - i), uint8_t(i)});
    // Stored bottom row 1 2 3 (then F, unused), top row 4 5 6 (then E, unused).
    img.insert(img.end(), {0x12, 0x3F, 0x45, 0x6E});
    auto entry = [](int i) { return std::vector<uint8_t>{uint8_t(16 * i), uint8_t(255 - i), uint8_t(i)}; };
    std::vector<uint8_t> expected;
    for (int i : {4, 5, 6, 1, 2, 3}) {
        const std::vector<uint8_t> e = entry(i);
        expected.insert(expected.end(), e.begin(), e.end());
    }
    EXPECT_EQ(DecodeEmbeddedImage(3, 2, img.data()), expected);
    EXPECT_EQ(DecodeEmbeddedImage(3, 2, img.data(), img.size()), expected);
    EXPECT_EQ(EmbeddedImageSize(163, 50), 48U + 82U * 50U);

    // Data shorter than the size asks for, or sizes no picture has.
    testing::internal::CaptureStdout();
    EXPECT_TRUE(DecodeEmbeddedImage(3, 2, img.data(), img.size() - 1).empty());
    EXPECT_TRUE(DecodeEmbeddedImage(0, 2, img.data(), img.size()).empty());
    EXPECT_TRUE(DecodeEmbeddedImage(3, -2, img.data(), img.size()).empty());
    EXPECT_TRUE(DecodeEmbeddedImage(100000, 1, img.data(), img.size()).empty());
    EXPECT_TRUE(DecodeEmbeddedImage(3, 2, nullptr, 100).empty());
    EXPECT_EQ(Lines(testing::internal::GetCapturedStdout()).size(), 5U);
}

TEST_F(Images, TransparentDrawingShowsTheWindowThroughPureKeyPixelsOnlyAndKeepsTheImage) {
    const std::vector<uint32_t> colours = {0x000000, 0x010101, 0xFF0000, 0x000000};
    XImagePtr image(CreateImageFromRgb(form.get(), Rgb(colours), 4, 1));
    ASSERT_TRUE(image);
    Paint(10, 10, 10, 10, 0x00FF00);
    GraphicsContext gc(form.get());
    gc.PutImageTransparent(10, 10, 4, 1, image.get(), 0);
    EXPECT_EQ(Block(10, 10, 4, 1), (std::vector<uint32_t>{0x00FF00, 0x010101, 0xFF0000, 0x00FF00}));
    // The image is unchanged: on another background its black shows that one.
    Paint(30, 10, 10, 10, 0x0000FF);
    gc.PutImageTransparent(30, 10, 4, 1, image.get(), 0);
    EXPECT_EQ(Block(30, 10, 4, 1), (std::vector<uint32_t>{0x0000FF, 0x010101, 0xFF0000, 0x0000FF}));
    // Any key colour.
    Paint(50, 10, 10, 10, 0x00FF00);
    gc.PutImageTransparent(50, 10, 4, 1, image.get(), 0xFF0000);
    EXPECT_EQ(Block(50, 10, 4, 1), (std::vector<uint32_t>{0x000000, 0x010101, 0x00FF00, 0x000000}));
}

TEST_F(Images, TransparentDrawingOfAPartTakesTheSourceRectangle) {
    // 4 x 4: a black left half, a 2 x 2 grid of colours in the right half.
    const std::vector<uint32_t> colours = {0, 0, 0xFF0000, 0x00FF00, 0, 0, 0x0000FF, 0,
                                           0, 0, 0x111111, 0x222222, 0, 0, 0x333333, 0x444444};
    XImagePtr sheet(CreateImageFromRgb(form.get(), Rgb(colours), 4, 4));
    ASSERT_TRUE(sheet);
    Paint(10, 40, 10, 10, 0xFFFF00);
    GraphicsContext gc(form.get());
    gc.PutImageTransparent(10, 40, 2, 2, sheet.get(), 2, 0, 0);
    EXPECT_EQ(Block(10, 40, 3, 2), (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFFFF00, 0xFFFF00}));
    // A rectangle running off the image draws only the part inside it.
    gc.PutImageTransparent(14, 40, 4, 4, sheet.get(), 2, 2, 0);
    EXPECT_EQ(Block(14, 40, 3, 3),
              (std::vector<uint32_t>{0x111111, 0x222222, 0xFFFF00, 0x333333, 0x444444, 0xFFFF00, 0xFFFF00, 0xFFFF00, 0xFFFF00}));
    // Entirely outside it: nothing.
    gc.PutImageTransparent(18, 40, 2, 2, sheet.get(), 8, 8, 0);
    gc.PutImageTransparent(18, 40, 2, 2, sheet.get(), -1, 0, 0);
    EXPECT_EQ(Block(18, 40, 2, 2), std::vector<uint32_t>(4, 0xFFFF00));
}

TEST_F(Images, TransparentDrawingAtTheWindowsEdgeOrOnAnUnmappedWindowIsQuiet) {
    XImagePtr image(CreateImageFromRgb(form.get(), Rgb(std::vector<uint32_t>(100, 0xFF0000)), 10, 10));
    ASSERT_TRUE(image);
    const int w = form->GetWidth(), h = form->GetHeight();
    testing::internal::CaptureStdout();
    {
        GraphicsContext gc(form.get());
        gc.PutImageTransparent(w - 4, h - 3, 10, 10, image.get(), 0);
        gc.PutImageTransparent(-6, -7, 10, 10, image.get(), 0);
    }
    EXPECT_EQ(Block(w - 4, h - 3, 4, 3), std::vector<uint32_t>(12, 0xFF0000));
    EXPECT_EQ(Block(0, 0, 4, 3), std::vector<uint32_t>(12, 0xFF0000));
    EXPECT_EQ(Block(4, 3, 1, 1)[0], kBack);

    XUnmapWindow(d, Win());
    rig::Sync(d);
    {
        GraphicsContext gc(form.get());
        gc.PutImageTransparent(20, 20, 10, 10, image.get(), 0);
    }
    XSync(screen->GetDisplay(), False);
    // Neither an X error nor a failed read was met.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(Images, ImagesOfAnotherLayoutAreNotWalked) {
    // A 1-bit image, as XCreateImage makes for a bitmap.
    static char bits[8] = {};
    XImage* bitmap = XCreateImage(screen->GetDisplay(), DefaultVisual(screen->GetDisplay(), 0), 1, XYBitmap, 0, bits, 8, 8, 8, 1);
    ASSERT_NE(bitmap, nullptr);
    Paint(10, 10, 10, 10, 0x00FF00);
    testing::internal::CaptureStdout();
    {
        GraphicsContext gc(form.get());
        gc.PutImageTransparent(10, 10, 8, 8, bitmap, 0);
    }
    EXPECT_EQ(Lines(testing::internal::GetCapturedStdout()).size(), 1U);
    EXPECT_EQ(Block(10, 10, 8, 8), std::vector<uint32_t>(64, 0x00FF00));
    bitmap->data = nullptr;  // static storage
    XDestroyImage(bitmap);
}

class ImageFiles : public Images {
protected:
    rig::TempDir dir;
    // 5 x 3 with black in two places.
    std::vector<uint32_t> pixels = {0xFF0000, 0x000000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x123456, 0x654321, 0x000000,
                                    0xABCDEF, 0xFEDCBA, 0x111111, 0x222222, 0x333333, 0x444444, 0x555555};
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir / name;
        EXPECT_TRUE(rig::WriteFile(path, bytes));
        return path;
    }
};

TEST_F(ImageFiles, EveryDepthIsDrawnAtMostAsLargeAsTheFile) {
    const std::string p24 = Write("p24.bmp", testing_bmp::Bmp(24, 5, 3, pixels));
    // The same picture through a palette of its 15 colours.
    std::vector<uint32_t> indices;
    for (size_t i = 0; i < pixels.size(); ++i) indices.push_back(static_cast<uint32_t>(i));
    const std::string p8 = Write("p8.bmp", testing_bmp::Bmp(8, 5, 3, indices, pixels));
    std::vector<uint32_t> palette16 = pixels;
    palette16.push_back(0x777777);
    const std::string p4 = Write("p4.bmp", testing_bmp::Bmp(4, 5, 3, indices, palette16));
    GraphicsContext gc(form.get());
    int x = 10;
    for (const auto& [bits, path] : std::vector<std::pair<int, std::string>>{{24, p24}, {8, p8}, {4, p4}}) {
        gc.DrawImageFile(x, 10, 40, 40, bits, path);  // more than the file has
        EXPECT_EQ(Block(x, 10, 5, 3), pixels) << bits << " bits";
        EXPECT_EQ(Block(x + 5, 10, 35, 40), std::vector<uint32_t>(35 * 40, kBack)) << bits;
        EXPECT_EQ(Block(x, 13, 5, 37), std::vector<uint32_t>(5 * 37, kBack)) << bits;
        // Less than the file has: only that much.
        gc.DrawImageFile(x, 60, 2, 2, bits, path);
        EXPECT_EQ(Block(x, 60, 3, 1), (std::vector<uint32_t>{pixels[0], pixels[1], kBack}));
        x += 50;
    }
    EXPECT_TRUE(FileExists(p4 + ".c"));
}

TEST_F(ImageFiles, TransparentFilesShowTheWindowThroughTheirBlack) {
    const std::string path = Write("t.bmp", testing_bmp::Bmp(24, 5, 3, pixels));
    Paint(10, 10, 10, 10, 0x00FF00);
    GraphicsContext gc(form.get());
    gc.DrawImageFileTransparent(10, 10, 5, 3, 24, path);
    std::vector<uint32_t> expected = pixels;
    expected[1] = expected[7] = 0x00FF00;
    EXPECT_EQ(Block(10, 10, 5, 3), expected);
}

TEST_F(ImageFiles, MissingUnreadableOrMalformedFilesDrawNothing) {
    std::string broken = testing_bmp::Bmp(24, 5, 3, pixels);
    broken.resize(60);
    const std::string bad = Write("bad.bmp", broken);
    const std::string good = Write("good.bmp", testing_bmp::Bmp(24, 5, 3, pixels));
    GraphicsContext gc(form.get());
    testing::internal::CaptureStdout();
    gc.DrawImageFile(10, 10, 5, 3, 24, dir / "missing.bmp");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // silently, as a missing file always was
    testing::internal::CaptureStdout();
    gc.DrawImageFile(10, 10, 5, 3, 24, bad);
    gc.DrawImageFile(10, 10, 5, 3, 24, dir.Path());  // exists, but is no file to read
    gc.DrawImageFile(10, 10, 5, 3, 16, good);        // no loader for the depth
    gc.DrawImageFileTransparent(10, 10, 5, 3, 24, bad);
    EXPECT_EQ(Lines(testing::internal::GetCapturedStdout()).size(), 4U);
    EXPECT_EQ(Block(10, 10, 5, 3), std::vector<uint32_t>(15, kBack));
}

}  // namespace
