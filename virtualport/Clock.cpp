#include "Clock.h"

#include <windows.h>

namespace vport {

namespace {

int64_t (*g_testClock)() = nullptr;

// The performance counter in units of 1/`perSecond` s.
int64_t CounterIn(int64_t perSecond) {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    // In two steps, so that a counter of many days' ticks doesn't overflow.
    const int64_t f = frequency.QuadPart;
    return count.QuadPart / f * perSecond + count.QuadPart % f * perSecond / f;
}

}  // namespace

int64_t NowMicros() { return g_testClock != nullptr ? g_testClock() : CounterIn(1000000); }

int64_t NowNanos() { return g_testClock != nullptr ? g_testClock() * 1000 : CounterIn(1000000000); }

void SpendNanos(int64_t nanoseconds) {
    if (nanoseconds <= 0) return;
    const int64_t until = CounterIn(1000000000) + nanoseconds;
    while (CounterIn(1000000000) < until) {
    }
}

void SetClockForTesting(int64_t (*now)()) { g_testClock = now; }

}  // namespace vport
