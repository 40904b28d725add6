// Probing the display's image layout and building X images from packed RGB.
#include "lumetra/graphics/ImageFormat.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"
#include "lumetra/core/FormOf.h"
#include "lumetra/core/Log.h"
#include "lumetra/core/Screen.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

static_assert(ImageLayout{}.format == ZPixmap, "an image layout starts out as ZPixmap");

namespace {

ImageLayout layout;

constexpr unsigned long kProbeColour = 0xCF3B76;

// The screen an element draws on: its form's, else the program's current one.
lumetra::Screen* ScreenOf(GUIElement* element) {
    Form* form = FormOf(element);
    if (form != nullptr && form->GetScreen() != nullptr) return form->GetScreen();
    return lumetra::Screen::Current();
}

void WarnIfNot(const char* what, int value, int expected) {
    if (value != expected) Log(std::string("WARNING ") + what + IntToString(value));
}

int IndexOf(const uint8_t* bytes, int count, uint8_t value) {
    for (int i = 0; i < count; ++i) {
        if (bytes[i] == value) return i;
    }
    return -1;
}

}  // namespace

const ImageLayout& CurrentImageLayout() { return layout; }

void ResetImageLayout() { layout = ImageLayout{}; }

void ProbeImageFormat(GUIElement* element) {
    if (layout.depth != 0) return;
    lumetra::Screen* screen = ScreenOf(element);
    Display* d = screen != nullptr ? screen->GetDisplay() : nullptr;
    if (d == nullptr) {
        Log("ProbeImageFormat: no display");
        return;
    }
    // The pixel is drawn on a 1 x 1 pixmap of the screen's depth rather than on
    // the form's window: a pixmap can always be read back, while a window can
    // be unmapped (controls are built before their form is mapped) or partly
    // off screen, and the probe leaves no stray pixel behind. Images of one
    // depth have one layout on a screen, whatever drawable they come from.
    const int sn = screen->GetScreenNumber();
    const Pixmap pixmap =
        XCreatePixmap(d, RootWindow(d, sn), 1, 1, static_cast<unsigned>(screen->GetDepth()));
    XGCValues values{};
    GC gc = XCreateGC(d, pixmap, GCCapStyle | GCJoinStyle, &values);
    if (gc == nullptr) {
        Log("Errore XCreateGC");
        XFreePixmap(d, pixmap);
        return;
    }
    XSetForeground(d, gc, kProbeColour);
    XDrawPoint(d, pixmap, gc, 0, 0);
    XImage* img = XGetImage(d, pixmap, 0, 0, 1, 1, AllPlanes, ZPixmap);
    XFreeGC(d, gc);
    XFreePixmap(d, pixmap);
    if (img == nullptr) {
        Log("ProbeImageFormat: XGetImage failed");
        return;
    }

    layout.bitmapBitOrder = img->bitmap_bit_order;
    layout.bitmapPad = img->bitmap_pad;
    layout.bitsPerPixel = img->bits_per_pixel;
    layout.xoffset = img->xoffset;
    layout.depth = img->depth;
    layout.format = img->format;

    WarnIfNot("img->format: ", img->format, ZPixmap);
    WarnIfNot("img->xoffset: ", img->xoffset, 0);
    WarnIfNot("img->bitmap_pad: ", img->bitmap_pad, 32);
    WarnIfNot("img->bitmap_unit: ", img->bitmap_unit, 32);
    WarnIfNot("img->depth: ", img->depth, 24);
    WarnIfNot("img->bits_per_pixel: ", img->bits_per_pixel, 32);
    WarnIfNot("img->bitmap_bit_order: ", img->bitmap_bit_order, LSBFirst);
    WarnIfNot("img->byte_order: ", img->byte_order, LSBFirst);

    int count = img->bits_per_pixel / 8;
    if (count > 8) count = 8;
    if (count < 0) count = 0;
    std::fill(std::begin(layout.probeBytes), std::end(layout.probeBytes), 0);
    for (int i = 0; i < count && img->data != nullptr; ++i)
        layout.probeBytes[i] = static_cast<uint8_t>(img->data[i]);
    const int red = IndexOf(layout.probeBytes, count, 0xCF);
    const int green = IndexOf(layout.probeBytes, count, 0x3B);
    const int blue = IndexOf(layout.probeBytes, count, 0x76);
    if (red >= 0) layout.ixRosso = red;
    if (green >= 0) layout.ixVerde = green;
    if (blue >= 0) layout.ixBlu = blue;
    layout.coloursFound = red >= 0 && green >= 0 && blue >= 0;
    if (layout.coloursFound) {
        WarnIfNot("MyImage::ixRosso: ", layout.ixRosso, 2);
        WarnIfNot("MyImage::ixVerde: ", layout.ixVerde, 1);
        WarnIfNot("MyImage::ixBlu: ", layout.ixBlu, 0);
    } else {
        Log("WARNING MyImage::ixRosso: " + IntToString(layout.ixRosso));
        Log("WARNING MyImage::ixVerde: " + IntToString(layout.ixVerde));
        Log("WARNING MyImage::ixBlu: " + IntToString(layout.ixBlu));
    }
    XDestroyImage(img);
}

