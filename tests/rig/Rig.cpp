#include "rig/Rig.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "core/Application.h"
#include "core/Form.h"

namespace rig {

using Clock = std::chrono::steady_clock;

void Sync(Display* d) { XSync(d, False); }

void MovePointer(Display* d, int x, int y) {
    XTestFakeMotionEvent(d, DefaultScreen(d), x, y, CurrentTime);
    Sync(d);
}

void MovePointerIn(Display* d, Window w, int x, int y) {
    int rx = 0, ry = 0;
    RootOrigin(d, w, &rx, &ry);
    MovePointer(d, rx + x, ry + y);
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
}

namespace {
void KeyEvent(Display* d, unsigned long keysym, bool shift, bool down) {
    const KeyCode shiftCode = XKeysymToKeycode(d, XK_Shift_L);
    if (shift && down) XTestFakeKeyEvent(d, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, keysym), down ? True : False, CurrentTime);
    if (shift && !down) XTestFakeKeyEvent(d, shiftCode, False, CurrentTime);
    Sync(d);
}
}  // namespace

void PressKey(Display* d, unsigned long keysym, bool shift) { KeyEvent(d, keysym, shift, true); }
void ReleaseKey(Display* d, unsigned long keysym, bool shift) { KeyEvent(d, keysym, shift, false); }

void TapKey(Display* d, unsigned long keysym, bool shift) {
    PressKey(d, keysym, shift);
    ReleaseKey(d, keysym, shift);
}

void TypeText(Display* d, const std::string& text) {
    for (char c : text) {
        const unsigned long sym = c == '\n' ? XK_Return : c == '\r' ? XK_Return : static_cast<unsigned char>(c);
        const KeyCode code = XKeysymToKeycode(d, sym);
        // Upper case and shifted punctuation sit at index 1 of their key.
        const bool shift = code != 0 && XkbKeycodeToKeysym(d, code, 0, 0) != sym && XkbKeycodeToKeysym(d, code, 0, 1) == sym;
        TapKey(d, sym, shift);
    }
}

namespace {
uint32_t ToRgb(XImage* img, unsigned long pixel) {
    auto channel = [pixel](unsigned long mask) -> uint32_t {
        if (mask == 0) return 0;
        int shift = 0;
        while (((mask >> shift) & 1UL) == 0) ++shift;
        const unsigned long max = mask >> shift;
        return static_cast<uint32_t>((((pixel & mask) >> shift) * 255 + max / 2) / max);
    };
    return (channel(img->red_mask) << 16) | (channel(img->green_mask) << 8) | channel(img->blue_mask);
}
}  // namespace

std::vector<uint32_t> Pixels(Display* d, Window win, int x, int y, int w, int h) {
    std::vector<uint32_t> out;
    XImage* img = XGetImage(d, win, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (img == nullptr) return out;
    out.reserve(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) out.push_back(ToRgb(img, XGetPixel(img, i, j)));
    XDestroyImage(img);
    return out;
}

uint32_t PixelAt(Display* d, Window w, int x, int y) {
    const std::vector<uint32_t> p = Pixels(d, w, x, y, 1, 1);
    return p.empty() ? 0xFFFFFFFFU : p[0];
}

int CountColour(Display* d, Window win, int x, int y, int w, int h, uint32_t colour) {
    int n = 0;
    for (uint32_t p : Pixels(d, win, x, y, w, h)) n += p == colour ? 1 : 0;
    return n;
}

namespace {
std::string TextProperty(Display* d, Window w, Atom property) {
    XTextProperty prop{};
    if (!XGetTextProperty(d, w, &prop, property) || prop.value == nullptr) return {};
    std::string s(reinterpret_cast<char*>(prop.value), prop.nitems);
    XFree(prop.value);
    return s;
}
}  // namespace

std::string WindowName(Display* d, Window w) { return TextProperty(d, w, XA_WM_NAME); }
std::string IconName(Display* d, Window w) { return TextProperty(d, w, XA_WM_ICON_NAME); }

std::vector<std::string> ClassHint(Display* d, Window w) {
    XClassHint hint{};
    if (!XGetClassHint(d, w, &hint)) return {};
    std::vector<std::string> out{hint.res_name ? hint.res_name : "", hint.res_class ? hint.res_class : ""};
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return out;
}

std::vector<Atom> AtomProperty(Display* d, Window w, const char* property) {
    std::vector<Atom> out;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, XInternAtom(d, property, False), 0, 64, False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr && format == 32) {
        const auto* atoms = reinterpret_cast<const unsigned long*>(data);
        out.assign(atoms, atoms + count);
    }
    if (data) XFree(data);
    return out;
}

