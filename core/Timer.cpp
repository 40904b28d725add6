// Timers: starting and stopping them on the one interval timer, and their ticks.
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

// Starts so far: a timer's start number tells which running one started last.
uint64_t starts = 0;

// SIGALRM's disposition before the first timer started, given back when the
// last one stops.
struct sigaction programsAlarm {};
bool alarmTaken = false;
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
    // An expiry already pending when the timer stops is taken here, so the
    // program's own disposition never sees one.
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    sigset_t old;
    sigprocmask(SIG_BLOCK, &alarm, &old);
    itimerval zero{};
    setitimer(ITIMER_REAL, &zero, nullptr);
    const timespec now{};
    while (sigtimedwait(&alarm, nullptr, &now) == SIGALRM) {
    }
    if (alarmTaken) sigaction(SIGALRM, &programsAlarm, nullptr);
    alarmTaken = false;
    sigprocmask(SIG_SETMASK, &old, nullptr);
}

void Timer::KeepArmedForOthers() {
    // Of the timers still running, the one started last sets the pace.
    Timer* pace = nullptr;
    for (GUIElement* e : Application::timers) {
        auto* other = static_cast<Timer*>(e);
        if (other->running && (pace == nullptr || other->start_ > pace->start_)) pace = other;
    }
    if (pace != nullptr) {
        pace->Arm();
    } else {
        Disarm();
    }
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
    if (sigaction(SIGALRM, &sa, alarmTaken ? nullptr : &programsAlarm) != 0) {
        Log("Unable to catch SIGALRM");
        return;
    }
    alarmTaken = true;
    if (!Arm()) {
        Log("error calling setitimer()");
        return;
    }
    running = true;
    start_ = ++starts;
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
