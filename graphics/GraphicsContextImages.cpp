// The drawing context's pictures: client-side images put on the window,
// whole or with a key colour left out, areas copied, pixels read back, and
// BMP files drawn.
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>

#include "lumetra/core/Form.h"
#include "lumetra/core/Log.h"
#include "lumetra/graphics/BmpLoader.h"
#include "lumetra/graphics/GraphicsContext.h"
#include "lumetra/graphics/ImageFormat.h"
#include "lumetra/util/Paths.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

void GraphicsContext::PutImage(int x, int y, int w, int h, XImage* image) {
    PutImage(x, y, w, h, image, 0, 0);
}

void GraphicsContext::PutImage(int x, int y, int w, int h, XImage* image, int srcX, int srcY) {
    if (!gc_ || image == nullptr) return;
    const unsigned pw = static_cast<unsigned>(w == 0 ? image->width : w);
    const unsigned ph = static_cast<unsigned>(h == 0 ? image->height : h);
    XPutImage(display_, window_, gc_, image, srcX, srcY, x, y, pw, ph);
    Flush();
}

void GraphicsContext::CopyArea(int x, int y, int w, int h, Drawable drawable) {
    CopyArea(x, y, w, h, drawable, 0, 0);
}

void GraphicsContext::CopyArea(int x, int y, int w, int h, Drawable drawable, int srcX, int srcY) {
    if (!gc_ || w < 1 || h < 1) return;
    XImage* img = XGetImage(display_, drawable, srcX, srcY, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (img == nullptr) {
        Log("XGetImage failed");
        return;
    }
    PutImage(x, y, w, h, img);
    XDestroyImage(img);
}

unsigned long GraphicsContext::GetPixel(int x, int y) {
    if (!gc_) return 0;
    XImage* img = XGetImage(display_, window_, x, y, 1, 1, AllPlanes, ZPixmap);
    if (img == nullptr) {
        Log("XGetImage failed");
        return 0;
    }
    const unsigned long pixel = XGetPixel(img, 0, 0);
    XDestroyImage(img);
    return pixel;
}

bool GraphicsContext::WindowViewable(int* width, int* height) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window_, &attributes) == 0 ||
        attributes.map_state != IsViewable)
        return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

XImage* GraphicsContext::GetImage(int x, int y, int w, int h) {
    if (!gc_ || w < 1 || h < 1) return nullptr;
    ProbeImageFormat(owner_);
    XImage* img = XGetImage(display_, window_, x, y, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (img == nullptr) Log("XGetImage failed");
    return img;
}

void GraphicsContext::PutImageTransparent(int x, int y, int w, int h, XImage* image,
                                          Colour keyColour) {
    PutImageTransparent(x, y, w, h, image, 0, 0, keyColour);
}

void GraphicsContext::PutImageTransparent(int x, int y, int w, int h, XImage* image, int srcX,
                                          int srcY, Colour keyColour) {
    if (!gc_ || image == nullptr || image->data == nullptr) return;
    ProbeImageFormat(owner_);
    const ImageLayout& layout = CurrentImageLayout();
    if (!ImageLayoutUsable() || image->format != ZPixmap ||
        image->bits_per_pixel != layout.bitsPerPixel) {
        Log("PutImageTransparent: the image's pixel layout cannot be walked");
        return;
    }
    // Only the part of the rectangle that lies inside the image, and inside
    // the window, is drawn: the window can only be read back there.
    if (w == 0) w = image->width - srcX;
    if (h == 0) h = image->height - srcY;
    if (srcX < 0 || srcY < 0) return;
    w = std::min(w, image->width - srcX);
    h = std::min(h, image->height - srcY);
    int windowWidth = 0;
    int windowHeight = 0;
    if (!WindowViewable(&windowWidth, &windowHeight)) return;
    if (x < 0) {
        w += x;
        srcX -= x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        srcY -= y;
        y = 0;
    }
    w = std::min(w, windowWidth - x);
    h = std::min(h, windowHeight - y);
    if (w < 1 || h < 1) return;

    XImage* background = XGetImage(display_, window_, x, y, static_cast<unsigned>(w),
                                   static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (background == nullptr) {
        Log("XGetImage failed");
        return;
    }
    if (background->bits_per_pixel != image->bits_per_pixel || background->data == nullptr) {
        Log("PutImageTransparent: the window's pixel layout differs from the image's");
        XDestroyImage(background);
        return;
    }
    // The picture's non-key pixels are laid over the window's own pixels, so
    // the caller's image stays as it is and can be drawn again on another
    // background.
    const size_t bpp = static_cast<size_t>(layout.bitsPerPixel / 8);
    const size_t ir = static_cast<size_t>(layout.ixRosso);
    const size_t ig = static_cast<size_t>(layout.ixVerde);
    const size_t ib = static_cast<size_t>(layout.ixBlu);
    const auto kr = static_cast<char>((keyColour >> 16) & 0xFF);
    const auto kg = static_cast<char>((keyColour >> 8) & 0xFF);
    const auto kb = static_cast<char>(keyColour & 0xFF);
    for (int row = 0; row < h; ++row) {
        const char* src =
            image->data +
            static_cast<size_t>(srcY + row) * static_cast<size_t>(image->bytes_per_line) +
            static_cast<size_t>(srcX) * bpp;
        char* dst = background->data +
                    static_cast<size_t>(row) * static_cast<size_t>(background->bytes_per_line);
        for (int col = 0; col < w; ++col, src += bpp, dst += bpp) {
            if (src[ir] == kr && src[ig] == kg && src[ib] == kb) continue;
            std::memcpy(dst, src, bpp);
        }
    }
    XPutImage(display_, window_, gc_, background, 0, 0, x, y, static_cast<unsigned>(w),
              static_cast<unsigned>(h));
    Flush();
    XDestroyImage(background);
}

void GraphicsContext::DrawImageFile(int x, int y, int w, int h, int bitsPerPixel,
                                    const std::string& path) {
    DrawFile(x, y, w, h, bitsPerPixel, path, false);
}

void GraphicsContext::DrawImageFileTransparent(int x, int y, int w, int h, int bitsPerPixel,
                                               const std::string& path) {
    DrawFile(x, y, w, h, bitsPerPixel, path, true);
}

void GraphicsContext::DrawFile(int x, int y, int w, int h, int bitsPerPixel,
                               const std::string& path, bool transparent) {
    if (!gc_ || !FileExists(path)) return;
    RgbImage picture;
    switch (bitsPerPixel) {
        case 4:
            picture = LoadBmp4(path);
            break;
        case 8:
            picture = LoadBmp8(path);
            break;
        case 24:
            picture = LoadBmp24(path);
            break;
        default:
            Log("DrawImageFile: no loader for " + IntToString(bitsPerPixel) + " bits per pixel");
            return;
    }
    if (picture.Empty()) return;
    // The image is built at the file's own size, and at most that much of it
    // is drawn, whatever size the caller asked for.
    XImagePtr image(CreateImageFromRgb(owner_, picture.pixels, picture.width, picture.height));
    if (!image) return;
    const int dw = w < 1 ? picture.width : std::min(w, picture.width);
    const int dh = h < 1 ? picture.height : std::min(h, picture.height);
    if (transparent) {
        PutImageTransparent(x, y, dw, dh, image.get(), 0);
    } else {
        PutImage(x, y, dw, dh, image.get());
    }
}

}  // namespace lumetra
