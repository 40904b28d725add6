// The pictures compiled into the game: regenerated from their drawing
// program they must match the committed BMP files and C sources; decoded they
// must have the sizes, palettes and features their table gives them; and on
// screen they must come out pixel for pixel. Writes pictures.png (4x and 1:1)
// to the build directory, and to docs/ when LUMETRA_UPDATE_DOCS is set.
#include "graphics/Pictures.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "ControlFixture.h"
#include "graphics/BmpLoader.h"
#include "graphics/EmbeddedImage.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageFormat.h"
#include "graphics/MyImage.h"
#include "rig/Process.h"
#include "tools/PictureArt.h"

using namespace lumetra;

namespace {

const std::string kPictures = std::string(LUMETRA_SOURCE_DIR) + "/graphics/pictures/";

struct Compiled {
    std::string file;
    const EmbeddedPicture* picture;
    std::array<uint32_t, 16> palette;
};

std::array<uint32_t, 16> Palette(std::vector<uint32_t> first) {
    std::array<uint32_t, 16> p{};
    p.fill(0xFFFFFF);
    for (size_t i = 0; i < first.size(); ++i) p[i] = first[i];
    return p;
}

// The table the pictures were made to.
std::vector<Compiled> AllCompiled() {
    const std::vector<uint32_t> logo = {0x000000, 0x0000FF, 0x00C600, 0x318C08, 0xFF0000, 0xFFFF00};
    std::vector<uint32_t> about = logo;
    about.push_back(0xFFFFEF);
    const std::vector<uint32_t> greyCheck = {0x000000, 0x424242, 0x848484, 0xD6D6CE, 0xFFFFFF, 0x9B9B9B};
    const std::vector<uint32_t> whiteCheck = {0x000000, 0x424242, 0x848484, 0xD6D6CE, 0xFFFFFF, 0xFFFFFF};
    const std::vector<uint32_t> option = {0x000000, 0x424242, 0x848484, 0xD6D6CE, 0xFFFFFF, 0x9B9B9B, 0x010101};
    std::vector<Compiled> all = {{"title.bmp", &TitlePicture(), Palette(logo)},
                                 {"aboutlogo.bmp", &AboutLogoPicture(), Palette(about)}};
    for (int n = 1; n <= 4; ++n)
        all.push_back({"checkbox" + std::to_string(n) + ".bmp", &CheckBoxPicture(n), Palette(n % 2 ? greyCheck : whiteCheck)});
    for (int n = 1; n <= 4; ++n) all.push_back({"optionbox" + std::to_string(n) + ".bmp", &OptionBoxPicture(n), Palette(option)});
    return all;
}

// Decoded picture as 0xRRGGBB per pixel.
std::vector<uint32_t> Colours(const EmbeddedPicture& p) {
    const std::vector<uint8_t> rgb = DecodeEmbeddedImage(p.w, p.h, p.img);
    std::vector<uint32_t> out;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) out.push_back(uint32_t(rgb[i]) << 16 | uint32_t(rgb[i + 1]) << 8 | rgb[i + 2]);
    return out;
}

struct View {
    int w;
    std::vector<uint32_t> c;
    uint32_t At(int x, int y) const { return c[static_cast<size_t>(y * w + x)]; }
    int Count(int x0, int y0, int x1, int y1, uint32_t colour) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += At(x, y) == colour;
        return n;
    }
};

TEST(Pictures, RedrawnByTheirProgramTheyMatchTheCommittedFiles) {
    rig::TempDir dir;
    for (const art::NamedPicture& p : art::AllPictures()) {
        const std::string path = dir / p.file;
        const std::vector<uint8_t> bmp = art::Bmp4(p.canvas);
        ASSERT_TRUE(rig::WriteFile(path, std::string(bmp.begin(), bmp.end())));
        EXPECT_EQ(rig::ReadFile(path), rig::ReadFile(kPictures + p.file))
            << p.file << " differs from tools/PictureArt.h: run `ninja pictures` and commit graphics/pictures";
        ASSERT_FALSE(LoadBmp4(path).Empty());
        EXPECT_EQ(rig::ReadFile(path + ".c"), rig::ReadFile(kPictures + p.file + ".c"))
            << p.file << ".c is not the export of the drawing: run `ninja pictures` and commit graphics/pictures";
    }
}

