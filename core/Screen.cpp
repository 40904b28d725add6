// Opening and closing the display, and the X error handlers while it is open.
#include "lumetra/core/Screen.h"

#include <fcntl.h>
#include <unistd.h>

#include "lumetra/core/Application.h"
#include "lumetra/core/Log.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

namespace {

// Xlib's default handlers end the process on any protocol error. A failed
// request is logged and the program goes on; a lost server ends it at once,
// without touching the dead connection again.
int OnXError(Display*, XErrorEvent* e) {
    Log("X error: request code " + IntToString(e->request_code) + ", error code " +
        IntToString(e->error_code));
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
int openScreens = 0;

void TakeErrorHandlers() {
    if (openScreens++ > 0) return;
    programsErrorHandler = XSetErrorHandler(OnXError);
    programsIOErrorHandler = XSetIOErrorHandler(OnXIOError);
}

void GiveErrorHandlersBack() {
    if (--openScreens > 0) return;
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
    TakeErrorHandlers();
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
    GiveErrorHandlersBack();
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
