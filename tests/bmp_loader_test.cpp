// The BMP readers on files the test writes itself, the C export of 4-bit
// files (compiled back with the system's C compiler), and every kind of
// malformed file answered with no image and one log line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "BmpFiles.h"
#include "graphics/BmpLoader.h"
#include "graphics/EmbeddedImage.h"
#include "rig/Process.h"
#include "util/Paths.h"

using namespace lumetra;
using testing_bmp::Bmp;
using testing_bmp::Expected;

namespace {

std::vector<uint32_t> RandomPixels(std::mt19937& random, int count, uint32_t limit) {
    std::vector<uint32_t> p;
    for (int i = 0; i < count; ++i) p.push_back(static_cast<uint32_t>(random() % limit));
    return p;
}

std::vector<uint32_t> Palette(size_t n) {
    std::vector<uint32_t> p;
    for (size_t i = 0; i < n; ++i) p.push_back(static_cast<uint32_t>(0x102030 * (i + 1)) & 0xFFFFFF);
    return p;
}

RgbImage Load(int bits, const std::string& path) {
    return bits == 24 ? LoadBmp24(path) : bits == 8 ? LoadBmp8(path) : LoadBmp4(path);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t b = 0;
    for (size_t e; (e = text.find('\n', b)) != std::string::npos; b = e + 1) lines.push_back(text.substr(b, e - b));
    return lines;
}

class BmpLoader : public ::testing::Test {
protected:
    rig::TempDir dir;
};

TEST_F(BmpLoader, EveryDepthReadsRowsBottomUpSkippingThePadding) {
    std::mt19937 random(7);
    const int widths[] = {1, 2, 3, 4, 5, 7, 9, 163};
    for (int bits : {24, 8, 4}) {
        for (int w : widths) {
            for (int h : {1, 2, 3}) {
                const std::vector<uint32_t> palette = Palette(bits == 8 ? 256 : 16);
                const std::vector<uint32_t> pixels =
                    RandomPixels(random, w * h, bits == 24 ? 0x1000000U : static_cast<uint32_t>(palette.size()));
                const std::string path =
                    dir / ("p" + std::to_string(bits) + "_" + std::to_string(w) + "x" + std::to_string(h) + ".bmp");
                ASSERT_TRUE(rig::WriteFile(path, Bmp(bits, w, h, pixels, bits == 24 ? std::vector<uint32_t>{} : palette)));
                const RgbImage image = Load(bits, path);
                EXPECT_EQ(image.width, w);
                EXPECT_EQ(image.height, h);
                EXPECT_EQ(image.pixels, Expected(bits, pixels, palette)) << bits << " bits, " << w << " x " << h;
            }
        }
    }
}

TEST_F(BmpLoader, PaletteFilesUseTheEntriesTheyHaveAndBlackBeyond) {
    // Three entries; index 7 has none.
    const std::vector<uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF};
    const std::vector<uint32_t> pixels = {0, 1, 2, 7, 1};
    ASSERT_TRUE(rig::WriteFile(dir / "few.bmp", Bmp(8, 5, 1, pixels, palette)));
    EXPECT_EQ(LoadBmp8(dir / "few.bmp").pixels, Expected(8, pixels, palette));
    // No palette at all is a black picture.
    ASSERT_TRUE(rig::WriteFile(dir / "none.bmp", Bmp(8, 2, 2, {1, 2, 3, 4})));
    EXPECT_EQ(LoadBmp8(dir / "none.bmp").pixels, std::vector<uint8_t>(12, 0));
}

TEST_F(BmpLoader, PixelsStartWhereTheHeaderSays) {
    // A 24-bit file with 8 bytes between the header and the pixels.
    std::string file = Bmp(24, 2, 1, {0x112233, 0x445566});
    file.insert(54, 8, '\x77');
    testing_bmp::PutLe(file, 10, 62, 4);
    ASSERT_TRUE(rig::WriteFile(dir / "gap.bmp", file));
    EXPECT_EQ(LoadBmp24(dir / "gap.bmp").pixels, (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44, 0x55, 0x66}));
}

