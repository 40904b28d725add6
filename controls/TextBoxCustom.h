// The toolkit's text input as a control: it owns a TextEditor (the editing
// rules and the layout of the grid), hands it the keys and clicks it gets,
// and paints the buffer on a fixed grid of character cells, each one "M"
// wide and one line high. Every cell remembers what it last showed, so an
// edit redraws only the cells that changed; the caret is a cell drawn in the
// caret colour behind its character. There is no scrolling: the visible grid
// is the whole capacity of the box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lumetra/controls/Control.h"
#include "lumetra/controls/TextEditor.h"

namespace lumetra {

class GraphicsContext;

class TextBoxCustom : public Control {
public:
    // What a cell last showed.
    // The most cells a box has, whatever its size.
    static constexpr int32_t MaxCells = TextGrid::kMaxCells;

    // What a cell of the grid last showed: the character, its colours, and
    // the buffer position it stands for (a carriage return's for the rest of
    // its row).
    struct TextCell {
        char ch = ' ';
        Colour fg = 0;
        Colour bg = 0;
        int32_t textIndex = 0;
    };

    // Trailing spaces of the initial text are dropped.
    TextBoxCustom(GUIElement* parentElement, const std::string& initialText);

    // The height is at least the font's size + 10 and one row; a box on
    // screen is made anew even at the same size.
    void SetSize(int32_t w, int32_t h) override;
    // Keeps what was typed for the next Show, which makes the box anew.
    void Hide() override;
    // The text ends at its first NUL, as the buffer's does: GetText answers
    // what the box shows.
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
    void Create() override;

    // Draws every cell again.
    virtual void RefreshText(bool full);
    // Draws the cells of the buffer's layout: all of them when full, else
    // those from `from` - 1 on whose look changed.
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
    // Each character centred, or at the right, or at the left of its cell;
    // multi-line text is always drawn left.
    void SetAlignCenter(bool on);
    void SetAlignRight(bool on);
    void SetAlignLeft(bool on);
    void Repaint();

    int32_t GetCaret() const { return editor_.GetCaret(); }
    int32_t GetLength() const { return editor_.GetLength(); }
    int32_t GetMaxLength() const { return editor_.GetMaxLength(); }
    int32_t GetLineHeight() const { return lineHeight; }
    int32_t GetCellWidth() const { return cellWidth; }
    int32_t Columns() const;
    int32_t Rows() const;
    bool IsMultiLine() const { return editor_.IsMultiLine(); }
    bool IsDateMode() const { return editor_.IsDateMode(); }
    bool IsPassword() const { return editor_.IsPassword(); }
    bool IsReadOnly() const { return readOnly; }
    // The editing rules and the layout of the grid.
    const TextEditor& Editor() const { return editor_; }
    // What each cell of the grid last showed; empty until created.
    const std::vector<TextCell>& Cells() const { return cells; }

protected:
    // The focus shows as the caret: its cells are repainted.
    void PaintFocus() override;

private:
    // Height below one row raised to one row.
    void RaiseHeight();
    // The editor's grid takes the box's current shape.
    void FitGrid() { editor_.Fit(Columns(), Rows()); }
    // Sounds the alert and repaints as the edit asks.
    void Apply(const TextEditor::Outcome& outcome);
    // Turned off, an alignment falls back to the left.
    void Align(TextAlign a, bool on);
    // A carriage return's place: the rest of its row blank, the caret there.
    void DrawRowEnd(GraphicsContext& gc, const TextGrid::Place& place, Colour back);

    TextEditor editor_;
    Colour textColor = 0x000000;
    Colour caretColor = 0xFFFF00;
    bool readOnly = false;
    TextAlign alignment_ = AlignLeft;
    bool border = true;
    std::vector<TextCell> cells;
    int32_t lineHeight = 0;
    int32_t cellWidth = 0;
};

}  // namespace lumetra
