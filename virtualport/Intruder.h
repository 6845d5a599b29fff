// Another program on the port, as Windows' parallel-port driver is when it
// polls for a printer: every period it reads the port's device ID, which
// means driving the lines. Modelled lazily, on the accesses themselves (no
// process runs in the background): time is cut into periods of the chosen
// length from when the intruder was started; at the first access or look
// in a new period, the intruder
//   1. saves the data and control latches,
//   2. writes data 0x04 (the IEEE 1284 request for the device ID), control
//      0x06 (/SELECT IN high, /AUTOFEED low: the negotiation), then control
//      0x07 and 0x06 again (a pulse on /STROBE),
//   3. leaves those values there for a hold time of 1 ms, or a quarter of
//      the period if that is shorter,
//   4. writes the saved values back.
// A program reading data or control during the hold sees the intruder's
// values; one writing during the hold loses its write when the saved values
// go back. Periods in which nobody touched the port leave no trace. The
// intruder's writes are logged, marked as not the program's, and reach the
// latches directly (the real driver puts the ECR in a standard mode first).
// Called with the port's lock held.
#pragma once

#include <cstdint>

#include "SharedLayout.h"

namespace vport {

// Brings the intruder up to now: what it has done since the last access.
// Inline, so that an access without an intruder costs a test only.
void IntruderAct(SharedLayout& s);
inline void IntruderCatchUp(SharedLayout& s) {
    if (s.intruderPeriodMs != 0) IntruderAct(s);
}
// Starts it with a period of `ms` milliseconds from now, or stops it (0),
// putting back the program's values if it holds the lines.
void SetIntruder(SharedLayout& s, uint32_t ms);

}  // namespace vport
