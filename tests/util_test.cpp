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
    TextFile nowhere("no/such/dir/f.txt");
    EXPECT_TRUE(!nowhere.WriteLines({"x"}) && nowhere.Failed() && nowhere.NotOpened());
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

}  // namespace
