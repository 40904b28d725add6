// The real game program under the rig, and a player for it: started in a
// scratch directory holding a copy of Data/, with the recording stand-ins
// first on PATH; its window found by title, its board read back from the
// server, presses sent through XTEST. Used by the end-to-end, fault and
// memory tests, the benchmarks, the soak run and the screenshot tool.
#pragma once

#include <X11/Xlib.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/BoxGame.h"
#include "game/MakerTexts.h"
#include "rig/Golden.h"
#include "rig/Process.h"
#include "rig/Rig.h"

namespace gamerig {

// Where the game window puts things (window coordinates).
struct Area {
    int x, y, w, h;
    int CentreX() const { return x + w / 2; }
    int CentreY() const { return y + h / 2; }
};
constexpr Area kInfoButton{10, 30, 100, 28}, kExitButton{120, 30, 100, 28}, kStartButton{230, 30, 100, 28};
// Box n (1-4) of the board at (200, 130): 185 x 185, a 10 pixel margin and gap.
inline Area BoxArea(int box) { return {box % 2 == 0 ? 405 : 210, box > 2 ? 335 : 140, 185, 185}; }

// A click through XTEST that returns once the server has taken the release:
// while the window manager holds the pointer (a click to focus) the release
// waits, and a pointer moved on meanwhile would have it land elsewhere.
inline void Click(Display* d, Window w, int x, int y) {
    rig::ClickIn(d, w, x, y);
    rig::WaitUntil([d] {
        Window root = 0, child = 0;
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned mask = 0;
        return XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &wx, &wy, &mask) && !(mask & Button1Mask);
    });
}

// Asks the window manager to close the window, as its close button does.
inline void RequestClose(Display* d, Window w) {
    XEvent ev{};
    ev.xclient = {ClientMessage, 0, False, d, w, XInternAtom(d, "_NET_CLOSE_WINDOW", False), 32, {}};
    ev.xclient.data.l[1] = 2;  // from a pager: always honoured
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XSync(d, False);
}

inline Window WaitWindow(Display* d, const std::string& name) {
    Window w = 0;
    rig::WaitUntil([&] { return (w = rig::FindWindowByName(d, name)) != 0 && rig::IsMapped(d, w); }, 10000);
    return w;
}

// The golden comparison once the picture has settled; a renewal first
// gives the paint time to end.
inline std::string Golden(Display* d, Window w, const std::string& name, int x = 0, int y = 0, int wd = 0, int h = 0) {
    if (std::getenv("LUMETRA_RENEW_GOLDEN") != nullptr) rig::WaitUntil([] { return false; }, 1000);
    std::string diff;
    rig::WaitUntil([&] { return (diff = rig::CompareGolden(d, w, name, x, y, wd, h)).empty(); }, 3000);
    return diff;
}

struct Launch {
    bool withData = true;             // copy the source tree's Data/ in
    std::vector<std::string> prefix;  // a program to run the game under (valgrind)
    std::vector<std::string> env;     // more of the environment (NAME=value)
    std::string path;                 // PATH; empty: the stand-ins first
    std::function<void(const rig::TempDir&)> prepare;  // runs before the start
    int startMillis = 10000;
};

class GameProcess {
public:
    GameProcess(Display* display, const rig::StandIns& standIns, const Launch& launch = {}) : d(display) {
        if (launch.withData) (void)!std::system(("cp -r '" LUMETRA_SOURCE_DIR "/Data' '" + dir.Path() + "'").c_str());
        if (launch.prepare) launch.prepare(dir);
        std::vector<std::string> argv = launch.prefix, env = launch.env;
        const char* game = std::getenv("LUMETRA_GAME");
        argv.push_back(game != nullptr && *game != '\0' ? game : LUMETRA_BINARY_DIR "/lumetra");
        env.push_back("PATH=" + (launch.path.empty() ? standIns.Path() : launch.path));
        process = std::make_unique<rig::ChildProcess>(argv, dir.Path(), env);
        const std::string title = std::string("Lumetra - ") + lumetra::kWebAddress + " " + lumetra::kNoticeLine;
        rig::WaitUntil([&] { return (window = rig::FindWindowByName(d, title)) != 0 && rig::IsMapped(d, window); },
                       launch.startMillis);
        // Painted: the board shows its four dark boxes.
        if (window != 0) rig::WaitUntil([this] { return LitBox() == 0; }, launch.startMillis);
    }

