// Takes the README's picture of the control gallery, docs/gallery.png, on a
// private Xvfb: the gallery form is opened in this process, painted by its
// first Expose and saved pixel for pixel.
// Usage: gallery_screenshot [output file]   (default "docs/gallery.png")
#include <cstdio>
#include <memory>
#include <string>

#include "GalleryForm.h"
#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/core/Screen.h"
#include "rig/Golden.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

int main(int argc, char** argv) {
    const std::string out = argc > 1 ? argv[1] : "docs/gallery.png";
    rig::XServer server(rig::ServerOptions{24, false, 800, 600});
    if (!server.Ok()) {
        std::fprintf(stderr, "gallery_screenshot: no Xvfb\n");
        return 1;
    }
    server.MakeDefault();
    Display* d = server.Connection();
    lumetra::Screen screen;
    lumetra::GalleryForm gallery(&screen);
    const Window w = gallery.GetWindow();
    // Painted once the focused button shows its dashed focus mark.
    const lumetra::PackedPoint at = gallery.GetFocusedButton()->PositionInForm();
    const bool painted = rig::PumpUntil(&gallery, [&] {
        return rig::IsMapped(d, w) &&
               rig::PixelAt(d, w, lumetra::PointX(at) + 4, lumetra::PointY(at) + 3) == 0x000000;
    });
    rig::Pump(&gallery, 100);
    rig::Sync(d);
    if (!painted || !rig::SaveWindowPng(d, w, out)) {
        std::fprintf(stderr, "gallery_screenshot: could not take the picture\n");
        return 1;
    }
    return 0;
}
