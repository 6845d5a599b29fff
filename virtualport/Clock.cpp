#include "Clock.h"

#include <windows.h>

namespace vport {

int64_t CounterIn(int64_t perSecond) {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    // In two steps, so that a counter of many days' ticks doesn't overflow.
    const int64_t f = frequency.QuadPart;
    return count.QuadPart / f * perSecond + count.QuadPart % f * perSecond / f;
}

}  // namespace vport
