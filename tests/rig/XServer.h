// A private X server for one test program: Xvfb on a display number it picks
// itself, optionally with a real window manager. Tests never touch the
// developer's own display.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>

namespace rig {

struct ServerOptions {
    int depth = 24;
    bool windowManager = false;
    int width = 1280;
    int height = 1024;
};

class XServer {
public:
    explicit XServer(ServerOptions options = {});
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    bool Ok() const { return display_ != nullptr; }
    const std::string& Name() const { return name_; }
    Display* Connection() const { return display_; }  // the test's own, apart from the program's
    void MakeDefault() const;   // DISPLAY names this server, so the toolkit opens it
    bool StartWindowManager();  // openbox, ready to manage windows
    void StopWindowManager();
    void Kill();  // a crash, as far as the server's clients can tell

private:
    pid_t xvfbPid_ = -1;
    pid_t wmPid_ = -1;
    std::string name_;
    Display* display_ = nullptr;
};

// The shared 24-bit server of a test program, with a window manager when the
// first caller asks for one; started on first use, stopped at exit.
XServer& SharedServer(bool windowManager = false);

}  // namespace rig