Window WindowProperty(Display* d, Window w, const char* property) {
    const std::vector<Atom> v = AtomProperty(d, w, property);
    return v.empty() ? 0 : static_cast<Window>(v[0]);
}

bool SizeHints(Display* d, Window w, XSizeHints* out) {
    long supplied = 0;
    return XGetWMNormalHints(d, w, out, &supplied) != 0;
}

bool WMHints(Display* d, Window w, XWMHints* out) {
    XWMHints* h = XGetWMHints(d, w);
    if (h == nullptr) return false;
    *out = *h;
    XFree(h);
    return true;
}

long EventMask(Display* d, Window w) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, w, &a)) return 0;
    return a.all_event_masks;
}

void RootOrigin(Display* d, Window w, int* x, int* y) {
    Window child = 0;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, x, y, &child);
}

bool IsMapped(Display* d, Window w) {
    XWindowAttributes a{};
    return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

namespace {
Window FindIn(Display* d, Window parent, const std::string& name) {
    Window root = 0, par = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, parent, &root, &par, &children, &n)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < n && found == 0; ++i) {
        if (WindowName(d, children[i]) == name) found = children[i];
        if (found == 0) found = FindIn(d, children[i], name);
    }
    if (children) XFree(children);
    return found;
}
}  // namespace

Window FindWindowByName(Display* d, const std::string& name) { return FindIn(d, DefaultRootWindow(d), name); }

bool PumpUntil(lumetra::Form* main, const std::function<bool()>& condition, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (Clock::now() > end) return false;
        lumetra::Application::RunOnce(main, 5);
    }
    return true;
}

void Pump(lumetra::Form* main, int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) lumetra::Application::RunOnce(main, 5);
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool SavePng(const std::string& path, int w, int h, const std::vector<uint32_t>& rgb) {
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<size_t>(h) * (static_cast<size_t>(w) * 3 + 1));
    for (int j = 0; j < h; ++j) {
        raw.push_back(0);
        for (int i = 0; i < w; ++i) {
            const uint32_t p = rgb[static_cast<size_t>(j) * static_cast<size_t>(w) + static_cast<size_t>(i)];
            raw.push_back(static_cast<unsigned char>(p >> 16));
            raw.push_back(static_cast<unsigned char>(p >> 8));
            raw.push_back(static_cast<unsigned char>(p));
        }
    }
    uLongf zlen = compressBound(raw.size());
    std::vector<unsigned char> z(zlen);
    if (compress2(z.data(), &zlen, raw.data(), raw.size(), 9) != Z_OK) return false;
    z.resize(zlen);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    auto be32 = [](std::vector<unsigned char>& v, uint32_t n) {
        for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<unsigned char>(n >> s));
    };
    auto chunk = [&](const char* type, const std::vector<unsigned char>& data) {
        std::vector<unsigned char> c;
        be32(c, static_cast<uint32_t>(data.size()));
        c.insert(c.end(), type, type + 4);
        c.insert(c.end(), data.begin(), data.end());
        const uLong crc = crc32(0, c.data() + 4, static_cast<uInt>(c.size() - 4));
        be32(c, static_cast<uint32_t>(crc));
        std::fwrite(c.data(), 1, c.size(), f);
    };
    static const unsigned char sig[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::fwrite(sig, 1, sizeof sig, f);
    std::vector<unsigned char> ihdr;
    be32(ihdr, static_cast<uint32_t>(w));
    be32(ihdr, static_cast<uint32_t>(h));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    chunk("IHDR", ihdr);
    chunk("IDAT", z);
    chunk("IEND", {});
    return std::fclose(f) == 0;
}

bool SaveWindowPng(Display* d, Window w, const std::string& path, int scale) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, w, &a)) return false;
    const std::vector<uint32_t> px = Pixels(d, w, 0, 0, a.width, a.height);
    if (px.empty()) return false;
    const int sw = a.width * scale, sh = a.height * scale;
    std::vector<uint32_t> out(static_cast<size_t>(sw) * static_cast<size_t>(sh));
    for (int j = 0; j < sh; ++j)
        for (int i = 0; i < sw; ++i)
            out[static_cast<size_t>(j) * static_cast<size_t>(sw) + static_cast<size_t>(i)] =
                px[static_cast<size_t>(j / scale) * static_cast<size_t>(a.width) + static_cast<size_t>(i / scale)];
    return SavePng(path, sw, sh, out);
}

}  // namespace rig