TEST_F(BmpLoader, TheLastRowNeedsNoPadding) {
    std::string file = Bmp(24, 3, 2, {1, 2, 3, 4, 5, 6});
    file.resize(file.size() - 3);  // 9 pixel bytes, 3 padding bytes in a row
    ASSERT_TRUE(rig::WriteFile(dir / "short.bmp", file));
    EXPECT_EQ(LoadBmp24(dir / "short.bmp").pixels, Expected(24, {1, 2, 3, 4, 5, 6}));
}

TEST_F(BmpLoader, FourBitFilesAreExportedAsCSourceBesideThem) {
    ASSERT_TRUE(EnsureDirectory(dir / "pics"));
    // 3 x 2, palette of 16; the odd last nibble of each row is a marker (E).
    std::vector<uint32_t> palette = Palette(16);
    palette[1] = 0xFF00AB;
    const std::string path = dir / "pics/Logo.old.bmp";
    ASSERT_TRUE(rig::WriteFile(path, Bmp(4, 3, 2, {4, 5, 6, 1, 2, 3}, palette)));
    ASSERT_TRUE(rig::WriteFile(path + ".c", "an old export that must go\n"));
    EXPECT_EQ(ExportName(path), "LOGO.OLD");
    EXPECT_EQ(ExportName("noext"), "NOEXT");
    const RgbImage image = LoadBmp4(path);
    EXPECT_EQ(image.pixels, Expected(4, {4, 5, 6, 1, 2, 3}, palette));

    std::string paletteLine;
    for (uint32_t c : palette) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "0x%02X,0x%02X,0x%02X,", c >> 16, (c >> 8) & 0xFF, c & 0xFF);
        paletteLine += entry;
    }
    // Rows bottom first, high nibble left, the marker nibble kept as it is stored.
    const std::string expected =
        "int wLOGO.OLD = 3;\nint hLOGO.OLD = 2;\n\nchar imgLOGO.OLD[] = {\n" + paletteLine + "\n0x12,0x3E,\n0x45,0x6E,\n};\n\n";
    EXPECT_EQ(rig::ReadFile(path + ".c"), expected);
    EXPECT_NE(paletteLine.find("0xFF,0x00,0xAB,"), std::string::npos);
}

