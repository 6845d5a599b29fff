#include "SettledStatus.h"

#include "MicroClock.h"
#include "PortRegisters.h"

namespace portcheck {

namespace {

// A line still changing after this many reads is not going to settle.
constexpr int kMostReads = 8;

}  // namespace

StatusSample ReadSettledStatus(const PortSession& session, int64_t settleMicros) {
    WaitMicros(settleMicros);
    StatusSample sample;
    sample.value = session.Read(kStatusOffset);
    for (int reads = 1; reads < kMostReads; ++reads) {
        const uint8_t next = session.Read(kStatusOffset);
        if (next == sample.value) break;
        sample.unstable |= next ^ sample.value;
        sample.value = next;
    }
    return sample;
}

}  // namespace portcheck
