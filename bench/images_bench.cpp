// The image layer and text drawing on a real X server, per call: packed RGB
// to an X image, the compiled-in title picture decoded and converted, and a
// 2,000-character paragraph laid out, measured and drawn into a 300-pixel box.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Stats.h"
#include "lumetra/core/Form.h"
#include "lumetra/core/Screen.h"
#include "lumetra/graphics/EmbeddedImage.h"
#include "lumetra/graphics/FontDescriptor.h"
#include "lumetra/graphics/GraphicsContext.h"
#include "lumetra/graphics/ImageFormat.h"
#include "lumetra/graphics/Pictures.h"
#include "lumetra/graphics/TextLayout.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

template <typename F>
std::vector<double> Measure(int runs, F&& f) {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point start = Clock::now();
        f();
        samples.push_back(Micros(Clock::now() - start));
    }
    return samples;
}

std::string Paragraph(size_t length) {
    const char* words[] = {"memory",   "boxes", "light",   "up",     "in",      "a",
                           "sequence", "and",   "the",     "player", "repeats", "it,",
                           "one",      "press", "at",      "a",      "time;",   "each",
                           "level",    "adds",  "another", "box."};
    std::string text;
    for (size_t i = 0; text.size() < length; ++i) {
        if (!text.empty()) text += ' ';
        text += words[i % (sizeof words / sizeof *words)];
    }
    text.resize(length);
    return text;
}

}  // namespace

int main() {
    rig::XServer server(rig::ServerOptions{24, false, 1024, 1024});
    if (!server.Ok()) {
        std::fprintf(stderr, "images_bench: no Xvfb\n");
        return 1;
    }
    server.MakeDefault();
    lumetra::Screen screen;
    lumetra::Form form;
    form.SetScreen(&screen);
    form.SetSize(400, 1000);
    form.SetPosition(0, 0);
    form.Create();
    Display* tk = screen.GetDisplay();
    if (!rig::PumpUntil(&form,
                        [&] { return rig::IsMapped(server.Connection(), form.GetWindow()); })) {
        std::fprintf(stderr, "images_bench: the form was not mapped\n");
        return 1;
    }
    lumetra::ProbeImageFormat(&form);

    const lumetra::EmbeddedPicture& title = lumetra::TitlePicture();
    const std::vector<uint8_t> titleRgb = lumetra::DecodeEmbeddedImage(title.w, title.h, title.img);
    std::vector<uint8_t> large(640 * 480 * 3);
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<uint8_t>(i * 7);

    bench::Report("CreateImageFromRgb 200x50",
                  Measure(2000,
                          [&] {
                              lumetra::XImagePtr image(
                                  lumetra::CreateImageFromRgb(&form, titleRgb, title.w, title.h));
                          }),
                  "us");
    bench::Report(
        "CreateImageFromRgb 640x480",
        Measure(
            200,
            [&] { lumetra::XImagePtr image(lumetra::CreateImageFromRgb(&form, large, 640, 480)); }),
        "us");
    bench::Report("title picture decode + conversion",
                  Measure(2000,
                          [&] {
                              const std::vector<uint8_t> rgb =
                                  lumetra::DecodeEmbeddedImage(title.w, title.h, title.img);
                              lumetra::XImagePtr image(
                                  lumetra::CreateImageFromRgb(&form, rgb, title.w, title.h));
                          }),
                  "us");

    const std::string paragraph = Paragraph(2000);
    lumetra::GraphicsContext gc(&form);
    const int height = gc.TextHeight(300, paragraph);
    lumetra::CharWidths widths{};
    auto* font = static_cast<XFontStruct*>(lumetra::ApplicationFont().GetFontStruct(tk));
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        widths[static_cast<size_t>(c)] = font != nullptr ? XTextWidth(font, &ch, 1) : 7;
    }
    bench::Report("LayoutText 2000 chars in 300 px",
                  Measure(2000,
                          [&] {
                              const std::vector<lumetra::TextLine> lines =
                                  lumetra::LayoutText(paragraph, 300, widths, paragraph.size() + 1);
                              if (lines.empty()) std::abort();
                          }),
                  "us");
    bench::Report("TextHeight 2000 chars in 300 px",
                  Measure(2000,
                          [&] {
                              if (gc.TextHeight(300, paragraph) != height) std::abort();
                          }),
                  "us");
    bench::Report("DrawText 2000 chars in 300 px (client)",
                  Measure(500,
                          [&] {
                              gc.DrawText(10, 10, 300, height + 10, paragraph, 0x000000, 0xFFFFFF,
                                          lumetra::AlignLeft);
                          }),
                  "us");
    bench::Report("DrawText 2000 chars in 300 px (drawn, synced)",
                  Measure(500,
                          [&] {
                              gc.DrawText(10, 10, 300, height + 10, paragraph, 0x000000, 0xFFFFFF,
                                          lumetra::AlignLeft);
                              XSync(tk, False);
                          }),
                  "us");
    std::printf("# paragraph: %d lines of %d px\n",
                height / (gc.LineHeight() - 1 > 15 ? gc.LineHeight() : 15), height);
    return 0;
}
