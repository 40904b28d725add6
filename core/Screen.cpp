// Opening and closing the display, and the X error handlers while it is open.
#include "lumetra/core/Screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "lumetra/core/Application.h"
#include "lumetra/core/Log.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

namespace {

// Xlib's default handlers end the process on any protocol error. A failed
// request is logged, by the names Xlib's error database gives the error and
// the core request, and the program goes on; a lost server ends it at once,
// without touching the dead connection again.
int OnXError(Display* d, XErrorEvent* e) {
    char error[128] = {};
    XGetErrorText(d, e->error_code, error, sizeof error);
    const std::string code = IntToString(e->request_code);
    char request[64] = {};
    // Codes from 128 up are extensions', which the database knows by name only.
    if (e->request_code < 128)
        XGetErrorDatabaseText(d, "XRequest", code.c_str(), "", request, sizeof request);
    const std::string what = request[0] != '\0'
                                 ? std::string(request)
                                 : "request " + code + "." + IntToString(e->minor_code);
    Log(std::string(error) + " in " + what);
    return 0;
}

int OnXIOError(Display*) {
    Log("X server connection lost.");
    Application::RunTerminationHook();
    _exit(1);
}

// The program's own handlers, put back when the last open screen closes.
XErrorHandler programsErrorHandler = nullptr;
XIOErrorHandler programsIOErrorHandler = nullptr;

void TakeErrorHandlers() {
    programsErrorHandler = XSetErrorHandler(OnXError);
    programsIOErrorHandler = XSetIOErrorHandler(OnXIOError);
}

void GiveErrorHandlersBack() {
    XSetErrorHandler(programsErrorHandler);
    XSetIOErrorHandler(programsIOErrorHandler);
}

}  // namespace

Screen::Screen() {
    Open();
    if (current_ == nullptr) current_ = this;
}

Screen::~Screen() {
    if (display_ != nullptr) Close();
    // Nothing may reach a screen that is gone through Current().
    if (current_ == this) current_ = nullptr;
}

void Screen::Open() {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        failed_ = 1;
        Log("XOpenDisplay(0) failed.");
        return;
    }
    if (open_.empty()) TakeErrorHandlers();
    open_.push_back(this);
    // Programs the game starts must not inherit the connection.
    const int fd = ConnectionNumber(display_);
    fcntl(fd, F_SETFD, fcntl(fd, F_GETFD) | FD_CLOEXEC);

    screenNumber_ = DefaultScreen(display_);
    width_ = DisplayWidth(display_, screenNumber_);
    height_ = DisplayHeight(display_, screenNumber_);
    depth_ = DefaultDepth(display_, screenNumber_);
    if (depth_ < 24) Log("This app requires 24-bit depth.");

    XVisualInfo want{};
    want.screen = screenNumber_;
    want.depth = depth_;
    int count = 0;
    visuals_ = XGetVisualInfo(display_, VisualScreenMask | VisualDepthMask, &want, &count);
    if (visuals_ == nullptr || count == 0) Log("GetVisualInfo failed.");
}

bool Screen::Close() {
    if (display_ == nullptr) return false;
    if (visuals_ != nullptr) XFree(visuals_);
    visuals_ = nullptr;
    XCloseDisplay(display_);
    display_ = nullptr;
    open_.erase(std::find(open_.begin(), open_.end(), this));
    if (open_.empty()) GiveErrorHandlersBack();
    return true;
}

int32_t Screen::CurrentScreenWidth() { return current_ ? current_->width_ : 0; }
int32_t Screen::CurrentScreenHeight() { return current_ ? current_->height_ : 0; }

PackedPoint Screen::GetPointerPosition() {
    if (current_ == nullptr || current_->display_ == nullptr) return 0;
    Display* d = current_->display_;
    Window root = 0;
    Window child = 0;
    int rx = 0;
    int ry = 0;
    int wx = 0;
    int wy = 0;
    unsigned mask = 0;
    if (!XQueryPointer(d, RootWindow(d, current_->screenNumber_), &root, &child, &rx, &ry, &wx, &wy,
                       &mask))
        return 0;
    return PackPoint(rx, ry);
}

}  // namespace lumetra
