// The virtual port's clock on a POSIX system, for the native build: the
// monotonic clock, which processes share.
#include "Clock.h"

#include <time.h>

namespace vport {

int64_t CounterIn(int64_t perSecond) {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * perSecond + int64_t(now.tv_nsec) * perSecond / 1000000000;
}

}  // namespace vport