TEST(Pictures, TheCompiledInDataIsTheDrawingWithTheTablesSizesAndPalettes) {
    const std::vector<art::NamedPicture> drawn = art::AllPictures();
    const std::vector<Compiled> compiled = AllCompiled();
    ASSERT_EQ(drawn.size(), compiled.size());
    for (size_t k = 0; k < compiled.size(); ++k) {
        const Compiled& c = compiled[k];
        const art::Canvas& canvas = drawn[k].canvas;
        ASSERT_EQ(drawn[k].file, c.file);
        EXPECT_EQ(c.picture->w, canvas.w) << c.file;
        EXPECT_EQ(c.picture->h, canvas.h) << c.file;
        for (size_t i = 0; i < 16; ++i) {
            const uint32_t entry =
                uint32_t(c.picture->img[3 * i]) << 16 | uint32_t(c.picture->img[3 * i + 1]) << 8 | c.picture->img[3 * i + 2];
            EXPECT_EQ(entry, c.palette[i]) << c.file << " palette entry " << i;
        }
        const std::vector<uint32_t> colours = Colours(*c.picture);
        ASSERT_EQ(colours.size(), static_cast<size_t>(canvas.w * canvas.h));
        for (int y = 0; y < canvas.h; ++y)
            for (int x = 0; x < canvas.w; ++x)
                ASSERT_EQ(colours[static_cast<size_t>(y * canvas.w + x)], c.palette[canvas.At(x, y)])
                    << c.file << " at " << x << "," << y;
    }
    EXPECT_EQ(TitlePicture().w, 200);
    EXPECT_EQ(TitlePicture().h, 50);
    EXPECT_EQ(AboutLogoPicture().w, 163);
    EXPECT_EQ(AboutLogoPicture().h, 50);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(CheckBoxPicture(n).w * CheckBoxPicture(n).h, 400);
        EXPECT_EQ(OptionBoxPicture(n).w * OptionBoxPicture(n).h, 400);
    }
}

TEST(Pictures, TheLogosShowBoxesNameBorderAndTheFlagOnTheTitleOnly) {
    for (bool title : {true, false}) {
        const EmbeddedPicture& p = title ? TitlePicture() : AboutLogoPicture();
        const View v{p.w, Colours(p)};
        const uint32_t paper = title ? 0xFFFFFF : 0xFFFFEF;
        // The dark green border all round, paper inside it.
        EXPECT_EQ(v.Count(0, 0, p.w, 2, 0x318C08) + v.Count(0, p.h - 2, p.w, p.h, 0x318C08), 4 * p.w);
        EXPECT_EQ(v.Count(0, 0, 2, p.h, 0x318C08), 2 * p.h);
        EXPECT_EQ(v.Count(p.w - 2, 0, p.w, p.h, 0x318C08), 2 * p.h);
        EXPECT_EQ(v.At(3, 3), paper);
        // The boxes: red and yellow on top, blue and green below, black between.
        EXPECT_EQ(v.At(15, 14), 0xFF0000U);
        EXPECT_EQ(v.At(35, 14), 0xFFFF00U);
        EXPECT_EQ(v.At(15, 34), 0x0000FFU);
        EXPECT_EQ(v.At(35, 34), 0x00C600U);
        EXPECT_EQ(v.At(25, 25), 0x000000U);
        // Rounded: the frame's very corner is paper.
        EXPECT_EQ(v.At(6, 5), paper);
        // The name: red on two lines right of the boxes, with paper between them.
        const int top = v.Count(50, 5, p.w - 2, 23, 0xFF0000), bottom = v.Count(50, 27, p.w - 2, 45, 0xFF0000);
        EXPECT_GT(top, 300);
        EXPECT_GT(bottom, 200);
        EXPECT_EQ(v.Count(50, 23, p.w - 2, 27, 0xFF0000), 0);
        // The flag: green, white and red in the lower right corner of the title only.
        const int x0 = p.w - 30;
        const int flagGreen = v.Count(x0, 30, p.w - 2, p.h - 2, 0x00C600), flagRed = v.Count(x0, 30, p.w - 2, p.h - 2, 0xFF0000);
        if (title) {
            EXPECT_GT(flagGreen, 30);
            EXPECT_GT(flagRed, 30);
            EXPECT_GT(v.Count(x0, 30, p.w - 2, p.h - 2, 0xFFFFFF), 30);
        } else {
            EXPECT_EQ(flagGreen, 0);
            EXPECT_EQ(v.Count(0, 0, p.w, p.h, 0xFFFFFF), 0);  // no white at all: the paper is FFFFEF
        }
    }
}

