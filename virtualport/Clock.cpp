#include "Clock.h"

#include <windows.h>

namespace vport {

namespace {

int64_t (*g_testClock)() = nullptr;

}  // namespace

int64_t NowMicros() {
    if (g_testClock != nullptr) return g_testClock();
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    // In two steps, so that a counter of many days' ticks doesn't overflow.
    const int64_t f = frequency.QuadPart;
    return count.QuadPart / f * 1000000 + count.QuadPart % f * 1000000 / f;
}

void SetClockForTesting(int64_t (*now)()) { g_testClock = now; }

}  // namespace vport
