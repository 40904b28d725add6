#include "rig/XServer.h"

#include <X11/Xatom.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace rig {

namespace {

void StopChild(pid_t& pid, int sig = SIGTERM) {
    if (pid <= 0) return;
    kill(pid, sig);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

bool WindowManagerRunning(Display* d) {
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                                          &data) == Success &&
                       count == 1;
    if (data) XFree(data);
    return found;
}

// The rig walks window trees that change under it; a window that vanished
// between two requests is not a failure of the test.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

XServer::XServer(ServerOptions options) {
    XSetErrorHandler(IgnoreXError);
    int fds[2];
    if (pipe(fds) != 0) return;
    xvfbPid_ = fork();
    if (xvfbPid_ == 0) {
        close(fds[0]);
        const int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 1);
        dup2(devnull, 2);
        const std::string fd = std::to_string(fds[1]);
        const std::string screen =
            std::to_string(options.width) + "x" + std::to_string(options.height) + "x" + std::to_string(options.depth);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        StopChild(xvfbPid_);
        return;
    }
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
    if (display_ != nullptr) fcntl(ConnectionNumber(display_), F_SETFD, FD_CLOEXEC);
    if (display_ != nullptr && options.windowManager) StartWindowManager();
}

XServer::~XServer() {
    StopWindowManager();
    if (display_ != nullptr && xvfbPid_ > 0) XCloseDisplay(display_);
    display_ = nullptr;
    StopChild(xvfbPid_);
}

void XServer::MakeDefault() const { setenv("DISPLAY", name_.c_str(), 1); }

bool XServer::StartWindowManager() {
    if (wmPid_ > 0 || display_ == nullptr) return wmPid_ > 0;
    wmPid_ = fork();
    if (wmPid_ == 0) {
        const int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 1);
        dup2(devnull, 2);
        setenv("DISPLAY", name_.c_str(), 1);
        execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int i = 0; i < 500; ++i) {
        if (WindowManagerRunning(display_)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // The manager announces itself before it handles requests, and drops the
    // ones that come during its start-up: it is ready once it has managed
    // (mapped and given WM_STATE to) a probe window. A probe it dropped is
    // replaced by a new one.
    Display* d = display_;
    const Atom wmState = XInternAtom(d, "WM_STATE", False);
    bool ready = false;
    for (int attempt = 0; attempt < 50 && !ready; ++attempt) {
        const Window probe = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
        XMapWindow(d, probe);
        for (int i = 0; i < 20 && !ready; ++i) {
            Atom type = 0;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            XWindowAttributes a{};
            ready = XGetWindowProperty(d, probe, wmState, 0, 2, False, AnyPropertyType, &type, &format, &count, &after, &data) ==
                        Success &&
                    count > 0 && XGetWindowAttributes(d, probe, &a) && a.map_state == IsViewable;
            if (data) XFree(data);
            if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        XDestroyWindow(d, probe);
        XSync(d, False);
    }
    return ready;
}

void XServer::StopWindowManager() {
    if (wmPid_ <= 0) return;
    StopChild(wmPid_);
    if (display_ != nullptr) {
        // The check window outlives a killed manager only until the server
        // notices; make sure the next start does not see a stale one.
        XSync(display_, False);
    }
}

void XServer::Kill() {
    StopWindowManager();
    // Our own connection goes first, while there is a server to say goodbye to.
    if (display_ != nullptr) XCloseDisplay(display_);
    display_ = nullptr;
    StopChild(xvfbPid_, SIGKILL);
}

XServer& SharedServer(bool windowManager) {
    static std::unique_ptr<XServer> server;
    if (!server) {
        ServerOptions o;
        o.windowManager = windowManager;
        server = std::make_unique<XServer>(o);
        server->MakeDefault();
    }
    return *server;
}

}  // namespace rig
