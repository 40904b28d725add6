// The controls' cost on a real X server: a full repaint of the gallery form
// (every control painted, each drawing call flushed, then a round trip so the
// server has carried it all out), and the round trip of one XTEST click on a
// button to the button's CommandHandler.
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "GalleryForm.h"
#include "Stats.h"
#include "lumetra/controls/ButtonCustom.h"
#include "lumetra/core/Application.h"
#include "lumetra/core/Screen.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

Clock::time_point handled;
int commands = 0;
void OnCommand(lumetra::GUIElement*) {
    handled = Clock::now();
    ++commands;
}

}  // namespace

int main() {
    rig::XServer server(rig::ServerOptions{24, false, 800, 600});
    if (!server.Ok()) {
        std::fprintf(stderr, "controls_bench: no Xvfb\n");
        return 1;
    }
    server.MakeDefault();
    Display* d = server.Connection();
    lumetra::Screen screen;
    lumetra::GalleryForm gallery(&screen);
    Display* tk = screen.GetDisplay();
    const Window w = gallery.GetWindow();
    lumetra::ButtonCustom* button = gallery.GetEnabledButton();
    const lumetra::PackedPoint at = button->PositionInForm();
    if (!rig::PumpUntil(&gallery, [&] {
            return rig::IsMapped(d, w) &&
                   rig::PixelAt(d, w, lumetra::PointX(at), lumetra::PointY(at)) == 0xFFFFFF;
        })) {
        std::fprintf(stderr, "controls_bench: the gallery was not painted\n");
        return 1;
    }

    std::vector<double> repaint;
    for (int i = 0; i < 200; ++i) {
        const Clock::time_point start = Clock::now();
        gallery.Paint();
        XSync(tk, False);
        repaint.push_back(Millis(Clock::now() - start));
    }
    bench::Report("gallery_full_repaint", repaint, "ms");

    button->SetCommand(OnCommand);
    rig::MovePointerIn(d, w, lumetra::PointX(at) + 20, lumetra::PointY(at) + 10);
    std::vector<double> click;
    for (int i = 0; i < 100; ++i) {
        const int before = commands;
        const Clock::time_point start = Clock::now();
        XTestFakeButtonEvent(d, 1, True, CurrentTime);
        XTestFakeButtonEvent(d, 1, False, CurrentTime);
        XFlush(d);
        if (!rig::PumpUntil(
                &gallery, [&] { return commands > before; }, 2000)) {
            std::fprintf(stderr, "controls_bench: a click was lost\n");
            return 1;
        }
        click.push_back(Millis(handled - start));
    }
    bench::Report("button_click_to_command", click, "ms");
    return 0;
}
