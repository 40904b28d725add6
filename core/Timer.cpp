#include "lumetra/core/Timer.h"

#include <sys/time.h>

#include <csignal>

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"
#include "lumetra/core/Log.h"

namespace lumetra {

namespace {
// The handler does nothing but note the expiry; the ticks themselves run on
// the loop's thread, so they never interrupt an Xlib call.
void OnAlarm(int) { Application::NoteExpiry(); }
}  // namespace

Timer::Timer(GUIElement* parentElement, uint32_t intervalMs)
    : Child(parentElement), interval(intervalMs) {
    elementKind = "timer";
    text = "timer";
    tabStop = false;
    width = 0;
    height = 0;
    Application::AddTimer(this);
}

Timer::~Timer() {
    if (running) {
        running = false;
        KeepArmedForOthers();
    }
}

void Timer::Create() {
    if (created) return;
    if (id == 0) id = ++Application::lastElementId;
    created = true;
}

void Timer::Disarm() {
    itimerval zero{};
    setitimer(ITIMER_REAL, &zero, nullptr);
}

void Timer::KeepArmedForOthers() {
    // Of the timers still running, the last registered sets the pace.
    for (auto it = Application::timers.rbegin(); it != Application::timers.rend(); ++it) {
        auto* other = static_cast<Timer*>(*it);
        if (other->running) {
            other->Arm();
            return;
        }
    }
    Disarm();
}

bool Timer::Arm() {
    itimerval it{};
    it.it_value.tv_sec = static_cast<time_t>(interval / 1000);
    it.it_value.tv_usec = static_cast<suseconds_t>((interval % 1000) * 1000);
    it.it_interval = it.it_value;
    return setitimer(ITIMER_REAL, &it, nullptr) == 0;
}

void Timer::Start() {
    if (running) return;
    Create();
    Application::TimerPipeReadEnd();
    struct sigaction sa {};
    sa.sa_handler = OnAlarm;
    sigemptyset(&sa.sa_mask);
    // Restarted system calls: a tick must not make a blocking wait (the sound
    // player's) fail half-way.
    sa.sa_flags = SA_RESTART;
    if (sigaction(SIGALRM, &sa, nullptr) != 0) {
        Log("Unable to catch SIGALRM");
        return;
    }
    if (!Arm()) {
        Log("error calling setitimer()");
        return;
    }
    running = true;
}

void Timer::Stop() {
    if (!running) return;
    running = false;
    KeepArmedForOthers();
}

void Timer::SetInterval(uint32_t intervalMs) {
    interval = intervalMs;
    if (running) {
        Disarm();
        running = false;
        Start();
    }
}

void Timer::Tick() {
    if (running && onTick) onTick(this);
}

}  // namespace lumetra
