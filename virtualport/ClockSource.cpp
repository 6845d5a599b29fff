// Which clock the port goes by: the system's, or one a test sets.
#include "Clock.h"

namespace vport {

namespace {

int64_t (*g_testClock)() = nullptr;

}  // namespace

int64_t NowMicros() { return g_testClock != nullptr ? g_testClock() : CounterMicros(); }

void SetClockForTesting(int64_t (*now)()) { g_testClock = now; }

}  // namespace vport
