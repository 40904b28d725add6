// The process-wide registry of GUI elements, forms and timers, and the one
// event loop that routes X events to them. All state is static; the
// registry is defined in Application.cpp, the loop and its dispatch in
// ApplicationLoop.cpp, the signal and timer-pipe plumbing in
// ApplicationSignals.cpp.
#pragma once

#include <csignal>
#include <cstdint>
#include <memory>
#include <vector>

#include "lumetra/core/Form.h"
#include "lumetra/core/Types.h"
#include "lumetra/core/XTypes.h"

namespace lumetra {

class Application {
public:
    Application() = delete;

    static inline std::vector<GUIElement*> elements;
    static inline std::vector<GUIElement*> forms;
    static inline std::vector<GUIElement*> timers;
    static inline GUIElement* focusedElement = nullptr;
    static inline bool keyState[256] = {};
    static inline bool quitRequested = false;
    static inline std::unique_ptr<Form> currentMessageBox;
    static inline bool formLoading = false;
    static inline uint32_t lastElementId = 0;
    // The main form: the one the loop runs (recorded by every pass), or the
    // game's window from its constructor on.
    static inline Form* mainForm = nullptr;
    // The server time of the user's last action (a press, a key, a window
    // manager's request): focus requests it causes carry it, as the ICCCM asks.
    static inline Time userTime = 0;  // CurrentTime: none yet

    static void Run(Form* main);
    // One pass of the loop: waits up to timeoutMs (-1: without limit) for an X
    // event or a timer expiry and dispatches what arrived. Answers false when
    // the loop is to end.
    static bool RunOnce(Form* main, int timeoutMs);
    // The end sequence of Run: windows destroyed, message box deleted, the
    // main form closed.
    static void Shutdown(Form* main);
    static void Dispatch(Form* main, XEvent& event);

    static void AddElement(GUIElement* e);
    static void AddForm(GUIElement* e);
    static void AddTimer(GUIElement* e);
    static void RemoveWinForm(GUIElement* e);
    static void RemoveWindow(GUIElement* e);
    static void RemoveTimer(GUIElement* e);
    static void RemoveChildren(uint32_t parentId);
    static Form* FindFormByWindow(Window w);
    static GUIElement* FindElementById(uint32_t id);
    static GUIElement* FindChildAt(uint32_t parentId, PackedPoint p);
    static std::vector<GUIElement*> GetChildren(uint32_t parentId);
    static Form* GetParentForm(GUIElement* e);
    // Whether the form still exists (is registered).
    static bool IsLiveForm(const Form* form);
    static PackedPoint GetOffsetInForm(GUIElement* e, int32_t x, int32_t y);
    // Nothing has the focus any more; the control that had it hears
    // LostFocus, so that it takes its focus mark off.
    static void ResetFocus();
    static void DestroyAllForms();
    static bool IsKeyDown(int code);
    static void Flush(Display* d);

    // A form that is replaced from inside its own handlers is deleted only
    // once control is back in the loop, never while its code is on the stack.
    static void DeleteLater(std::unique_ptr<Form> form);
    static void DeleteRetired();

    // Functions run once per pass of the loop (reaping finished children).
    // Each answers within how many milliseconds it wants the next pass at
    // the latest (a deadline of its own), or -1 when it has no such wish.
    using LoopHook = int (*)();
    static void AddLoopHook(LoopHook hook);

    // While Run runs, these ending signals end the loop as a confirmed exit
    // would, after the termination hook (async-signal-safe: it may only
    // signal processes) has stopped whatever the program was waiting for.
    // One that is ignored when Run starts (as under nohup) is left alone and
    // does not end the loop; Run puts back on return what it found. The hook
    // also runs when the X server is lost, before the program ends.
    static constexpr int EndingSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};
    using TerminationHook = void (*)();
    static void InstallTerminationHandlers();
    static void RestoreTerminationHandlers();
    static void SetTerminationHook(TerminationHook hook) { terminationHook = hook; }
    static void RunTerminationHook();
    // The signal that asked the program to end, or 0.
    static int TerminationSignal() { return terminationSignal; }
    static void NoteTermination(int sig);

    // Timer expiries: the SIGALRM handler only writes a byte to this pipe;
    // the loop reads it and runs the ticks on its own thread.
    static int TimerPipeReadEnd();
    static void NoteExpiry();
    // Makes the loop's wait return (from a signal handler).
    static void WakeLoop();
    static long ExpiryCount() { return expiries; }
    // Runs one tick of every running timer, in registry order.
    static void DispatchTimerTicks();
    static uint64_t TickRounds() { return tickRounds; }

private:
    static void PointerEvent(Form* form, XEvent& ev, bool press);
    static void KeyPressEvent(Form* form, XEvent& ev);
    static void KeyReleaseEvent(Form* form, XEvent& ev);
    static void WindowDestroyed(Form* main, Form* form);
    // Gives the focus to the element (null: to none); the one that had it
    // hears LostFocus first, even when it is the same.
    static void MoveFocus(GUIElement* to);
    static GUIElement* FocusedOn(Form* form);

    static inline std::vector<std::unique_ptr<Form>> retired;
    static inline std::vector<LoopHook> loopHooks;
    static int timerPipe[2];
    static volatile sig_atomic_t expiries;
    static volatile sig_atomic_t terminationSignal;
    static TerminationHook terminationHook;
    static uint64_t tickRounds;
};

}  // namespace lumetra
