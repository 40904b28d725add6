// The rig for tests written as shell scripts, on the X server DISPLAY names:
//   rig_x11 run COMMAND [ARG...]  COMMAND's status, run with DISPLAY naming a private Xvfb
//                                 with openbox, which goes when it ends
//   rig_x11 title                 the game window's name
//   rig_x11 window NAME           status 0 once a window of that name is mapped (10 s at most)
//   rig_x11 click NAME X Y        a click at (X, Y) in that window, once mapped
//   rig_x11 close NAME            the window manager's close of it, once mapped
//   rig_x11 gone NAME             status 0 once no window has that name (5 s at most)
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "rig/Game.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "title") return std::puts(rig::kTitle.c_str()) < 0;
    if (verb == "run" && argc > 2) {
        if (!rig::SharedServer(true).Ok()) return 125;
        const pid_t pid = fork();
        if (pid == 0) {
            execvp(argv[2], argv + 2);
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    Display* d = argc > 2 ? XOpenDisplay(nullptr) : nullptr;
    if (d == nullptr) return 2;
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window gone meanwhile
    const std::string name = argv[2];
    if (verb == "gone")
        return rig::WaitUntil([&] { return rig::FindWindowByName(d, name) == 0; }) ? 0 : 1;
    const Window w = rig::WaitWindow(d, name);
    if (w != 0 && verb == "click" && argc == 5)
        rig::ClickIn(d, w, std::atoi(argv[3]), std::atoi(argv[4]));
    if (w != 0 && verb == "close") rig::RequestClose(d, w);
    return w == 0 ? 1 : 0;
}
