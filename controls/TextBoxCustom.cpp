#include "lumetra/controls/TextBoxCustom.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "lumetra/controls/AlertSound.h"
#include "lumetra/controls/ControlPaint.h"
#include "lumetra/core/Application.h"
#include "lumetra/graphics/GraphicsContext.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

namespace {
constexpr char kDelete = 127;
constexpr char kBackspace = 8;
constexpr char kEnter = 13;
constexpr char kEscape = 27;
constexpr char kLineFeed = 10;

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
// In date mode the caret never rests on a separator.
bool IsSeparatorPosition(int32_t p) { return p == 2 || p == 5; }
}  // namespace

TextBoxCustom::TextBoxCustom(GUIElement* parentElement, const std::string& initialText)
    : Child(parentElement) {
    elementKind = "TextBoxCustom";
    width = 80;
    height = 30;
    backColor = 0xFFFFFF;
    text = TrimRight(initialText);
    length = static_cast<int32_t>(text.size());
    autoRepaint = true;
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

int32_t TextBoxCustom::CellCount() const {
    const int64_t grid = static_cast<int64_t>(Columns()) * Rows();
    return static_cast<int32_t>(std::min<int64_t>(grid, static_cast<int64_t>(cells.size())));
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

void TextBoxCustom::SetPosition(int32_t px, int32_t py) {
    const bool shown = created;
    if (shown) Hide();
    x = px;
    y = py;
    if (shown) Show();
}

void TextBoxCustom::Show() {
    Child::Show();
    Paint();
}

void TextBoxCustom::ShowWindow() { Show(); }

void TextBoxCustom::Hide() {
    if (!created) return;
    // The next Show builds the buffer from the stored text: keep what was
    // typed since it was last read.
    GetText();
    EraseArea(1);
    Child::Hide();
    created = false;
}

void TextBoxCustom::SetText(const std::string& s) {
    text = s;
    length = static_cast<int32_t>(s.size());
    caret = std::max(length - 1, 0);
    if (created) {
        LoadBuffer();
        Paint();
    }
}

std::string TextBoxCustom::GetText() {
    if (created)
        text = TrimRight(
            std::string(buffer.data(), strnlen(buffer.data(), static_cast<size_t>(maxLength))));
    return text;
}

void TextBoxCustom::Create() {
    if (created) return;
    buffer.assign(static_cast<size_t>(maxLength) + 1, ' ');
    buffer[static_cast<size_t>(maxLength)] = '\0';
    RaiseHeight();
    const int64_t count = std::min<int64_t>(static_cast<int64_t>(Columns()) * Rows() + 1, MaxCells);
    TextCell blank;
    blank.textIndex = maxLength;
    blank.fg = enabled ? textColor : DisabledTextColour;
    blank.bg = enabled ? EffectiveBackColor() : DefaultBackColour;
    cells.assign(static_cast<size_t>(count), blank);
    LoadBuffer();
    CreateControl();
}

void TextBoxCustom::LoadBuffer() {
    if (!multiLine && !text.empty()) {
        const size_t lineFeed = text.find('\n');
        if (lineFeed != std::string::npos) text.erase(lineFeed);
    }
    std::fill(buffer.begin(), buffer.begin() + maxLength, ' ');
    buffer[static_cast<size_t>(maxLength)] = '\0';
    const int32_t n = std::min(maxLength, static_cast<int32_t>(text.size()));
    std::copy(text.begin(), text.begin() + n, buffer.begin());
    caret = n;
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
        const int r = a.x + a.w - 1, b = a.y + a.h - 1;
        gc.DrawLine(a.x, a.y, r, a.y, 1, 0xFFFFFF);
        gc.DrawLine(a.x, b, a.x, a.y, 1, 0xFFFFFF);
        gc.DrawLine(r, a.y, r, b, 1, 0x000000);
        gc.DrawLine(a.x, b, r, b, 1, 0x000000);
        gc.DrawLine(a.x + 1, a.y + 1, r - 1, a.y + 1, 1, 0x000000);
        gc.DrawLine(a.x + 1, b - 1, a.x + 1, a.y + 1, 1, 0x000000);
        gc.DrawLine(r - 1, a.y + 1, r - 1, b - 1, 1, 0xFFFFFF);
        gc.DrawLine(a.x + 1, b - 1, r - 1, b - 1, 1, 0xFFFFFF);
    }
    RefreshText(true);
}

void TextBoxCustom::RefreshText(bool full) { DrawCells(full, caret); }

void TextBoxCustom::DrawCells(bool full, int32_t from) {
    if (!created || buffer.empty()) return;
    const int32_t cols = Columns(), rows = Rows(), cellCount = CellCount();
    if (cellCount == 0) return;
    // The layout is always brought up to date; the screen only when it may
    // be drawn on, and a cell remembers only what really reached it.
    std::optional<GraphicsContext> gc;
    if (MayPaint(*this)) gc.emplace(GetForm());
    const bool draw = gc.has_value() && gc->IsUsable();
    // The changed cells go to the server together, when the walk is done.
    std::optional<GraphicsContext::FlushOnce> once;
    if (draw) once.emplace(gc->GetDisplay());

    int32_t start = std::max(from - 1, 0);
    if (dateMode && (from == 3 || from == 6)) start = std::max(start - 1, 0);
    if (full) start = 0;

    const ControlArea a = AreaInForm(*this);
    const int32_t textWidth = width - 6;
    const Colour back = enabled ? EffectiveBackColor() : DefaultBackColour;
    const Colour fore = enabled ? textColor : DisabledTextColour;
    const bool showCaret = hasFocus && enabled && !readOnly;
    const TextAlign align = multiLine     ? AlignLeft
                            : alignCenter ? AlignCenter
                            : alignRight  ? AlignRight
                                          : AlignLeft;
    auto cellX = [&](int32_t c) { return a.x + 3 + c * cellWidth; };
    auto cellY = [&](int32_t r) { return a.y + 2 + r * lineHeight + 1; };

    int32_t c = 0, r = 0;
    for (int32_t i = 0; i <= maxLength; ++i) {
        char k = buffer[static_cast<size_t>(i)];
        if (k == kLineFeed) k = ' ';
        if (password) {
            if (i == maxLength) {
                k = '\0';
            } else if (k != ' ') {
                k = '*';
            }
        } else if (k == kEnter) {
            // A carriage return ends the row: the rest of it is blank and
            // belongs to the carriage return.
            if (c < cols) {
                if (draw && (r + 1) * lineHeight < height) {
                    gc->FillRectangle(cellX(c), cellY(r), textWidth - c * cellWidth, lineHeight + 1,
                                      0, 0, back);
                }
                for (int32_t cc = c; cc < cols && r * cols + cc < cellCount; ++cc) {
                    TextCell& cell = cells[static_cast<size_t>(r) * static_cast<size_t>(cols) +
                                           static_cast<size_t>(cc)];
                    cell.textIndex = i;
                    if (draw) cell = {kEnter, textColor, back, i};
                }
                if (showCaret && caret == i && r * cols + c < cellCount && draw) {
                    gc->DrawText(cellX(c), cellY(r), cellWidth, lineHeight, " ", textColor,
                                 caretColor, AlignLeft);
                    cells[static_cast<size_t>(r) * static_cast<size_t>(cols) +
                          static_cast<size_t>(c)] = {' ', textColor, caretColor, i};
                }
            }
            // The walk ends with the last row: more line breaks than rows
            // have nowhere to go.
            ++r;
            c = 0;
            if (r >= rows) break;
            continue;
        }
        if (c >= cols) {
            c = 0;
            ++r;
        }
        if (r >= rows) break;
        const int32_t index = r * cols + c;
        if (index >= cellCount) break;
        if (i >= start) {
            TextCell& cell = cells[static_cast<size_t>(index)];
            cell.textIndex = i;
            const Colour bg = showCaret && caret == i ? caretColor : back;
            if (draw && (full || cell.fg != fore || cell.bg != bg || cell.ch != k)) {
                gc->DrawText(cellX(c), cellY(r), cellWidth, lineHeight,
                             k == '\0' ? std::string() : std::string(1, k), fore, bg, align);
                cell.fg = fore;
                cell.bg = bg;
                cell.ch = k;
            }
        }
        ++c;
    }
}

bool TextBoxCustom::FitsInGrid(int32_t count) const {
    const int32_t cols = Columns(), rows = Rows(), cellCount = CellCount();
    int32_t c = 0, r = 0;
    for (int32_t i = 0; i <= count; ++i) {
        if (i > maxLength) return false;
        const char k = i < static_cast<int32_t>(text.size()) ? text[static_cast<size_t>(i)] : ' ';
        if (k == kEnter && !password) {
            ++r;
            c = 0;
            if (r >= rows) return false;
            continue;
        }
        if (c >= cols) {
            c = 0;
            ++r;
        }
        if (r >= rows || r * cols + c >= cellCount) return false;
        if (i == count) return true;
        ++c;
    }
    return false;
}

// ---- input --------------------------------------------------------------------

void TextBoxCustom::MouseUp(PackedPoint p) {
    GUIElement::MouseUp(p);
    if (!created) return;
    const PackedPoint at = PositionInForm();
    const int32_t dx = PointX(p) - PointX(at), dy = PointY(p) - PointY(at);
    if (dx < 0 || dy < 0) return;
    const int64_t row = (dy - 4) / lineHeight, column = dx / cellWidth;
    const int64_t index = row * Columns() + column;
    if (index < 0 || index >= MaxCells || index >= static_cast<int64_t>(cells.size())) return;
    const int32_t shown = cells[static_cast<size_t>(index)].textIndex;
    caret = shown < length ? shown : std::max(length, 0);
    caret = std::min(caret, maxLength);
    if (dateMode && IsSeparatorPosition(caret)) --caret;
    DrawCells(false, 0);
}

void TextBoxCustom::KeyDown(uint32_t keysym) {
    GUIElement::KeyDown(keysym);
    // Cursor keys are refused silently with the rest of the input when the
    // box takes none.
    if (!created || !enabled || readOnly) return;
    switch (keysym) {
        case KeyRight:
            if (caret >= length) {
                SoundAlert();
                return;
            }
            caret = std::min(caret + 1, maxLength);
            if (dateMode && IsSeparatorPosition(caret)) caret = std::min(caret + 1, maxLength);
            RepaintFrom(caret);
            break;
        case KeyLeft:
            if (caret >= 1) {
                --caret;
                if (dateMode && IsSeparatorPosition(caret)) --caret;
            }
            RepaintFrom(caret);
            break;
        case lumetra::KeyUp:
            if (multiLine) CursorUp();
            break;
        case lumetra::KeyDown:
            if (multiLine) CursorDown();
            break;
        default:
            break;
    }
}

void TextBoxCustom::FindCaretCell(int32_t& row, int32_t& column) const {
    const int32_t cols = Columns(), count = CellCount();
    row = column = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (cells[static_cast<size_t>(i)].textIndex == caret) {
            row = i / cols;
            column = i % cols;
            return;
        }
    }
}

