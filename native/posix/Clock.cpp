// The virtual port's clock on a POSIX system, for the native build: the
// monotonic clock, which processes share, in microseconds.
#include "Clock.h"

#include <time.h>

namespace vport {

namespace {

int64_t (*g_testClock)() = nullptr;

}  // namespace

int64_t NowMicros() {
    if (g_testClock != nullptr) return g_testClock();
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void SetClockForTesting(int64_t (*now)()) { g_testClock = now; }

}  // namespace vport
