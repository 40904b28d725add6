// labels: unit
// What the graphics layer computes without a server: BMP files of every depth
// read back and exported as C, malformed ones refused with one log line, the
// decoder's refusals, line breaking and font patterns.
#include <gtest/gtest.h>

#include <random>

#include "BmpFiles.h"
#include "lumetra/graphics/BmpLoader.h"
#include "lumetra/graphics/EmbeddedImage.h"
#include "lumetra/graphics/FontDescriptor.h"
#include "lumetra/graphics/TextLayout.h"
#include "lumetra/util/Paths.h"
#include "lumetra/util/Strings.h"
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
    for (int bits : {24, 8, 4})
        for (int w : {1, 2, 3, 4, 5, 7, 9, 163}) {
            SCOPED_TRACE(std::to_string(bits) + " bits, width " + std::to_string(w));
            const int h = 1 + w % 3;
            const std::vector<uint32_t> palette =
                bits == 24 ? std::vector<uint32_t>{} : Palette(bits == 8 ? 256 : 16);
            std::vector<uint32_t> pixels;
            for (int i = 0; i < w * h; ++i)
                pixels.push_back(random() % (bits == 24 ? 0x1000000U : palette.size()));
            ASSERT_TRUE(rig::WriteFile(dir / "p.bmp", bmp::File(bits, w, h, pixels, palette)));
            const RgbImage image = Load(bits, dir / "p.bmp");
            EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(w, h));
            EXPECT_EQ(image.pixels, bmp::Rgb(bits, pixels, palette));
        }
    // Indices past a short palette are black, and so is a picture without one; pixels
    // start where the header says, all four bytes of it; the last row needs no padding.
    std::string gap = bmp::File(24, 2, 1, {0x112233, 0x445566});
    gap.insert(54, 65536, '\x77');
    bmp::PutLe(gap, 10, 54 + 65536);
    const std::string cut = bmp::File(24, 3, 2, {1, 2, 3, 4, 5, 6});
    const std::vector<uint32_t> rgb = {0xFF0000, 0x00FF00, 0x0000FF};
    struct Row {
        const char* name;
        int bits;
        std::string file;
        std::vector<uint8_t> expected;
    };
    const Row rows[] = {
        {"indices past a short palette", 8, bmp::File(8, 5, 1, {0, 1, 2, 7, 1}, rgb),
         bmp::Rgb(8, {0, 1, 2, 7, 1}, rgb)},
        {"no palette", 8, bmp::File(8, 2, 2, {1, 2, 3, 4}), std::vector<uint8_t>(12, 0)},
        {"pixels far from the header", 24, gap, bmp::Rgb(24, {0x112233, 0x445566})},
        {"the last row unpadded", 24, cut.substr(0, cut.size() - 3),
         bmp::Rgb(24, {1, 2, 3, 4, 5, 6})},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(rig::WriteFile(dir / "q.bmp", row.file)) << row.name;
        EXPECT_EQ(Load(row.bits, dir / "q.bmp").pixels, row.expected) << row.name;
    }
}

TEST(Bmp, FourBitFilesAreExportedAsCSourceBesideThem) {
    rig::TempDir dir;
    ASSERT_TRUE(EnsureDirectory(dir / "pics"));
    const std::string path = dir / "pics/Logo.old.bmp";
    ASSERT_TRUE(rig::WriteFile(path, bmp::File(4, 3, 2, {4, 5, 6, 1, 2, 3}, Palette(16))));
    ASSERT_TRUE(rig::WriteFile(path + ".c", "an old export that must go\n"));
    EXPECT_EQ(ExportName(path) + ExportName("noext"), "LOGO.OLDNOEXT");
    EXPECT_EQ(LoadBmp4(path).pixels, bmp::Rgb(4, {4, 5, 6, 1, 2, 3}, Palette(16)));
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
    const std::string good = bmp::File(8, 3, 2, {0, 1, 2, 3, 4, 5}, Palette(8));
    auto with = [&](size_t at, uint32_t value, size_t at2 = 0, uint32_t value2 = 0) {
        std::string b = good;
        bmp::PutLe(b, at, value);
        if (at2 != 0) bmp::PutLe(b, at2, value2);
        return b;
    };
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"header cut", good.substr(0, 53)},
        {"zero width", with(18, 0)},
        {"zero height", with(22, 0)},
        {"top-down", with(22, static_cast<uint32_t>(-2))},
        {"negative width", with(18, static_cast<uint32_t>(-3))},
        {"too wide", with(18, 16385)},
        {"too high", with(22, 0x7FFFFFFF)},
        {"huge", with(18, 16384, 22, 16384)},
        {"offset in header", with(10, 20)},
        {"offset past end", with(10, 100000)},
        {"offset wraps", with(10, 0xFFFFFFF0)},
        {"rows missing", good.substr(0, good.size() - 6)},
        {"palette too large", bmp::File(8, 3, 2, {0, 1, 2, 3, 4, 5}, Palette(257))},
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
            EXPECT_EQ(image.width * image.height, 0);
            EXPECT_EQ(LinesOf(log), 1) << log;
            EXPECT_NE(log.find(path), std::string::npos) << log;
            EXPECT_FALSE(FileExists(path + ".c"));
        }
    testing::internal::CaptureStdout();
    EXPECT_TRUE(LoadBmp24(dir / "missing.bmp").Empty());
    EXPECT_TRUE(LoadBmp24(dir.Path()).Empty());
    EXPECT_EQ(LinesOf(testing::internal::GetCapturedStdout()), 2);
}

