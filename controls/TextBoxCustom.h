// The toolkit's text input. The text is laid out on a fixed grid of character
// cells, each one "M" wide and one line high, and every cell remembers what it
// last showed, so an edit redraws only the cells that changed. The caret is a
// cell drawn in the caret colour behind its character.
//
// Single-line mode (the default) edits a buffer of maxLength characters
// pre-filled with spaces, and typing overwrites like a terminal form field.
// Multi-line mode inserts, and Enter breaks the line. Options restrict input
// to digits (with one optional decimal point), to a dd/mm/yyyy date with
// automatic separators, or show every character as "*". There is no
// scrolling: the visible grid is the whole capacity of the box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lumetra/core/GUIElement.h"

namespace lumetra {

class TextBoxCustom : public Child {
public:
    // The grid never has more cells than this, whatever the box's size.
    static constexpr int32_t MaxCells = 1600;

    // What a cell last showed.
    struct TextCell {
        char ch = ' ';
        Colour fg = 0;
        Colour bg = 0;
        // The buffer position shown; cells after a carriage return on its
        // row carry the carriage return's position.
        int32_t textIndex = 0;
    };

    // Trailing spaces of the initial text are dropped.
    TextBoxCustom(GUIElement* parentElement, const std::string& initialText);

    void SetSize(int32_t w, int32_t h) override;
    void SetPosition(int32_t px, int32_t py) override;
    void Show() override;
    void ShowWindow() override;
    void Hide() override;
    void SetText(const std::string& s) override;
    // While created: the buffer's text without trailing spaces.
    std::string GetText() override;
    void MouseUp(PackedPoint p) override;
    void KeyDown(uint32_t keysym) override;
    // False when the box refuses input as a whole (not created, disabled,
    // read-only, or vetoed by the OnKeyChar handler); true otherwise, also
    // for a single character refused with the alert.
    bool KeyChar(char ch) override;
    void SetFocus() override;
    void Paint() override;
    void GotFocus() override;
    void LostFocus() override;
    void Create() override;

    // Draws every cell again.
    virtual void RefreshText(bool full);
    // Lays the buffer out on the grid and draws the cells that need it: all
    // of them when full, else those from `from` - 1 on whose look changed.
    virtual void DrawCells(bool full, int32_t from);
    virtual void Enable(bool on);

    // Only before creation: the buffer is sized then.
    void SetMaxLength(int32_t n);
    void SetTextColor(Colour c) { textColor = c; }
    void SetCaretColor(Colour c) { caretColor = c; }
    void SetBorder(bool on) { border = on; }
    void SetMultiLine(bool on);
    void SetReadOnly(bool on);
    void SetNumericOnly(bool on);
    void SetAllowDecimalPoint(bool on);
    void SetPassword(bool on);
    // Digits only, separators typed for the user; the ten characters of a
    // date fit the buffer only when this is set before creation.
    void SetDateMode(bool on);
    // Delete then removes the character at the caret; implies multi-line.
    void SetDeleteShifts(bool on);
    void SetAlignCenter(bool on);
    void SetAlignRight(bool on);
    void SetAlignLeft(bool on);
    void Repaint();

    int32_t GetCaret() const { return caret; }
    int32_t GetLength() const { return length; }
    int32_t GetMaxLength() const { return maxLength; }
    int32_t GetLineHeight() const { return lineHeight; }
    int32_t GetCellWidth() const { return cellWidth; }
    int32_t Columns() const;
    int32_t Rows() const;
    bool IsMultiLine() const { return multiLine; }
    bool IsDateMode() const { return dateMode; }
    bool IsPassword() const { return password; }
    bool IsReadOnly() const { return readOnly; }
    // The cells of the grid; empty until created.
    const std::vector<TextCell>& Cells() const { return cells; }

private:
    // Height below one row raised to one row.
    void RaiseHeight();
    // Cells the layout may use: columns x rows, never more than exist.
    int32_t CellCount() const;
    void LoadBuffer();
    // Whether the stored text, laid out as DrawCells lays out the buffer,
    // gives position `count` a cell.
    bool FitsInGrid(int32_t count) const;
    void RepaintFrom(int32_t position) { DrawCells(false, position); }
    void RepaintIfCreated();
    void DeleteAtCaret();
    void Backspace();
    void TypeOver(char ch);
    void Insert(char ch);
    // The cell that shows the caret (row and column), 0, 0 when none does.
    void FindCaretCell(int32_t& row, int32_t& column) const;
    void CursorUp();
    void CursorDown();

    std::vector<char> buffer;
    Colour textColor = 0x000000;
    int32_t caret = 0;
    int32_t length = 0;
    Colour caretColor = 0xFFFF00;
    int32_t maxLength = 256;
    bool multiLine = false;
    bool dateMode = false;
    bool readOnly = false;
    bool numericOnly = false;
    bool allowDecimalPoint = false;
    bool password = false;
    bool alignRight = false;
    bool alignCenter = false;
    bool border = true;
    bool deleteShifts = false;
    std::vector<TextCell> cells;
    int32_t lineHeight = 0;
    int32_t cellWidth = 0;
};

}  // namespace lumetra