    bool Ok() const { return window != 0; }
    Window Win() const { return window; }
    rig::ChildProcess& Process() { return *process; }
    std::string Log() const { return rig::ReadFile(dir / "log.txt"); }
    std::string Output() const { return rig::ReadFile(process->Output()); }

    // The lit box as the server shows it: 1-4, 0 when all four are dark, -1
    // when the board shows anything else (not painted, covered).
    int LitBox() const {
        int lit = 0;
        for (int box = 1; box <= 4; ++box) {
            const auto p = static_cast<lumetra::Colour>(rig::PixelAt(d, window, BoxArea(box).CentreX(), BoxArea(box).CentreY()));
            if (p != lumetra::BoxGame::UnlitColour(box) && (p != lumetra::BoxGame::LitColour(box) || lit != 0)) return -1;
            lit = p == lumetra::BoxGame::LitColour(box) ? box : lit;
        }
        return lit;
    }
    // START shows its yellow caption only while enabled.
    bool StartEnabled() const { return rig::CountColour(d, window, 230, 30, 100, 28, 0xFFFF00) > 0; }
    void Click(const Area& a) const { gamerig::Click(d, window, a.CentreX(), a.CentreY()); }
    void ClickBox(int box) const { Click(BoxArea(box)); }

private:
    Display* d;
    rig::TempDir dir;
    std::unique_ptr<rig::ChildProcess> process;
    Window window = 0;
};

// Presses START once it is enabled and waits for the first lit box.
inline bool StartPlayback(const GameProcess& g) {
    if (!rig::WaitUntil([&] { return g.StartEnabled(); })) return false;
    g.Click(kStartButton);
    return rig::WaitUntil([&] { return g.LitBox() > 0; });
}

// The boxes of one playback as they light, after the box lit now; empty on
// a timeout. It is over when `length` boxes were seen and the board is dark.
inline std::vector<int> WatchPlayback(const GameProcess& g, size_t length) {
    std::vector<int> seen;
    int last = g.LitBox();
    const bool done = rig::WaitUntil(
        [&] {
            const int now = g.LitBox();
            if (now != last && now > 0) seen.push_back(now);
            last = now >= 0 ? now : last;
            return seen.size() == length && now == 0;
        },
        3000 + static_cast<int>(length) * 1500);
    return done ? seen : std::vector<int>{};
}

// Presses the boxes in order, each once the previous one has lit.
inline bool Repeat(const GameProcess& g, const std::vector<int>& boxes) {
    for (int box : boxes) {
        g.ClickBox(box);
        if (!rig::WaitUntil([&] { return g.LitBox() == box; }, 3000)) return false;
    }
    return true;
}

// From START: `levels` levels played right, then one wrong press; true when
// START is enabled again at the end.
inline bool PlayGame(GameProcess& g, int levels) {
    if (!rig::WaitUntil([&] { return g.StartEnabled(); })) return false;
    g.Click(kStartButton);
    for (int level = 0; level <= levels; ++level) {
        const std::vector<int> seq = WatchPlayback(g, static_cast<size_t>(3 + level));
        if (seq.empty() || (level < levels && !Repeat(g, seq))) return false;
        if (level == levels) g.ClickBox(seq[0] % 4 + 1);
    }
    return rig::WaitUntil([&] { return g.StartEnabled(); });
}

}  // namespace gamerig
