// Which clock the port goes by: the system's, or one a test sets.
#include "Clock.h"

namespace vport {

namespace {

int64_t (*g_testClock)() = nullptr;

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
