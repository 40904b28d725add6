#include "rig/Rig.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"
#include "rig/Process.h"

namespace rig {

void Sync(Display* d) { XSync(d, False); }
void MovePointer(Display* d, int x, int y) {
    XTestFakeMotionEvent(d, DefaultScreen(d), x, y, CurrentTime);
    Sync(d);
}
void PressButton(Display* d, unsigned button) {
    XTestFakeButtonEvent(d, button, True, CurrentTime);
    Sync(d);
}
void ReleaseButton(Display* d, unsigned button) {
    XTestFakeButtonEvent(d, button, False, CurrentTime);
    Sync(d);
}
void ClickIn(Display* d, Window w, int x, int y, unsigned button) {
    MovePointerIn(d, w, x, y);
    PressButton(d, button);
    ReleaseButton(d, button);
    WaitUntil([d, button] {
        Window r = 0;
        Window c = 0;
        int i = 0;
        unsigned mask = 0;
        return XQueryPointer(d, DefaultRootWindow(d), &r, &c, &i, &i, &i, &i, &mask) &&
               (mask & (Button1Mask << (button - 1))) == 0;
    });
}
void TapKey(Display* d, unsigned long keysym, bool shift) {
    PressKey(d, keysym, shift);
    ReleaseKey(d, keysym, shift);
}

void MovePointerIn(Display* d, Window w, int x, int y) {
    int rx = 0;
    int ry = 0;
    Window child = 0;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &rx, &ry, &child);
    MovePointer(d, rx + x, ry + y);
}

void PressKey(Display* d, unsigned long keysym, bool shift) {
    if (shift) XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_Shift_L), True, CurrentTime);
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, keysym), True, CurrentTime);
    Sync(d);
}

void ReleaseKey(Display* d, unsigned long keysym, bool shift) {
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, keysym), False, CurrentTime);
    if (shift) XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_Shift_L), False, CurrentTime);
    Sync(d);
}

void TypeText(Display* d, const std::string& text) {
    for (const std::string& key : KeyScript(text)) {
        const unsigned long sym = key.size() > 1 ? XStringToKeysym(key.c_str())
                                  : key == "\n"  ? XK_Return
                                                 : static_cast<unsigned char>(key[0]);
        const KeyCode code = XKeysymToKeycode(d, sym);
        // Upper case and shifted punctuation sit at index 1 of their key.
        TapKey(d, sym,
               code != 0 && XkbKeycodeToKeysym(d, code, 0, 0) != sym &&
                   XkbKeycodeToKeysym(d, code, 0, 1) == sym);
    }
}

void RequestClose(Display* d, Window w) {
    XEvent ev{};
    ev.xclient = {
        ClientMessage, 0, False, nullptr, w, XInternAtom(d, "_NET_CLOSE_WINDOW", False), 32, {}};
    ev.xclient.data.l[0] = CurrentTime;
    ev.xclient.data.l[1] = 2;  // from a pager: always honoured
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &ev);
    Sync(d);
}

std::vector<uint32_t> Pixels(Display* d, Window win, int x, int y, int w, int h) {
    std::vector<uint32_t> out;
    XImage* img = XGetImage(d, win, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h),
                            AllPlanes, ZPixmap);
    if (img == nullptr) return out;
    // Each channel scaled to 0..255, so a 16-bit server reads as 0xRRGGBB too.
    auto channel = [](unsigned long pixel, unsigned long mask) -> uint32_t {
        int shift = 0;
        while (mask != 0 && ((mask >> shift) & 1UL) == 0) ++shift;
        const unsigned long max = mask >> shift;
        return mask == 0 ? 0
                         : static_cast<uint32_t>((((pixel & mask) >> shift) * 255 + max / 2) / max);
    };
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const unsigned long p = XGetPixel(img, i, j);
            out.push_back(channel(p, img->red_mask) << 16 | channel(p, img->green_mask) << 8 |
                          channel(p, img->blue_mask));
        }
    XDestroyImage(img);
    return out;
}

uint32_t PixelAt(Display* d, Window w, int x, int y) {
    const std::vector<uint32_t> p = Pixels(d, w, x, y, 1, 1);
    return p.empty() ? 0xFFFFFFFFU : p[0];
}

int CountColour(Display* d, Window win, int x, int y, int w, int h, uint32_t colour) {
    const std::vector<uint32_t> p = Pixels(d, win, x, y, w, h);
    return static_cast<int>(std::count(p.begin(), p.end(), colour));
}

std::string PropertyText(Display* d, Window w, const char* property) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(d, w, XInternAtom(d, property, False), 0, 1024, False, AnyPropertyType,
                           &type, &format, &count, &after, &data) != Success ||
        data == nullptr)
        return out;
    if (format == 8) out.assign(reinterpret_cast<char*>(data), count);
    for (unsigned long i = 0; format == 32 && i < count; ++i) {
        const long v = reinterpret_cast<long*>(data)[i];  // Xlib hands 32-bit items over as longs
        char* name = type == XA_ATOM ? XGetAtomName(d, static_cast<Atom>(v)) : nullptr;
        out += (i > 0 ? " " : "") + (name != nullptr ? std::string(name) : std::to_string(v));
        if (name != nullptr) XFree(name);
    }
    XFree(data);
    return out;
}

Window Frame(Display* d, Window w) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned n = 0;
    while (XQueryTree(d, w, &root, &parent, &children, &n) != 0) {
        if (children != nullptr) XFree(children);
        if (parent == root || parent == 0) break;
        w = parent;
    }
    return w;
}

bool IsMapped(Display* d, Window w) {
    XWindowAttributes a{};
    return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

long StackLevel(Display* d, Window w) {
    Window root = 0;
    Window parent = 0;
    Window* stack = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &stack, &n)) return -1;
    const long level = std::find(stack, stack + n, Frame(d, w)) - stack;
    if (stack != nullptr) XFree(stack);
    return level;
}

Window FindWindowByName(Display* d, const std::string& name) {
    std::function<Window(Window)> find = [&](Window parent) -> Window {
        Window root = 0;
        Window par = 0;
        Window* children = nullptr;
        Window found = 0;
        unsigned n = 0;
        if (!XQueryTree(d, parent, &root, &par, &children, &n)) return 0;
        for (unsigned i = 0; i < n && found == 0; ++i)
            found =
                PropertyText(d, children[i], "WM_NAME") == name ? children[i] : find(children[i]);
        if (children) XFree(children);
        return found;
    };
    return find(DefaultRootWindow(d));
}

Window WaitWindow(Display* d, const std::string& name) {
    Window w = 0;
    WaitUntil(
        [&] {
            w = FindWindowByName(d, name);
            return w != 0 && IsMapped(d, w);
        },
        10000);
    return w;
}

namespace {
bool Until(const std::function<bool()>& condition, int timeoutMs,
           const std::function<void()>& meanwhile) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (; !condition(); meanwhile())
        if (std::chrono::steady_clock::now() > end) return false;
    return true;
}
}  // namespace

bool PumpUntil(lumetra::Form* main, const std::function<bool()>& condition, int timeoutMs) {
    return Until(condition, timeoutMs, [main] { lumetra::Application::RunOnce(main, 5); });
}
void Pump(lumetra::Form* main, int ms) {
    PumpUntil(
        main, [] { return false; }, ms);
}
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    return Until(condition, timeoutMs,
                 [] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); });
}

}  // namespace rig
