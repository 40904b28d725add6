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
#include "rig/Process.h"
#include "lumetra/util/Paths.h"
#include "lumetra/util/Strings.h"

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
            const int h = 1 + w % 3;
            const std::vector<uint32_t> palette =
                bits == 24 ? std::vector<uint32_t>{} : Palette(bits == 8 ? 256 : 16);
            std::vector<uint32_t> pixels;
            for (int i = 0; i < w * h; ++i)
                pixels.push_back(random() % (bits == 24 ? 0x1000000U : palette.size()));
            ASSERT_TRUE(rig::WriteFile(dir / "p.bmp", bmp::File(bits, w, h, pixels, palette)));
            const RgbImage image = Load(bits, dir / "p.bmp");
            EXPECT_TRUE(image.width == w && image.height == h &&
                        image.pixels == bmp::Rgb(bits, pixels, palette))
                << w;
        }
    // Indices past a short palette are black, and so is a picture without one; pixels
    // start where the header says, all four bytes of it; the last row needs no padding.
    std::string gap = bmp::File(24, 2, 1, {0x112233, 0x445566}),
                cut = bmp::File(24, 3, 2, {1, 2, 3, 4, 5, 6});
    gap.insert(54, 65536, '\x77'), bmp::PutLe(gap, 10, 54 + 65536);
    const std::vector<uint32_t> rgb = {0xFF0000, 0x00FF00, 0x0000FF};
    const std::tuple<int, std::string, std::vector<uint8_t>> rows[] = {
        {8, bmp::File(8, 5, 1, {0, 1, 2, 7, 1}, rgb), bmp::Rgb(8, {0, 1, 2, 7, 1}, rgb)},
        {8, bmp::File(8, 2, 2, {1, 2, 3, 4}), std::vector<uint8_t>(12, 0)},
        {24, gap, bmp::Rgb(24, {0x112233, 0x445566})},
        {24, cut.substr(0, cut.size() - 3), bmp::Rgb(24, {1, 2, 3, 4, 5, 6})},
    };
    for (const auto& [bits, file, expected] : rows) {
        ASSERT_TRUE(rig::WriteFile(dir / "q.bmp", file));
        EXPECT_EQ(Load(bits, dir / "q.bmp").pixels, expected) << file.size();
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
    const std::string c = rig::ReadFile(path + ".c"), tail = "\n0x12,0x3E,\n0x45,0x6E,\n};\n\n";
    EXPECT_EQ(c.substr(0, 62) + c.substr(c.size() - tail.size()),
              "int wLOGO.OLD = 3;\nint hLOGO.OLD = 2;\n\nchar imgLOGO.OLD[] = {\n" + tail);
    // An export that cannot be written is logged, and the picture still loads.
    ASSERT_TRUE(RemoveFile(path + ".c") && EnsureDirectory(path + ".c") &&
                EnsureDirectory(path + ".c/keep"));
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
            const std::string path = dir / (std::string(name) + std::to_string(bits) + ".bmp");
            ASSERT_TRUE(rig::WriteFile(path, bytes));
            testing::internal::CaptureStdout();
            const RgbImage image = Load(bits, path);
            const std::string log = testing::internal::GetCapturedStdout();
            EXPECT_TRUE(image.Empty() && image.width * image.height == 0 && LinesOf(log) == 1)
                << name << bits << log;
            EXPECT_NE(log.find(path), std::string::npos) << log;
            EXPECT_FALSE(FileExists(path + ".c")) << name;
        }
    testing::internal::CaptureStdout();
    EXPECT_TRUE(LoadBmp24(dir / "missing.bmp").Empty() && LoadBmp24(dir.Path()).Empty());
    EXPECT_EQ(LinesOf(testing::internal::GetCapturedStdout()), 2);
}

// Decoded pictures are in the pictures golden (drawing_test); here what no picture shows.
TEST(EmbeddedPictures, ShortDataOrSizesNoPictureHasGiveNothingAndOneLineEach) {
    std::vector<unsigned char> img(48 + 4, 0x12);
    EXPECT_EQ(DecodeEmbeddedImage(3, 2, img.data(), img.size()).size(), 18U);
    EXPECT_EQ(EmbeddedImageSize(163, 50), 48U + 82U * 50U);
    testing::internal::CaptureStdout();
    for (const auto& [w, h, size] : {std::tuple{3, 2, img.size() - 1},
                                     {0, 2, img.size()},
                                     {3, -2, img.size()},
                                     {100000, 1, img.size()}})
        EXPECT_TRUE(DecodeEmbeddedImage(w, h, img.data(), size).empty()) << w << " x " << h;
    EXPECT_TRUE(DecodeEmbeddedImage(3, 2, nullptr, 100).empty());
    EXPECT_EQ(LinesOf(testing::internal::GetCapturedStdout()), 5);
}

// Every character 7 pixels wide, except a few narrow and wide ones.
CharWidths Widths() {
    CharWidths w{};
    w.fill(7);
    w['i'] = w['l'] = 3, w[' '] = 4, w['M'] = w['W'] = 11;
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
    using L =
        std::vector<std::string>;  // "~": the line was shortened to fit; ".": nothing after it
    const std::tuple<std::string, int, L> rows[] = {
        {"abc def", 30, {"abc~", "def."}},
        {"abcdefghij", 30, {"abcd~", "efgh~", "ij."}},
        {"A\n\n\nB", 100, {"A", "B."}},
        {"\n", 100, {"."}},
        {"ab 12345", 30, {"ab 1~", "2345."}},
        {"abc", 1, {"a~", "b~", "c~."}},
        {"a very long line\nnext", 0, {"a very long line", "next."}},
        {"  ab cd", 20, {" ~", "ab~", "cd."}},  // the rest trimmed after each cut
        {"a\tb W.", 14, {"a\t~", "b~", "W~", ".."}},
        {"abc", -1, {"abc."}},
        {"ab\n\n cd, 1-9", 25, {"ab", "cd, ~", "1-9."}},
        {"MW lia", 11, {"M~", "W~", "li~", "a."}},
    };
    for (const auto& [text, width, lines] : rows)
        EXPECT_EQ(Laid(text, width), lines) << text << " in " << width;
    EXPECT_EQ(Laid("one two three", 40, 2).size(), 2U);
}

TEST(Fonts, PatternsFromSettings) {
    FontDescriptor plain, bold("misc-fixed", 20);
    const std::string name =
        plain.BuildFontName() + " " + (bold.SetBold(true), bold.BuildFontName()) + " ";
    EXPECT_EQ(name + (bold.SetItalic(true), bold.BuildFontName()),
              "-*-*-Medium-R-Normal--14-* -misc-fixed-Bold-R-Normal--20-* "
              "-misc-fixed-Bold-R-Italic--20-*");
}
}  // namespace