TEST_F(BmpLoader, TheExportCompiledBackDecodesToTheSamePixels) {
    if (std::system("cc --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no C compiler";
    std::mt19937 random(11);
    const int w = 13, h = 7;
    const std::vector<uint32_t> palette = Palette(16);
    const std::vector<uint32_t> pixels = RandomPixels(random, w * h, 16);
    const std::string path = dir / "pic.bmp";
    ASSERT_TRUE(rig::WriteFile(path, Bmp(4, w, h, pixels, palette)));
    const RgbImage loaded = LoadBmp4(path);
    ASSERT_FALSE(loaded.Empty());

    ASSERT_TRUE(rig::WriteFile(dir / "harness.c",
                               "#include <stdio.h>\n#include \"pic.bmp.c\"\n"
                               "int main(void) {\n  printf(\"%d %d %u\", wPIC, hPIC, (unsigned)sizeof imgPIC);\n"
                               "  for (unsigned i = 0; i < sizeof imgPIC; ++i) printf(\" %u\", (unsigned char)imgPIC[i]);\n"
                               "  return 0;\n}\n"));
    const std::string build = "cd '" + dir.Path() + "' && cc -w -o harness harness.c && ./harness > out.txt";
    ASSERT_EQ(std::system(build.c_str()), 0);
    std::FILE* f = std::fopen((dir / "out.txt").c_str(), "r");
    ASSERT_NE(f, nullptr);
    int cw = 0, ch = 0;
    unsigned size = 0;
    ASSERT_EQ(std::fscanf(f, "%d %d %u", &cw, &ch, &size), 3);
    std::vector<unsigned char> bytes(size);
    for (unsigned i = 0; i < size; ++i) {
        unsigned v = 0;
        ASSERT_EQ(std::fscanf(f, "%u", &v), 1);
        bytes[i] = static_cast<unsigned char>(v);
    }
    std::fclose(f);
    EXPECT_EQ(cw, w);
    EXPECT_EQ(ch, h);
    EXPECT_EQ(size, EmbeddedImageSize(w, h));
    EXPECT_EQ(DecodeEmbeddedImage(cw, ch, bytes.data(), bytes.size()), loaded.pixels);
    EXPECT_EQ(loaded.pixels, Expected(4, pixels, palette));
}

TEST_F(BmpLoader, MalformedFilesGiveNoImageAndOneLogLineNamingTheFile) {
    const std::string good = Bmp(8, 3, 2, {0, 1, 2, 3, 4, 5}, Palette(8));
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::vector<Case> cases;
    auto with = [&](size_t at, uint32_t value) {
        std::string b = good;
        testing_bmp::PutLe(b, at, value, 4);
        return b;
    };
    cases.push_back({"empty", ""});
    cases.push_back({"header cut", good.substr(0, 53)});
    cases.push_back({"zero width", with(18, 0)});
    cases.push_back({"zero height", with(22, 0)});
    cases.push_back({"top-down", with(22, static_cast<uint32_t>(-2))});
    cases.push_back({"negative width", with(18, static_cast<uint32_t>(-3))});
    cases.push_back({"too wide", with(18, 16385)});
    cases.push_back({"too high", with(22, 0x7FFFFFFF)});
    cases.push_back({"huge", [&] {
                         std::string b = with(18, 16384);
                         testing_bmp::PutLe(b, 22, 16384, 4);
                         return b;
                     }()});
    cases.push_back({"offset in header", with(10, 20)});
    cases.push_back({"offset past end", with(10, 100000)});
    cases.push_back({"offset wraps", with(10, 0xFFFFFFF0)});
    cases.push_back({"rows missing", good.substr(0, good.size() - 6)});
    cases.push_back({"palette too large", [&] {
                         std::string b = Bmp(8, 3, 2, {0, 1, 2, 3, 4, 5}, Palette(257));
                         return b;
                     }()});
    for (const Case& c : cases) {
        for (int bits : {24, 8, 4}) {
            if (std::string(c.name) == "palette too large" && bits == 24) continue;  // a 24-bit file just skips it
            const std::string path = dir / (std::string(c.name) + " " + std::to_string(bits) + ".bmp");
            ASSERT_TRUE(rig::WriteFile(path, c.bytes));
            testing::internal::CaptureStdout();
            const RgbImage image = Load(bits, path);
            const std::vector<std::string> log = Lines(testing::internal::GetCapturedStdout());
            EXPECT_TRUE(image.Empty()) << c.name << ", " << bits << " bits";
            EXPECT_EQ(image.width * image.height, 0) << c.name;
            ASSERT_EQ(log.size(), 1U) << c.name << ", " << bits << " bits";
            EXPECT_NE(log[0].find(path), std::string::npos) << log[0];
            EXPECT_FALSE(FileExists(path + ".c")) << c.name;
        }
    }
    // A missing file and a directory are no images either.
    for (const std::string& path : {dir / "missing.bmp", dir.Path()}) {
        testing::internal::CaptureStdout();
        EXPECT_TRUE(LoadBmp24(path).Empty());
        EXPECT_EQ(Lines(testing::internal::GetCapturedStdout()).size(), 1U) << path;
    }
}

TEST_F(BmpLoader, AnExportThatCannotBeWrittenIsLoggedButThePictureStillLoads) {
    const std::string path = dir / "pic.bmp";
    ASSERT_TRUE(rig::WriteFile(path, Bmp(4, 2, 1, {1, 2}, Palette(16))));
    ASSERT_EQ(mkdir((path + ".c").c_str(), 0700), 0);  // a directory where the export goes
    ASSERT_TRUE(EnsureDirectory(path + ".c/keep"));
    testing::internal::CaptureStdout();
    const RgbImage image = LoadBmp4(path);
    const std::vector<std::string> log = Lines(testing::internal::GetCapturedStdout());
    EXPECT_EQ(image.pixels, Expected(4, {1, 2}, Palette(16)));
    EXPECT_EQ(log.size(), 1U);
}

}  // namespace
