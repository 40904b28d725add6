// labels: x11
// The text box, one row per behaviour: a fresh box is set up, shown and focused, the row's
// keys are typed through XTEST, its text, caret and alerts compared; the window must then
// match the row's golden image (caret, characters, mask, frame), also after a full repaint.
#include "ControlFixture.h"
#include "lumetra/controls/AlertSound.h"
#include "lumetra/controls/TextBoxCustom.h"

using lumetra::Application;
using lumetra::TextBoxCustom;

namespace {

int alerts = 0, changes = 0;

struct Row {
    const char* name;
    std::function<void(TextBoxCustom&)> setup;  // before it is shown
    std::string initial, keys, text;
    int caret, alerts;
    std::function<void(TextBoxCustom&)> then = nullptr;  // after the keys, before the checks
};

class TextBox : public ControlFixture {
protected:
    void Run(const std::vector<Row>& rows) {
        lumetra::SetAlertFunction([] { ++alerts; });
        for (const Row& row : rows) {
            alerts = 0;
            box = std::make_unique<TextBoxCustom>(form.get(), row.initial);
            box->SetPosition(10, 10), box->SetSize(200, 30), row.setup(*box);
            box->Show(), box->SetFocus(), Keys(row.keys);
            if (row.then) row.then(*box);
            Settle();
            const auto got = std::tuple(box->GetText(), box->GetCaret(), alerts);
            EXPECT_EQ(got, std::tuple(row.text, row.caret, row.alerts)) << row.name;
            EXPECT_EQ("", Golden(std::string("textbox-") + row.name)) << row.name;
            Repaint();
            EXPECT_EQ("", Golden(std::string("textbox-") + row.name))
                << row.name << " after a full repaint";
            box->Hide(), box.reset();
        }
        lumetra::SetAlertFunction(nullptr);
    }
    // Five columns and three rows of wrapping text.
    static void Grid(TextBoxCustom& b) {
        b.SetSize(6 + 5 * b.GetCellWidth(), 6 + 3 * b.GetLineHeight()), b.SetMultiLine(true);
    }
    void ClickCell(int column, int row) {
        Click(box->x + 3 + column * box->GetCellWidth() + 2,
              box->y + 3 + row * box->GetLineHeight() + 4);
    }
    std::unique_ptr<TextBoxCustom> box;
};

auto none = [](TextBoxCustom&) {};

TEST_F(TextBox, KeysCaretAndAlertsInEveryMode) {
    Run({
        // Typing overwrites at the caret; Backspace closes the gap; Left stops at 0
        // and Backspace there only alerts; Delete blanks inside the text and
        // shortens it at its end; Right stops at the end with the alert.
        {"typing", none, "", "abcd<Left><Left>X<Left><BackSpace>", "aXd", 1, 0},
        {"start", none, "", "abd<Left><Left><Left><Left><BackSpace>Z<Delete><Right><Delete>", "Z",
         2, 1},
        {"right-end", none, "ab", "<Right><Return><Escape>", "ab", 2, 1},  // the last two silent
        {"no-tab-stop", [](TextBoxCustom& b) { b.tabStop = false; }, "", "<Tab>", "", 0, 1},
        // Ten characters fit; the eleventh is refused. Delete on the buffer's end
        // must not replace its terminator. The length is fixed once shown.
        {"max-length", [](TextBoxCustom& b) { b.SetMaxLength(10); }, "",
         "abcdefghijk<Delete><BackSpace>", "abcdefghi", 9, 1,
         [](TextBoxCustom& b) { EXPECT_EQ((b.SetMaxLength(3), b.GetMaxLength()), 10); }},
        {"delete-shifts", [](TextBoxCustom& b) { b.SetDeleteShifts(true); }, "abc",
         "<Delete><Left><Left><Delete>", "ac", 1, 0},
        {"digits", [](TextBoxCustom& b) { b.SetNumericOnly(true); }, "", "1a2.3 ", "123", 3, 3},
        {"decimal", [](TextBoxCustom& b) { b.SetNumericOnly(true), b.SetAllowDecimalPoint(true); },
         "", "1.5.2", "1.52", 4, 1},
        // Dates: separators come by themselves, Left skips them, Backspace after
        // one takes it and the digit before, and the separators are put back.
        {"date", [](TextBoxCustom& b) { b.SetDateMode(true); }, "", "120320247-", "12/03/2024", 10,
         2},
        {"date-edit", [](TextBoxCustom& b) { b.SetDateMode(true); }, "",
         "12032024<Left><Left><Left><Left><Left><Right><BackSpace>", "12/02/024", 4, 0},
        {"date-late", [](TextBoxCustom& b) { b.SetMaxLength(2), b.Show(), b.SetDateMode(true); },
         "", "123<BackSpace>", "1", 1, 1},
        {"password", [](TextBoxCustom& b) { b.SetPassword(true); }, "", "ab c", "ab c", 4, 0},
        // Multi-line: the sixth character starts the second row; Up and Down keep
        // the column and alert where there is no row or no text; a character
        // typed in the middle pushes the rest on; Enter breaks the line; what no
        // longer fits the grid is refused.
        {"grid-moves", Grid, "", "abcdefgh<Up><Up><Left><Down><Down>", "abcdefgh", 7, 2},
        {"grid-break", Grid, "", "abcdefgh<Up><Left>X<Return><Up><Right><Right><Right><Down>123",
         "abX\rcde123fgh", 10, 0},
        {"grid-full", Grid, "abX\rcde123fgh", "4", "abX\rcde123fgh", 13, 1},
        {"grid-pad", Grid, "", "a  <BackSpace>b", "a b", 3, 0},
        {"breaks-beyond-rows", [](TextBoxCustom& b) { b.SetSize(150, 0), b.SetMultiLine(true); },
         "\r\r\r\rab\r\r", "<Down><Up>", "\r\r\r\rab", 6, 2},
        {"click-cell", none, "hello", "", "hello", 2, 0, [&](TextBoxCustom&) { ClickCell(2, 0); }},
        {"click-beyond", none, "hello", "", "hello", 5, 0,
         [&](TextBoxCustom&) { ClickCell(12, 0); }},
        {"disabled", [](TextBoxCustom& b) { b.Show(), b.Enable(false); }, "ab", "cd<Right>", "ab",
         2, 0},
        {"read-only", [](TextBoxCustom& b) { b.Show(), b.SetReadOnly(true); }, "ab", "cd<Left>",
         "ab", 2, 0},
        {"resized", none, "", "keep", "keep", 4, 0,
         [](TextBoxCustom& b) { b.SetSize(250, 40), b.SetPosition(10, 200); }},
    });
}

TEST_F(TextBox, FocusTabChangesAndTheGridsCapacity) {
    TextBoxCustom never(form.get(), "kept"), a(form.get(), "same"), b(form.get(), "");
    a.SetPosition(10, 10), a.SetSize(150, 30), b.SetPosition(10, 60);
    a.SetOnChange([](lumetra::GUIElement*) { ++changes; });
    a.Show(), b.Show();
    // A change is told on losing the focus, only when the value changed,
    // also when another box takes the focus itself.
    for (const auto& [keys, expected] :
         {std::pair{"x", 1}, {"", 1}, {"y<BackSpace>", 1}, {"z", 2}}) {
        Click(a.x + 140, a.y + 10);
        Keys(keys);
        expected == 2 ? b.SetFocus() : Click(b.x + 10, b.y + 10);
        EXPECT_EQ(changes, expected) << keys;
    }
    EXPECT_EQ(Application::focusedElement, &b);
    // With nothing focused Tab reaches the first tab stop, here one never
    // shown, which ignores keys and clicks.
    Application::ResetFocus(), Keys("<Tab>");
    ASSERT_EQ(Application::focusedElement, &never);
    Keys("xyz<Right><BackSpace><Delete>");
    never.MouseUp(lumetra::PackPoint(never.x + 5, never.y + 5));
    EXPECT_EQ(never.GetText(), "kept");
    EXPECT_EQ("", Golden("textbox-focus"));
    // A grid larger than the capacity: Down finds no cell beyond it.
    TextBoxCustom big(form.get(), "");
    big.SetSize(2000, 1200), big.SetMaxLength(4000), big.SetMultiLine(true);
    const int lastRow = (lumetra::TextGrid::kMaxCells - 1) / big.Columns();
    ASSERT_GT(lumetra::TextGrid::kMaxCells - lastRow * big.Columns(), 2);
    big.SetText(std::string(static_cast<size_t>(lastRow), '\r') + "ab");
    big.Show(), big.SetFocus(), Keys("<Down>");
    EXPECT_EQ(big.GetCaret(), lastRow + 2);
    Keys("<Up>");
    EXPECT_EQ(big.GetCaret(), lastRow - 1);
}

}  // namespace
