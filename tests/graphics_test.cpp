// labels: unit
// What the graphics layer computes without a server: BMP files of every depth read back and
// exported as C, malformed ones refused with one log line, line breaking and font patterns.
#include <gtest/gtest.h>

#include <random>

#include "BmpFiles.h"
#include "lumetra/graphics/BmpLoader.h"
#include "lumetra/graphics/EmbeddedImage.h"
#include "lumetra/graphics/FontDescriptor.h"
#include "lumetra/graphics/TextLayout.h"
#include "lumetra/util/Paths.h"
#include "rig/Process.h"

using namespace lumetra;

namespace {

int LinesOf(const std::string& log) {
    return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
}

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
            ASSERT_TRUE(rig::WriteFile(dir / "p.bmp", bmp::File(bits, w, h, pixels, palette)));
            const RgbImage image = Load(bits, dir / "p.bmp");
            EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(w, h));
            EXPECT_EQ(image.pixels, bmp::Rgb(bits, pixels, palette));
        }
    // Pixels start where the header says, all four bytes of it; the last row needs no padding.
    std::string gap = bmp::File(24, 3, 2, {1, 2, 3, 4, 5, 6});
    gap.insert(54, 65536, '\x77');
    bmp::PutLe(gap, 10, 54 + 65536);
    ASSERT_TRUE(rig::WriteFile(dir / "gap.bmp", gap.substr(0, gap.size() - 3)));
    EXPECT_EQ(LoadBmp24(dir / "gap.bmp").pixels, bmp::Rgb(24, {1, 2, 3, 4, 5, 6}));
}

TEST(Bmp, FourBitFilesAreExportedAsCSourceBesideThem) {
    rig::TempDir dir;
    const std::string path = dir / "Logo.old.bmp";
    ASSERT_TRUE(rig::WriteFile(path, bmp::File(4, 3, 2, {4, 5, 6, 1, 2, 3}, Palette(16))));
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
    EXPECT_EQ(LinesOf(testing::internal::GetCapturedStdout()), 1);
}

TEST(Bmp, MalformedFilesGiveNoImageAndOneLogLineNamingTheFile) {
    rig::TempDir dir;
    const std::string good = bmp::File(8, 9, 2, std::vector<uint32_t>(18, 1), Palette(8));
    auto with = [](std::string b, size_t at, uint32_t value) {
        bmp::PutLe(b, at, value);
        return b;
    };
    // One row for each check a header fails.
    const std::pair<const char*, std::string> cases[] = {
        {"header cut", good.substr(0, 53)},
        {"zero width", with(good, 18, 0)},
        {"zero height", with(good, 22, 0)},
        {"too wide", bmp::File(8, 16385, 1, std::vector<uint32_t>(16385), Palette(8))},
        {"too high", bmp::File(8, 1, 16385, std::vector<uint32_t>(16385), Palette(8))},
        {"offset in header", with(good, 10, 20)},
        {"offset past end", with(good, 10, 100000)},
        {"rows missing", good.substr(0, good.size() - 12)},
        {"palette too large", bmp::File(8, 3, 2, std::vector<uint32_t>(6), Palette(257))},
    };
    for (const auto& [name, bytes] : cases)
        for (int bits : {24, 8, 4}) {
            if (std::string(name) == "palette too large" && bits == 24)
                continue;  // a 24-bit file skips it
            SCOPED_TRACE(std::string(name) + ", " + std::to_string(bits) + " bits");
            const std::string path = dir / (std::string(name) + std::to_string(bits) + ".bmp");
            ASSERT_TRUE(rig::WriteFile(path, bytes));
            testing::internal::CaptureStdout();
            const RgbImage image = Load(bits, path);
            const std::string log = testing::internal::GetCapturedStdout();
            EXPECT_TRUE(image.Empty());
            EXPECT_EQ(LinesOf(log), 1) << log;
            EXPECT_NE(log.find(path), std::string::npos) << log;
            EXPECT_FALSE(FileExists(path + ".c"));
        }
    testing::internal::CaptureStdout();
    EXPECT_TRUE(LoadBmp24(dir / "missing.bmp").Empty());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "BMP file " + dir / "missing.bmp" + " rejected: cannot be opened\n");
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
    EXPECT_EQ(LinesOf(testing::internal::GetCapturedStdout()), 5);
}

// Every character 7 pixels wide, a space 4.
std::vector<std::string> Laid(const std::string& text, int width, size_t maxLines = 1000) {
    CharWidths widths{};
    widths.fill(7);
    widths[' '] = 4;
    std::vector<std::string> out;
    for (const TextLine& l : LayoutText(text, width, widths, maxLines))
        out.push_back(text.substr(l.begin, l.length) + (l.wrapped ? "~" : "") +
                      (l.last ? "." : ""));
    return out;
}

TEST(TextLayout, BreaksAsTheLiteralRuleDoes) {
    // Name, text, width, lines; "~": the line was shortened to fit; ".": nothing after it.
    const std::tuple<const char*, std::string, int, std::vector<std::string>> rows[] = {
        {"wrapped at a space, then a word cut", "abc defghi", 30, {"abc~", "defg~", "hi."}},
        {"one line feed", "\n", 100, {"."}},
        {"digits cut where the line ends", "ab 12345", 30, {"ab 1~", "2345."}},
        {"narrower than a character", "abc", 1, {"a~", "b~", "c~."}},
        {"no width: no wrapping", "a very long line\nnext", 0, {"a very long line", "next."}},
        {"a negative width: no wrapping", "abc", -1, {"abc."}},
        {"the rest trimmed after each cut", "  ab cd", 20, {" ~", "ab~", "cd."}},
        {"a tab is no space", "a\tb", 14, {"a\t~", "b."}},
        {"blank lines dropped, an exact fit", "ab\n\n cd, 1-9", 25, {"ab", "cd, ~", "1-9."}},
    };
    for (const auto& [name, text, width, lines] : rows) EXPECT_EQ(Laid(text, width), lines) << name;
    EXPECT_EQ(Laid("one two three", 40, 2).size(), 2U);
}

TEST(Fonts, PatternsFromSettings) {
    FontDescriptor styled("misc-fixed", 20);
    styled.SetBold(true);
    styled.SetItalic(true);
    EXPECT_EQ(FontDescriptor().BuildFontName(), "-*-*-Medium-R-Normal--14-*");
    EXPECT_EQ(styled.BuildFontName(), "-misc-fixed-Bold-R-Italic--20-*");
}
}  // namespace
