// The line breaking of DrawText and TextHeight on arbitrary text and widths:
// it must end, and every line must lie inside the text. The first byte gives
// the box width.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lumetra/graphics/TextLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int width = static_cast<int>(data[0]) - 8;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    lumetra::CharWidths widths{};
    for (size_t c = 0; c < widths.size(); ++c) widths[c] = static_cast<int>(c % 13);
    const std::vector<lumetra::TextLine> lines =
        lumetra::LayoutText(text, width, widths, text.size() + 1);
    if (lines.empty()) std::abort();
    for (const lumetra::TextLine& line : lines)
        if (line.begin > text.size() || line.length > text.size() - line.begin) std::abort();
    if (!lines.back().last) std::abort();  // the whole text was laid out
    return 0;
}
