// An automatic player for the real game program: it watches the board's
// pixels during a playback and repeats what it saw through XTEST. Used by the
// fault and memory-checking tests and by the soak run.
#pragma once

#include <chrono>
#include <thread>
#include <vector>

#include "GameProcess.h"

namespace gamerig {

// START shows its yellow caption only while enabled.
inline bool StartEnabled(Display* d, Window w) {
    return rig::CountColour(d, w, kStartButton.x, kStartButton.y, kStartButton.w, kStartButton.h, 0xFFFF00) > 0;
}

// Presses START once it is enabled and waits for the first lit box; false
// when either does not come.
inline bool StartPlayback(Display* d, const GameProcess& g) {
    if (!rig::WaitUntil([&] { return StartEnabled(d, g.Win()); }, 5000)) return false;
    g.Click(kStartButton);
    return rig::WaitUntil([&] { return g.LitBox() > 0; }, 5000);
}

// The boxes of one playback, in order; empty on a timeout. Boxes are taken
// as they light; the playback is over when `length` boxes were seen and the
// board goes dark for the player's turn.
inline std::vector<int> WatchPlayback(const GameProcess& g, size_t length, int timeoutMs = 0) {
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 3000 + static_cast<int>(length) * 1500);
    std::vector<int> seen;
    int last = g.LitBox();
    while (std::chrono::steady_clock::now() < end) {
        const int now = g.LitBox();
        if (now != last && now > 0) seen.push_back(now);
        if (now >= 0) last = now;
        if (seen.size() == length && now == 0) return seen;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return {};
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
inline bool PlayGame(Display* d, GameProcess& g, int levels) {
    if (!rig::WaitUntil([&] { return StartEnabled(d, g.Win()); }, 5000)) return false;
    g.Click(kStartButton);
    for (int level = 0; level < levels; ++level) {
        const std::vector<int> seq = WatchPlayback(g, static_cast<size_t>(3 + level));
        if (seq.empty() || !Repeat(g, seq)) return false;
    }
    const std::vector<int> seq = WatchPlayback(g, static_cast<size_t>(3 + levels));
    if (seq.empty()) return false;
    g.ClickBox(seq[0] % 4 + 1);
    return rig::WaitUntil([&] { return StartEnabled(d, g.Win()); }, 5000);
}

}  // namespace gamerig
