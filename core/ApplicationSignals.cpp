// Signals into the loop: a timer expiry or an ending signal only notes
// itself and writes a byte to a pipe, which the loop reads and acts on.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>
#include <utility>
#include <vector>

#include "lumetra/core/Application.h"
#include "lumetra/core/Timer.h"

namespace lumetra {

int Application::timerPipe[2] = {-1, -1};
volatile sig_atomic_t Application::expiries = 0;
volatile sig_atomic_t Application::terminationSignal = 0;
Application::TerminationHook Application::terminationHook = nullptr;
uint64_t Application::tickRounds = 0;

int Application::TimerPipeReadEnd() {
    if (timerPipe[0] < 0 && pipe2(timerPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        timerPipe[0] = timerPipe[1] = -1;
    }
    return timerPipe[0];
}

void Application::NoteExpiry() {
    expiries = expiries + 1;
    WakeLoop();
}

void Application::WakeLoop() {
    // Runs in signal handlers: only async-signal-safe work here.
    const int saved = errno;
    if (timerPipe[1] >= 0) {
        const char b = 1;
        (void)!write(timerPipe[1], &b, 1);
    }
    errno = saved;
}

namespace {

void OnTerminate(int sig) {
    const int saved = errno;
    Application::RunTerminationHook();
    errno = saved;
    Application::NoteTermination(sig);
}

// What each ending signal did before the loop took it over; an entry that
// was not taken over is not put back.
constexpr size_t kEnding = std::size(Application::EndingSignals);
struct sigaction found[kEnding];
bool takenOver[kEnding] = {};

}  // namespace

void Application::InstallTerminationHandlers() {
    TimerPipeReadEnd();
    struct sigaction sa {};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    // SIGHUP and SIGQUIT too: a closed terminal must stop the players as well.
    for (size_t i = 0; i < kEnding; ++i) {
        const int sig = EndingSignals[i];
        if (takenOver[i] || sigaction(sig, nullptr, &found[i]) != 0 ||
            found[i].sa_handler == SIG_IGN)
            continue;
        takenOver[i] = sigaction(sig, &sa, nullptr) == 0;
    }
}

void Application::RestoreTerminationHandlers() {
    for (size_t i = 0; i < kEnding; ++i) {
        if (takenOver[i]) sigaction(EndingSignals[i], &found[i], nullptr);
        takenOver[i] = false;
    }
}

void Application::RunTerminationHook() {
    if (terminationHook != nullptr) terminationHook();
}

void Application::NoteTermination(int sig) {
    terminationSignal = sig;
    WakeLoop();
}

void Application::DispatchTimerTicks() {
    ++tickRounds;
    // A tick handler may stop or even delete timers, its own included, and
    // their forms: each timer of the round ticks only while it is still there.
    std::vector<std::pair<Timer*, ElementWatch>> round;
    round.reserve(timers.size());
    for (GUIElement* t : timers) round.emplace_back(static_cast<Timer*>(t), ElementWatch(t));
    for (const auto& [timer, alive] : round) {
        if (alive) timer->Tick();
    }
}

}  // namespace lumetra
