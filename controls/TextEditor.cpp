// The text box's editing rules, with no screen: keys and clicks on a buffer and a caret.
#include "lumetra/controls/TextEditor.h"

#include <algorithm>
#include <cstddef>

#include "lumetra/core/Types.h"
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

TextEditor::Outcome Alert() {
    TextEditor::Outcome out;
    out.alert = true;
    return out;
}

TextEditor::Outcome RepaintFrom(int32_t position) {
    TextEditor::Outcome out;
    out.repaintFrom = position;
    return out;
}
}  // namespace

std::string TextEditor::NewText(const std::string& s, bool caretOnLast) {
    std::string kept = s.substr(0, s.find('\0'));
    length = static_cast<int32_t>(kept.size());
    caret = caretOnLast ? std::max(length - 1, 0) : 0;
    return kept;
}

void TextEditor::Open(int32_t columns, int32_t rows) {
    buffer.clear();
    open_ = true;
    grid_.Reset(columns, rows, maxLength);
}

std::vector<char> TextEditor::BufferFor(const std::string& text) const {
    const size_t kept = std::min(static_cast<size_t>(maxLength), text.size());
    return std::vector<char>(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(kept));
}

void TextEditor::Put(int32_t position, char ch) {
    const auto at = static_cast<size_t>(position);
    if (at >= buffer.size()) buffer.resize(at + 1, ' ');
    buffer[at] = ch;
}

std::string TextEditor::Load(const std::string& text) {
    std::string kept = text;
    if (!multiLine) {
        const size_t lineFeed = kept.find(kLineFeed);
        if (lineFeed != std::string::npos) kept.erase(lineFeed);
    }
    buffer = BufferFor(kept);
    caret = std::min(maxLength, static_cast<int32_t>(kept.size()));
    Relay();
    return kept;
}

std::string TextEditor::Text() const { return TrimRight(Typed()); }

std::string TextEditor::Typed() const {
    const auto last = std::find_if(buffer.rbegin(), buffer.rend(), [](char c) { return c != ' '; });
    return std::string(buffer.begin(), last.base());
}

void TextEditor::Relay() { grid_.Adopt(grid_.Lay(buffer, maxLength, !password)); }

void TextEditor::Fit(int32_t columns, int32_t rows) {
    if (columns == grid_.Columns() && rows == grid_.Rows()) return;
    grid_.SetShape(columns, rows);
    if (IsOpen()) Relay();
}

char TextEditor::Shown(int32_t position) const {
    if (position >= maxLength) return '\0';
    const auto at = static_cast<size_t>(position);
    const char k = at < buffer.size() ? buffer[at] : ' ';
    if (k == kLineFeed) return ' ';
    if (password && k != ' ') return '*';
    return k;
}

void TextEditor::SetMaxLength(int32_t n) {
    maxLength = std::max(n, 0);
    buffer.clear();
    open_ = false;
}

void TextEditor::SetPassword(bool on) {
    password = on;
    if (IsOpen()) Relay();
}

void TextEditor::SetDateMode(bool on) {
    dateMode = on;
    numericOnly = on;
    if (on) deleteShifts = false;
}

void TextEditor::SetDeleteShifts(bool on) {
    deleteShifts = on;
    if (on) multiLine = true;
}

TextEditor::Outcome TextEditor::Type(char ch) {
    if (ch == kDelete) return DeleteAtCaret();
    if (ch == kBackspace) return caret == 0 ? Alert() : Backspace();
    if (ch == kEnter) return multiLine && caret < maxLength ? Insert(kEnter) : Outcome{};
    if (ch == kEscape) return {};
    // Other control characters, a full box, and what a digits-only box does
    // not take (one decimal point may be allowed).
    const bool decimalPoint =
        ch == '.' && allowDecimalPoint && Text().find('.') == std::string::npos;
    if (ch < 32 || ch > 126 || caret >= maxLength || (numericOnly && !IsDigit(ch) && !decimalPoint))
        return Alert();
    return multiLine ? Insert(ch) : TypeOver(ch);
}

