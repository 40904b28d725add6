// Start-up of the game beside a bare Xlib program that only maps a window:
// time from exec to the first mapped, fully painted window, resident memory
// after start-up, and CPU used while idling.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ProcStats.h"
#include "Stats.h"
#include "lumetra/game/MakerTexts.h"
#include "rig/Process.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

namespace {

using bench::CpuSeconds;
using bench::StatusKb;

using Clock = std::chrono::steady_clock;

struct Probe {
    int x;
    int y;
    uint32_t colour;
};

struct Program {
    std::string label;
    std::string path;
    std::string title;
    std::vector<Probe> painted;  // pixels that show the first paint is complete
};

bool Painted(Display* d, const Program& p, Window* found) {
    if (*found == 0) *found = rig::FindWindowByName(d, p.title);
    if (*found == 0 || !rig::IsMapped(d, *found)) return false;
    for (const Probe& probe : p.painted) {
        if (rig::PixelAt(d, *found, probe.x, probe.y) != probe.colour) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // bench/run --quick asks for fewer repetitions and a shorter idle spell.
    const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    const int runs = quick ? 3 : argc > 1 ? std::atoi(argv[1]) : 10;
    const int idleSeconds = quick ? 3 : argc > 2 ? std::atoi(argv[2]) : 10;
    rig::XServer server;
    if (!server.Ok()) {
        std::fprintf(stderr, "no Xvfb\n");
        return 1;
    }
    rig::TempDir work;
    (void)!std::system(("cp -r '" LUMETRA_SOURCE_DIR "/Data' '" + work.Path() + "/'").c_str());
    const std::string title =
        std::string("Lumetra - ") + lumetra::kWebAddress + " " + lumetra::kNoticeLine;
    const std::vector<Program> programs = {
        {"bare Xlib window", LUMETRA_BINARY_DIR "/bench/bare_window", "bare", {{10, 10, 0xAAAAAA}}},
        // The START button's face and the board's first box: the last things
        // the first paint draws.
        {"lumetra",
         LUMETRA_BINARY_DIR "/lumetra",
         title,
         {{10, 10, 0xAAAAAA}, {235, 40, 0xFF0000}, {302, 232, 0x7F0000}, {497, 437, 0x007F00}}},
    };
    Display* d = server.Connection();
    double startupMedian[2] = {0, 0};
    long rss[2] = {0, 0};
    for (size_t i = 0; i < programs.size(); ++i) {
        const Program& p = programs[i];
        std::vector<double> times;
        std::vector<double> memory;
        for (int r = 0; r < runs; ++r) {
            const auto t0 = Clock::now();
            rig::ChildProcess child({p.path}, work.Path(), {"DISPLAY=" + server.Name()});
            Window w = 0;
            while (!Painted(d, p, &w) && Clock::now() - t0 < std::chrono::seconds(10)) {
            }
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            memory.push_back(static_cast<double>(StatusKb(child.Pid(), "VmRSS")) / 1024.0);
            if (r == 0 && idleSeconds > 0) {
                const double before = CpuSeconds(child.Pid());
                std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
                const double used = CpuSeconds(child.Pid()) - before;
                bench::Report("idle CPU over " + std::to_string(idleSeconds) + " s, " + p.label,
                              {100.0 * used / idleSeconds}, "% of a core");
            }
            child.Signal(SIGTERM);
            child.Wait(2000);
        }
        std::sort(times.begin(), times.end());
        std::sort(memory.begin(), memory.end());
        startupMedian[i] = times[times.size() / 2];
        rss[i] = static_cast<long>(memory[memory.size() / 2] * 1024);
        bench::Report("start-up to first painted window, " + p.label, times, "ms");
        bench::Report("resident memory after start-up, " + p.label, memory, "MiB");
    }
    bench::Report("start-up ratio lumetra / bare", {startupMedian[1] / startupMedian[0]}, "x");
    bench::Report("memory ratio lumetra / bare",
                  {static_cast<double>(rss[1]) / static_cast<double>(rss[0])}, "x");
    return 0;
}
