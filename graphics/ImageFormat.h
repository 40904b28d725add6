// The display's image layout, learnt once by a probe, and the conversion of
// packed RGB (3 bytes per pixel: red, green, blue; rows top to bottom, no row
// padding) into X images in that layout.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "lumetra/core/XTypes.h"

namespace lumetra {

class GUIElement;

// What the probe found. Process-wide: filled once by the first image
// operation that needs it.
struct ImageLayout {
    int ixRosso = 2;  // byte index of red inside one pixel
    int ixVerde = 1;  // of green
    int ixBlu = 0;    // of blue
    int depth = 0;    // 0: the probe has not run (or could not run) yet
    int format = 2;   // ZPixmap
    int xoffset = 0;
    int bitmapPad = 0;     // scan line pad in bits
    int bitsPerPixel = 0;  // bits per pixel
    int bitmapBitOrder = 0;
    uint8_t probeBytes[8] = {};
    bool coloursFound = false;  // red, green and blue were all found in the probe pixel
};

const ImageLayout& CurrentImageLayout();
// Forgets the probed layout, so the next image operation probes again (a
// program that changes displays; tests).
void ResetImageLayout();

// Learns the layout from the display of the element's form, once: a pixel of
// 0xCF3B76 is drawn and read back, and the places of its colour bytes noted.
// Warnings are logged for every value that differs from the 24-bit TrueColor
// layout the program is written for.
void ProbeImageFormat(GUIElement* element);

// True when images can be built and walked byte by byte: a probed layout of
// 24 or 32 bits per pixel in which all three colour bytes were found. On any
// other display (16-bit, say) the program runs without pictures.
bool ImageLayoutUsable();

// Builds a w x h X image from packed RGB for the display of the element's
// form. Null when rgb is empty, too short for w x h, or the display's layout
// cannot hold it. Release the result with DestroyImage.
XImage* CreateImageFromRgb(GUIElement* element, const std::vector<uint8_t>& rgb, int w, int h);

// Frees the pixel buffer and the X image; a null image is ignored. Also right
// for images that XGetImage answered.
void DestroyImage(XImage* image);

struct ImageDeleter {
    void operator()(XImage* image) const { DestroyImage(image); }
};
using XImagePtr = std::unique_ptr<XImage, ImageDeleter>;

// Largest picture side the loaders and the builder accept.
constexpr int MaxImageSide = 16384;

}  // namespace lumetra
