#include "Clock.h"

#include <windows.h>

namespace vport {

int64_t CounterMicros() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    // In two steps, so that a counter of many days' ticks doesn't overflow.
    const int64_t f = frequency.QuadPart;
    return count.QuadPart / f * 1000000 + count.QuadPart % f * 1000000 / f;
}

}  // namespace vport
