// The small date-time record used for double clicks.
#pragma once

#include <cstdint>

namespace lumetra {

struct DateTime {
    int32_t year = 0;
    int32_t month = 0;
    int32_t weekday = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    int32_t millisecond = 0;
    int64_t epochSeconds = 0;
    bool invalid = false;

    // The current moment, to the second (milliseconds are always 0).
    static DateTime Now();
    static DateTime FromEpoch(int64_t seconds);
    // Where the toolkit takes "now" from; tests put a clock of their own here.
    using Clock = int64_t (*)();
    static void SetClock(Clock clock);

    // Milliseconds from `earlier` to this; 0 when `earlier` is invalid.
    int64_t MillisecondsSince(const DateTime& earlier) const;
};

}  // namespace lumetra
