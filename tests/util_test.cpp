// labels: unit
// Strings and paths as tables of (answer, expected); text files and the log
// on real files in a scratch directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
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
    struct Row {
        const char* call;
        std::string answer;
        std::string expected;
    };
    // Each row names itself by the call it makes.
#define ROW(call, expected) \
    { #call, call, expected }
    const Row rows[] = {
        ROW(IntToString(0), "0"),
        ROW(IntToString(INT64_MIN), "-9223372036854775808"),
        ROW(IntToString(-5, '0', 3), "0-5"),
        ROW(IntToString(120, '0', 8), "00000120"),
        ROW(IntToString(123456789, '0', 8), "123456789"),
        ROW(PadLeft("", '*', 2), "**"),
        ROW(PadLeft("abc", '*', 2), "abc"),
        ROW(ByteToHex(10), "0A"),
        ROW(ByteToHex(255), "FF"),
        ROW(ByteToHex(256), "00"),
        ROW(ByteToHex(-1), "FF"),
        ROW(ToUpper("logo.Old"), "LOGO.OLD"),
        ROW(Trim("   "), ""),
        ROW(Trim("\t a b \n"), "a b"),
        ROW(TrimRight("  a  "), "  a"),
        ROW(TrimRight(""), ""),
        ROW(ReplaceAll("12/03/2024", "/", ""), "12032024"),
        ROW(ReplaceAll("", "a", "b"), ""),
        ROW(ReplaceAll("aabb", "ab", ""), ""),
        ROW(ReplaceAll("abc", "", "x"), "abc"),
        ROW(ReplaceAll("abc", "b", "xbx"), "abc"),
        ROW(ReplaceAll("abc", "b", "bb"), "abc"),
        ROW(Bracketed(Split("a,,b,", ",")), "[a][][b]"),
        ROW(Bracketed(Split(",a", ",")), "[][a]"),
        ROW(Bracketed(Split("a--b", "--")), "[a][b]"),
        ROW(Bracketed(Split("abc", ",")), "[abc]"),
        ROW(Bracketed(Split("", ",")), ""),
        ROW(Bracketed(Split("abc", "")), ""),
        ROW(WithTrailingSeparator(""), ""),
        ROW(WithTrailingSeparator("Data"), "Data/"),
        ROW(WithTrailingSeparator("Data/"), "Data/"),
        ROW(WithTrailingSeparator("C:"), "C:"),
        ROW(WithTrailingSeparator("a\\"), "a\\"),
        ROW(DirectoryOf("pics/Logo.old.bmp"), "pics/"),
        ROW(DirectoryOf("a\\b/c\\d.bmp"), "a\\b/c\\"),
        ROW(DirectoryOf("C:x.bmp"), "C:"),
        ROW(DirectoryOf("x.bmp"), ""),
        ROW(FileNameOf("pics/Logo.old.bmp"), "Logo.old.bmp"),
        ROW(FileNameOf("x.bmp"), "x.bmp"),
    };
#undef ROW
    for (const Row& row : rows) EXPECT_EQ(row.answer, row.expected) << row.call;
}

TEST(Util, TextFilesPathsAndTheLogOnRealFiles) {
    rig::TempDir dir;
    rig::WorkingDirectory here(dir.Path());
    ASSERT_TRUE(here.Ok());
    // A missing file and an empty one are told apart.
    TextFile missing("nothing.txt");
    TextFile empty("empty.txt");
    rig::WriteFile("empty.txt", "");
    EXPECT_EQ(missing.ReadLines(), Lines());
    EXPECT_TRUE(missing.Failed());
    EXPECT_TRUE(missing.NotOpened());
    EXPECT_EQ(empty.ReadLines(), Lines());
    EXPECT_FALSE(empty.Failed());
    EXPECT_FALSE(empty.NotOpened());
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
    EXPECT_TRUE(w.WriteLines({"a", "b"}));
    EXPECT_TRUE(w.WriteLines({"c"}));
    EXPECT_TRUE(w.AppendLines({"d"}));
    EXPECT_EQ(rig::ReadFile("w.txt"), "c\nd\n");
    EXPECT_TRUE(TextFile("new.txt").AppendLines({}));
    EXPECT_TRUE(FileExists("new.txt"));
    EXPECT_TRUE(w.WriteLines({}));
    EXPECT_EQ(rig::ReadFile("w.txt"), "");
    TextFile nowhere("no/such/dir/f.txt");
    EXPECT_FALSE(nowhere.WriteLines({"x"}));
    EXPECT_TRUE(nowhere.Failed());
    EXPECT_TRUE(nowhere.NotOpened());
    {
        const rig::FileSizeLimit diskFull(3);
        TextFile full("full.txt");
        EXPECT_FALSE(full.WriteLines({"xyz"}));
        EXPECT_TRUE(full.Failed());
        EXPECT_FALSE(full.NotOpened());
    }
    // What is not a regular file is refused for writing too, a FIFO without
    // waiting for a reader.
    ASSERT_EQ(mkfifo("fifo", 0644), 0);
    for (TextFile refused : {TextFile("fifo"), TextFile("/dev/null")}) {
        SCOPED_TRACE(refused.Path());
        EXPECT_FALSE(refused.WriteLines({"x"}));
        EXPECT_FALSE(refused.AppendLines({"x"}));
        EXPECT_TRUE(refused.NotOpened());
    }
    // Only the last component of a directory is made; a file in its place is kept.
    EXPECT_TRUE(EnsureDirectory("d"));
    EXPECT_TRUE(EnsureDirectory("d"));
    EXPECT_TRUE(FileExists("d"));
    EXPECT_FALSE(EnsureDirectory("x/y"));
    EXPECT_TRUE(EnsureDirectory("w.txt"));
    EXPECT_TRUE(RemoveFile("w.txt"));
    EXPECT_FALSE(RemoveFile("w.txt"));
    // The log: one line per message on standard output and in log.txt, which
    // may be unwritable (a directory: root ignores file modes).
    testing::internal::CaptureStdout();
    for (const char* line : {"first", "", "third"}) Log(line);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "first\n\nthird\n");
    EXPECT_EQ(rig::ReadFile("log.txt"), "first\n\nthird\n");
    ASSERT_TRUE(RemoveFile("log.txt"));
    ASSERT_EQ(mkdir("log.txt", 0755), 0);
    testing::internal::CaptureStdout();
    Log("still here");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "still here\nlog.txt is not a regular file: messages go to standard output only.\n");
    // A program chooses another file, or none, and whether to echo.
    lumetra::SetLogFile("mine.log");
    lumetra::SetLogEcho(false);
    testing::internal::CaptureStdout();
    Log("to my file");
    lumetra::SetLogFile("");
    const auto entries = [] {
        const std::filesystem::directory_iterator here(".");
        return std::distance(begin(here), end(here));
    };
    const auto before = entries();
    Log("nowhere");
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(rig::ReadFile("mine.log"), "to my file\n");
    lumetra::SetLogFile("log.txt");
    lumetra::SetLogEcho(true);
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
    // One row a line, which clang-format would pack.
    // clang-format off
    const std::pair<const char*, const char*> kinds[] = {
        {"fifo", "a FIFO"},
        {"/dev/null", "a device"},
        {".", "a directory"},
        {"w.wav", ""},
        {"missing", ""},
    };
    // clang-format on
    for (const auto& [path, kind] : kinds) EXPECT_EQ(SpecialFileKind(path), kind) << path;
    EXPECT_EQ(WaveMillis("fifo"), -1);
}

}  // namespace
