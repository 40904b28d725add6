// A text box driven by arbitrary input: every mode and option, sizes from
// none to larger than its 1600 cells, characters, cursor keys, clicks,
// resizes, hiding, new texts and option changes while it is shown. It draws
// on a real (private) X server, so the drawing code runs in full. Findings:
// anything the sanitizers see, an X protocol error, or a broken invariant of
// the caret, the text and the cell grid.
#include <X11/Xlib.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <sanitizer/common_interface_defs.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>

#include "FuzzScratch.h"
#include "controls/TextBoxCustom.h"
#include "core/Application.h"
#include "core/Form.h"
#include "core/Screen.h"
#include "rig/XServer.h"

using Box = lumetra::TextBoxCustom;

namespace {

using fuzzing::Check;

// The server, the connection and one form, made on the first input and kept
// to the end (the server is killed then, a crash included).
struct World {
    World() : server(rig::ServerOptions{}) {
        Check(server.Ok(), "no X server");
        server.MakeDefault();
        screen = std::make_unique<lumetra::Screen>();
        Check(screen->GetDisplay() != nullptr, "no display");
        XSetErrorHandler([](Display*, XErrorEvent* e) -> int {
            std::fprintf(stderr, "textbox_fuzz: X error, request %d, error %d\n", e->request_code, e->error_code);
            std::abort();
        });
        form = std::make_unique<lumetra::Form>();
        form->SetScreen(screen.get());
        form->SetSize(640, 480);
        form->SetBackColor(0x4080C0);
        form->Create();
        Check(form->IsCreated(), "no form");
    }
    rig::XServer server;
    std::unique_ptr<lumetra::Screen> screen;
    std::unique_ptr<lumetra::Form> form;
};

World* world = nullptr;

// A crash must not leave the private server running.
void KillServer() {
    if (world != nullptr) world->server.Kill();
}

std::string SomeText(FuzzedDataProvider& in) {
    std::string s = in.ConsumeRandomLengthString(in.ConsumeBool() ? 40 : 2100);
    // Line breaks are rare in random bytes and matter to the layout.
    if (in.ConsumeBool()) s += in.PickValueInArray({"\r", "\r\r\r", "\n", "ab\rcd"});
    return s;
}

// Every option of the box, with the value that differs from its default.
struct Option {
    void (Box::*set)(bool);
    bool changed;
};
constexpr Option kOptions[] = {{&Box::SetMultiLine, true},         {&Box::SetDateMode, true},   {&Box::SetNumericOnly, true},
                               {&Box::SetAllowDecimalPoint, true}, {&Box::SetPassword, true},   {&Box::SetDeleteShifts, true},
                               {&Box::SetAlignCenter, true},       {&Box::SetAlignRight, true}, {&Box::SetBorder, false},
                               {&Box::SetReadOnly, true},          {&Box::Enable, false}};

// What the box can be told while it lives.
using In = FuzzedDataProvider;
using Step = void (*)(Box&, In&);
const Step kSteps[] = {
    [](Box& box, In& in) {
        const int kind = in.ConsumeIntegralInRange(0, 3);
        box.KeyChar(kind == 0   ? static_cast<char>(in.ConsumeIntegralInRange(32, 126))
                    : kind == 1 ? in.PickValueInArray({'0', '5', '9', '.', '/', ' '})
                    : kind == 2 ? in.PickValueInArray({'\x7f', '\b', '\r', '\x1b', '\t', '\n', '\x01'})
                                : in.ConsumeIntegral<char>());
    },
    [](Box& box, In& in) {
        box.KeyDown(
            in.PickValueInArray({lumetra::KeyLeft, lumetra::KeyRight, lumetra::KeyUp, lumetra::KeyDown, lumetra::KeyTab, 0x61U}));
    },
    [](Box& box, In& in) {
        box.MouseUp(lumetra::PackPoint(box.x + in.ConsumeIntegralInRange(-5, box.width + 5),
                                       box.y + in.ConsumeIntegralInRange(-5, box.height + 5)));
    },
    [](Box& box, In& in) { box.SetText(SomeText(in)); },
    [](Box& box, In& in) { box.SetSize(in.ConsumeIntegralInRange(-10, 2400), in.ConsumeIntegralInRange(-10, 1600)); },
    [](Box& box, In& in) { in.ConsumeBool() ? box.Hide() : box.Show(); },
    [](Box& box, In& in) {
        (box.*kOptions[in.ConsumeIntegralInRange<size_t>(0, std::size(kOptions) - 1)].set)(in.ConsumeBool());
    },
    [](Box& box, In& in) { box.SetMaxLength(in.ConsumeIntegralInRange(-2, 300)); },
    [](Box& box, In& in) { in.ConsumeBool() ? box.LostFocus() : box.SetFocus(); },
    [](Box& box, In& in) {
        in.ConsumeBool() ? box.Repaint() : box.DrawCells(in.ConsumeBool(), in.ConsumeIntegralInRange(-3, 2300));
    },
    [](Box& box, In& in) { box.SetPosition(in.ConsumeIntegralInRange(-30, 500), in.ConsumeIntegralInRange(-30, 400)); }};

void CheckInvariants(Box& box) {
    const int32_t max = box.GetMaxLength();
    Check(max >= 0, "negative maximum length");
    Check(box.Cells().size() <= static_cast<size_t>(Box::MaxCells), "more cells than the grid's capacity");
    if (!box.IsCreated()) return;
    Check(box.GetCaret() >= 0 && box.GetCaret() <= max, "caret outside the buffer");
    Check(box.GetText().size() <= static_cast<size_t>(max), "text longer than the buffer");
    Check(!box.Cells().empty(), "a created box without cells");
    for (const Box::TextCell& cell : box.Cells()) {
        Check(cell.textIndex >= 0 && cell.textIndex <= max, "a cell showing a position outside the buffer");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    __sanitizer_set_death_callback(KillServer);
    std::atexit(KillServer);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (world == nullptr) world = new World;
    World& w = *world;
    FuzzedDataProvider in(data, size);

    Box box(w.form.get(), SomeText(in));
    const uint32_t options = in.ConsumeIntegral<uint32_t>();
    box.SetMaxLength(in.ConsumeIntegralInRange(-2, in.ConsumeBool() ? 12 : 2200));
    for (size_t i = 0; i < std::size(kOptions); ++i) {
        if (options & (1U << i)) (box.*kOptions[i].set)(kOptions[i].changed);
    }
    // From nothing to far more than 1600 cells.
    box.SetSize(in.ConsumeIntegralInRange(-10, options & 0x800 ? 2400 : 400),
                in.ConsumeIntegralInRange(-10, options & 0x1000 ? 1600 : 120));
    box.SetPosition(in.ConsumeIntegralInRange(-30, 500), in.ConsumeIntegralInRange(-30, 400));
    // Sometimes never created: keys and clicks must find no buffer.
    if (!(options & 0x2000)) box.Show();
    if (!(options & 0x4000)) box.SetFocus();
    if (options & 0x8000) {
        // Focus the way Tab traversal gives it, created or not.
        lumetra::Application::focusedElement = &box;
        box.GotFocus();
    }
    CheckInvariants(box);

    while (in.remaining_bytes() > 0) {
        // Characters and keys most often.
        const int op = in.ConsumeIntegralInRange(0, 17);
        kSteps[op < 6 ? 0 : op < 9 ? 1 : op - 7](box, in);
        CheckInvariants(box);
    }
    // Errors of this input's requests surface here; events are not needed.
    XSync(w.screen->GetDisplay(), True);
    lumetra::Application::ResetFocus();
    return 0;
}