void TextBoxCustom::CursorUp() {
    int32_t r = 0, c = 0;
    FindCaretCell(r, c);
    if (r < 1) {
        SoundAlert();
        return;
    }
    caret = std::clamp(
        cells[static_cast<size_t>(r - 1) * static_cast<size_t>(Columns()) + static_cast<size_t>(c)]
            .textIndex,
        0, maxLength);
    RepaintFrom(caret);
}

void TextBoxCustom::CursorDown() {
    int32_t r = 0, c = 0;
    FindCaretCell(r, c);
    if (r >= std::max(Rows() - 1, 0)) {
        SoundAlert();
        return;
    }
    // A cell past the grid's capacity does not exist: no line below.
    const int64_t index = static_cast<int64_t>(r + 1) * Columns() + c;
    if (index >= CellCount()) {
        SoundAlert();
        return;
    }
    const int32_t target = cells[static_cast<size_t>(index)].textIndex;
    if (target >= length) {
        SoundAlert();
        return;
    }
    const int32_t old = caret;
    caret = std::clamp(target, 0, maxLength);
    RepaintFrom(old);
}

bool TextBoxCustom::KeyChar(char ch) {
    if (!created || !enabled || readOnly) return false;
    if (onKeyChar != nullptr && !onKeyChar(this, ch)) return false;
    if (ch == kDelete) {
        DeleteAtCaret();
    } else if (ch == kBackspace) {
        if (caret == 0) {
            SoundAlert();
        } else {
            Backspace();
        }
    } else if (ch == kEnter) {
        if (multiLine && caret < maxLength) Insert(kEnter);
    } else if (ch == kEscape) {
        // ignored, without a sound
    } else if (ch < 32 || ch > 126 || caret >= maxLength ||
               (numericOnly && !IsDigit(ch) &&
                !(ch == '.' && allowDecimalPoint && GetText().find('.') == std::string::npos))) {
        // Other control characters, a full box, and what a digits-only box
        // does not take (one decimal point may be allowed).
        SoundAlert();
    } else if (multiLine) {
        Insert(ch);
    } else {
        TypeOver(ch);
    }
    return true;
}

