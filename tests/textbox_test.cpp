// labels: x11
// The text box on the X server, for what only a server shows or delivers: the painting (one
// golden image per painting concern, also after a full repaint), real key translation,
// clicks and the focus. The editing rules are tested without a server in
// texteditor_test.cpp.
#include "lumetra/controls/AlertSound.h"
#include "lumetra/controls/TextBoxCustom.h"
#include "rig/ControlFixture.h"

using namespace lumetra;
using rig::ControlFixture;

namespace {

int alerts = 0;
int changes = 0;

using TextBox = ControlFixture;

struct Row {
    const char* name;                           // with a golden image, textbox-<name>.png
    std::function<void(TextBoxCustom&)> setup;  // before it is shown
    std::string initial;
    std::string keys;
    std::string text;
    int caret;
    int alerts;
    std::function<void(TextBoxCustom&)> then = nullptr;  // after the keys
};

auto none = [](TextBoxCustom&) {};
// Five columns and three rows of wrapping text.
auto grid = [](TextBoxCustom& b) {
    b.SetSize(6 + 5 * b.GetCellWidth(), 6 + 3 * b.GetLineHeight());
    b.SetMultiLine(true);
};

TEST_F(TextBox, PaintsWhatTheKeysDid) {
    SetAlertFunction([] { ++alerts; });
    const std::vector<Row> rows = {
        // The caret cell and the cells behind it repainted as it moves.
        {"typing", none, "", "abcd<Left><Left>X<Left><BackSpace>", "aXd", 1, 0},
        // Right, Return, Escape, Left and Delete as the server translates them; Tab on a box that
        // is no tab stop reaches it as a character.
        {"keys", [](TextBoxCustom& b) { b.tabStop = false; }, "ab",
         "<Right><Return><Escape><Left><Delete><Tab>", "a", 1, 2},
        // The separator is drawn with the digit that brought it.
        {"date", [](TextBoxCustom& b) { b.SetDateMode(true); }, "", "120320247-", "12/03/2024", 10,
         2},
        // Date mode set on a box already made keeps the box's length.
        {"date-late",
         [](TextBoxCustom& b) {
             b.SetMaxLength(2);
             b.Show();
             b.SetDateMode(true);
         },
         "", "123<BackSpace>", "1", 1, 1},
        {"password",
         [](TextBoxCustom& b) {
             b.SetPassword(true);
             b.SetCaretColor(0x00C000);
         },
         "", "ab c", "ab c", 4, 0},
        // Digits and one decimal point; Delete shifts the rest left.
        {"numeric",
         [](TextBoxCustom& b) {
             b.SetNumericOnly(true);
             b.SetAllowDecimalPoint(true);
             b.SetDeleteShifts(true);
         },
         "", "1a.5.<Left><Left><Delete>", "15", 1, 2},
        // Five columns and three rows: rows wrap, a carriage return blanks the rest of its row.
        {"grid-break", grid, "", "abcdefgh<Up><Left>X<Return><Up><Right><Right><Right><Down>123",
         "abX\rcde123fgh", 10, 0},
        // The caret on a line break: the first cell of the rest of its row.
        {"caret-on-break", grid, "ab\rcd", "<Up>", "ab\rcd", 2, 0},
        {"breaks-beyond-rows",
         [](TextBoxCustom& b) {
             b.SetSize(150, 0);
             b.SetMultiLine(true);
         },
         "\r\r\r\rab\r\r", "<Down><Up>", "\r\r\r\rab", 6, 2},
        // A box one pixel short of a row's height is raised to it (its own font, if small, lets
        // it be set that low).
        {"raised",
         [](TextBoxCustom& b) {
             b.SetFont(FontDescriptor("fixed", 10));
             b.SetSize(200, b.GetLineHeight() + 5);
         },
         "", "a", "a", 1, 0},
        {"one-cell", [](TextBoxCustom& b) { b.SetSize(6 + b.GetCellWidth(), 30); }, "", "ab", "a",
         1, 1},
        // A row holds the cells that fit inside the frame, one pixel short of a 28th here.
        {"full-row", [](TextBoxCustom& b) { b.SetSize(5 + 28 * b.GetCellWidth(), 30); }, "",
         std::string(28, 'x'), std::string(27, 'x'), 27, 1},
        // Grey on grey without a caret; a read-only box keeps its colours.
        {"disabled",
         [](TextBoxCustom& b) {
             b.Show();
             b.Enable(false);
         },
         "ab", "cd<Right>", "ab", 2, 0},
        {"read-only",
         [](TextBoxCustom& b) {
             b.Show();
             b.SetReadOnly(true);
         },
         "ab", "cd<Left>", "ab", 2, 0},
        // A click places the caret in the cell under the pointer.
        {"click-cell", none, "hello", "", "hello", 2, 0,
         [&](TextBoxCustom& b) { Click(b.x + 5 + 2 * b.GetCellWidth(), b.y + 7); }},
        // A text set from code on a box already shown; it ends at a NUL, as the buffer's does.
        {"set-text", none, "ab", "", "xyz", 3, 0,
         [](TextBoxCustom& b) { b.SetText(std::string("xyz\0cd", 6)); }},
        // Moved and resized, the box keeps what was typed and is erased where it was.
        {"resized", none, "", "keep", "keep", 4, 0,
         [](TextBoxCustom& b) {
             b.SetSize(250, 40);
             b.SetPosition(10, 200);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        alerts = 0;
        TextBoxCustom box(form.get(), row.initial);
        box.SetPosition(10, 10);
        box.SetSize(200, 30);
        row.setup(box);
        box.Show();
        box.SetFocus();
        Keys(row.keys);
        if (row.then) row.then(box);
        EXPECT_EQ(box.GetText(), row.text);
        EXPECT_EQ(box.GetCaret(), row.caret);
        EXPECT_EQ(alerts, row.alerts);
        ExpectGolden(std::string("textbox-") + row.name);
        box.Hide();
    }
}

// Each box gets two settings, the second once it is shown; from the top they show centred, right
// (turning another alignment off leaves it), and three times left.
TEST_F(TextBox, AlignsEachCharacterInItsCell) {
    using Setter = void (TextBoxCustom::*)(bool);
    const std::tuple<Setter, Setter, bool> settings[] = {
        {&TextBoxCustom::SetAlignRight, &TextBoxCustom::SetAlignCenter, true},
        {&TextBoxCustom::SetAlignRight, &TextBoxCustom::SetAlignCenter, false},
        {&TextBoxCustom::SetAlignRight, &TextBoxCustom::SetAlignRight, false},
        {&TextBoxCustom::SetAlignRight, &TextBoxCustom::SetAlignLeft, true},
        {&TextBoxCustom::SetAlignCenter, &TextBoxCustom::SetMultiLine, true},
    };
    std::vector<std::unique_ptr<TextBoxCustom>> boxes;
    for (const auto& [first, then, on] : settings) {
        boxes.push_back(std::make_unique<TextBoxCustom>(form.get(), "ab"));
        TextBoxCustom& b = *boxes.back();
        b.SetPosition(10, 10 + 40 * static_cast<int>(boxes.size() - 1));
        b.SetSize(60, 30);
        (b.*first)(true);
        b.Show();
        (b.*then)(on);  // on screen: the setter repaints
    }
    EXPECT_EQ("", Golden("textbox-align"));
}

// A change is told on losing the focus, only when the value changed, also when another box
// takes the focus itself. With nothing focused Tab reaches the first tab stop, here one never
// shown, which ignores keys and clicks.
TEST_F(TextBox, FocusTabAndChanges) {
    TextBoxCustom never(form.get(), "kept");
    TextBoxCustom a(form.get(), "same");
    TextBoxCustom b(form.get(), "");
    a.SetPosition(10, 10);
    a.SetSize(150, 30);
    b.SetPosition(10, 60);
    a.SetOnChange([](GUIElement*) { ++changes; });
    a.Show();
    b.Show();
    // Keys typed in a; whether b takes the focus itself, else a click on it; the changes told.
    const std::tuple<const char*, bool, int> steps[] = {
        {"x", false, 1},
        {"", false, 1},
        {"y<BackSpace>", false, 1},
        {"z", true, 2},
    };
    for (const auto& [keys, takesFocus, told] : steps) {
        SCOPED_TRACE(keys);
        Click(a.x + 140, a.y + 10);
        Keys(keys);
        if (takesFocus) {
            b.SetFocus();
        } else {
            Click(b.x + 10, b.y + 10);
        }
        EXPECT_EQ(changes, told);
    }
    Application::ResetFocus();
    Keys("<Tab>");
    ASSERT_EQ(Application::focusedElement, &never);
    Keys("xyz<Right><BackSpace><Delete>");
    never.MouseUp(PackPoint(never.x + 5, never.y + 5));
    EXPECT_EQ(never.GetText(), "kept");
    EXPECT_EQ("", Golden("textbox-focus"));
}

}  // namespace
