// Text files, paths and the diagnostic log, on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/Log.h"
#include "rig/Process.h"
#include "util/Paths.h"
#include "util/TextFile.h"

using namespace lumetra;

namespace {

// Runs the body inside a scratch working directory.
class InScratch : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(here.Ok()); }
    rig::TempDir dir;
    rig::WorkingDirectory here{dir.Path()};
};

using TextFiles = InScratch;
using LogFile = InScratch;
using PathFunctions = InScratch;

TEST_F(TextFiles, MissingAndEmptyFilesAreToldApart) {
    TextFile missing("nothing.txt");
    EXPECT_TRUE(missing.ReadLines().empty());
    EXPECT_TRUE(missing.Failed());
    EXPECT_TRUE(missing.NotOpened());
    rig::WriteFile("empty.txt", "");
    TextFile empty("empty.txt");
    EXPECT_TRUE(empty.ReadLines().empty());
    EXPECT_FALSE(empty.Failed());
    EXPECT_FALSE(empty.NotOpened());
}

TEST_F(TextFiles, LinesKeepCarriageReturnsAndAnUnterminatedTail) {
    rig::WriteFile("a.txt", "one\r\ntwo\n\nlast");
    TextFile f("a.txt");
    EXPECT_EQ(f.ReadLines(), (std::vector<std::string>{"one\r", "two", "", "last"}));
    rig::WriteFile("b.txt", "x\r\n");
    EXPECT_EQ(TextFile("b.txt").ReadAll(), "x\r\r\n");
}

TEST_F(TextFiles, LongLinesAreReadWholeSoARewriteLosesNothing) {
    const std::string longLine(10000, 'q');
    rig::WriteFile("long.txt", "first\nsecond\n" + longLine + "\nafter\n");
    TextFile f("long.txt");
    const std::vector<std::string> lines = f.ReadLines();
    EXPECT_FALSE(f.Failed());
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[2], longLine);
    EXPECT_TRUE(f.WriteLines(lines));
    EXPECT_EQ(rig::ReadFile("long.txt"), "first\nsecond\n" + longLine + "\nafter\n");
}

TEST_F(TextFiles, WriteTruncatesAppendCreatesAndEmptyListsSucceed) {
    TextFile f("w.txt");
    EXPECT_TRUE(f.WriteLines({"a", "b"}));
    EXPECT_TRUE(f.WriteLines({"c"}));
    EXPECT_EQ(rig::ReadFile("w.txt"), "c\n");
    EXPECT_TRUE(f.AppendLines({"d"}));
    EXPECT_EQ(rig::ReadFile("w.txt"), "c\nd\n");
    TextFile g("new.txt");
    EXPECT_TRUE(g.AppendLines({}));
    EXPECT_TRUE(FileExists("new.txt"));
    EXPECT_TRUE(f.WriteLines({}));
    EXPECT_EQ(rig::ReadFile("w.txt"), "");
}

TEST_F(TextFiles, AWriteThatCannotOpenSaysSo) {
    TextFile f("no/such/dir/file.txt");
    EXPECT_FALSE(f.WriteLines({"x"}));
    EXPECT_TRUE(f.Failed());
    EXPECT_TRUE(f.NotOpened());
}

TEST_F(TextFiles, AFullDiskIsAFailedWrite) {
    if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full on this machine";
    TextFile f("/dev/full");
    EXPECT_FALSE(f.WriteLines({"x"}));
    EXPECT_TRUE(f.Failed());
    EXPECT_FALSE(f.NotOpened());
}

TEST_F(PathFunctions, SeparatorsDirectoriesAndNames) {
    EXPECT_EQ(WithTrailingSeparator(""), "");
    EXPECT_EQ(WithTrailingSeparator("Data"), "Data/");
    EXPECT_EQ(WithTrailingSeparator("Data/"), "Data/");
    EXPECT_EQ(WithTrailingSeparator("C:"), "C:");
    EXPECT_EQ(WithTrailingSeparator("a\\"), "a\\");
    EXPECT_EQ(DirectoryOf("pics/Logo.old.bmp"), "pics/");
    EXPECT_EQ(DirectoryOf("a\\b/c\\d.bmp"), "a\\b/c\\");
    EXPECT_EQ(DirectoryOf("C:x.bmp"), "C:");
    EXPECT_EQ(DirectoryOf("x.bmp"), "");
    EXPECT_EQ(FileNameOf("pics/Logo.old.bmp"), "Logo.old.bmp");
    EXPECT_EQ(FileNameOf("x.bmp"), "x.bmp");
}

TEST_F(PathFunctions, EnsureDirectoryCreatesOnlyTheLastComponent) {
    EXPECT_TRUE(EnsureDirectory("d"));
    EXPECT_TRUE(EnsureDirectory("d"));
    EXPECT_FALSE(EnsureDirectory("x/y"));
    rig::WriteFile("plain", "keep");
    EXPECT_TRUE(EnsureDirectory("plain"));
    EXPECT_EQ(rig::ReadFile("plain"), "keep");
    EXPECT_TRUE(RemoveFile("plain"));
    EXPECT_FALSE(RemoveFile("plain"));
}

TEST_F(LogFile, EveryMessageIsOneLine) {
    testing::internal::CaptureStdout();
    Log("first");
    Log(std::string());
    Log("third");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "first\n\nthird\n");
    EXPECT_EQ(rig::ReadFile("log.txt"), "first\n\nthird\n");
}

TEST_F(LogFile, AnUnwritableLogStillReachesStandardOutput) {
    // Root ignores file modes: make log.txt a directory instead.
    ASSERT_EQ(mkdir("log.txt", 0755), 0);
    testing::internal::CaptureStdout();
    Log("still here");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "still here\nlog.txt is not a regular file: messages go to standard output only.\n");
}

}  // namespace
