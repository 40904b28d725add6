// The line breaking shared by DrawText and TextHeight, against a literal
// one-character-at-a-time reference of the wrapping rule, on hand-picked and
// random texts.
#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "graphics/TextLayout.h"
#include "util/Strings.h"

using namespace lumetra;

namespace {

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

// The rule as it is stated: drop one character at a time while the line is
// too wide; when the dropped character is a letter, go back to the last space
// before it. The rest is trimmed and laid out again.
std::vector<std::string> Reference(std::string text, int width, const CharWidths& widths) {
    std::vector<std::string> out;
    for (int guard = 0; guard < 10000; ++guard) {
        // Exactly one line feed is one empty line with nothing after it.
        if (text == "\n") text.clear();
        const size_t length = text.size();
        size_t cut = 0;
        const size_t nl = text.find('\n');
        if (nl != std::string::npos) cut = length - nl;
        auto lineWidth = [&](size_t keep) {
            long s = 0;
            for (size_t i = 0; i < keep; ++i) s += widths[static_cast<unsigned char>(text[i])];
            return s;
        };
        if (width >= 1) {
            while (lineWidth(length - cut) > width) {
                ++cut;
                const size_t keep = length - cut;
                if (std::isalpha(static_cast<unsigned char>(text[keep]))) {
                    const size_t p = text.rfind(' ', keep == 0 ? std::string::npos : keep - 1);
                    if (keep > 0 && p != std::string::npos) cut = length - p;
                }
            }
        }
        size_t keep = length - cut;
        if (keep == 0 && cut > 0 && !std::isspace(static_cast<unsigned char>(text[0]))) keep = 1, cut = length - 1;
        out.push_back(text.substr(0, keep));
        if (cut == 0) break;
        text = Trim(text.substr(keep));
    }
    return out;
}

std::vector<std::string> Laid(const std::string& text, int width) {
    std::vector<std::string> out;
    for (const TextLine& l : LayoutText(text, width, Widths(), text.size() + 1)) out.push_back(text.substr(l.begin, l.length));
    return out;
}

TEST(TextLayout, WrapsAtSpacesCutsLongWordsAndDropsBlankLines) {
    // 4 characters of 7 pixels fit in 30.
    EXPECT_EQ(Laid("abc def", 30), (std::vector<std::string>{"abc", "def"}));
    EXPECT_EQ(Laid("abcdefghij", 30), (std::vector<std::string>{"abcd", "efgh", "ij"}));
    EXPECT_EQ(Laid("A\n\n\nB", 100), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Laid("\n", 100), (std::vector<std::string>{""}));
    // Punctuation is cut where it stands; only a letter sends the line back to a space.
    EXPECT_EQ(Laid("ab 12345", 30), (std::vector<std::string>{"ab 1", "2345"}));
    // A box narrower than one character takes one character a line.
    EXPECT_EQ(Laid("abc", 1), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Laid("a b", 1), (std::vector<std::string>{"a", "b"}));
    // No width: only line feeds break.
    EXPECT_EQ(Laid("a very long line\nnext", 0), (std::vector<std::string>{"a very long line", "next"}));
}

TEST(TextLayout, MarksWrappedAndLastLines) {
    const std::string text = "one two three";
    const std::vector<TextLine> lines = LayoutText(text, 40, Widths(), 100);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_TRUE(lines[0].wrapped);
    EXPECT_FALSE(lines[0].last);
    EXPECT_FALSE(lines[2].wrapped);
    EXPECT_TRUE(lines[2].last);
    EXPECT_EQ(LayoutText(text, 40, Widths(), 2).size(), 2U);
}

TEST(TextLayout, AgreesWithTheLiteralRuleOnRandomTexts) {
    std::mt19937 random(12345);
    const std::string alphabet = "aaaeeiilMW  .,19-\n\t";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int n = static_cast<int>(random() % 120);
        for (int i = 0; i < n; ++i) text += alphabet[random() % alphabet.size()];
        const int width = static_cast<int>(random() % 60) - 2;
        ASSERT_EQ(Laid(text, width), Reference(text, width, Widths())) << "text \"" << text << "\" width " << width;
    }
}

}  // namespace
