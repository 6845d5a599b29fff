#include "MicroClock.h"

#include <windows.h>

namespace portcheck {

int64_t NowMicros() {
    static const int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? f.QuadPart : 1;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    // In two steps, so that a counter of many days doesn't overflow.
    return count.QuadPart / frequency * 1000000 + count.QuadPart % frequency * 1000000 / frequency;
}

void WaitMicros(int64_t micros) {
    const int64_t end = NowMicros() + micros;
    while (NowMicros() < end) {
    }
}

}  // namespace portcheck
