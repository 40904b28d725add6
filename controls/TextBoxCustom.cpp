// The text box control: input handed to its editor, and the grid painted.
#include "lumetra/controls/TextBoxCustom.h"

#include <algorithm>
#include <optional>

#include "lumetra/controls/AlertSound.h"
#include "lumetra/controls/ControlPaint.h"
#include "lumetra/core/Application.h"
#include "lumetra/graphics/GraphicsContext.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

namespace {
constexpr char kEnter = 13;
}  // namespace

TextBoxCustom::TextBoxCustom(GUIElement* parentElement, const std::string& initialText)
    : Control(parentElement) {
    elementKind = "TextBoxCustom";
    width = 80;
    height = 30;
    backColor = 0xFFFFFF;
    text = editor_.NewText(TrimRight(initialText), false);
    autoRepaint = true;
    showsFocus_ = true;
    GraphicsContext gc(GetForm());
    lineHeight = gc.LineHeight() + 4;
    cellWidth = gc.CharWidth() + 2;
}

// ---- geometry ---------------------------------------------------------------

void TextBoxCustom::RaiseHeight() {
    if (height <= lineHeight + 5) height = lineHeight + 6;
}

int32_t TextBoxCustom::Columns() const { return std::max(0, (width - 6) / cellWidth); }

int32_t TextBoxCustom::Rows() const {
    const int32_t h = height <= lineHeight + 5 ? lineHeight + 6 : height;
    return std::max(0, (h - 6) / lineHeight);
}

// ---- element operations -------------------------------------------------------

void TextBoxCustom::SetSize(int32_t w, int32_t h) {
    h = std::max(h, font.Size() + 10);
    const bool shown = created;
    if (shown) Hide();
    width = w;
    height = h;
    RaiseHeight();
    if (shown) Show();
}

void TextBoxCustom::Hide() {
    if (!created) return;
    // The next Show builds the buffer from the stored text: keep what was
    // typed since it was last read.
    GetText();
    Control::Hide();
}

void TextBoxCustom::SetText(const std::string& s) {
    text = editor_.NewText(s, true);
    if (created) {
        text = editor_.Load(text);
        Paint();
    }
}

std::string TextBoxCustom::GetText() {
    if (created) text = editor_.Text();
    return text;
}

void TextBoxCustom::Create() {
    if (created) return;
    RaiseHeight();
    editor_.Open(Columns(), Rows());
    TextCell blank;
    blank.fg = enabled ? textColor : DisabledTextColour;
    blank.bg = enabled ? EffectiveBackColor() : DefaultBackColour;
    blank.textIndex = editor_.GetMaxLength();
    cells.assign(static_cast<size_t>(editor_.Grid().CellTotal()), blank);
    text = editor_.Load(text);
    CreateControl();
}

// ---- painting -----------------------------------------------------------------

void TextBoxCustom::Paint() {
    if (!MayPaint(*this)) return;
    RaiseHeight();
    GraphicsContext gc(GetForm());
    const ControlArea a = AreaInForm(*this);
    gc.FillRectangle(a.x, a.y, a.w, a.h, 0, 0, enabled ? EffectiveBackColor() : DefaultBackColour);
    if (border) {
        // Two bevels, the outer sunken and the inner raised the other way.
        DrawBevel(gc, a, 0xFFFFFF, 0x000000);
        DrawBevel(gc, {a.x + 1, a.y + 1, a.w - 2, a.h - 2}, 0x000000, 0xFFFFFF);
    }
    RefreshText(true);
}

void TextBoxCustom::RefreshText(bool full) { DrawCells(full, editor_.GetCaret()); }

void TextBoxCustom::DrawCells(bool full, int32_t from) {
    if (!created || !editor_.IsOpen()) return;
    FitGrid();
    const TextGrid& grid = editor_.Grid();
    const int32_t cols = grid.Columns();
    if (grid.CellCount() == 0) return;
    // Only what may be drawn on is drawn, and a cell remembers only what
    // really reached it.
    std::optional<GraphicsContext> gc;
    if (MayPaint(*this)) gc.emplace(GetForm());
    if (!gc.has_value() || !gc->IsUsable()) return;
    // The changed cells go to the server together, when the walk is done.
    const GraphicsContext::FlushOnce once(gc->GetDisplay());

    // From the cell before the caret, which showed the caret; in a date the
    // digit before a separator typed by itself is new too.
    int32_t start = std::max(from - 1, 0);
    if (editor_.IsDateMode() && (from == 3 || from == 6)) start = std::max(start - 1, 0);
    if (full) start = 0;

    const ControlArea a = AreaInForm(*this);
    const Colour back = enabled ? EffectiveBackColor() : DefaultBackColour;
    const Colour fore = enabled ? textColor : DisabledTextColour;
    const bool showCaret = hasFocus && enabled && !readOnly;
    const TextAlign align = editor_.IsMultiLine() ? AlignLeft : alignment_;
    for (const TextGrid::Place& place : grid.Places()) {
        if (place.rowEnd) {
            DrawRowEnd(*gc, place, back);
            continue;
        }
        if (place.position < start) continue;
        const int32_t index = place.row * cols + place.column;
        TextCell& cell = cells[static_cast<size_t>(index)];
        cell.textIndex = place.position;
        const char k = editor_.Shown(place.position);
        const Colour bg = showCaret && editor_.GetCaret() == place.position ? caretColor : back;
        if (!full && cell.fg == fore && cell.bg == bg && cell.ch == k) continue;
        gc->DrawText(a.x + 3 + place.column * cellWidth, a.y + 3 + place.row * lineHeight,
                     cellWidth, lineHeight, k == '\0' ? std::string() : std::string(1, k), fore, bg,
                     align);
        cell = {k, fore, bg, place.position};
    }
}

