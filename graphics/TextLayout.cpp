// Breaking a text into the lines a box of a given width shows.
#include "lumetra/graphics/TextLayout.h"

#include <algorithm>
#include <cctype>

namespace lumetra {

namespace {
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
}  // namespace

std::vector<TextLine> LayoutText(const std::string& text, int width, const CharWidths& widths,
                                 size_t maxLines) {
    const size_t n = text.size();
    // Prefix sums of the character widths, and for every position the last
    // space and the last letter before it and the first space from it on,
    // let each line be fitted in time proportional to its own length rather
    // than to the rest of the text.
    std::vector<long> sum(n + 1, 0);
    std::vector<long> lastSpace(n + 1, -1);
    std::vector<long> lastAlpha(n + 1, -1);
    std::vector<size_t> nextSpace(n + 2, n);
    for (size_t i = 0; i < n; ++i) {
        sum[i + 1] = sum[i] + widths[static_cast<unsigned char>(text[i])];
        lastSpace[i + 1] = text[i] == ' ' ? static_cast<long>(i) : lastSpace[i];
        lastAlpha[i + 1] = IsAlpha(text[i]) ? static_cast<long>(i) : lastAlpha[i];
    }
    for (size_t i = n; i-- > 0;) nextSpace[i] = text[i] == ' ' ? i : nextSpace[i + 1];

    std::vector<TextLine> lines;
    size_t b = 0;
    size_t e = n;
    while (lines.size() < maxLines) {
        TextLine line;
        line.begin = b;
        size_t lineEnd = e;
        for (size_t i = b; i < e; ++i) {
            if (text[i] == '\n') {
                lineEnd = i;
                break;
            }
        }
        // A text that is exactly one line feed is one empty line, and nothing
        // is left after it.
        if (e - b == 1 && text[b] == '\n') lineEnd = e = b;
        const size_t length = e - b;
        size_t keep = lineEnd - b;
        if (width >= 1 && sum[b + keep] - sum[b] > width) {
            // The line is shortened one character at a time until it fits;
            // whenever the character dropped is a letter it goes back to the
            // last space before it instead (word wrap). That walk passes every
            // space beyond the part that fits, so it is taken up at the first
            // of them: from there only the characters down to the fitting
            // length are looked at, and the first letter among them sends the
            // line back to the space before it.
            line.wrapped = true;
            const long limit = sum[b] + width;
            const size_t fits =
                static_cast<size_t>(std::upper_bound(sum.begin() + static_cast<long>(b),
                                                     sum.begin() + static_cast<long>(b + keep) + 1,
                                                     limit) -
                                    (sum.begin() + static_cast<long>(b))) -
                1;
            const size_t from = std::min(nextSpace[b + fits + 1], b + keep);
            const long letter = lastAlpha[from];
            if (letter >= static_cast<long>(b + fits) &&
                lastSpace[static_cast<size_t>(letter)] >= static_cast<long>(b)) {
                keep = static_cast<size_t>(lastSpace[static_cast<size_t>(letter)]) - b;
            } else {
                keep = fits;
            }
        }
        size_t cut = length - keep;
        line.length = keep;
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
