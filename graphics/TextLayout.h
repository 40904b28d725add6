// The line breaking shared by DrawText and TextHeight: a line ends at the
// first line feed or where the next character would pass the box's width,
// going back to the last space when a word would be cut; what follows is
// trimmed and laid out the same way.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace lumetra {

struct TextLine {
    size_t begin = 0;      // offset of the line in the laid-out text
    size_t length = 0;     // characters on the line
    bool wrapped = false;  // the line had to be shortened to fit
    bool last = false;     // nothing is left after it
};

using CharWidths = std::array<int, 256>;

// width < 1 turns wrapping off. At most maxLines lines are produced.
std::vector<TextLine> LayoutText(const std::string& text, int width, const CharWidths& widths,
                                 size_t maxLines);

}  // namespace lumetra