TextEditor::Outcome TextEditor::DeleteAtCaret() {
    // At (or past) the end of the text there is nothing to delete, and the
    // buffer's terminator stays.
    const std::string text = Typed();
    if (caret >= static_cast<int32_t>(text.size())) return {};
    if (deleteShifts) {
        const int32_t keep = caret;
        Load(text.substr(0, static_cast<size_t>(caret)) +
             text.substr(static_cast<size_t>(caret) + 1));
        --length;
        caret = keep;
    } else {
        Put(caret, ' ');
        Relay();
    }
    return RepaintFrom(caret);
}

TextEditor::Outcome TextEditor::Backspace() {
    const int32_t p = caret;
    std::string t = Typed();
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
    Load(t);
    --length;
    caret = std::clamp(newCaret, 0, maxLength);
    return RepaintFrom(caret);
}

TextEditor::Outcome TextEditor::TypeOver(char ch) {
    // A character whose cell lies outside the grid would be invisible:
    // refused before it is written.
    if (!grid_.Reaches(caret)) return Alert();
    Put(caret, ch);
    ++caret;
    if (dateMode && IsSeparatorPosition(caret) && caret < maxLength) {
        Put(caret, '/');
        ++caret;
        length += 2;
    } else {
        ++length;
    }
    Relay();
    return RepaintFrom(caret);
}

TextEditor::Outcome TextEditor::Insert(char ch) {
    std::string t = Typed();
    // After Backspace the caret may stand past the trimmed text: the gap is
    // spaces the user typed.
    if (static_cast<size_t>(caret) > t.size()) t.append(static_cast<size_t>(caret) - t.size(), ' ');
    t.insert(static_cast<size_t>(caret), 1, ch);
    // The text must leave a cell for the caret after it, within the buffer.
    std::vector<char> candidate = BufferFor(t);
    TextGrid::Layout layout = grid_.Lay(candidate, maxLength, !password);
    if (!layout.Reaches(static_cast<int32_t>(t.size()))) return Alert();
    const int32_t typedAt = caret;
    buffer = std::move(candidate);
    grid_.Adopt(std::move(layout));
    caret = typedAt + 1;
    ++length;
    return RepaintFrom(caret);
}

TextEditor::Outcome TextEditor::Press(uint32_t keysym) {
    switch (keysym) {
        case KeyRight:
            if (caret >= length) return Alert();
            caret = std::min(caret + 1, maxLength);
            if (dateMode && IsSeparatorPosition(caret)) caret = std::min(caret + 1, maxLength);
            return RepaintFrom(caret);
        case KeyLeft:
            if (caret >= 1) {
                --caret;
                if (dateMode && IsSeparatorPosition(caret)) --caret;
            }
            return RepaintFrom(caret);
        case KeyUp:
            return multiLine ? CursorUp() : Outcome{};
        case KeyDown:
            return multiLine ? CursorDown() : Outcome{};
        default:
            return {};
    }
}

TextEditor::Outcome TextEditor::CursorUp() {
    int32_t r = 0;
    int32_t c = 0;
    grid_.FindCell(caret, r, c);
    if (r < 1) return Alert();
    caret = std::clamp(grid_.TextIndex((r - 1) * grid_.Columns() + c), 0, maxLength);
    return RepaintFrom(caret);
}

TextEditor::Outcome TextEditor::CursorDown() {
    int32_t r = 0;
    int32_t c = 0;
    grid_.FindCell(caret, r, c);
    if (r >= std::max(grid_.Rows() - 1, 0)) return Alert();
    // A cell past the grid's capacity does not exist: no line below.
    const int64_t index = static_cast<int64_t>(r + 1) * grid_.Columns() + c;
    if (index >= grid_.CellCount()) return Alert();
    const int32_t target = grid_.TextIndex(static_cast<int32_t>(index));
    if (target >= length) return Alert();
    const int32_t old = caret;
    caret = std::clamp(target, 0, maxLength);
    return RepaintFrom(old);
}

TextEditor::Outcome TextEditor::Click(int64_t cell) {
    if (cell < 0 || cell >= grid_.CellTotal()) return {};
    const int32_t shown = grid_.TextIndex(static_cast<int32_t>(cell));
    caret = shown < length ? shown : std::max(length, 0);
    caret = std::min(caret, maxLength);
    if (dateMode && IsSeparatorPosition(caret)) --caret;
    return RepaintFrom(0);
}

}  // namespace lumetra
