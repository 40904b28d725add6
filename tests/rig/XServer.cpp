#include "rig/XServer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "rig/Process.h"
#include "rig/Rig.h"

namespace rig {

namespace {

bool HasProperty(Display* d, Window w, const char* name) {
    return !PropertyText(d, w, name).empty();
}

void StopChild(pid_t& pid, int sig = SIGTERM) {
    if (pid > 0 && kill(pid, sig) == 0 &&
        !WaitUntil([&] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 2000)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

// The rig walks window trees that change under it; a window that vanished
// between two requests is not a failure of the test.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

XServer::XServer(ServerOptions o) {
    XSetErrorHandler(IgnoreXError);
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    const std::string screen =
        std::to_string(o.width) + "x" + std::to_string(o.height) + "x" + std::to_string(o.depth);
    xvfbPid_ =
        Spawn({"Xvfb", "-displayfd", fd, "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
              "", "/dev/null");
    close(fds[1]);
    for (char c; read(fds[0], &c, 1) == 1 && c != '\n';) name_ += c;
    close(fds[0]);
    name_ = ":" + name_;
    display_ = name_.size() > 1 ? XOpenDisplay(name_.c_str()) : nullptr;
    if (display_ == nullptr) {
        StopChild(xvfbPid_);
        return;
    }
    fcntl(ConnectionNumber(display_), F_SETFD, FD_CLOEXEC);
    // A key a test holds down must not repeat, however slowly the test runs.
    XAutoRepeatOff(display_);
    XSync(display_, False);
    if (o.windowManager) StartWindowManager();
}

XServer::~XServer() {
    StopWindowManager();
    if (display_ != nullptr) XCloseDisplay(display_);
    StopChild(xvfbPid_);
}

void XServer::MakeDefault() const { setenv("DISPLAY", name_.c_str(), 1); }

bool XServer::StartWindowManager() {
    if (wmPid_ > 0 || display_ == nullptr) return wmPid_ > 0;
    wmPid_ = Spawn({"openbox", "--sm-disable"}, "", "/dev/null", {"DISPLAY=" + name_});
    Display* d = display_;
    WaitUntil([&] { return HasProperty(d, DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK"); });
    // The manager announces itself before it handles requests, and drops the
    // ones that come during its start-up: it is ready once it has managed
    // (mapped and given WM_STATE to) a probe window; a dropped probe is replaced.
    for (int attempt = 0; attempt < 50; ++attempt) {
        const Window probe = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
        XMapWindow(d, probe);
        XWindowAttributes a{};
        const bool ready = WaitUntil(
            [&] {
                return HasProperty(d, probe, "WM_STATE") && XGetWindowAttributes(d, probe, &a) &&
                       a.map_state == IsViewable;
            },
            200);
        XDestroyWindow(d, probe);
        XSync(d, False);
        if (ready) return true;
    }
    return false;
}

void XServer::StopWindowManager() {
    StopChild(wmPid_);
    // The check window outlives a killed manager only until the server
    // notices; make sure the next start does not see a stale one.
    if (display_ != nullptr) XSync(display_, False);
}

void XServer::Kill() {
    StopWindowManager();
    if (display_ != nullptr) XCloseDisplay(display_);  // while there is a server to say goodbye to
    display_ = nullptr;
    StopChild(xvfbPid_, SIGKILL);
}

XServer& SharedServer(bool windowManager) {
    static std::unique_ptr<XServer> server;
    if (!server) {
        server = std::make_unique<XServer>(ServerOptions{24, windowManager});
        server->MakeDefault();
    }
    return *server;
}

}  // namespace rig
