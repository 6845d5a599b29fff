// The time the port's lines and the intruder go by: the performance
// counter in microseconds, which every process on the machine shares, so
// that a period started by one process ends for all of them.
#pragma once

#include <cstdint>

namespace vport {

int64_t NowMicros();
// The same clock in nanoseconds: signals' edges fall anywhere, not on whole
// microseconds.
int64_t NowNanos();

// Spins for `nanoseconds` on the performance counter itself, never the
// test's clock: the time a read of a real port takes.
void SpendNanos(int64_t nanoseconds);

// Replaces the clock in this process (null: the performance counter again),
// so that tests of timing need not wait.
void SetClockForTesting(int64_t (*now)());

// The system's own: the performance counter in units of 1/`perSecond` s
// (Clock.cpp).
int64_t CounterIn(int64_t perSecond);

}  // namespace vport