TEST(Pictures, CheckBoxesAreSunkenSquaresWithAMarkOnTheCheckedOnes) {
    for (int n = 1; n <= 4; ++n) {
        const View v{20, Colours(CheckBoxPicture(n))};
        const uint32_t face = n % 2 ? 0x9B9B9B : 0xFFFFFF;
        EXPECT_EQ(v.Count(0, 0, 19, 1, 0x848484), 19) << n;    // outer top
        EXPECT_EQ(v.Count(0, 0, 1, 19, 0x848484), 19) << n;    // outer left
        EXPECT_EQ(v.Count(0, 19, 20, 20, 0xFFFFFF), 20) << n;  // outer bottom
        EXPECT_EQ(v.Count(19, 0, 20, 20, 0xFFFFFF), 20) << n;  // outer right
        EXPECT_EQ(v.Count(1, 1, 18, 2, 0x424242), 17) << n;    // inner top
        EXPECT_EQ(v.Count(1, 1, 2, 18, 0x424242), 17) << n;    // inner left
        EXPECT_EQ(v.Count(2, 18, 19, 19, 0xD6D6CE), 17) << n;  // inner bottom
        EXPECT_EQ(v.Count(18, 2, 19, 19, 0xD6D6CE), 17) << n;  // inner right
        const int mark = v.Count(2, 2, 18, 18, 0x424242), faceCount = v.Count(2, 2, 18, 18, face);
        EXPECT_EQ(mark + faceCount, 256) << n;
        if (n <= 2) {
            EXPECT_GT(mark, 20) << n;
        } else {
            EXPECT_EQ(mark, 0) << n;
        }
    }
}

TEST(Pictures, OptionBoxesAreSunkenCirclesOnTransparentBlack) {
    const uint32_t faces[] = {0x9B9B9B, 0xFFFFFF, 0x9B9B9B, 0xFFFFFF};
    const uint32_t dots[] = {0x424242, 0x010101, 0x9B9B9B, 0xFFFFFF};
    for (int n = 1; n <= 4; ++n) {
        const View v{20, Colours(OptionBoxPicture(n))};
        int left = 20, right = -1, top = 20, bottom = -1;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (v.At(x, y) != 0)
                    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        EXPECT_EQ(right - left + 1, 13) << n;
        EXPECT_EQ(bottom - top + 1, 13) << n;
        EXPECT_EQ(v.At(0, 0), 0U);
        EXPECT_EQ(v.At(19, 19), 0U);
        const int cx = (left + right) / 2, cy = (top + bottom) / 2;
        EXPECT_EQ(v.At(cx, cy), dots[n - 1]) << n;
        EXPECT_EQ(v.At(cx + 4, cy), faces[n - 1]) << n;
        EXPECT_EQ(v.At(left, cy), 0x848484U) << n;       // outer edge, left
        EXPECT_EQ(v.At(right, cy), 0xFFFFFFU) << n;      // outer edge, right
        EXPECT_EQ(v.At(left + 1, cy), 0x424242U) << n;   // inner edge, left
        EXPECT_EQ(v.At(right - 1, cy), 0xD6D6CEU) << n;  // inner edge, right
        // Nothing inside the circle is pure black, which would be see-through.
        for (int y = top + 2; y <= bottom - 2; ++y)
            for (int x = left + 2; x <= right - 2; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= 16) {
                    EXPECT_NE(v.At(x, y), 0U) << n << " at " << x << "," << y;
                }
    }
}

