// The real game program under the rig: started in a scratch working
// directory holding a copy of Data/, with the recording stand-ins first on
// PATH, its window found by title and its board read back from the server.
// Shared by the end-to-end test, the benchmarks and the screenshot tool.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/BoxGame.h"
#include "game/MakerTexts.h"
#include "rig/Process.h"
#include "rig/Rig.h"

namespace gamerig {

// Where the game window puts things (window coordinates).
struct Area {
    int x, y, w, h;
    int CentreX() const { return x + w / 2; }
    int CentreY() const { return y + h / 2; }
};
constexpr Area kInfoButton{10, 30, 100, 28};
constexpr Area kExitButton{120, 30, 100, 28};
constexpr Area kStartButton{230, 30, 100, 28};
constexpr Area kLevelCell{10, 75, 100, 22};
constexpr Area kCountCell{120, 75, 100, 22};
constexpr Area kMessageCell{230, 75, 300, 22};
constexpr Area kBoard{200, 130, 400, 400};
// Box n (1-4): 185 x 185 with a 10 pixel margin and gap.
inline Area BoxArea(int box) {
    const bool right = box == 2 || box == 4, bottom = box == 3 || box == 4;
    return {kBoard.x + (right ? 205 : 10), kBoard.y + (bottom ? 205 : 10), 185, 185};
}

// Asks the window manager to close the window, as its close button does;
// the manager then sends the window WM_DELETE_WINDOW.
inline void RequestClose(Display* d, Window w) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(d, "_NET_CLOSE_WINDOW", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = CurrentTime;
    ev.xclient.data.l[1] = 2;  // from a pager: always honoured
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XSync(d, False);
}

// The window's frame (the window manager's parent of it, a child of the
// root) and its place in the stacking order, bottom first; -1 if not found.
inline int StackingIndex(Display* d, Window w) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    Window top = w;
    for (;;) {
        if (!XQueryTree(d, top, &root, &parent, &children, &n)) return -1;
        if (children) XFree(children);
        if (parent == root || parent == 0) break;
        top = parent;
    }
    if (!XQueryTree(d, root, &root, &parent, &children, &n)) return -1;
    int index = -1;
    for (unsigned i = 0; i < n; ++i) {
        if (children[i] == top) index = static_cast<int>(i);
    }
    if (children) XFree(children);
    return index;
}

inline std::string GameTitle() { return std::string("Lumetra - ") + lumetra::kWebAddress + " " + lumetra::kNoticeLine; }

inline std::string GameBinary() {
    const char* env = std::getenv("LUMETRA_GAME");
    return env != nullptr && *env != '\0' ? env : std::string(LUMETRA_BINARY_DIR) + "/lumetra";
}

// How to start the game, beyond the defaults.
struct Launch {
    bool withData = true;          // copy the source tree's Data/ in
    std::string oldLog;            // a log.txt left there as by an earlier run
    std::vector<std::string> prefix;  // a program to run the game under (valgrind)
    std::vector<std::string> env;     // more of the environment (NAME=value)
    std::string path;              // PATH; empty: the stand-ins first
    std::function<void(const rig::TempDir&)> prepare;  // runs before the start
    int startMillis = 10000;
};

class GameProcess {
public:
    // withData: copy the source tree's Data/ into the working directory;
    // oldLog: a log.txt left there as by an earlier run.
    GameProcess(Display* display, const rig::StandIns& standIns, bool withData = true, const std::string& oldLog = "")
        : GameProcess(display, standIns, Launch{withData, oldLog, {}, {}, {}, {}, 10000}) {}

    GameProcess(Display* display, const rig::StandIns& standIns, const Launch& launch) : d(display) {
        if (!launch.oldLog.empty()) rig::WriteFile(dir / "log.txt", launch.oldLog);
        if (launch.withData) {
            const std::string copy = "cp -r '" + std::string(LUMETRA_SOURCE_DIR) + "/Data' '" + dir.Path() + "/'";
            (void)!std::system(copy.c_str());
        }
        if (launch.prepare) launch.prepare(dir);
        std::vector<std::string> argv = launch.prefix;
        argv.push_back(GameBinary());
        std::vector<std::string> env = launch.env;
        env.push_back("PATH=" + (launch.path.empty() ? standIns.Path() : launch.path));
        process = std::make_unique<rig::ChildProcess>(argv, dir.Path(), env);
        rig::WaitUntil([this] { return (window = rig::FindWindowByName(d, GameTitle())) != 0 && rig::IsMapped(d, window); },
                       launch.startMillis);
        // Painted: the board's first box shows its dark colour.
        if (window != 0) rig::WaitUntil([this] { return LitBox() == 0; }, launch.startMillis);
    }

    bool Ok() const { return window != 0; }
    Window Win() const { return window; }
    rig::ChildProcess& Process() { return *process; }
    const rig::TempDir& Dir() const { return dir; }
    std::string Log() const { return rig::ReadFile(dir / "log.txt"); }

    // The lit box as the server shows it: 1-4, 0 when all four are dark, -1
    // when the board shows anything else (not painted, covered).
    int LitBox() const {
        int lit = 0;
        for (int box = 1; box <= 4; ++box) {
            const Area a = BoxArea(box);
            const uint32_t p = rig::PixelAt(d, window, a.CentreX(), a.CentreY());
            if (p == static_cast<uint32_t>(lumetra::BoxGame::LitColour(box))) {
                if (lit != 0) return -1;
                lit = box;
            } else if (p != static_cast<uint32_t>(lumetra::BoxGame::UnlitColour(box))) {
                return -1;
            }
        }
        return lit;
    }

    void Click(const Area& a) const { rig::ClickIn(d, window, a.CentreX(), a.CentreY()); }
    void ClickBox(int box) const { Click(BoxArea(box)); }

private:
    Display* d;
    rig::TempDir dir;
    std::unique_ptr<rig::ChildProcess> process;
    Window window = 0;
};

}  // namespace gamerig
