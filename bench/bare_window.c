/* The floor any X client starts from: open the display, map one 800 x 600
 * window with a background, wait for events. Used as the yardstick for the
 * game's start-up time and memory. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>

int main(void) {
    Display* d = XOpenDisplay(0);
    if (!d) return 1;
    int s = DefaultScreen(d);
    Window w =
        XCreateSimpleWindow(d, RootWindow(d, s), 0, 0, 800, 600, 1, BlackPixel(d, s), 0xAAAAAA);
    XStoreName(d, w, "bare");
    XSelectInput(d, w, ExposureMask);
    XMapWindow(d, w);
    for (;;) {
        XEvent e;
        XNextEvent(d, &e);
    }
}
