// The leaderboard and the text box at work:
// - AddScore on a full board of ten entries (read, sort, write a temporary
//   file, rename it over the board), on a warm file system;
// - one keystroke in a multi-line text box holding a long text (a 2,000
//   character buffer with 1,500 characters of wrapping text shown on its
//   grid of 1,600 cells, the most a grid holds), from the XTEST key press to the repainted cell
//   read back from the server: a letter typed at the end, a letter typed in the middle (the rest of
//   the text moves on by one cell), Backspace in the middle, and the caret moved by one;
// - the same box with a maximum of 2^28 characters: the memory it takes when
//   shown, and a letter typed at the end of its 1,500 characters.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ProcStats.h"
#include "Stats.h"
#include "lumetra/controls/TextBoxCustom.h"
#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"
#include "lumetra/core/Screen.h"
#include "lumetra/game/Leaderboard.h"
#include "rig/Process.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }
double Millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void AddScoreOnAFullBoard() {
    rig::TempDir dir;
    char* old = getcwd(nullptr, 0);
    if (chdir(dir.Path().c_str()) != 0) return;
    lumetra::Leaderboard board("bench");
    for (int i = 1; i <= 10; ++i) board.AddScore(1000 * i, "Player" + std::to_string(i));
    std::vector<double> samples;
    constexpr int kCalls = 20;
    for (int s = 0; s < 100; ++s) {
        const Clock::time_point start = Clock::now();
        // Half enter the board (and push one out), half are dropped again.
        for (int i = 0; i < kCalls; ++i)
            board.AddScore(i % 2 ? 500 : 20000 + s * kCalls + i, "Bench");
        samples.push_back(Micros(Clock::now() - start) / kCalls);
    }
    bench::Report("leaderboard AddScore, full board", samples, "us");
    if (chdir(old) != 0) std::perror("chdir");
    free(old);
}

// The first row of the cell the caret is in shows the caret colour.
bool CaretShownAt(Display* d, Window w, lumetra::TextBoxCustom& box, int position) {
    int row = 0;
    int column = 0;
    if (!box.Editor().Grid().FindCell(position, row, column)) return false;
    const int x = box.x + 3 + column * box.GetCellWidth();
    const int y = box.y + 3 + row * box.GetLineHeight();
    return rig::CountColour(d, w, x, y, box.GetCellWidth() - 1, 1, 0xFFFF00) > 0;
}

}  // namespace

int main() {
    AddScoreOnAFullBoard();

    rig::XServer server(rig::ServerOptions{24, false, 1024, 768});
    if (!server.Ok()) {
        std::fprintf(stderr, "textbox_bench: no Xvfb\n");
        return 1;
    }
    server.MakeDefault();
    Display* d = server.Connection();
    lumetra::Screen screen;
    Display* tk = screen.GetDisplay();
    lumetra::Form form;
    form.SetScreen(&screen);
    form.SetSize(1000, 700);
    form.Create();
    const Window w = form.GetWindow();
    if (!rig::PumpUntil(&form, [&] { return rig::IsMapped(d, w); })) return 1;
    XSetInputFocus(d, w, RevertToParent, CurrentTime);

    // Wrapping text whose neighbouring cells all differ, so a character
    // inserted in the middle changes every cell after it.
    std::string text;
    for (int i = 0; i < 1500; ++i) text += static_cast<char>('a' + i % 26);
    // 80 columns and 20 rows: the whole capacity of 1,600 cells.
    auto show = [&](lumetra::TextBoxCustom& b, int32_t maxLength) {
        b.SetMultiLine(true);
        b.SetMaxLength(maxLength);
        b.SetPosition(10, 10);
        b.SetSize(6 + 80 * b.GetCellWidth(), 6 + 20 * b.GetLineHeight());
        b.SetText(text);
        b.Show();
        b.SetFocus();
        XSync(tk, False);
    };
    lumetra::TextBoxCustom box(&form, "");
    show(box, 2000);
    const int length = static_cast<int>(box.GetText().size());

    // One key from the XTEST press until the caret is seen where it must be.
    auto keystroke = [&](lumetra::TextBoxCustom& target, unsigned long keysym, int expectedCaret) {
        const Clock::time_point start = Clock::now();
        rig::TapKey(d, keysym);
        const bool ok = rig::PumpUntil(&form, [&] {
            if (target.GetCaret() != expectedCaret) return false;
            XSync(tk, False);
            return CaretShownAt(d, w, target, expectedCaret);
        });
        return ok ? Millis(Clock::now() - start) : -1.0;
    };
    auto measure = [&](const char* name, const std::function<double()>& one) {
        std::vector<double> samples;
        for (int i = 0; i < 100; ++i) {
            const double ms = one();
            if (ms < 0) {
                std::fprintf(stderr, "textbox_bench: %s: the key had no effect\n", name);
                return;
            }
            samples.push_back(ms);
        }
        bench::Report(name, samples, "ms");
    };

    // At the end: type, then take it back, keeping the text as it was.
    measure("text box keystroke, letter at the end (1500 chars)", [&] {
        const double ms = keystroke(box, XK_x, length + 1);
        keystroke(box, XK_BackSpace, length);
        return ms;
    });
    // In the middle: every following cell moves on by one.
    const int middle = length / 2;
    while (box.GetCaret() > middle) keystroke(box, XK_Left, box.GetCaret() - 1);
    measure("text box keystroke, letter in the middle (1500 chars)", [&] {
        const double ms = keystroke(box, XK_x, middle + 1);
        keystroke(box, XK_BackSpace, middle);
        return ms;
    });
    measure("text box keystroke, Backspace in the middle (1500 chars)", [&] {
        keystroke(box, XK_x, middle + 1);
        return keystroke(box, XK_BackSpace, middle);
    });
    measure("text box keystroke, caret right (1500 chars)", [&] {
        const double ms = keystroke(box, XK_Right, middle + 1);
        keystroke(box, XK_Left, middle);
        return ms;
    });
    if (box.GetText() != text) std::fprintf(stderr, "textbox_bench: the text changed\n");
    box.Hide();

    const long before = bench::StatusKb(getpid(), "VmRSS");
    lumetra::TextBoxCustom vast(&form, "");
    show(vast, 1 << 28);
    const auto grown = static_cast<double>(bench::StatusKb(getpid(), "VmRSS") - before);
    bench::Report("text box of at most 2^28 characters, memory when shown", {grown}, "KiB");
    measure("text box keystroke, letter at the end (1500 of at most 2^28)", [&] {
        const double ms = keystroke(vast, XK_x, length + 1);
        keystroke(vast, XK_BackSpace, length);
        return ms;
    });
    return 0;
}
