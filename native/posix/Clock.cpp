// The virtual port's clock on a POSIX system, for the native build: the
// monotonic clock, which processes share, in microseconds.
#include "Clock.h"

#include <time.h>

namespace vport {

int64_t CounterMicros() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

}  // namespace vport
