// String and number helpers.
#include <gtest/gtest.h>

#include "util/Strings.h"

using namespace lumetra;

TEST(Strings, IntToStringAndPadding) {
    EXPECT_EQ(IntToString(0), "0");
    EXPECT_EQ(IntToString(-5), "-5");
    EXPECT_EQ(IntToString(INT64_MIN), "-9223372036854775808");
    // The fill goes in front of the sign.
    EXPECT_EQ(IntToString(-5, '0', 3), "0-5");
    EXPECT_EQ(IntToString(120, '0', 8), "00000120");
    EXPECT_EQ(IntToString(123456789, '0', 8), "123456789");
    EXPECT_EQ(PadLeft("abc", '*', 2), "abc");
    EXPECT_EQ(PadLeft("", '*', 2), "**");
}

TEST(Strings, ByteToHexKeepsTheLowByte) {
    EXPECT_EQ(ByteToHex(10), "0A");
    EXPECT_EQ(ByteToHex(255), "FF");
    EXPECT_EQ(ByteToHex(256), "00");
    EXPECT_EQ(ByteToHex(-1), "FF");
}

TEST(Strings, CaseAndTrimming) {
    EXPECT_EQ(ToUpper("logo.Old"), "LOGO.OLD");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\t a b \n"), "a b");
    EXPECT_EQ(TrimRight("  a  "), "  a");
    EXPECT_EQ(TrimRight(""), "");
}

TEST(Strings, ReplaceAllReplacesUntilNoneIsLeft) {
    EXPECT_EQ(ReplaceAll("12/03/2024", "/", ""), "12032024");
    // An occurrence made by a replacement and its neighbours goes too.
    EXPECT_EQ(ReplaceAll("aabb", "ab", ""), "");
    EXPECT_EQ(ReplaceAll("", "a", "b"), "");
}

TEST(Strings, ReplaceAllRefusesWhatWouldNeverEnd) {
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("abc", "b", "bb"), "abc");
    EXPECT_EQ(ReplaceAll("abc", "b", "xbx"), "abc");
}

TEST(Strings, Split) {
    EXPECT_EQ(Split("a,,b,", ","), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(Split(",a", ","), (std::vector<std::string>{"", "a"}));
    EXPECT_EQ(Split("a--b", "--"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(Split("", ",").empty());
    EXPECT_TRUE(Split("abc", "").empty());
    EXPECT_EQ(Split("abc", ","), (std::vector<std::string>{"abc"}));
}
