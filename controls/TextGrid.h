// Where the characters of a text box stand on its grid of cells: each buffer
// position takes the next cell of its row, wrapping at the row's end, and a
// carriage return ends its row, which then belongs to it. The layout stops at
// the last row or the last cell; a position it does not reach has no cell,
// and a character there could not be seen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace lumetra {

class TextGrid {
public:
    // The grid never has more cells than this, whatever the box's size.
    static constexpr int32_t kMaxCells = 1600;

    // One buffer position as laid out.
    struct Place {
        int32_t position;
        int32_t row;
        int32_t column;
        // A carriage return: it takes no cell of its own, and the rest of its
        // row, from its column on, shows it.
        bool rowEnd;
    };

    // A layout: the places in buffer order, as far as the grid reaches, and
    // the buffer position each cell shows.
    struct Layout {
        std::vector<Place> places;
        std::vector<int32_t> textIndex;
        // Whether the position has a cell of its own.
        bool Reaches(int32_t position) const;
    };

    // A fresh grid for columns x rows cells: one cell more than they make,
    // at most kMaxCells, each showing position `blank` until a layout
    // reaches it.
    void Reset(int32_t columns, int32_t rows, int32_t blank);
    // The shape the next layouts use; the cells stay as they are.
    void SetShape(int32_t columns, int32_t rows);

    // Lays positions 0 to last out on the cells: the characters given, then
    // blanks (which take a cell each) up to and including last, the buffer's
    // terminator. The walk ends where the grid does, so its cost follows the
    // characters and the cells, never last. A cell the layout does not reach
    // keeps the position it showed. With breakRows false a carriage return
    // takes a cell like any character.
    Layout Lay(const std::vector<char>& chars, int32_t last, bool breakRows) const;
    void Adopt(Layout layout) { current_ = std::move(layout); }

    const std::vector<Place>& Places() const { return current_.places; }
    bool Reaches(int32_t position) const { return current_.Reaches(position); }
    // The buffer position a cell shows.
    int32_t TextIndex(int32_t cell) const { return current_.textIndex[static_cast<size_t>(cell)]; }
    // The first cell that shows the position; false when none does.
    bool FindCell(int32_t position, int32_t& row, int32_t& column) const;

    int32_t Columns() const { return columns_; }
    int32_t Rows() const { return rows_; }
    // Every cell that exists.
    int32_t CellTotal() const { return static_cast<int32_t>(current_.textIndex.size()); }
    // The cells the layout may use: columns x rows, never more than exist.
    int32_t CellCount() const;

private:
    int32_t columns_ = 0;
    int32_t rows_ = 0;
    Layout current_;
};

}  // namespace lumetra