// Decoded pictures are in the pictures golden (drawing_test); here what no picture shows.
TEST(EmbeddedPictures, ShortDataOrSizesNoPictureHasGiveNothingAndOneLineEach) {
    std::vector<unsigned char> img(48 + 4, 0x12);
    EXPECT_EQ(DecodeEmbeddedImage(3, 2, img.data(), img.size()).size(), 18U);
    EXPECT_EQ(EmbeddedImageSize(163, 50), 48U + 82U * 50U);
    testing::internal::CaptureStdout();
    struct Request {
        const char* name;
        int w;
        int h;
        size_t size;
    };
    const Request requests[] = {
        {"data a byte short", 3, 2, img.size() - 1},
        {"no width", 0, 2, img.size()},
        {"a negative height", 3, -2, img.size()},
        {"wider than any picture", 100000, 1, img.size()},
    };
    for (const Request& r : requests)
        EXPECT_TRUE(DecodeEmbeddedImage(r.w, r.h, img.data(), r.size).empty()) << r.name;
    EXPECT_TRUE(DecodeEmbeddedImage(3, 2, nullptr, 100).empty());
    EXPECT_EQ(LinesOf(testing::internal::GetCapturedStdout()), 5);
}

// Every character 7 pixels wide, except a few narrow and wide ones.
CharWidths Widths() {
    CharWidths w{};
    w.fill(7);
    w['i'] = 3;
    w['l'] = 3;
    w[' '] = 4;
    w['M'] = 11;
    w['W'] = 11;
    return w;
}

std::vector<std::string> Laid(const std::string& text, int width, size_t maxLines = 1000) {
    std::vector<std::string> out;
    for (const TextLine& l : LayoutText(text, width, Widths(), maxLines))
        out.push_back(text.substr(l.begin, l.length) + (l.wrapped ? "~" : "") +
                      (l.last ? "." : ""));
    return out;
}

TEST(TextLayout, BreaksAsTheLiteralRuleDoes) {
    // "~": the line was shortened to fit; ".": nothing after it.
    struct Row {
        const char* name;
        std::string text;
        int width;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"wrapped at the space", "abc def", 30, {"abc~", "def."}},
        {"a long word cut", "abcdefghij", 30, {"abcd~", "efgh~", "ij."}},
        {"blank lines dropped", "A\n\n\nB", 100, {"A", "B."}},
        {"one line feed", "\n", 100, {"."}},
        {"digits cut where the line ends", "ab 12345", 30, {"ab 1~", "2345."}},
        {"narrower than a character", "abc", 1, {"a~", "b~", "c~."}},
        {"no width: no wrapping", "a very long line\nnext", 0, {"a very long line", "next."}},
        {"the rest trimmed after each cut", "  ab cd", 20, {" ~", "ab~", "cd."}},
        {"a tab is no space", "a\tb W.", 14, {"a\t~", "b~", "W~", ".."}},
        {"a negative width: no wrapping", "abc", -1, {"abc."}},
        {"cut after punctuation", "ab\n\n cd, 1-9", 25, {"ab", "cd, ~", "1-9."}},
        {"wide and narrow letters", "MW lia", 11, {"M~", "W~", "li~", "a."}},
    };
    for (const Row& row : rows) EXPECT_EQ(Laid(row.text, row.width), row.lines) << row.name;
    EXPECT_EQ(Laid("one two three", 40, 2).size(), 2U);
}

TEST(Fonts, PatternsFromSettings) {
    FontDescriptor plain;
    FontDescriptor bold("misc-fixed", 20);
    EXPECT_EQ(plain.BuildFontName(), "-*-*-Medium-R-Normal--14-*");
    bold.SetBold(true);
    EXPECT_EQ(bold.BuildFontName(), "-misc-fixed-Bold-R-Normal--20-*");
    bold.SetItalic(true);
    EXPECT_EQ(bold.BuildFontName(), "-misc-fixed-Bold-R-Italic--20-*");
}
}  // namespace
