// labels: unit
// What the graphics layer computes without a server: BMP files of every depth read back and
// exported as C, and the compiled-in pictures' decoder given what no picture has.
#include <gtest/gtest.h>

#include <random>

#include "lumetra/graphics/BmpLoader.h"
#include "lumetra/graphics/EmbeddedImage.h"
#include "lumetra/util/Paths.h"
#include "rig/BmpFiles.h"
#include "rig/Process.h"

using namespace lumetra;

namespace {

RgbImage Load(int bits, const std::string& path) {
    return bits == 24 ? LoadBmp24(path) : bits == 8 ? LoadBmp8(path) : LoadBmp4(path);
}

std::vector<uint32_t> Palette(size_t n) {
    std::vector<uint32_t> p;
    for (size_t i = 0; i < n; ++i)
        p.push_back(static_cast<uint32_t>(0x102030 * (i + 1)) & 0xFFFFFF);
    return p;
}

TEST(Bmp, EveryDepthAndWidthReadsBottomUpSkippingThePadding) {
    rig::TempDir dir;
    std::mt19937 random(7);
    // Widths 1 to 4 pad 24- and 8-bit rows by each amount, 1 to 7 4-bit ones; 163 is the logo's.
    // The palettes are short of the depth's colours: indices past them are black.
    for (int bits : {24, 8, 4})
        for (int w : {1, 2, 3, 4, 5, 7, 163}) {
            SCOPED_TRACE(std::to_string(bits) + " bits, width " + std::to_string(w));
            const int h = 1 + w % 3;
            const std::vector<uint32_t> palette = Palette(bits == 24 ? 0 : bits == 8 ? 250 : 13);
            std::vector<uint32_t> pixels;
            for (int i = 0; i < w * h; ++i) pixels.push_back(random() % (1U << bits));
            ASSERT_TRUE(rig::WriteFile(dir / "p.bmp", rig::BmpFile(bits, w, h, pixels, palette)));
            const RgbImage image = Load(bits, dir / "p.bmp");
            EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(w, h));
            EXPECT_EQ(image.pixels, rig::BmpRgb(bits, pixels, palette));
        }
    // Pixels start where the header says, all four bytes of it; the last row needs no padding.
    std::string gap = rig::BmpFile(24, 3, 2, {1, 2, 3, 4, 5, 6});
    gap.insert(54, 65536, '\x77');
    rig::PutLe(gap, 10, 54 + 65536);
    ASSERT_TRUE(rig::WriteFile(dir / "gap.bmp", gap.substr(0, gap.size() - 3)));
    EXPECT_EQ(LoadBmp24(dir / "gap.bmp").pixels, rig::BmpRgb(24, {1, 2, 3, 4, 5, 6}));
}

TEST(Bmp, FourBitFilesAreExportedAsCSourceBesideThem) {
    rig::TempDir dir;
    const std::string path = dir / "Logo.old.bmp";
    ASSERT_TRUE(rig::WriteFile(path, rig::BmpFile(4, 3, 2, {4, 5, 6, 1, 2, 3}, Palette(16))));
    EXPECT_EQ(ExportName(path) + ExportName("noext"), "LOGO.OLDNOEXT");
    EXPECT_FALSE(LoadBmp4(path).Empty());
    // Rows bottom first, high nibble left, the odd row's marker nibble kept as stored.
    const std::string c = rig::ReadFile(path + ".c");
    const std::string tail = "\n0x12,0x3E,\n0x45,0x6E,\n};\n\n";
    EXPECT_EQ(c.substr(0, 62) + c.substr(c.size() - tail.size()),
              "int wLOGO.OLD = 3;\nint hLOGO.OLD = 2;\n\nchar imgLOGO.OLD[] = {\n" + tail);
    // An export that cannot be written is logged, and the picture still loads.
    ASSERT_TRUE(RemoveFile(path + ".c"));
    ASSERT_TRUE(EnsureDirectory(path + ".c"));
    ASSERT_TRUE(EnsureDirectory(path + ".c/keep"));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(LoadBmp4(path).Empty());
    EXPECT_EQ(rig::LinesOf(testing::internal::GetCapturedStdout()), 1);
}

// Decoded pictures are in the pictures golden (drawing_test); here what no picture shows.
TEST(EmbeddedPictures, ShortDataOrSizesNoPictureHasGiveNothingAndOneLineEach) {
    std::vector<unsigned char> img(48 + 4, 0x12);
    EXPECT_EQ(DecodeEmbeddedImage(3, 2, img.data(), img.size()).size(), 18U);
    testing::internal::CaptureStdout();
    const std::tuple<const char*, int, int, size_t> requests[] = {
        {"data a byte short", 3, 2, img.size() - 1},
        {"no width", 0, 2, img.size()},
        {"a negative height", 3, -2, img.size()},
        {"wider than any picture", 100000, 1, img.size()},
    };
    for (const auto& [name, w, h, size] : requests)
        EXPECT_TRUE(DecodeEmbeddedImage(w, h, img.data(), size).empty()) << name;
    EXPECT_TRUE(DecodeEmbeddedImage(3, 2, nullptr, 100).empty());
    EXPECT_EQ(rig::LinesOf(testing::internal::GetCapturedStdout()), 5);
}

}  // namespace
