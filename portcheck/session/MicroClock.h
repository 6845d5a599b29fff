// Time in microseconds from the performance counter. The port's lines need
// waits of tens of microseconds, far below the 1 to 15.6 ms a sleep can
// give, so PortCheck spins on the counter instead.
#pragma once

#include <cstdint>

namespace portcheck {

int64_t NowMicros();

// Spins until `micros` have passed (nothing for 0 or less).
void WaitMicros(int64_t micros);

}  // namespace portcheck
