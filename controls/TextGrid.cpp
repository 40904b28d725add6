// The layout of a text box's buffer on its grid of character cells.
#include "lumetra/controls/TextGrid.h"

#include <algorithm>

namespace lumetra {

namespace {
constexpr char kCarriageReturn = 13;
}  // namespace

bool TextGrid::Layout::Reaches(int32_t position) const {
    // Positions are laid out in order from 0, one place each.
    return position >= 0 && position < static_cast<int32_t>(places.size()) &&
           !places[static_cast<size_t>(position)].rowEnd;
}

void TextGrid::Reset(int32_t columns, int32_t rows, int32_t blank) {
    SetShape(columns, rows);
    const int64_t total =
        std::min<int64_t>(static_cast<int64_t>(columns_) * rows_ + 1, int64_t{kMaxCells});
    current_.places.clear();
    current_.textIndex.assign(static_cast<size_t>(total), blank);
}

void TextGrid::SetShape(int32_t columns, int32_t rows) {
    columns_ = std::max(columns, 0);
    rows_ = std::max(rows, 0);
}

int32_t TextGrid::CellCount() const {
    const int64_t grid = static_cast<int64_t>(columns_) * rows_;
    return static_cast<int32_t>(std::min<int64_t>(grid, CellTotal()));
}

TextGrid::Layout TextGrid::Lay(const std::vector<char>& chars, int32_t last, bool breakRows) const {
    Layout out;
    out.textIndex = current_.textIndex;
    const int32_t count = CellCount();
    const int64_t given = static_cast<int64_t>(chars.size());
    int32_t c = 0;
    int32_t r = 0;
    for (int64_t at = 0; at <= last; ++at) {
        const auto i = static_cast<int32_t>(at);
        if (breakRows && at < given && chars[static_cast<size_t>(at)] == kCarriageReturn) {
            out.places.push_back({i, r, c, true});
            for (int32_t cell = r * columns_ + c; cell < (r + 1) * columns_ && cell < count; ++cell)
                out.textIndex[static_cast<size_t>(cell)] = i;
            // More line breaks than rows have nowhere to go.
            ++r;
            c = 0;
            if (r >= rows_) break;
            continue;
        }
        if (c >= columns_) {
            c = 0;
            ++r;
        }
        const int32_t cell = r * columns_ + c;
        if (r >= rows_ || cell >= count) break;
        out.places.push_back({i, r, c, false});
        out.textIndex[static_cast<size_t>(cell)] = i;
        ++c;
    }
    return out;
}

bool TextGrid::FindCell(int32_t position, int32_t& row, int32_t& column) const {
    const int32_t count = CellCount();
    for (int32_t i = 0; i < count; ++i) {
        if (current_.textIndex[static_cast<size_t>(i)] != position) continue;
        row = i / columns_;
        column = i % columns_;
        return true;
    }
    return false;
}

}  // namespace lumetra
