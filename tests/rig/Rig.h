// What a test does to and reads from a real X server: input through XTEST,
// pixels and window properties read back with the test's own connection, and
// pumping the toolkit's event loop until something holds.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumetra {
class Form;
}

namespace rig {

// Input; points in root coordinates unless a window is given.
void MovePointer(Display* d, int x, int y);
void MovePointerIn(Display* d, Window w, int x, int y);
void PressButton(Display* d, unsigned button = 1);
void ReleaseButton(Display* d, unsigned button = 1);
// Moves there, presses, releases, and returns once the server has taken the release, which
// waits while a window manager holds the pointer: moved on, it would land elsewhere.
void ClickIn(Display* d, Window w, int x, int y, unsigned button = 1);
void PressKey(Display* d, unsigned long keysym, bool shift = false);
void ReleaseKey(Display* d, unsigned long keysym, bool shift = false);
void TapKey(Display* d, unsigned long keysym, bool shift = false);
// A key script (KeyScript) with Shift where the keymap needs it: "ab<Left><BackSpace>".
void TypeText(Display* d, const std::string& text);
// Asks the window manager to close the window, as its close button does.
void RequestClose(Display* d, Window w);

// Pixels as 0xRRGGBB whatever the server's depth; a block row by row, empty
// when the server cannot give it.
uint32_t PixelAt(Display* d, Window w, int x, int y);
std::vector<uint32_t> Pixels(Display* d, Window win, int x, int y, int w, int h);
int CountColour(Display* d, Window win, int x, int y, int w, int h, uint32_t colour);

// A property as text: strings as they are (NULs kept), atoms by name and
// numbers in decimal, space separated; "" when the window has none.
std::string PropertyText(Display* d, Window w, const char* property);
// The outermost window holding this one below the root: a window manager's
// frame around it, or the window itself.
Window Frame(Display* d, Window w);
bool IsMapped(Display* d, Window w);
// Where the window's frame is stacked among the root window's children, the bottom one 0.
long StackLevel(Display* d, Window w);
// A client window by its name, 0 if none; the same once mapped, waiting 10 s at most.
Window FindWindowByName(Display* d, const std::string& name);
Window WaitWindow(Display* d, const std::string& name);

// Runs the toolkit's loop until the condition holds (false on a timeout), or for a while.
bool PumpUntil(lumetra::Form* main, const std::function<bool()>& condition, int timeoutMs = 5000);
void Pump(lumetra::Form* main, int ms);
// Waits without a toolkit loop: the program is another process.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
// A round trip on the test's own connection: the server has done all it was sent.
void Sync(Display* d);

}  // namespace rig
