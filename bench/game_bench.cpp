// The game's own numbers, under Xvfb with the window manager and the
// recording aplay (a 200 ms sleep):
//   game_press_to_lit       XTEST press on a box -> its lit pixels on the
//                           server, real program, before its beep starts
//   game_step_spacing       in a 10-box playback, from the end of a step's
//                           beep (the stand-in's record line) to the next
//                           step's lit pixels: the interval without the
//                           beep (30 to 31 ticks, 900-930 ms, by design)
//   game_step_drift         the nine spacings' summed deviation from 930 ms
//   game_idle_cpu           CPU of the idling program, timer running
//   game_rss_*              resident memory
// Usage: game_bench [--quick]   (--quick: 20 s of idling instead of 60 s)
#include <X11/Xlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ProcStats.h"
#include "Stats.h"
#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/core/Application.h"
#include "lumetra/core/Screen.h"
#include "lumetra/core/Timer.h"
#include "lumetra/game/BoxGame.h"
#include "lumetra/game/FormMain.h"
#include "lumetra/game/Sound.h"
#include "rig/Game.h"
#include "rig/Process.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

namespace {

using bench::CpuSeconds;
using bench::StatusKb;

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Watches a playback of n boxes of the real program; answers the boxes.
std::vector<int> Watch(const rig::GameProcess& game, size_t n) {
    std::vector<int> seen;
    int last = 0;
    rig::WaitUntil(
        [&] {
            const int box = game.LitBox();
            if (box > 0 && box != last) seen.push_back(box);
            if (box >= 0) last = box;
            return seen.size() >= n && box == 0;
        },
        static_cast<int>(n + 3) * 1500);
    return seen;
}

// One press, timed from the fake event to the lit pixel; then waits until
// the game's beep (the stand-in's record line) is over.
double TimedPress(Display* d, const rig::GameProcess& game, const rig::StandIns& standIns,
                  int box) {
    const rig::Area a = rig::BoxArea(box);
    rig::MovePointerIn(d, game.Win(), a.CentreX(), a.CentreY());
    Sleep(30);
    const size_t sounds = standIns.Recorded().size();
    const uint32_t lit = static_cast<uint32_t>(lumetra::BoxGame::LitColour(box));
    const Clock::time_point t0 = Clock::now();
    rig::PressButton(d);
    while (rig::PixelAt(d, game.Win(), a.CentreX(), a.CentreY()) != lit && MsSince(t0) < 2000) {
    }
    const double ms = MsSince(t0);
    rig::ReleaseButton(d);
    rig::WaitUntil([&] { return standIns.Recorded().size() > sounds; }, 3000);
    Sleep(30);
    return ms;
}

void RealProgram(Display* d, bool quick) {
    rig::StandIns standIns(200);
    rig::GameProcess game(d, standIns);
    if (!game.Ok()) {
        std::fprintf(stderr, "game_bench: no game window\n");
        return;
    }
    const pid_t pid = game.Process().Pid();
    Sleep(500);
    const double idleSeconds = quick ? 20 : 60;
    const double cpu0 = CpuSeconds(pid);
    Sleep(static_cast<int>(idleSeconds * 1000));
    const double cpu = CpuSeconds(pid) - cpu0;
    bench::Report(quick ? "game_idle_cpu_20s" : "game_idle_cpu_60s", {100.0 * cpu / idleSeconds},
                  "% of a core");
    bench::Report("game_rss_idle", {static_cast<double>(StatusKb(pid, "VmRSS")) / 1024.0}, "MB");

    std::vector<double> latency;
    game.Click(rig::kStartButton);
    for (size_t n = 3; n <= 6; ++n) {
        const std::vector<int> seq = Watch(game, n);
        if (seq.size() != n) {
            std::fprintf(stderr, "game_bench: lost the playback of %zu boxes\n", n);
            break;
        }
        Sleep(50);
        for (int box : seq) latency.push_back(TimedPress(d, game, standIns, box));
        rig::WaitUntil([&] { return game.LitBox() == 0; }, 3000);
    }
    bench::Report("game_press_to_lit", latency, "ms");
    bench::Report("game_rss_after_level_3", {static_cast<double>(StatusKb(pid, "VmRSS")) / 1024.0},
                  "MB");
    bench::Report("game_rss_peak", {static_cast<double>(StatusKb(pid, "VmHWM")) / 1024.0}, "MB");
}

// ---- in this process: a level of 10 boxes with the real timer, and a
// 20-level game driven tick by tick ----

class InProcess {
public:
    explicit InProcess(int aplayMillis) : standIns(aplayMillis) {
        oldDir = getcwd(nullptr, 0);
        (void)!std::system(
            ("cp -r '" + std::string(LUMETRA_SOURCE_DIR) + "/Data' '" + dir.Path() + "/'").c_str());
        (void)!chdir(dir.Path().c_str());
        standIns.Install();
        screen = std::make_unique<lumetra::Screen>();
        game = std::make_unique<lumetra::FormMain>(screen.get(), "game bench");
        game->GetGameTimer()->Stop();
    }
    ~InProcess() {
        game.reset();
        screen.reset();
        if (oldDir) (void)!chdir(oldDir);
        std::free(oldDir);
    }
    int Lit() const {
        for (int b = 1; b <= 4; ++b) {
            if (game->GetBoard()->IsLit(b)) return b;
        }
        return 0;
    }
    // Plays the current playback tick by tick and repeats it.
    void PlayLevel() {
        while (game->IsPlayingBack()) game->HandleTick();
        const std::vector<int32_t> seq = game->GetSequence();
        for (int32_t b : seq) game->HandleBoxClick(b);
    }

