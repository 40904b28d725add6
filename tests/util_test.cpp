// labels: unit
// Strings and paths as tables of (answer, expected); text files and the log
// on real files in a scratch directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <numeric>

#include "lumetra/core/Log.h"
#include "lumetra/util/Paths.h"
#include "lumetra/util/Strings.h"
#include "lumetra/util/TextFile.h"
#include "lumetra/util/WaveFile.h"
#include "rig/Process.h"

using namespace lumetra;
using Lines = std::vector<std::string>;

namespace {

std::string Bracketed(const Lines& parts) {
    return std::accumulate(parts.begin(), parts.end(), std::string(),
                           [](auto& a, auto& p) { return a + "[" + p + "]"; });
}

TEST(Util, StringAndPathFunctions) {
    // The fill goes in front of the sign; an occurrence a replacement made goes too; "b" to "bb"
    // would never end.
    const std::pair<std::string, std::string> rows[] = {
        {IntToString(0), "0"},
        {IntToString(INT64_MIN), "-9223372036854775808"},
        {IntToString(-5, '0', 3), "0-5"},
        {IntToString(120, '0', 8), "00000120"},
        {IntToString(123456789, '0', 8), "123456789"},
        {PadLeft("", '*', 2), "**"},
        {PadLeft("abc", '*', 2), "abc"},
        {ByteToHex(10), "0A"},
        {ByteToHex(255), "FF"},
        {ByteToHex(256), "00"},
        {ByteToHex(-1), "FF"},
        {ToUpper("logo.Old"), "LOGO.OLD"},
        {Trim("   "), ""},
        {Trim("\t a b \n"), "a b"},
        {TrimRight("  a  "), "  a"},
        {TrimRight(""), ""},
        {ReplaceAll("12/03/2024", "/", ""), "12032024"},
        {ReplaceAll("", "a", "b"), ""},
        {ReplaceAll("aabb", "ab", ""), ""},
        {ReplaceAll("abc", "", "x"), "abc"},
        {ReplaceAll("abc", "b", "xbx"), "abc"},
        {ReplaceAll("abc", "b", "bb"), "abc"},
        {Bracketed(Split("a,,b,", ",")), "[a][][b]"},
        {Bracketed(Split(",a", ",")), "[][a]"},
        {Bracketed(Split("a--b", "--")), "[a][b]"},
        {Bracketed(Split("abc", ",")), "[abc]"},
        {Bracketed(Split("", ",")), ""},
        {Bracketed(Split("abc", "")), ""},
        {WithTrailingSeparator(""), ""},
        {WithTrailingSeparator("Data"), "Data/"},
        {WithTrailingSeparator("Data/"), "Data/"},
        {WithTrailingSeparator("C:"), "C:"},
        {WithTrailingSeparator("a\\"), "a\\"},
        {DirectoryOf("pics/Logo.old.bmp"), "pics/"},
        {DirectoryOf("a\\b/c\\d.bmp"), "a\\b/c\\"},
        {DirectoryOf("C:x.bmp"), "C:"},
        {DirectoryOf("x.bmp"), ""},
        {FileNameOf("pics/Logo.old.bmp"), "Logo.old.bmp"},
        {FileNameOf("x.bmp"), "x.bmp"},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rows[i].first, rows[i].second) << "row " << i;
}

TEST(Util, TextFilesPathsAndTheLogOnRealFiles) {
    rig::TempDir dir;
    rig::WorkingDirectory here(dir.Path());
    ASSERT_TRUE(here.Ok());
    TextFile missing("nothing.txt"), empty("empty.txt");
    rig::WriteFile("empty.txt", "");  // a missing file and an empty one are told apart
    EXPECT_TRUE(missing.ReadLines().empty() && missing.Failed() && missing.NotOpened());
    EXPECT_TRUE(empty.ReadLines().empty() && !empty.Failed() && !empty.NotOpened());
    // Carriage returns stay, an unterminated tail is a line, a long line is read whole.
    const std::string longLine(10000, 'q');
    rig::WriteFile("a.txt", "one\r\ntwo\n\n" + longLine + "\nlast");
    TextFile a("a.txt");
    const Lines lines = a.ReadLines();
    EXPECT_EQ(lines, (Lines{"one\r", "two", "", longLine, "last"}));
    EXPECT_TRUE(a.WriteLines(lines));
    EXPECT_EQ(rig::ReadFile("a.txt"), "one\r\ntwo\n\n" + longLine + "\nlast\n");
    rig::WriteFile("b.txt", "x\r\ny\n");
    EXPECT_EQ(TextFile("b.txt").ReadAll() + TextFile("empty.txt").ReadAll(), "x\r\r\ny\r\n");
    // Writing truncates, appending adds, an empty list still makes the file.
    TextFile w("w.txt");
    EXPECT_TRUE(w.WriteLines({"a", "b"}) && w.WriteLines({"c"}) && w.AppendLines({"d"}));
    EXPECT_EQ(rig::ReadFile("w.txt"), "c\nd\n");
    EXPECT_TRUE(TextFile("new.txt").AppendLines({}) && FileExists("new.txt"));
    EXPECT_TRUE(w.WriteLines({}) && rig::ReadFile("w.txt").empty());
    TextFile nowhere("no/such/dir/f.txt"), full("/dev/full");
    EXPECT_TRUE(!nowhere.WriteLines({"x"}) && nowhere.Failed() && nowhere.NotOpened());
    EXPECT_TRUE(!full.WriteLines({"x"}) && full.Failed() && !full.NotOpened());
    // Only the last component of a directory is made; a file in its place is kept.
    EXPECT_TRUE(EnsureDirectory("d") && EnsureDirectory("d") && FileExists("d") &&
                !EnsureDirectory("x/y"));
    EXPECT_TRUE(EnsureDirectory("w.txt") && RemoveFile("w.txt") && !RemoveFile("w.txt"));
    // The log: one line per message on standard output and in log.txt, which
    // may be unwritable (a directory: root ignores file modes).
    testing::internal::CaptureStdout();
    for (const char* line : {"first", "", "third"}) Log(line);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "first\n\nthird\n");
    EXPECT_EQ(rig::ReadFile("log.txt"), "first\n\nthird\n");
    ASSERT_TRUE(RemoveFile("log.txt") && mkdir("log.txt", 0755) == 0);
    testing::internal::CaptureStdout(), Log("still here");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "still here\nlog.txt is not a regular file: messages go to standard output only.\n");
}

