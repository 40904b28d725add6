// Soak run: plays games automatically for a number of minutes and samples,
// every 30 seconds, what the game holds: resident memory, open descriptors,
// child processes and zombies, and its resources in the X server (windows,
// pixmaps, graphics contexts, fonts). Prints a Markdown table.
// Usage: soak [minutes]
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <dirent.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "ProcStats.h"
#include "rig/Game.h"
#include "rig/XServer.h"

namespace {

using bench::StatusKb;

using Clock = std::chrono::steady_clock;

// The game's resources by type, found through the client that owns its window.
std::map<std::string, int> XResources(Display* d, Window gameWindow) {
    std::map<std::string, int> out;
    int count = 0;
    XResClient* clients = nullptr;
    if (!XResQueryClients(d, &count, &clients)) return out;
    for (int i = 0; i < count; ++i) {
        if ((gameWindow & ~clients[i].resource_mask) != clients[i].resource_base) continue;
        int types = 0;
        XResType* res = nullptr;
        if (XResQueryClientResources(d, clients[i].resource_base, &types, &res)) {
            for (int t = 0; t < types; ++t) {
                char* name = XGetAtomName(d, res[t].resource_type);
                out[name ? name : "?"] = static_cast<int>(res[t].count);
                if (name) XFree(name);
            }
            XFree(res);
        }
    }
    XFree(clients);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 10;
    rig::XServer server(rig::ServerOptions{24, true, 1280, 1024});
    if (!server.Ok()) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    server.MakeDefault();
    Display* d = server.Connection();
    rig::StandIns standIns;
    rig::GameProcess game(d, standIns);
    if (!game.Ok()) {
        std::fprintf(stderr, "the game did not start: %s\n",
                     rig::ReadFile(game.Process().Output()).c_str());
        return 1;
    }
    const pid_t pid = game.Process().Pid();
    std::printf(
        "| minute | games | RSS (KiB) | fds | children | zombies | windows | pixmaps | GCs | fonts "
        "|\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    const auto start = Clock::now();
    auto nextSample = start;
    int games = 0;
    int failures = 0;
    while (Clock::now() - start < std::chrono::duration<double, std::ratio<60>>(minutes)) {
        if (Clock::now() >= nextSample) {
            int children = 0;
            int zombies = 0;
            for (pid_t c : rig::ChildrenOf(pid)) {
                ++children;
                zombies += rig::IsZombie(c) ? 1 : 0;
            }
            std::map<std::string, int> res = XResources(d, game.Win());
            const double minute =
                std::chrono::duration<double, std::ratio<60>>(Clock::now() - start).count();
            std::printf("| %.1f | %d | %ld | %d | %d | %d | %d | %d | %d | %d |\n", minute, games,
                        StatusKb(pid, "VmRSS"), bench::OpenDescriptorCount(pid), children, zombies,
                        res["WINDOW"], res["PIXMAP"], res["GC"], res["FONT"]);
            std::fflush(stdout);
            nextSample += std::chrono::seconds(30);
        }
        // Each game goes a little further than the last, up to level 4.
        if (rig::PlayGame(game, games % 5)) {
            ++games;
        } else if (++failures > 3 || !game.Process().Running()) {
            std::fprintf(stderr, "the player lost track of the game\n");
            return 1;
        }
    }
    std::printf("\n%d games played; the player lost track %d times.\n", games, failures);
    return 0;
}
