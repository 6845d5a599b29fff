// PortCheck's clock on a POSIX system, for the native build: the monotonic
// clock in microseconds, spun on for short waits as on Windows.
#include "MicroClock.h"

#include <time.h>

namespace portcheck {

int64_t NowMicros() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void WaitMicros(int64_t micros) {
    const int64_t end = NowMicros() + micros;
    while (NowMicros() < end) {
    }
}

}  // namespace portcheck
