// An invisible element that ticks at a fixed interval. All timers share the
// process's one interval timer (ITIMER_REAL) and its SIGALRM, which the
// toolkit owns while a timer runs and gives back when the last one stops.
#pragma once

#include <cstdint>

#include "lumetra/core/GUIElement.h"

namespace lumetra {

class Timer : public Child {
public:
    using TickHandler = void (*)(Timer* timer);

    Timer(GUIElement* parentElement, uint32_t intervalMs);
    ~Timer() override;

    void Create() override;
    void Start();
    void Stop();
    void SetInterval(uint32_t intervalMs);
    uint32_t GetInterval() const { return interval; }
    bool IsRunning() const { return running; }
    void SetOnTick(TickHandler h) { onTick = h; }
    void Tick();

private:
    // Stops the interval timer and gives SIGALRM back to the program.
    static void Disarm();
    // After a timer stopped: the interval timer stays armed, at the interval
    // of the running timer started last, while there is one.
    static void KeepArmedForOthers();
    // Arms the interval timer at this timer's interval.
    bool Arm();

    bool running = false;
    uint32_t interval;
    TickHandler onTick = nullptr;
    uint64_t start_ = 0;  // the count of timer starts at this one's last; 0: never started
};

}  // namespace lumetra
