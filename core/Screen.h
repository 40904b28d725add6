// The program's one connection to the X server. While a screen is open the
// toolkit's X error handlers are installed: a protocol error is logged and
// the program goes on; a lost connection runs the termination hook and ends
// the process with _exit(1). The program's own handlers are put back when
// the last open screen closes.
#pragma once

#include <cstdint>
#include <vector>

#include "lumetra/core/Types.h"
#include "lumetra/core/XTypes.h"

namespace lumetra {

class Screen {
public:
    Screen();
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    void Open();
    // False when there was nothing to close.
    bool Close();

    Display* GetDisplay() const { return display_; }
    // The list XGetVisualInfo answered for the default screen at its depth,
    // an XVisualInfo* of <X11/Xutil.h> (an unnamed structure, which cannot be
    // declared here without Xlib's macros); null when there is none.
    void* GetVisualInfo() const { return visuals_; }
    int32_t GetScreenNumber() const { return screenNumber_; }
    int32_t GetWidth() const { return width_; }
    int32_t GetHeight() const { return height_; }
    int32_t GetDepth() const { return depth_; }
    uint32_t HasFailed() const { return failed_; }

    // The first Screen constructed, while it exists; after it has gone, the
    // next one constructed.
    static Screen* Current() { return current_; }
    static int32_t CurrentScreenWidth();
    static int32_t CurrentScreenHeight();
    static PackedPoint GetPointerPosition();
    // Every screen open now, in the order they opened: the event loop serves
    // the forms of each.
    static const std::vector<Screen*>& OpenScreens() { return open_; }

private:
    int32_t screenNumber_ = 0;
    Display* display_ = nullptr;
    void* visuals_ = nullptr;
    uint32_t failed_ = 0;
    int32_t width_ = 800;
    int32_t height_ = 600;
    int32_t depth_ = 8;

    static inline Screen* current_ = nullptr;
    static inline std::vector<Screen*> open_;
};

}  // namespace lumetra
