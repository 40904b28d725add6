// labels: unit
// The text box's editing rules without a server: one row per behaviour, a fresh editor set up
// and loaded as a box shows it, the row's keys played, its text, caret and alerts compared.
#include "lumetra/controls/TextEditor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "lumetra/core/Types.h"
#include "lumetra/util/Strings.h"
#include "rig/Process.h"

using namespace lumetra;

namespace {

using Setter = void (TextEditor::*)(bool);

// A box's grid and length, and the options turned on.
struct Setup {
    int columns;
    int rows;
    int maxLength;
    std::vector<Setter> options = {};
};

const Setup kLine{24, 1, 256};
const Setup kShort{5, 1, 256};
const Setup kTen{24, 1, 10};
const Setup kShifts{24, 1, 256, {&TextEditor::SetDeleteShifts}};
const Setup kDigits{24, 1, 256, {&TextEditor::SetNumericOnly}};
const Setup kDecimal{24, 1, 256, {&TextEditor::SetNumericOnly, &TextEditor::SetAllowDecimalPoint}};
const Setup kDate{24, 1, 10, {&TextEditor::SetDateMode}};
const Setup kShortDate{24, 1, 2, {&TextEditor::SetDateMode}};
const Setup kDateShifts{24, 1, 10, {&TextEditor::SetDeleteShifts, &TextEditor::SetDateMode}};
const Setup kNoRoom{0, 1, 256};                              // a box narrower than one cell
const Setup kLines{5, 3, 256, {&TextEditor::SetMultiLine}};  // five columns, three rows
const Setup kThree{5, 3, 3, {&TextEditor::SetMultiLine}};
const Setup kHuge{100, 30, 4000, {&TextEditor::SetMultiLine}};  // more cells than a grid may have
const Setup kVast{100, 30, 1 << 28, {&TextEditor::SetMultiLine}};  // a length no text reaches

struct Row {
    const char* name;
    const Setup& setup;
    std::string initial;
    // Characters; <Left>, <Right>, <Up>, <Down> press those keys; <BackSpace>, <Delete>,
    // <Return>, <Escape> type those characters; <Cell:n> clicks cell n.
    std::string keys;
    std::string text;
    int caret;
    int alerts;
};

// Plays the script; answers the number of alerts.
int Play(TextEditor& editor, const std::string& script) {
    const std::map<std::string, uint32_t> named = {
        {"Left", KeyLeft}, {"Right", KeyRight}, {"Up", KeyUp},  {"Down", KeyDown},
        {"BackSpace", 8},  {"Delete", 127},     {"Return", 13}, {"Escape", 27}};
    int alerts = 0;
    for (const std::string& key : rig::KeyScript(script)) {
        const auto code = named.find(key);
        TextEditor::Outcome outcome;
        if (key.rfind("Cell:", 0) == 0)
            outcome = editor.Click(std::stoi(key.substr(5)));
        else if (code == named.end())
            outcome = editor.Type(key[0]);
        else
            outcome = code->second < 128 ? editor.Type(static_cast<char>(code->second))
                                         : editor.Press(code->second);
        alerts += outcome.alert ? 1 : 0;
    }
    return alerts;
}

TEST(TextEditor, KeysCaretAndAlertsInEveryMode) {
    const std::string capacityText = std::string(15, '\r') + "ab";
    const std::vector<Row> rows = {
        // Left stops at 0, Backspace there alerts; Delete blanks inside the text, shortens it at
        // its end; Right alerts at the end; Return, Escape, Up and Down do nothing on one line.
        {"start", kLine, "", "abd<Left><Left><Left><Left><BackSpace>Z<Delete><Right><Delete>", "Z",
         2, 1},
        {"right-end", kLine, "ab", "<Right><Return><Escape><Up><Down>", "ab", 2, 1},
        {"back-to-start", kLine, "", "a<BackSpace>b", "b", 1, 0},
        // Ten characters fit; the eleventh is refused. Delete on the buffer's end must not
        // replace its terminator.
        {"max-length", kTen, "", "abcdefghijk<Delete><BackSpace>", "abcdefghi", 9, 1},
        // What would fall outside the grid is refused.
        {"line-full", kShort, "", "abcdef", "abcde", 5, 1},
        {"delete-shifts", kShifts, "abc", "<Delete><Left><Left><Delete>", "ac", 1, 0},
        {"digits", kDigits, "", "1a2.3 ", "123", 3, 3},
        {"decimal", kDecimal, "", "1.5.2", "1.52", 4, 1},
        // Dates: Left and Right skip the separators, Backspace after one takes it and the digit
        // before, and the separators are put back; none comes past the box's length.
        {"date-edit", kDate, "", "12032024<Left><Left><Left><Left><Left><Right><BackSpace>",
         "12/02/024", 4, 0},
        {"date-digit", kDate, "12/03/2024", "<Left><Left><Left><Left><Left><BackSpace>",
         "12/32/024", 3, 0},
        {"date-right", kDate, "12/03/2024", "<Cell:0><Right><Right>", "12/03/2024", 3, 0},
        {"date-short", kShortDate, "", "12", "12", 2, 0},
        {"date-three-digits", kDate, "", "1203<BackSpace>", "12/0", 4, 0},
        // Date mode turns Delete's shifting off; a box with no cell takes nothing.
        {"date-no-shift", kDateShifts, "12/03/2024", "<Cell:0><Delete>", " 2/03/2024", 0, 0},
        {"no-room", kNoRoom, "", "a", "", 0, 1},
        // Multi-line: the sixth character starts row two; Up and Down keep the column and alert
        // where no row or text is; overflow alerts. (Typing inside a row and Enter: textbox_test's
        // grid-break row, which shows them too.)
        {"lines-moves", kLines, "", "abcdefgh<Up><Up><Left><Down><Down>", "abcdefgh", 7, 2},
        {"lines-full", kLines, "abX\rcde123fgh", "4", "abX\rcde123fgh", 13, 1},
        {"lines-pad", kLines, "", "a  <BackSpace>b", "a b", 3, 0},
        {"lines-length", kThree, "", "abc<Return>d", "abc", 3, 1},
        // Down finds no cell beyond the grid's capacity; Up lands on the line break above.
        {"beyond-capacity", kHuge, capacityText, "<Down>", capacityText, 17, 1},
        {"vast", kVast, "", "ab<Return>cd<Left><BackSpace><Down>", "ab\rd", 3, 1},
        {"up-to-break", kHuge, capacityText, "<Up>", capacityText, 14, 0},
        // A click puts the caret on the cell's position, or at the end of the text.
        {"click-beyond", kLine, "hello", "<Cell:12>", "hello", 5, 0},
        {"click-empty", kLine, "", "<Cell:3>a", "a", 1, 0},
        {"click-separator", kDate, "12/03/2024", "<Cell:5>", "12/03/2024", 4, 0},
        {"click-break", kLines, "ab\rcd", "<Cell:4>", "ab\rcd", 2, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TextEditor editor;
        editor.SetMaxLength(row.setup.maxLength);
        for (Setter option : row.setup.options) (editor.*option)(true);
        // As the box keeps it, and loads it when made.
        const std::string initial = TrimRight(row.initial);
        editor.NewText(initial, false);
        editor.Open(row.setup.columns, row.setup.rows);
        editor.Load(initial);
        const int alerts = Play(editor, row.keys);
        EXPECT_EQ(std::make_tuple(editor.Text(), editor.GetCaret(), alerts),
                  std::make_tuple(row.text, row.caret, row.alerts));
    }
}

// A text set from code puts the caret on its last character, as the box shows it.
TEST(TextEditor, TextFromCodeHasTheCaretOnItsLast) {
    TextEditor editor;
    editor.NewText("abc", true);
    EXPECT_EQ(editor.GetCaret(), 2);
}

// What the cells show: line feeds as spaces, the terminator blank; masked, every character
// but a space is a star, and a carriage return takes a cell instead of ending its row.
TEST(TextEditor, ShowsMaskAndLineFeeds) {
    TextEditor editor;
    editor.SetMultiLine(true);
    editor.SetMaxLength(5);
    editor.Open(10, 2);
    editor.Load("a \n\r");
    for (bool masked : {false, true}) {
        editor.SetPassword(masked);
        std::string shown;
        for (int i = 0; i <= 5; ++i) shown += editor.Shown(i);
        EXPECT_EQ(shown, std::string(masked ? "*  * \0" : "a  \r \0", 6));
        EXPECT_EQ(editor.Grid().Reaches(3), masked);
    }
}

}  // namespace
