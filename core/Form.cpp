// The top-level window: its creation, properties, geometry and closing.
#include "lumetra/core/Form.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>

#include "lumetra/core/Application.h"
#include "lumetra/core/Log.h"
#include "lumetra/core/Screen.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

namespace {

// A window's place in its parent and its size, as XGetGeometry tells them.
struct Geometry {
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
};

bool GetGeometry(Display* d, Window w, Geometry* g) {
    Window root = 0;
    unsigned border = 0;
    unsigned depth = 0;
    return XGetGeometry(d, w, &root, &g->x, &g->y, &g->width, &g->height, &border, &depth) != 0;
}

constexpr long kEventMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            EnterWindowMask | LeaveWindowMask | PointerMotionMask |
                            ButtonMotionMask | ExposureMask | StructureNotifyMask |
                            SubstructureNotifyMask;
static_assert(kEventMask == 0xAA07F, "the form's event mask");
const char* const kClassName = "Lumetra.exe";

// One string as an X text property; the property owns its copy.
bool MakeTextProperty(const std::string& s, XTextProperty* out) {
    char* list[1] = {const_cast<char*>(s.c_str())};
    return XStringListToTextProperty(list, 1, out) != 0;
}
}  // namespace

Form::Form(uint64_t contextValue, bool dialog) : GUIElement(contextValue), isDialog(dialog) {
    elementKind = "form";
    Application::AddForm(this);
}

Form::~Form() {
    Application::RemoveWinForm(this);
    created = false;
    ReleaseWindow();
}

Display* Form::GetDisplay() { return screen != nullptr ? screen->GetDisplay() : nullptr; }

void Form::ReleaseWindow() {
    if (window == 0) return;
    Application::ResetFocus();
    if (Display* d = GetDisplay()) {
        XUnmapWindow(d, window);
        XDestroyWindow(d, window);
        XFlush(d);
    }
    window = 0;
}

bool Form::RequestClose() {
    if (this == Application::mainForm) {
        QueryClose();
        return false;
    }
    const ElementWatch alive(this);
    if (!QueryClose()) return false;
    // Its close handler may have deleted it already.
    if (!alive) return true;
    DestroyWindow();
    Close();
    return true;
}

int32_t Form::GetWidth() { return width; }
int32_t Form::GetHeight() { return height; }

int32_t Form::GetActualWidth() { return PointX(ActualSize()); }
int32_t Form::GetActualHeight() { return PointY(ActualSize()); }

PackedPoint Form::ActualSize() {
    Display* d = GetDisplay();
    Geometry g;
    if (!created || d == nullptr || window == 0 || !GetGeometry(d, window, &g))
        return PackPoint(width, height);
    return PackPoint(static_cast<int32_t>(g.width), static_cast<int32_t>(g.height));
}

PackedPoint Form::GetPosition() {
    Display* d = GetDisplay();
    if (!created || d == nullptr || window == 0) return PackPoint(x, y);
    int rx = 0;
    int ry = 0;
    Window child = 0;
    XTranslateCoordinates(d, window, RootWindow(d, screen->GetScreenNumber()), 0, 0, &rx, &ry,
                          &child);
    return PackPoint(rx, ry);
}

void Form::SetBackColor(Colour c) {
    backColor = c;
    if (created) BackColorChanged();
}

void Form::Show() {
    GUIElement::Show();
    if (created && window != 0) XRaiseWindow(GetDisplay(), window);
}

void Form::ShowWindow() {
    GUIElement::Show();
    if (created && window != 0) XMapWindow(GetDisplay(), window);
}

void Form::Hide() {
    GUIElement::Hide();
    if (created && window != 0) XUnmapWindow(GetDisplay(), window);
}

void Form::SetFocus() {
    if (created && window != 0) XSetInputFocus(GetDisplay(), window, RevertToNone, CurrentTime);
    GUIElement::SetFocus();
}

void Form::Paint() {
    const GraphicsContext::FlushOnce once(GetDisplay());
    // Controls inside a panel are repainted by the panel's own Paint, after
    // its background: painting them here as well would draw them twice.
    for (GUIElement* e : Application::GetChildren(id)) {
        if (e->GetParent() == this && e->IsAutoRepaint() && e->IsCreated()) e->Paint();
    }
}

void Form::Activate() {
    Show();
    Display* d = GetDisplay();
    if (!created || window == 0 || d == nullptr) return;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(d, window, &attributes) || attributes.map_state != IsViewable) return;
    XWMHints* hints = XGetWMHints(d, window);
    const bool takesInput =
        hints == nullptr || (hints->flags & InputHint) == 0 || hints->input != False;
    if (hints != nullptr) XFree(hints);
    if (takesInput) XSetInputFocus(d, window, RevertToParent, Application::userTime);
}

void Form::SetPrimaryMark(bool on) {
    if (created) GUIElement::SetPrimaryMark(on);
}

void Form::SetTitle(const std::string& title) {
    SetText(title);
    if (!created || window == 0) return;
    XTextProperty prop{};
    if (!MakeTextProperty(title, &prop)) {
        Log("XStringListToTextProperty - out of memory");
        return;
    }
    XSetWMName(GetDisplay(), window, &prop);
    XSetWMIconName(GetDisplay(), window, &prop);
    XFree(prop.value);
}

void Form::Create() {
    if (created) return;
    if (screen == nullptr) {
        Log("E' necessario impostare il display");
        return;
    }
    Display* d = GetDisplay();
    if (d != nullptr) {
        const int sn = screen->GetScreenNumber();
        window = XCreateSimpleWindow(
            d, RootWindow(d, sn), x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
            1, BlackPixel(d, sn),
            static_cast<unsigned long>(backColor == NoColour ? DefaultBackColour : backColor));
        if (window != 0) SetWindowProperties();
    }
    SetFocus();
    if (window == 0) {
        Log("Errore creazione Form ");
        return;
    }
    AssignId();
    Application::formLoading = true;
    const ElementWatch alive(this);
    Load(tag != 0 ? tag : id);
    Application::formLoading = false;
    if (!alive) return;
    created = true;
    BackColorChanged();
    OnBeforeMap();
    XMapWindow(d, window);
    visible = true;
    XFlush(d);
}