void TextBoxCustom::DeleteAtCaret() {
    // At (or past) the end of the text there is nothing to delete; the
    // position after the last buffer character is its terminator.
    if (caret >= maxLength || caret >= static_cast<int32_t>(GetText().size())) return;
    if (deleteShifts) {
        const int32_t keep = caret;
        text.erase(static_cast<size_t>(caret), 1);
        LoadBuffer();
        --length;
        caret = keep;
    } else {
        buffer[static_cast<size_t>(caret)] = ' ';
    }
    RepaintFrom(caret);
}

void TextBoxCustom::Backspace() {
    const int32_t p = caret;
    std::string t = GetText();
    // In a date the separator goes with the digit before it.
    const bool separator = dateMode && (p == 3 || p == 6);
    const size_t keep = static_cast<size_t>(separator ? p - 2 : p - 1);
    const std::string left = t.substr(0, std::min(keep, t.size()));
    const std::string right =
        static_cast<size_t>(p) < t.size() ? t.substr(static_cast<size_t>(p)) : std::string();
    int32_t newCaret = p - 1;
    if (separator) {
        newCaret = p - 2;
        --length;
    }
    t = left + right;
    if (dateMode) {
        t = TrimRight(ReplaceAll(t, "/", ""));
        if (t.size() > 1) t.insert(2, "/");
        if (t.size() > 4) t.insert(5, "/");
    }
    text = t;
    LoadBuffer();
    --length;
    caret = std::clamp(newCaret, 0, maxLength);
    RepaintFrom(caret);
}