void TextBoxCustom::DrawRowEnd(GraphicsContext& gc, const TextGrid::Place& place, Colour back) {
    const TextGrid& grid = editor_.Grid();
    const int32_t cols = grid.Columns();
    const int32_t r = place.row;
    const int32_t c = place.column;
    if (c >= cols) return;
    const ControlArea a = AreaInForm(*this);
    const int32_t left = a.x + 3 + c * cellWidth;
    const int32_t top = a.y + 3 + r * lineHeight;
    if ((r + 1) * lineHeight < height)
        gc.FillRectangle(left, top, width - 6 - c * cellWidth, lineHeight + 1, 0, 0, back);
    const int32_t first = r * cols + c;
    for (int32_t cell = first; cell < (r + 1) * cols && cell < grid.CellCount(); ++cell)
        cells[static_cast<size_t>(cell)] = {kEnter, textColor, back, place.position};
    const bool showCaret = hasFocus && enabled && !readOnly;
    if (showCaret && editor_.GetCaret() == place.position && first < grid.CellCount()) {
        gc.DrawText(left, top, cellWidth, lineHeight, " ", textColor, caretColor, AlignLeft);
        cells[static_cast<size_t>(first)] = {' ', textColor, caretColor, place.position};
    }
}

// ---- input --------------------------------------------------------------------

void TextBoxCustom::Apply(const TextEditor::Outcome& outcome) {
    if (outcome.alert) SoundAlert();
    if (outcome.repaintFrom != TextEditor::kNoRepaint) DrawCells(false, outcome.repaintFrom);
}

void TextBoxCustom::MouseUp(PackedPoint p) {
    const ElementWatch alive(this);
    GUIElement::MouseUp(p);
    if (!alive || !created) return;
    FitGrid();
    const PackedPoint at = PositionInForm();
    const int32_t dx = PointX(p) - PointX(at);
    const int32_t dy = PointY(p) - PointY(at);
    if (dx < 0 || dy < 0) return;
    const int64_t row = (dy - 4) / lineHeight;
    const int64_t column = dx / cellWidth;
    Apply(editor_.Click(row * Columns() + column));
}

void TextBoxCustom::KeyDown(uint32_t keysym) {
    const ElementWatch alive(this);
    GUIElement::KeyDown(keysym);
    // Cursor keys are refused silently with the rest of the input when the
    // box takes none.
    if (!alive || !created || !enabled || readOnly) return;
    FitGrid();
    Apply(editor_.Press(keysym));
}

bool TextBoxCustom::KeyChar(char ch) {
    if (!created || !enabled || readOnly) return false;
    const ElementWatch alive(this);
    if (onKeyChar != nullptr && !onKeyChar(this, ch)) return false;
    if (!alive) return true;
    FitGrid();
    Apply(editor_.Type(ch));
    return true;
}

// ---- focus --------------------------------------------------------------------

void TextBoxCustom::SetFocus() {
    if (!created) return;
    const ElementWatch alive(this);
    GUIElement::SetFocus();
    GotFocus();
    if (!alive) return;
    GUIElement* other = Application::focusedElement;
    if (other != nullptr && other != this) other->LostFocus();
    Application::focusedElement = this;
}

void TextBoxCustom::PaintFocus() { DrawCells(false, editor_.GetCaret()); }

// ---- settings -----------------------------------------------------------------

void TextBoxCustom::Enable(bool on) { SetAndPaint(enabled, on); }

void TextBoxCustom::Repaint() { Paint(); }

void TextBoxCustom::SetMaxLength(int32_t n) {
    if (!created) editor_.SetMaxLength(n);
}

void TextBoxCustom::SetMultiLine(bool on) {
    editor_.SetMultiLine(on);
    Paint();
}

void TextBoxCustom::SetReadOnly(bool on) { SetAndPaint(readOnly, on); }

void TextBoxCustom::SetNumericOnly(bool on) {
    editor_.SetNumericOnly(on);
    Paint();
}

void TextBoxCustom::SetAllowDecimalPoint(bool on) {
    editor_.SetAllowDecimalPoint(on);
    Paint();
}

void TextBoxCustom::SetPassword(bool on) {
    editor_.SetPassword(on);
    Paint();
}

void TextBoxCustom::SetDateMode(bool on) {
    editor_.SetDateMode(on);
    // A created box keeps the buffer it has.
    if (on) SetMaxLength(10);
    Paint();
}

void TextBoxCustom::SetDeleteShifts(bool on) { editor_.SetDeleteShifts(on); }

void TextBoxCustom::SetAlignCenter(bool on) { Align(AlignCenter, on); }

void TextBoxCustom::SetAlignRight(bool on) { Align(AlignRight, on); }

void TextBoxCustom::SetAlignLeft(bool on) { Align(AlignLeft, on); }

void TextBoxCustom::Align(TextAlign a, bool on) {
    if (on) {
        alignment_ = a;
    } else if (alignment_ == a) {
        alignment_ = AlignLeft;
    }
    Paint();
}

}  // namespace lumetra
