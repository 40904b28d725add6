// Timers: ticks are counted against the expiries the signal handler saw,
// never against the clock.
#include <gtest/gtest.h>
#include <sys/time.h>

#include <chrono>
#include <memory>
#include <thread>

#include "core/Application.h"
#include "core/Form.h"
#include "core/Screen.h"
#include "core/Timer.h"
#include "rig/Rig.h"
#include "rig/XServer.h"

using lumetra::Application;
using lumetra::Timer;

namespace {

int ticksA = 0, ticksB = 0, ticksIdle = 0;
bool block = false;

class Timers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig::SharedServer().Ok());
        screen = std::make_unique<lumetra::Screen>();
        form = std::make_unique<lumetra::Form>();
        form->SetScreen(screen.get());
        form->Create();
        ticksA = ticksB = ticksIdle = 0;
        block = false;
    }
    static itimerval Armed() {
        itimerval now{};
        getitimer(ITIMER_REAL, &now);
        return now;
    }
    std::unique_ptr<lumetra::Screen> screen;
    std::unique_ptr<lumetra::Form> form;
};

TEST_F(Timers, EveryRoundTicksEachRunningTimerOnceInOrder) {
    Timer a(form.get(), 10), b(form.get(), 10), idle(form.get(), 10);
    a.SetOnTick([](Timer*) { ++ticksA; });
    b.SetOnTick([](Timer*) {
        // Registry order: a has always ticked in this round already.
        EXPECT_EQ(ticksA, ticksB + 1);
        ++ticksB;
    });
    idle.SetOnTick([](Timer*) { ++ticksIdle; });
    const long expiriesBefore = Application::ExpiryCount();
    const uint64_t roundsBefore = Application::TickRounds();
    a.Start();
    b.Start();
    ASSERT_TRUE(rig::PumpUntil(form.get(), [] { return ticksB >= 20; }));
    a.Stop();
    b.Stop();
    rig::Pump(form.get(), 30);
    EXPECT_EQ(ticksA, ticksB);
    EXPECT_EQ(static_cast<uint64_t>(ticksA), Application::TickRounds() - roundsBefore);
    EXPECT_LE(ticksA, Application::ExpiryCount() - expiriesBefore);
    EXPECT_EQ(ticksIdle, 0);
}

TEST_F(Timers, ExpiriesDuringABlockedHandlerCountOnce) {
    Timer t(form.get(), 5);
    t.SetOnTick([](Timer*) {
        ++ticksA;
        if (block) {
            block = false;
            // Far longer than several periods: the expiries pile up meanwhile.
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
        }
    });
    t.Start();
    ASSERT_TRUE(rig::PumpUntil(form.get(), [] { return ticksA >= 1; }));
    block = true;
    ASSERT_TRUE(rig::PumpUntil(form.get(), [] { return !block; }));
    const int after = ticksA;
    const long expiries = Application::ExpiryCount();
    // The next round comes from the pile, delivered as one tick.
    ASSERT_TRUE(rig::PumpUntil(form.get(), [&] { return ticksA > after; }));
    EXPECT_EQ(ticksA, after + 1);
    EXPECT_GE(expiries, 1);
    t.Stop();
}

TEST_F(Timers, ArmingDisarmingAndIntervals) {
    Timer t(form.get(), 1500);
    EXPECT_FALSE(t.IsRunning());
    t.Start();
    EXPECT_TRUE(t.IsRunning());
    EXPECT_NE(t.GetId(), 0U);
    itimerval armed = Armed();
    EXPECT_EQ(armed.it_interval.tv_sec, 1);
    EXPECT_EQ(armed.it_interval.tv_usec, 500000);
    t.Start();
    EXPECT_EQ(Armed().it_interval.tv_usec, 500000);
    t.SetInterval(30);
    EXPECT_TRUE(t.IsRunning());
    EXPECT_EQ(Armed().it_interval.tv_usec, 30000);
    t.Stop();
    EXPECT_FALSE(t.IsRunning());
    EXPECT_EQ(Armed().it_interval.tv_usec, 0);
    t.SetInterval(40);
    EXPECT_FALSE(t.IsRunning());
    EXPECT_EQ(t.GetInterval(), 40U);
}

TEST_F(Timers, DestroyingARunningTimerDisarmsAndUnregisters) {
    const size_t before = Application::timers.size();
    {
        Timer t(form.get(), 20);
        t.Start();
        EXPECT_EQ(Application::timers.size(), before + 1);
    }
    EXPECT_EQ(Armed().it_value.tv_usec, 0);
    EXPECT_EQ(Application::timers.size(), before);
}

TEST_F(Timers, AHandlerMayStopItsOwnTimer) {
    Timer t(form.get(), 5);
    t.SetOnTick([](Timer* self) {
        ++ticksA;
        self->Stop();
    });
    t.Start();
    ASSERT_TRUE(rig::PumpUntil(form.get(), [] { return ticksA == 1; }));
    rig::Pump(form.get(), 40);
    EXPECT_EQ(ticksA, 1);
}

}  // namespace