std::string Le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

// A mono 16-bit WAV file of 8,820 bytes of sound whose header says the rest.
std::string Wave(uint32_t rate, uint32_t byteRate, uint32_t block, uint32_t claimed) {
    const std::string format = Le(1, 2) + Le(1, 2) + Le(rate, 4) + Le(byteRate, 4) + Le(block, 2);
    return "RIFF" + Le(0, 4) + "WAVEfmt " + Le(16, 4) + format + Le(16, 2) + "data" +
           Le(claimed, 4) + std::string(8820, '\0');
}

// A length comes only from fields that agree, and a minute at most; what is
// no regular file is named without being opened.
TEST(Util, WaveLengthsAndFileKinds) {
    rig::TempDir dir;
    rig::WorkingDirectory here(dir.Path());
    const struct {
        const char* name;
        std::string contents;
        int64_t millis;
    } waves[] = {
        {"200 ms", Wave(22050, 44100, 2, 8820), 200},
        {"claims more than it holds", Wave(22050, 44100, 2, 1U << 31), 200},
        {"byte rate 1", Wave(22050, 1, 2, 8820), -1},
        {"no block size", Wave(22050, 0, 0, 8820), -1},
        {"no sample rate", Wave(0, 0, 2, 8820), -1},
        {"hours long", Wave(1, 1, 1, 8820), kMaxWaveMillis},
        {"no format before the data", "RIFF" + Le(0, 4) + "WAVEdata" + Le(8, 4) + "12345678", -1},
        {"not RIFF", "RIFX" + Wave(22050, 44100, 2, 8820).substr(4), -1},
    };
    for (const auto& wave : waves) {
        rig::WriteFile("w.wav", wave.contents);
        EXPECT_EQ(WaveMillis("w.wav"), wave.millis) << wave.name;
    }
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    const std::pair<const char*, const char*> kinds[] = {
        {"fifo", "a FIFO"}, {"/dev/null", "a device"}, {".", "a directory"},
        {"w.wav", ""},      {"missing", ""},
    };
    for (const auto& [path, kind] : kinds) EXPECT_EQ(SpecialFileKind(path), kind) << path;
    EXPECT_EQ(WaveMillis("fifo"), -1);
}

}  // namespace
