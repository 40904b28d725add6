// The text box's editing rules, apart from any screen: a buffer of maxLength
// characters edited at a caret by typed characters, cursor keys and clicks
// on cells. Single-line mode overwrites the character under the caret;
// multi-line mode inserts, and a carriage return breaks the line. Options
// take digits only (with one optional decimal point), a dd/mm/yyyy date
// whose separators come by themselves, or mask the characters. Every edit
// lays the buffer out on the grid once (TextGrid), and what would fall
// outside it is refused. An edit answers whether to alert the user and from
// which position the box must repaint. Only the text is stored: the blanks
// after it up to maxLength are implied, so that memory and the time an edit
// takes follow the text, not the maximum.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lumetra/controls/TextGrid.h"

namespace lumetra {

class TextEditor {
public:
    static constexpr int32_t kNoRepaint = -1;

    struct Outcome {
        // The edit was refused with the alert sound.
        bool alert = false;
        // The cells from this position on (and the one before) may look
        // different; kNoRepaint when nothing changed on screen.
        int32_t repaintFrom = kNoRepaint;
    };

    // A new text, up to its first NUL, where the buffer's text ends as a C
    // string does: its length counts as typed, and the caret stands at its
    // start, or on its last character, until the buffer is loaded. Answers
    // the text kept.
    std::string NewText(const std::string& s, bool caretOnLast);
    // Makes an empty buffer of maxLength blanks and a fresh grid of the shape.
    void Open(int32_t columns, int32_t rows);
    bool IsOpen() const { return open_; }
    // Puts the text into the buffer, the caret after it. A single-line box
    // keeps the text up to its first line feed: the text kept is answered.
    std::string Load(const std::string& text);
    // The buffer's text without trailing white space.
    std::string Text() const;
    // The box's size changed the grid's shape: laid out anew.
    void Fit(int32_t columns, int32_t rows);

    // A typed character, 1 to 127: Delete, Backspace, Enter, Escape,
    // printable characters; other control characters alert.
    Outcome Type(char ch);
    // A key press: the cursor keys move the caret; other keys do nothing.
    Outcome Press(uint32_t keysym);
    // A click on a cell puts the caret on the position it shows, or at the
    // end of the text when that is further on.
    Outcome Click(int64_t cell);

    // The character a position shows: a line feed as a space, the
    // terminator as 0, every other character but a space as "*" when masked.
    char Shown(int32_t position) const;

    const TextGrid& Grid() const { return grid_; }
    int32_t GetCaret() const { return caret; }
    int32_t GetLength() const { return length; }
    int32_t GetMaxLength() const { return maxLength; }
    bool IsMultiLine() const { return multiLine; }
    bool IsDateMode() const { return dateMode; }
    bool IsPassword() const { return password; }

    // Closes the buffer: it is made anew, at the new length, by Open.
    void SetMaxLength(int32_t n);
    void SetMultiLine(bool on) { multiLine = on; }
    // The mask changes the layout: a masked carriage return takes a cell.
    void SetPassword(bool on);
    void SetNumericOnly(bool on) { numericOnly = on; }
    void SetAllowDecimalPoint(bool on) { allowDecimalPoint = on; }
    // Digits only, with the separators; Delete then blanks.
    void SetDateMode(bool on);
    // Delete removes the character at the caret; implies multi-line.
    void SetDeleteShifts(bool on);

private:
    // The buffer's characters without the blanks after them. Unlike Text, it
    // keeps a line break typed last, which the next character must follow.
    std::string Typed() const;
    // The buffer holding the text as Load puts it there: as much as fits.
    std::vector<char> BufferFor(const std::string& text) const;
    // Writes a character at a position before maxLength.
    void Put(int32_t position, char ch);
    // Lays the buffer out again after it changed.
    void Relay();
    Outcome DeleteAtCaret();
    Outcome Backspace();
    Outcome TypeOver(char ch);
    Outcome Insert(char ch);
    Outcome CursorUp();
    Outcome CursorDown();

    // Positions 0 to maxLength - 1 hold text or spaces, maxLength a 0; only
    // the positions up to the last one written are stored, the rest are
    // spaces.
    std::vector<char> buffer;
    bool open_ = false;
    int32_t caret = 0;
    // Characters entered; bounds the caret's moves to the right.
    int32_t length = 0;
    int32_t maxLength = 256;
    bool multiLine = false;
    bool dateMode = false;
    bool numericOnly = false;
    bool allowDecimalPoint = false;
    bool password = false;
    bool deleteShifts = false;
    TextGrid grid_;
};

}  // namespace lumetra
