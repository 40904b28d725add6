// A 16-bit display, which the program must survive with its warning: no X
// image can be built in its layout, so pictures are left out (one log line
// each) and nothing is ever read or written past an image's buffer. Run under
// AddressSanitizer (LUMETRA_SANITIZE) this is the check that the builder and
// the transparent walk stay inside their buffers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BmpFiles.h"
#include "core/Application.h"
#include "core/Form.h"
#include "core/Screen.h"
#include "graphics/EmbeddedImage.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageFormat.h"
#include "graphics/ImageFrame.h"
#include "graphics/MyImage.h"
#include "graphics/Pictures.h"
#include "rig/Process.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

using namespace lumetra;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t b = 0;
    for (size_t e; (e = text.find('\n', b)) != std::string::npos; b = e + 1) lines.push_back(text.substr(b, e - b));
    return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& l : lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

TEST(SixteenBitDisplay, AFormWithPicturesOpensWithoutThemAndStaysInsideEveryBuffer) {
    rig::ServerOptions options;
    options.depth = 16;
    rig::XServer server(options);
    ASSERT_TRUE(server.Ok());
    server.MakeDefault();
    Display* d = server.Connection();

    testing::internal::CaptureStdout();
    auto screen = std::make_unique<lumetra::Screen>();
    ASSERT_NE(screen->GetDisplay(), nullptr);
    EXPECT_EQ(screen->GetDepth(), 16);
    Form form;
    form.SetScreen(screen.get());
    form.SetSize(300, 200);
    form.SetBackColor(0x4080C0);
    form.Create();
    ASSERT_TRUE(rig::PumpUntil(&form, [&] { return rig::IsMapped(d, form.GetWindow()); }));

    // The title picture as the game builds it: no image, after the probe's warnings.
    const EmbeddedPicture& title = TitlePicture();
    XImagePtr picture(CreateImageFromRgb(&form, DecodeEmbeddedImage(title.w, title.h, title.img), title.w, title.h));
    EXPECT_FALSE(picture);
    EXPECT_FALSE(ImageLayoutUsable());
    EXPECT_EQ(CurrentImageLayout().bitsPerPixel, 16);

    MyImage image(&form, picture.get());
    image.SetPosition(10, 10);
    image.SetSize(200, 50);
    image.Show();

    // An image in the display's own 16-bit layout, read from the window: put
    // as it is, but never walked byte by byte as if it had 24-bit pixels.
    GraphicsContext gc(&form);
    XImagePtr windowImage(gc.GetImage(0, 0, 40, 40));
    ASSERT_TRUE(windowImage);
    EXPECT_EQ(windowImage->bits_per_pixel, 16);
    gc.PutImageTransparent(100, 100, 40, 40, windowImage.get(), 0);
    gc.PutImageTransparent(100, 100, 20, 20, windowImage.get(), 20, 20, 0);
    ImageFrame frame(&form, windowImage.get(), 1, 1);
    frame.SetPosition(150, 100);
    frame.SetSize(20, 20);
    frame.SetTransparent(true);
    frame.Show();
    frame.Paint();

    // BMP files: loaded, but not drawn.
    rig::TempDir dir;
    const std::string path = dir / "p.bmp";
    ASSERT_TRUE(rig::WriteFile(path, testing_bmp::Bmp(24, 5, 5, std::vector<uint32_t>(25, 0xFF0000))));
    gc.DrawImageFile(200, 100, 5, 5, 24, path);
    gc.DrawImageFileTransparent(200, 120, 5, 5, 24, path);

    // Uncovered, the form repaints what it has.
    XClearArea(d, form.GetWindow(), 0, 0, 300, 200, True);
    rig::Sync(d);
    rig::Pump(&form, 200);
    XSync(screen->GetDisplay(), False);
    const std::vector<std::string> log = Lines(testing::internal::GetCapturedStdout());

    EXPECT_TRUE(Contains(log, "This app requires 24-bit depth."));
    EXPECT_TRUE(Contains(log, "WARNING img->depth: 16"));
    EXPECT_TRUE(Contains(log, "WARNING img->bits_per_pixel: 16"));
    EXPECT_TRUE(Contains(log, "WARNING MyImage::ixRosso: "));
    EXPECT_TRUE(Contains(log, "CreateImageFromRgb: the display's image layout cannot hold pictures"));
    EXPECT_TRUE(Contains(log, "PutImageTransparent: the image's pixel layout cannot be walked"));
    // The image control shows the background where its picture would be; the
    // files and the transparent drawings left the window as it was.
    EXPECT_EQ(rig::PixelAt(d, form.GetWindow(), 50, 30), rig::PixelAt(d, form.GetWindow(), 250, 180));
    EXPECT_EQ(rig::CountColour(d, form.GetWindow(), 200, 100, 5, 25, 0xFF0000), 0);
    EXPECT_EQ(rig::PixelAt(d, form.GetWindow(), 110, 110), rig::PixelAt(d, form.GetWindow(), 250, 180));
    ResetImageLayout();
}

}  // namespace
