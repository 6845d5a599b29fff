// The time the port's lines and the intruder go by: the performance
// counter in microseconds, which every process on the machine shares, so
// that a period started by one process ends for all of them.
#pragma once

#include <cstdint>

namespace vport {

int64_t NowMicros();

// Replaces the clock in this process (null: the performance counter again),
// so that tests of timing need not wait.
void SetClockForTesting(int64_t (*now)());

// The system's own: the performance counter in microseconds (Clock.cpp).
int64_t CounterMicros();

}  // namespace vport
