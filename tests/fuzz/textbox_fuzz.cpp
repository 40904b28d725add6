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
#include <memory>
#include <string>

#include "controls/TextBoxCustom.h"
#include "core/Application.h"
#include "core/Form.h"
#include "core/Screen.h"
#include "rig/XServer.h"

using lumetra::TextBoxCustom;

namespace {

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "textbox_fuzz: %s\n", what);
    std::abort();
}

int OnXError(Display*, XErrorEvent* e) {
    std::fprintf(stderr, "textbox_fuzz: X error, request %d, error %d\n", e->request_code, e->error_code);
    std::abort();
}

// The server, the connection and one form, made on the first input and kept.
struct World {
    World() : server(rig::ServerOptions{}) {
        Check(server.Ok(), "no X server");
        server.MakeDefault();
        screen = std::make_unique<lumetra::Screen>();
        Check(screen->GetDisplay() != nullptr, "no display");
        XSetErrorHandler(OnXError);
        form = std::make_unique<lumetra::Form>();
        form->SetScreen(screen.get());
        form->SetSize(640, 480);
        form->SetBackColor(0x4080C0);
        form->Create();
        Check(form->IsCreated(), "no form");
    }
    ~World() {
        form.reset();
        screen.reset();
    }
    rig::XServer server;
    std::unique_ptr<lumetra::Screen> screen;
    std::unique_ptr<lumetra::Form> form;
};

World* world = nullptr;

World& TheWorld() {
    static World instance;
    world = &instance;
    return instance;
}

// A crash must not leave the private server running.
void KillServer() {
    if (world != nullptr) world->server.Kill();
}

char SomeCharacter(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return static_cast<char>(in.ConsumeIntegralInRange(32, 126));
        case 1:
            return in.PickValueInArray({'0', '5', '9', '.', '/', ' '});
        case 2:
            return in.PickValueInArray({'\x7f', '\b', '\r', '\x1b', '\t', '\n', '\x01'});
        default:
            return in.ConsumeIntegral<char>();
    }
}

std::string SomeText(FuzzedDataProvider& in) {
    std::string s = in.ConsumeRandomLengthString(in.ConsumeBool() ? 40 : 2100);
    // Line breaks are rare in random bytes and matter to the layout.
    if (in.ConsumeBool()) s += in.PickValueInArray({"\r", "\r\r\r", "\n", "ab\rcd"});
    return s;
}

void CheckInvariants(TextBoxCustom& box) {
    const int32_t max = box.GetMaxLength();
    Check(max >= 0, "negative maximum length");
    Check(box.Cells().size() <= static_cast<size_t>(TextBoxCustom::MaxCells), "more cells than the grid's capacity");
    if (!box.IsCreated()) return;
    Check(box.GetCaret() >= 0 && box.GetCaret() <= max, "caret outside the buffer");
    Check(box.GetText().size() <= static_cast<size_t>(max), "text longer than the buffer");
    Check(!box.Cells().empty(), "a created box without cells");
    for (const TextBoxCustom::TextCell& cell : box.Cells()) {
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
    World& w = TheWorld();
    FuzzedDataProvider in(data, size);

    TextBoxCustom box(w.form.get(), SomeText(in));
    const uint32_t options = in.ConsumeIntegral<uint32_t>();
    box.SetMaxLength(in.ConsumeIntegralInRange(-2, in.ConsumeBool() ? 12 : 2200));
    if (options & 0x001) box.SetMultiLine(true);
    if (options & 0x002) box.SetDateMode(true);
    if (options & 0x004) box.SetNumericOnly(true);
    if (options & 0x008) box.SetAllowDecimalPoint(true);
    if (options & 0x010) box.SetPassword(true);
    if (options & 0x020) box.SetDeleteShifts(true);
    if (options & 0x040) box.SetAlignCenter(true);
    if (options & 0x080) box.SetAlignRight(true);
    if (options & 0x100) box.SetBorder(false);
    if (options & 0x200) box.SetReadOnly(true);
    if (options & 0x400) box.Enable(false);
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
        switch (in.ConsumeIntegralInRange(0, 19)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
            case 5:
                box.KeyChar(SomeCharacter(in));
                break;
            case 6:
            case 7:
            case 8:
                box.KeyDown(in.PickValueInArray(
                    {lumetra::KeyLeft, lumetra::KeyRight, lumetra::KeyUp, lumetra::KeyDown, lumetra::KeyTab, 0x61U}));
                break;
            case 9:
                box.MouseUp(lumetra::PackPoint(box.x + in.ConsumeIntegralInRange(-5, box.width + 5),
                                               box.y + in.ConsumeIntegralInRange(-5, box.height + 5)));
                break;
            case 10:
                box.SetText(SomeText(in));
                break;
            case 11:
                box.SetSize(in.ConsumeIntegralInRange(-10, 2400), in.ConsumeIntegralInRange(-10, 1600));
                break;
            case 12:
                in.ConsumeBool() ? box.Hide() : box.Show();
                break;
            case 13:
                box.SetDateMode(in.ConsumeBool());
                break;
            case 14:
                box.SetMaxLength(in.ConsumeIntegralInRange(-2, 300));
                break;
            case 15: {
                const bool on = in.ConsumeBool();
                switch (in.ConsumeIntegralInRange(0, 6)) {
                    case 0:
                        box.SetMultiLine(on);
                        break;
                    case 1:
                        box.SetPassword(on);
                        break;
                    case 2:
                        box.SetNumericOnly(on);
                        break;
                    case 3:
                        box.SetDeleteShifts(on);
                        break;
                    case 4:
                        box.SetReadOnly(on);
                        break;
                    case 5:
                        box.Enable(on);
                        break;
                    default:
                        box.SetAllowDecimalPoint(on);
                        break;
                }
                break;
            }
            case 16:
                in.ConsumeBool() ? box.LostFocus() : box.SetFocus();
                break;
            case 17:
                box.Repaint();
                break;
            case 18:
                box.DrawCells(in.ConsumeBool(), in.ConsumeIntegralInRange(-3, 2300));
                break;
            default:
                box.SetPosition(in.ConsumeIntegralInRange(-30, 500), in.ConsumeIntegralInRange(-30, 400));
                break;
        }
        CheckInvariants(box);
    }
    // Errors of this input's requests surface here; events are not needed.
    Display* d = w.screen->GetDisplay();
    XSync(d, False);
    while (XPending(d) > 0) {
        XEvent ev;
        XNextEvent(d, &ev);
    }
    lumetra::Application::ResetFocus();
    return 0;
}
