// Windows as PNG pictures: golden images, what a window (or a part of it)
// shows compared pixel-exact with a PNG committed under tests/golden/, and
// screenshots. With LUMETRA_RENEW_GOLDEN=1 in the environment a reference is
// written anew instead; on a mismatch the actual picture and a difference
// picture (differing pixels in magenta) are written into the build folder
// and named in the failure.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>

namespace rig {

// Compares a width x height rectangle of the window (0: the whole window) with
// tests/golden/<name>.png after a call of `settle`, again after each further call until it
// matches or 3 s have gone, unless `settle` answers that the picture is final (none: 5 ms
// waits). "" when every pixel matches, else what differs and where the pictures went:
//   EXPECT_EQ("", rig::CompareGolden(d, win, "gallery-focused"));
std::string CompareGolden(Display* d, Window w, const std::string& name,
                          const std::function<bool()>& settle = nullptr, int x = 0, int y = 0,
                          int width = 0, int height = 0);

// A window's pixels as a PNG file, scaled by a whole factor.
bool SaveWindowPng(Display* d, Window w, const std::string& path, int scale = 1);

}  // namespace rig