    rig::TempDir dir;
    rig::StandIns standIns;
    char* oldDir = nullptr;
    std::unique_ptr<lumetra::Screen> screen;
    std::unique_ptr<lumetra::FormMain> game;
};

void StepSpacing() {
    InProcess run(200);
    run.game->HandleClick(run.game->GetStartButton());
    for (int level = 0; level < 7; ++level) run.PlayLevel();  // up to 10 boxes
    if (run.game->GetTargetLength() != 10) {
        std::fprintf(stderr, "game_bench: level of %d boxes\n", run.game->GetTargetLength());
        return;
    }
    // A thread with a connection of its own watches the lit pixels and the
    // stand-in's record (a line when each beep ends), while this thread runs
    // the game's loop with its real 30 ms timer.
    const Window win = run.game->GetWindow();
    std::atomic<bool> done{false};
    std::vector<double> lit;
    std::vector<double> beepEnd;
    const Clock::time_point origin = Clock::now();
    std::thread watcher([&] {
        Display* own = XOpenDisplay(nullptr);
        if (own == nullptr) return;
        int last = -2;
        size_t lines = run.standIns.Recorded().size();
        while (!done) {
            int box = 0;
            for (int b = 1; b <= 4 && box == 0; ++b) {
                const rig::Area a = rig::BoxArea(b);
                if (rig::PixelAt(own, win, a.CentreX(), a.CentreY()) ==
                    static_cast<uint32_t>(lumetra::BoxGame::LitColour(b)))
                    box = b;
            }
            if (box > 0 && box != last) lit.push_back(MsSince(origin));
            last = box;
            const size_t now = run.standIns.Recorded().size();
            if (now > lines) beepEnd.push_back(MsSince(origin));
            lines = now;
        }
        XCloseDisplay(own);
    });
    run.game->GetGameTimer()->Start();
    rig::PumpUntil(
        run.game.get(), [&] { return !run.game->IsPlayingBack(); }, 30000);
    rig::Pump(run.game.get(), 100);
    done = true;
    watcher.join();
    // The first lit change is the box still lit from the last press; then
    // ten steps, each with its beep.
    if (lit.size() != 11 || beepEnd.size() != 10) {
        std::fprintf(stderr, "game_bench: saw %zu lit changes and %zu beeps\n", lit.size(),
                     beepEnd.size());
        return;
    }
    std::vector<double> spacing;
    std::vector<double> beeps;
    double drift = 0;
    for (size_t i = 1; i < 10; ++i) {
        // From the end of a step's beep to the next step's light.
        spacing.push_back(lit[i + 1] - beepEnd[i - 1]);
        beeps.push_back(beepEnd[i - 1] - lit[i]);
        drift += spacing.back() - 31.0 * lumetra::FormMain::kTickMillis;
    }
    bench::Report("game_step_spacing", spacing, "ms");
    bench::Report("game_step_drift", {drift}, "ms over 9 steps");
    bench::Report("game_stand_in_beep", beeps, "ms");
}

void Memory() {
    InProcess run(0);
    const pid_t self = getpid();
    run.game->HandleClick(run.game->GetStartButton());
    double at5 = 0;
    for (int level = 0; level < 20; ++level) {
        run.PlayLevel();
        lumetra::ReapFinishedChildren();
        if (level == 4) at5 = static_cast<double>(StatusKb(self, "VmRSS")) / 1024.0;
    }
    const double at20 = static_cast<double>(StatusKb(self, "VmRSS")) / 1024.0;
    bench::Report("game_rss_in_process_level_5", {at5}, "MB");
    bench::Report("game_rss_in_process_level_20", {at20}, "MB");
    bench::Report("game_rss_growth_level_5_to_20", {at20 - at5}, "MB");
}

}  // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    // The step spacing is watched from a second thread with its own
    // connection.
    XInitThreads();
    rig::XServer server(rig::ServerOptions{24, true});
    if (!server.Ok()) {
        std::fprintf(stderr, "game_bench: no Xvfb\n");
        return 1;
    }
    server.MakeDefault();
    Display* d = server.Connection();
    RealProgram(d, quick);
    StepSpacing();
    Memory();
    return 0;
}
