// labels: unit
// Strings and paths as tables of (answer, expected); text files, sounds' lengths and the log on
// real files in a scratch folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "lumetra/core/Log.h"
#include "lumetra/util/Paths.h"
#include "lumetra/util/Strings.h"
#include "lumetra/util/TextFile.h"
#include "lumetra/util/WaveFile.h"
#include "rig/Process.h"

using namespace lumetra;
using Lines = std::vector<std::string>;
using rig::Le;

namespace {

TEST(Util, StringAndPathFunctions) {
    // One row for each branch. The fill goes in front of the sign; an occurrence a replacement
    // made goes too; "b" to "bb" would never end; an empty delimiter would never end either.
    // Each row names itself by the call it makes.
#define ROW(call, expected) \
    { #call, call, expected }
    const std::tuple<const char*, std::string, std::string> rows[] = {
        ROW(IntToString(INT64_MIN), "-9223372036854775808"),
        ROW(IntToString(-5, '0', 3), "0-5"),
        ROW(IntToString(123456789, '0', 8), "123456789"),
        ROW(ByteToHex(58), "3A"),
        ROW(ByteToHex(256), "00"),
        ROW(Trim("   "), ""),
        ROW(Trim("\t a b \n"), "a b"),
        ROW(TrimRight("  a  "), "  a"),
        ROW(TrimRight(""), ""),
        ROW(ReplaceAll("aabb", "ab", ""), ""),
        ROW(ReplaceAll("abc", "", "x"), "abc"),
        ROW(ReplaceAll("abc", "b", "bb"), "abc"),
        ROW(WithTrailingSeparator(""), ""),
        ROW(WithTrailingSeparator("Data"), "Data/"),
        ROW(WithTrailingSeparator("Data/"), "Data/"),
        ROW(WithTrailingSeparator("C:"), "C:"),
        ROW(WithTrailingSeparator("a\\"), "a\\"),
        ROW(DirectoryOf("a\\b/c\\d.bmp"), "a\\b/c\\"),
        ROW(DirectoryOf("C:x.bmp"), "C:"),
        ROW(DirectoryOf("x.bmp"), ""),
    };
#undef ROW
    for (const auto& [call, answer, expected] : rows) EXPECT_EQ(answer, expected) << call;
    EXPECT_EQ(Split("a,,b,", ","), (Lines{"a", "", "b"}));
    EXPECT_EQ(Split("a--b", "--"), (Lines{"a", "b"}));
    EXPECT_EQ(Split("abc", ""), Lines());
}

// A mono 16-bit WAV file of 8,820 bytes of sound whose header says the rest.
std::string Wave(uint32_t rate, uint32_t byteRate, uint32_t block, uint32_t claimed) {
    const std::string format = Le(1, 2) + Le(1, 2) + Le(rate, 4) + Le(byteRate, 4) + Le(block, 2);
    return "RIFF" + Le(0, 4) + "WAVEfmt " + Le(16, 4) + format + Le(16, 2) + "data" +
           Le(claimed, 4) + std::string(8820, '\0');
}

TEST(Util, TextFilesOnRealFiles) {
    rig::Scratch scratch;
    // A missing file and an empty one are told apart.
    TextFile missing("nothing.txt");
    TextFile empty("empty.txt");
    rig::WriteFile("empty.txt", "");
    EXPECT_EQ(missing.ReadLines(), Lines());
    EXPECT_TRUE(missing.NotOpened());
    EXPECT_EQ(empty.ReadLines(), Lines());
    EXPECT_FALSE(empty.Failed());
    // Carriage returns stay, an unterminated tail is a line, a long line is read whole.
    const std::string longLine(10000, 'q');
    rig::WriteFile("a.txt", "one\r\ntwo\n\n" + longLine + "\nlast");
    EXPECT_EQ(TextFile("a.txt").ReadLines(), (Lines{"one\r", "two", "", longLine, "last"}));
    // Writing truncates, appending adds.
    TextFile w("w.txt");
    EXPECT_TRUE(w.WriteLines({"a", "b"}));
    EXPECT_TRUE(w.WriteLines({"c"}));
    EXPECT_TRUE(w.AppendLines({"d"}));
    EXPECT_EQ(rig::ReadFile("w.txt"), "c\nd\n");
    struct stat made {};
    EXPECT_EQ(stat("w.txt", &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0666U & ~umask(022));  // readable and writable by its owner
    EXPECT_EQ(w.ReadAll(), "c\r\nd\r\n");
    TextFile nowhere("no/such/dir/f.txt");
    EXPECT_FALSE(nowhere.WriteLines({"x"}));
    EXPECT_TRUE(nowhere.NotOpened());
    {
        const rig::FileSizeLimit diskFull(3);
        TextFile full("full.txt");
        EXPECT_FALSE(full.WriteLines({"xyz"}));
        EXPECT_FALSE(full.NotOpened());
    }
    // What is not a regular file is refused for writing too, a FIFO without waiting for a reader.
    ASSERT_EQ(mkfifo("fifo", 0644), 0);
    EXPECT_FALSE(TextFile("fifo").WriteLines({"x"}));
    EXPECT_FALSE(TextFile("/dev/null").WriteLines({"x"}));
}

// Only the last component of a directory is made; a file in its place is kept.
TEST(Util, EnsureDirectoryMakesTheLastComponent) {
    rig::Scratch scratch;
    rig::WriteFile("f", "");
    EXPECT_FALSE(EnsureDirectory("x/y"));
    EXPECT_TRUE(EnsureDirectory("f"));
    EXPECT_EQ(rig::ReadFile("f"), "");
}

// Each message a line on standard output (unless muted) and in log.txt, or another file.
TEST(Util, LogLines) {
    rig::Scratch scratch;
    testing::internal::CaptureStdout();
    for (const char* line : {"first", "", "third"}) Log(line);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "first\n\nthird\n");
    EXPECT_EQ(rig::ReadFile("log.txt"), "first\n\nthird\n");
    lumetra::SetLogFile("mine.log");
    lumetra::SetLogEcho(false);
    testing::internal::CaptureStdout();
    Log("to my file");
    lumetra::SetLogFile("");
    Log("nowhere");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(rig::ReadFile("mine.log"), "to my file\n");
    lumetra::SetLogFile("log.txt");
    lumetra::SetLogEcho(true);
}

// A length comes only from fields that agree, and a minute at most; sixteen chunks are read at
// most. What is no regular file is named without being opened.
TEST(Util, WaveLengthsFromFieldsThatAgree) {
    rig::Scratch scratch;
    std::string junk;
    for (int i = 0; i < 15; ++i) junk += "junk" + Le(0, 4);
    const std::string good = Wave(22050, 44100, 2, 8820);
    const std::tuple<const char*, std::string, int64_t> waves[] = {
        {"200 ms", good, 200},
        {"claims more than it holds", Wave(22050, 44100, 2, 1U << 31), 200},
        {"byte rate 1", Wave(22050, 1, 2, 8820), -1},
        {"hours long", Wave(1, 1, 1, 8820), kMaxWaveMillis},
        {"no format before the data", "RIFF" + Le(0, 4) + "WAVEdata" + Le(8, 4) + "12345678", -1},
        {"not RIFF", "RIFX" + good.substr(4), -1},
        {"a format chunk a byte short", good.substr(0, 16) + Le(15, 4) + good.substr(20), -1},
        {"data past the 16th chunk", "RIFF" + Le(0, 4) + "WAVE" + junk + good.substr(12), -1},
    };
    for (const auto& [name, contents, millis] : waves) {
        rig::WriteFile("w.wav", contents);
        EXPECT_EQ(WaveMillis("w.wav"), millis) << name;
    }
    ASSERT_EQ(mkfifo("fifo", 0644), 0);
    EXPECT_EQ(SpecialFileKind("fifo"), "a FIFO");
    EXPECT_EQ(SpecialFileKind("/dev/null"), "a device");
    EXPECT_EQ(SpecialFileKind("."), "a directory");
    EXPECT_EQ(SpecialFileKind("w.wav"), "");
    EXPECT_EQ(SpecialFileKind("missing"), "");
    EXPECT_EQ(WaveMillis("fifo"), -1);
}

}  // namespace
