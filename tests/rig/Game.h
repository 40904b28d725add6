// The real game program under the rig, and a player for it: run in a scratch
// directory with a copy of Data/ and the recording stand-ins first on PATH.
#pragma once

#include <cstdlib>
#include <memory>

#include "lumetra/game/BoxGame.h"
#include "lumetra/game/MakerTexts.h"
#include "rig/Golden.h"
#include "rig/Process.h"
#include "rig/Rig.h"

namespace rig {

// Where the game window puts things (window coordinates).
struct Area {
    int x;
    int y;
    int w;
    int h;
    int CentreX() const { return x + w / 2; }
    int CentreY() const { return y + h / 2; }
};
constexpr Area kInfoButton{10, 30, 100, 28};
constexpr Area kExitButton{120, 30, 100, 28};
constexpr Area kStartButton{230, 30, 100, 28};
// The game window's name.
inline const std::string kTitle =
    std::string("Lumetra - ") + lumetra::kWebAddress + " " + lumetra::kNoticeLine;
// Box n (1-4) of the board at (200, 130): 185 x 185, a 10 pixel margin and gap.
inline Area BoxArea(int box) { return {box % 2 == 0 ? 405 : 210, box > 2 ? 335 : 140, 185, 185}; }

struct Launch {
    std::vector<std::string> prefix;              // run under (valgrind)
    std::vector<std::string> env;                 // more NAME=value
    std::string path;                             // PATH; empty: the stand-ins first
    std::function<void(const TempDir&)> prepare;  // runs before the start
    int startMillis = 10000;
};

class GameProcess {
public:
    GameProcess(Display* display, const StandIns& standIns, const Launch& launch = {})
        : d(display) {
        (void)!std::system(("cp -r '" LUMETRA_SOURCE_DIR "/Data' '" + dir.Path() + "'").c_str());
        if (launch.prepare) launch.prepare(dir);
        std::vector<std::string> argv = launch.prefix;
        std::vector<std::string> env = launch.env;
        const char* game = std::getenv("LUMETRA_GAME");
        argv.push_back(game != nullptr && *game != '\0' ? game : LUMETRA_BINARY_DIR "/lumetra");
        env.push_back("PATH=" + (launch.path.empty() ? standIns.Path() : launch.path));
        process = std::make_unique<ChildProcess>(argv, dir.Path(), env);
        // This process's window painted, not one that a game before it left on the screen.
        const std::string pid = std::to_string(process->Pid());
        const auto shown = [&] {
            window = FindWindowByName(d, kTitle);
            return window != 0 && PropertyText(d, window, "_NET_WM_PID") == pid && LitBox() == 0;
        };
        if (!WaitUntil(shown, launch.startMillis)) window = 0;
    }

    bool Ok() const { return window != 0; }
    Window Win() const { return window; }
    ChildProcess& Process() { return *process; }
    std::string Log() const { return ReadFile(dir / "log.txt"); }
    // The lit box as the server shows it: 1-4, 0 when all four are dark, -1
    // when the board shows anything else (not painted, covered).
    int LitBox() const {
        int lit = 0;
        for (int box = 1; box <= 4; ++box) {
            const auto p = static_cast<lumetra::Colour>(
                PixelAt(d, window, BoxArea(box).CentreX(), BoxArea(box).CentreY()));
            if (p != lumetra::BoxGame::UnlitColour(box) &&
                (p != lumetra::BoxGame::LitColour(box) || lit != 0))
                return -1;
            if (p == lumetra::BoxGame::LitColour(box)) lit = box;
        }
        return lit;
    }
    // START shows its yellow caption only while enabled.
    bool StartEnabled() const { return CountColour(d, window, 230, 30, 100, 28, 0xFFFF00) > 0; }
    void Click(const Area& a) const { ClickIn(d, window, a.CentreX(), a.CentreY()); }
    void ClickBox(int box) const { Click(BoxArea(box)); }

private:
    Display* d;
    TempDir dir;
    std::unique_ptr<ChildProcess> process;
    Window window = 0;
};

// The boxes of one playback as they light, after the one lit now, until
// `length` were seen and the board is dark; empty on a timeout.
inline std::vector<int> WatchPlayback(const GameProcess& g, size_t length) {
    std::vector<int> seen;
    int last = g.LitBox();
    const bool done = WaitUntil(
        [&] {
            const int now = g.LitBox();
            if (now > 0 && now != last) seen.push_back(now);
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
        if (!WaitUntil([&] { return g.LitBox() == box; })) return false;
    }
    return true;
}

// From START, `levels` levels right and a wrong press (< 0: to the first box).
inline bool PlayGame(GameProcess& g, int levels) {
    g.Click(kStartButton);
    if (levels < 0) return WaitUntil([&] { return g.LitBox() > 0; });
    for (int level = 0; level <= levels; ++level) {
        const std::vector<int> seq = WatchPlayback(g, static_cast<size_t>(3 + level));
        if (seq.empty() || (level < levels && !Repeat(g, seq))) return false;
        if (level == levels) g.ClickBox(seq[0] % 4 + 1);
    }
    return WaitUntil([&] { return g.StartEnabled(); });
}

}  // namespace rig