void TextBoxCustom::TypeOver(char ch) {
    // A character whose cell lies outside the grid would be invisible:
    // refused before it is written.
    GetText();
    if (!FitsInGrid(caret)) {
        SoundAlert();
        return;
    }
    buffer[static_cast<size_t>(caret)] = ch;
    ++caret;
    if (dateMode && IsSeparatorPosition(caret) && caret < maxLength) {
        buffer[static_cast<size_t>(caret)] = '/';
        ++caret;
        length += 2;
    } else {
        ++length;
    }
    RepaintFrom(caret);
}

void TextBoxCustom::Insert(char ch) {
    const std::string old = GetText();
    std::string t = old;
    // After Backspace the caret may stand past the trimmed text: the gap is
    // spaces the user typed.
    if (static_cast<size_t>(caret) > t.size()) t.append(static_cast<size_t>(caret) - t.size(), ' ');
    t.insert(static_cast<size_t>(caret), 1, ch);
    text = t;
    if (!FitsInGrid(static_cast<int32_t>(t.size()))) {
        text = old;
        SoundAlert();
        return;
    }
    const int32_t typedAt = caret;
    LoadBuffer();
    caret = typedAt + 1;
    ++length;
    RepaintFrom(caret);
}

// ---- focus --------------------------------------------------------------------

void TextBoxCustom::SetFocus() {
    if (!created) return;
    GUIElement::SetFocus();
    GotFocus();
    GUIElement* other = Application::focusedElement;
    if (other != nullptr && other != this) other->LostFocus();
    Application::focusedElement = this;
}

void TextBoxCustom::GotFocus() {
    GUIElement::GotFocus();
    if (created) RepaintFrom(caret);
}

void TextBoxCustom::LostFocus() {
    GUIElement::LostFocus();
    if (created) RepaintFrom(caret);
}

// ---- settings -----------------------------------------------------------------

void TextBoxCustom::Enable(bool on) {
    enabled = on;
    RepaintIfCreated();
}

void TextBoxCustom::RepaintIfCreated() {
    if (created) Paint();
}

void TextBoxCustom::Repaint() { RepaintIfCreated(); }

void TextBoxCustom::SetMaxLength(int32_t n) {
    if (!created) maxLength = std::max(n, 0);
}

void TextBoxCustom::SetMultiLine(bool on) {
    multiLine = on;
    RepaintIfCreated();
}

void TextBoxCustom::SetReadOnly(bool on) {
    readOnly = on;
    RepaintIfCreated();
}

void TextBoxCustom::SetNumericOnly(bool on) {
    numericOnly = on;
    RepaintIfCreated();
}

void TextBoxCustom::SetAllowDecimalPoint(bool on) {
    allowDecimalPoint = on;
    RepaintIfCreated();
}

void TextBoxCustom::SetPassword(bool on) {
    password = on;
    RepaintIfCreated();
}

void TextBoxCustom::SetDateMode(bool on) {
    dateMode = on;
    numericOnly = on;
    if (on) {
        // A created box keeps the buffer it has.
        if (!created) maxLength = 10;
        deleteShifts = false;
    }
    RepaintIfCreated();
}

void TextBoxCustom::SetDeleteShifts(bool on) {
    deleteShifts = on;
    if (on) multiLine = true;
}

void TextBoxCustom::SetAlignCenter(bool on) {
    alignCenter = on;
    if (on) alignRight = false;
    RepaintIfCreated();
}

void TextBoxCustom::SetAlignRight(bool on) {
    alignRight = on;
    if (on) alignCenter = false;
    RepaintIfCreated();
}

void TextBoxCustom::SetAlignLeft(bool on) {
    if (on) alignCenter = alignRight = false;
    RepaintIfCreated();
}

}  // namespace lumetra
