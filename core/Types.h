// Small value types shared by the whole toolkit.
#pragma once

#include <cstdint>

namespace lumetra {

// 0x00RRGGBB handed to the X server unchanged as a pixel value on the
// 24-bit TrueColor displays the program needs. NoColour: none set (for a
// background) or keep the current colour (for a drawing operation).
using Colour = int32_t;
constexpr Colour NoColour = -1;
constexpr Colour DefaultBackColour = 0xAAAAAA;
constexpr Colour DisabledTextColour = 0x9B9B9B;

// 0 left, 1 right, anything else centred.
using TextAlign = int32_t;
constexpr TextAlign AlignLeft = 0;
constexpr TextAlign AlignRight = 1;
constexpr TextAlign AlignCenter = 2;

// A point (or size) packed in one 64-bit value: x (width) in the low 32 bits,
// y (height) in the high 32 bits, both signed.
using PackedPoint = uint64_t;

constexpr PackedPoint PackPoint(int32_t x, int32_t y) {
    return static_cast<uint64_t>(static_cast<uint32_t>(x)) |
           (static_cast<uint64_t>(static_cast<uint32_t>(y)) << 32);
}
constexpr int32_t PointX(PackedPoint p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p & 0xFFFFFFFFU));
}
constexpr int32_t PointY(PackedPoint p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p >> 32));
}

// A vertex of a line or polygon as X draws it, in 16-bit coordinates.
struct Point {
    int16_t x;
    int16_t y;
};

// Keysyms the toolkit reacts to (the X values, so no Xlib header is needed).
constexpr uint32_t KeyTab = 0xFF09;
constexpr uint32_t KeyReturn = 0xFF0D;
constexpr uint32_t KeyLeft = 0xFF51;
constexpr uint32_t KeyUp = 0xFF52;
constexpr uint32_t KeyRight = 0xFF53;
constexpr uint32_t KeyDown = 0xFF54;

}  // namespace lumetra
