#include "graphics/TextLayout.h"

#include <cctype>

namespace lumetra {

namespace {
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
}  // namespace

std::vector<TextLine> LayoutText(const std::string& text, int width, const CharWidths& widths, size_t maxLines) {
    const size_t n = text.size();
    // Prefix sums of the character widths, and for every position the last
    // space before it, make each line's fitting linear in its length.
    std::vector<long> sum(n + 1, 0);
    std::vector<long> lastSpace(n + 1, -1);
    for (size_t i = 0; i < n; ++i) {
        sum[i + 1] = sum[i] + widths[static_cast<unsigned char>(text[i])];
        lastSpace[i + 1] = text[i] == ' ' ? static_cast<long>(i) : lastSpace[i];
    }

    std::vector<TextLine> lines;
    size_t b = 0, e = n;
    while (lines.size() < maxLines) {
        TextLine line;
        line.begin = b;
        const size_t length = e - b;
        size_t lineEnd = e;
        for (size_t i = b; i < e; ++i) {
            if (text[i] == '\n') {
                lineEnd = i;
                break;
            }
        }
        // A text that is exactly one line feed is one empty line, and nothing
        // is left after it.
        if (length == 1 && text[b] == '\n') lineEnd = e = b;
        size_t cut = e - lineEnd;
        if (width >= 1) {
            while (sum[b + length - cut] - sum[b] > width) {
                ++cut;
                line.wrapped = true;
                const size_t keep = length - cut;
                if (IsAlpha(text[b + keep])) {
                    const long p = lastSpace[b + keep];
                    if (p >= static_cast<long>(b)) cut = length - (static_cast<size_t>(p) - b);
                }
            }
        }
        line.length = length - cut;
        // A box narrower than one character still takes one character a line;
        // otherwise the same text would come back for ever.
        if (line.length == 0 && cut > 0 && !IsSpace(text[b])) {
            line.length = 1;
            cut = length - 1;
        }
        line.last = cut == 0;
        lines.push_back(line);
        if (line.last) break;
        b += line.length;
        while (b < e && IsSpace(text[b])) ++b;
        while (e > b && IsSpace(text[e - 1])) --e;
    }
    return lines;
}

}  // namespace lumetra