bool ImageLayoutUsable() {
    const ImageLayout& l = layout;
    return l.depth != 0 && l.format == ZPixmap && (l.bitsPerPixel == 24 || l.bitsPerPixel == 32) &&
           l.coloursFound && (l.bitmapPad == 8 || l.bitmapPad == 16 || l.bitmapPad == 32);
}

XImage* CreateImageFromRgb(GUIElement* element, const std::vector<uint8_t>& rgb, int w, int h) {
    if (rgb.empty()) return nullptr;
    if (w < 1 || h < 1 || w > MaxImageSide || h > MaxImageSide ||
        rgb.size() < static_cast<size_t>(w) * static_cast<size_t>(h) * 3) {
        Log("CreateImageFromRgb: no picture of " + IntToString(w) + " x " + IntToString(h) +
            " in " + IntToString(static_cast<int64_t>(rgb.size())) + " bytes");
        return nullptr;
    }
    ProbeImageFormat(element);
    if (!ImageLayoutUsable()) {
        Log("CreateImageFromRgb: the display's image layout cannot hold pictures");
        return nullptr;
    }
    lumetra::Screen* screen = ScreenOf(element);
    Display* d = screen != nullptr ? screen->GetDisplay() : nullptr;
    if (d == nullptr) return nullptr;

    const size_t pad = static_cast<size_t>(layout.bitmapPad / 8);
    const size_t bpp = static_cast<size_t>(layout.bitsPerPixel / 8);
    const size_t row = bpp * static_cast<size_t>(w);
    size_t paddedRow = row;
    if (row % pad != 0) {
        paddedRow = (row / pad + 1) * pad;
        Log("WARNING img width: " + IntToString(w) + " - bytes_per_line_Pad != bytes_per_line: " +
            IntToString(static_cast<int64_t>(paddedRow)) + " " +
            IntToString(static_cast<int64_t>(row)));
    }
    // calloc, because XDestroyImage releases the buffer with free().
    auto* data = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(h) * paddedRow, 1));
    if (data == nullptr) {
        Log("CreateImageFromRgb: out of memory");
        return nullptr;
    }
    const size_t r = static_cast<size_t>(layout.ixRosso);
    const size_t g = static_cast<size_t>(layout.ixVerde);
    const size_t b = static_cast<size_t>(layout.ixBlu);
    const uint8_t* src = rgb.data();
    for (size_t y = 0; y < static_cast<size_t>(h); ++y) {
        uint8_t* p = data + y * paddedRow;
        for (int x = 0; x < w; ++x, p += bpp, src += 3) {
            p[r] = src[0];
            p[g] = src[1];
            p[b] = src[2];
        }
    }
    auto* visuals = static_cast<XVisualInfo*>(screen->GetVisualInfo());
    Visual* visual =
        visuals != nullptr ? visuals[0].visual : DefaultVisual(d, screen->GetScreenNumber());
    XImage* image =
        XCreateImage(d, visual, static_cast<unsigned>(layout.depth), layout.format, layout.xoffset,
                     reinterpret_cast<char*>(data), static_cast<unsigned>(w),
                     static_cast<unsigned>(h), layout.bitmapPad, static_cast<int>(paddedRow));
    if (image == nullptr) {
        Log("CreateImageFromRgb: XCreateImage failed");
        std::free(data);
        return nullptr;
    }
    // The buffer was laid out for the probed format; an image that would read
    // it differently is never handed out. The image owns the buffer now, and
    // XDestroyImage frees both.
    // NOLINTNEXTLINE(clang-analyzer-unix.Malloc)
    if (image->bits_per_pixel != layout.bitsPerPixel ||
        image->bytes_per_line != static_cast<int>(paddedRow)) {
        Log("CreateImageFromRgb: the X image does not match the probed layout");
        XDestroyImage(image);
        return nullptr;
    }
    return image;
}

void DestroyImage(XImage* image) {
    if (image != nullptr) XDestroyImage(image);
}

}  // namespace lumetra
