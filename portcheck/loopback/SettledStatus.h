// The status register read once the inputs have settled: a wait after the
// outputs change (control lines are open-collector with pull-ups, and an
// edge through a long cable takes tens of microseconds), then reads until
// two in a row agree.
#pragma once

#include <cstdint>

#include "PortSession.h"

namespace portcheck {

struct StatusSample {
    uint8_t value = 0;     // what two reads in a row agreed on (the last read, if none did)
    uint8_t unstable = 0;  // the bits that changed from one read to the next
};

StatusSample ReadSettledStatus(const PortSession& session, int64_t settleMicros);

}  // namespace portcheck