void Form::SetWindowProperties() {
    Display* d = GetDisplay();
    XSizeHints* size = XAllocSizeHints();
    XWMHints* wm = XAllocWMHints();
    XClassHint* cls = XAllocClassHint();
    if (size == nullptr || wm == nullptr || cls == nullptr) {
        Log("XAllocSizeHints/XAllocWMHints/XAllocClassHint failed");
    } else {
        size->flags = PPosition | PSize | PMinSize | PMaxSize;
        size->x = x;
        size->y = y;
        size->width = size->min_width = size->max_width = width;
        size->height = size->min_height = size->max_height = height;
        wm->flags = InputHint | StateHint | IconPixmapHint;
        wm->input = True;
        wm->initial_state = NormalState;
        wm->icon_pixmap = icon;
        std::string className = kClassName;
        cls->res_name = className.data();
        cls->res_class = className.data();

        XTextProperty windowName{};
        XTextProperty iconName{};
        const bool haveWindowName = MakeTextProperty(GetText(), &windowName);
        const bool haveIconName = MakeTextProperty(kClassName, &iconName);
        if (!haveWindowName || !haveIconName) Log("XStringListToTextProperty - error");
        XSetWMProperties(d, window, haveWindowName ? &windowName : nullptr,
                         haveIconName ? &iconName : nullptr, nullptr, 0, size, wm, cls);
        if (haveWindowName) XFree(windowName.value);
        if (haveIconName) XFree(iconName.value);

        deleteAtom = XInternAtom(d, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(d, window, &deleteAtom, 1);
        XSelectInput(d, window, kEventMask);
    }
    if (size != nullptr) XFree(size);
    if (wm != nullptr) XFree(wm);
    if (cls != nullptr) XFree(cls);
    // Which process on which machine runs the window, so that a window
    // manager can offer to end a program that stopped answering.
    // (XSetWMProperties has named the machine.)
    const long pid = getpid();
    XChangeProperty(d, window, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    if (Application::IsLiveForm(ownerForm_) && ownerForm_->GetWindow() != 0)
        XSetTransientForHint(d, window, ownerForm_->GetWindow());
    if (isDialog) {
        const Atom type = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
        const Atom dialogType = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DIALOG", False);
        XChangeProperty(d, window, type, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&dialogType), 1);
    }
}

void Form::DestroyWindow() {
    RememberPlace();
    created = false;
    ReleaseWindow();
}

void Form::LoseWindow() {
    created = false;
    window = 0;
    Application::ResetFocus();
}

// Where a new window must ask to be for the form to come back to the same
// place: the outer corner of the window manager's frame around it (the
// manager puts the frame where a window asks to be), or of the window itself
// without a manager.
void Form::RememberPlace() {
    Display* d = GetDisplay();
    if (d == nullptr || window == 0) return;
    Window top = window;
    Window root = 0;
    Window up = 0;
    Window* children = nullptr;
    unsigned n = 0;
    while (XQueryTree(d, top, &root, &up, &children, &n)) {
        if (children != nullptr) XFree(children);
        if (up == root || up == 0) break;
        top = up;
    }
    Geometry g;
    if (GetGeometry(d, top, &g)) {
        x = g.x;
        y = g.y;
    }
}

void Form::SetIcon(Pixmap pixmap) {
    icon = pixmap;
    if (!created || window == 0) return;
    XWMHints hints{};
    hints.flags = InputHint | StateHint | IconPixmapHint;
    hints.input = True;
    hints.initial_state = NormalState;
    hints.icon_pixmap = pixmap;
    XSetWMHints(GetDisplay(), window, &hints);
}

void Form::SetClientSize(int32_t w, int32_t h, bool adjustPosition) {
    if (!created) return;
    const int32_t dw = std::max(0, GetWidth() - GetActualWidth());
    const int32_t dh = std::max(0, GetHeight() - GetActualHeight());
    if (adjustPosition) {
        const PackedPoint at = GetPosition();
        SetPosition(PointX(at) - dw, PointY(at) - 2 * dh);
    }
    SetSize(w + dw, h + dh);
}

void Form::SetBounds(int32_t bx, int32_t by, int32_t w, int32_t h) {
    x = bx;
    y = by;
    width = w;
    height = h;
}

void Form::CenterOnScreen() {
    const int32_t sw = screen != nullptr ? screen->GetWidth() : Screen::CurrentScreenWidth();
    const int32_t sh = screen != nullptr ? screen->GetHeight() : Screen::CurrentScreenHeight();
    SetLocation((sw - width) / 2, (sh - height) / 2);
}

void Form::FormOpen() {
    if (!created) Create();
    visible = true;
}

void Form::SetSecondaryMarkOn() {
    if (created) SetSecondaryMark(true);
}

void Form::SetSecondaryMarkOff() {
    if (created) SetSecondaryMark(false);
}

void Form::OnPositionChanged() {
    if (window != 0) XMoveWindow(GetDisplay(), window, x, y);
}

void Form::OnSizeChanged() {
    if (window != 0)
        XResizeWindow(GetDisplay(), window, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
}

void Form::OnRaise() {
    if (window != 0) XRaiseWindow(GetDisplay(), window);
}

void Form::OnLower() {
    if (window != 0) XLowerWindow(GetDisplay(), window);
}

}  // namespace lumetra
