// Takes the README's screenshots of the real game under a private Xvfb with
// the window manager: docs/game.png in the middle of a playback and
// docs/about.png of the About form. Sounds are recorded, not played.
// Usage: game_screenshots [output directory]   (default "docs")
#include <cstdio>
#include <string>

#include "rig/Game.h"
#include "rig/XServer.h"

int main(int argc, char** argv) {
    const std::string out = argc > 1 ? argv[1] : "docs";
    rig::XServer server(rig::ServerOptions{24, true, 1024, 768});
    if (!server.Ok()) {
        std::fprintf(stderr, "game_screenshots: no Xvfb\n");
        return 1;
    }
    server.MakeDefault();
    Display* d = server.Connection();
    rig::StandIns standIns(200);
    rig::GameProcess game(d, standIns);
    if (!game.Ok()) {
        std::fprintf(stderr, "game_screenshots: the game window did not appear\n");
        return 1;
    }
    game.Click(rig::kStartButton);
    // The second box of the sequence: the playback is well under way.
    int steps = 0;
    int last = 0;
    const bool lit = rig::WaitUntil(
        [&] {
            const int box = game.LitBox();
            if (box > 0 && box != last) ++steps;
            if (box > 0) last = box;
            return steps >= 2;
        },
        5000);
    rig::Sync(d);
    bool ok = lit && rig::SaveWindowPng(d, game.Win(), out + "/game.png");

    game.Click(rig::kInfoButton);
    Window about = 0;
    rig::WaitUntil([&] {
        return (about = rig::FindWindowByName(d, "Info...")) != 0 && rig::IsMapped(d, about);
    });
    // Painted: the OK button's face is no longer the bare window colour.
    rig::WaitUntil([&] { return about != 0 && rig::PixelAt(d, about, 300, 170) != 0xAAAAAA; },
                   3000);
    rig::WaitUntil([] { return false; }, 300);
    ok = ok && about != 0 && rig::SaveWindowPng(d, about, out + "/about.png");
    if (!ok) std::fprintf(stderr, "game_screenshots: could not take the pictures\n");
    return ok ? 0 : 1;
}