class PicturesOnScreen : public testing_controls::ControlFixture {};

TEST_F(PicturesOnScreen, EveryPictureComesOutPixelForPixelAsTheUserSeesIt) {
    {
        // The pictures on the toolkit's own default grey.
        GraphicsContext gc(form.get());
        gc.FillRectangle(0, 0, 441, 331, 0, 0, DefaultBackColour);
    }
    std::vector<XImagePtr> images;
    std::vector<std::unique_ptr<MyImage>> controls;
    struct Placed {
        const EmbeddedPicture* picture;
        int x, y;
        bool transparent;
    };
    std::vector<Placed> placed = {{&TitlePicture(), 10, 10, false}, {&AboutLogoPicture(), 220, 10, false}};
    for (int n = 1; n <= 4; ++n) placed.push_back({&CheckBoxPicture(n), 10 + 30 * (n - 1), 70, false});
    for (int n = 1; n <= 4; ++n) placed.push_back({&OptionBoxPicture(n), 130 + 30 * (n - 1), 70, true});
    for (const Placed& p : placed) {
        images.emplace_back(CreateImageFromRgb(form.get(), DecodeEmbeddedImage(p.picture->w, p.picture->h, p.picture->img),
                                               p.picture->w, p.picture->h));
        ASSERT_TRUE(images.back());
        if (p.transparent) continue;
        controls.push_back(std::make_unique<MyImage>(form.get(), images.back().get()));
        controls.back()->SetPosition(p.x, p.y);
        controls.back()->SetSize(p.picture->w, p.picture->h);
        controls.back()->Show();
    }
    {
        GraphicsContext gc(form.get());
        for (size_t k = 0; k < placed.size(); ++k)
            if (placed[k].transparent) gc.PutImageTransparent(placed[k].x, placed[k].y, 20, 20, images[k].get(), 0);
    }
    XSync(screen->GetDisplay(), False);
    for (const Placed& p : placed) {
        std::vector<uint32_t> expected = Colours(*p.picture);
        if (p.transparent)
            for (uint32_t& c : expected)
                if (c == 0) c = DefaultBackColour;
        EXPECT_EQ(rig::Pixels(d, Win(), p.x, p.y, p.picture->w, p.picture->h), expected);
    }

    // The screenshot: everything 4x enlarged, then at 1:1.
    const int w = 393, h = 100, scale = 4;
    const std::vector<uint32_t> shot = rig::Pixels(d, Win(), 0, 0, w, h);
    ASSERT_EQ(shot.size(), static_cast<size_t>(w * h));
    const int outW = w * scale, outH = h * scale + h;
    std::vector<uint32_t> out(static_cast<size_t>(outW * outH), DefaultBackColour);
    for (int y = 0; y < h * scale; ++y)
        for (int x = 0; x < outW; ++x)
            out[static_cast<size_t>(y * outW + x)] = shot[static_cast<size_t>((y / scale) * w + x / scale)];
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out[static_cast<size_t>((h * scale + y) * outW + x)] = shot[static_cast<size_t>(y * w + x)];
    EXPECT_TRUE(rig::SavePng(std::string(LUMETRA_BINARY_DIR) + "/pictures.png", outW, outH, out));
    if (std::getenv("LUMETRA_UPDATE_DOCS") != nullptr) {
        EXPECT_TRUE(rig::SavePng(std::string(LUMETRA_SOURCE_DIR) + "/docs/pictures.png", outW, outH, out));
    }
}

}  // namespace
