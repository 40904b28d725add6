// The current date and time from a clock tests may replace, and the time between two moments.
#include "lumetra/core/DateTime.h"

#include <ctime>

namespace lumetra {

namespace {
int64_t SystemClock() { return static_cast<int64_t>(std::time(nullptr)); }
DateTime::Clock clockSource = SystemClock;
}  // namespace

void DateTime::SetClock(Clock clock) { clockSource = clock ? clock : SystemClock; }

DateTime DateTime::Now() { return FromEpoch(clockSource()); }

DateTime DateTime::FromEpoch(int64_t seconds) {
    DateTime d;
    d.epochSeconds = seconds;
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) {
        d.invalid = true;
        return d;
    }
    d.year = tm.tm_year + 1900;
    d.month = tm.tm_mon + 1;
    d.weekday = tm.tm_wday;
    d.day = tm.tm_mday;
    d.hour = tm.tm_hour;
    d.minute = tm.tm_min;
    d.second = tm.tm_sec;
    return d;
}

int64_t DateTime::MillisecondsSince(const DateTime& earlier) const {
    if (earlier.invalid) return 0;
    return (epochSeconds - earlier.epochSeconds) * 1000 + (millisecond - earlier.millisecond);
}

}  // namespace lumetra
