#include "Intruder.h"

#include "AccessLog.h"
#include "ChipModel.h"
#include "Clock.h"

namespace vport {

namespace {

struct IntruderWrite {
    int offset;
    uint8_t value;
};

const IntruderWrite kIdRequest[] = {{0, 0x04}, {2, 0x06}, {2, 0x07}, {2, 0x06}};
const int64_t kLongestHoldMicros = 1000;

void Write(SharedLayout& s, int offset, uint8_t value) {
    Access access{true, static_cast<uint16_t>(s.base + offset), value};
    access.intruder = true;
    Record(s, access);
    if (!s.lockedUp) SetLatch(s, offset, value);
}

void PutBack(SharedLayout& s) {
    Write(s, 0, s.intruderSavedData);
    Write(s, 2, s.intruderSavedControl);
    s.intruderHolding = 0;
}

}  // namespace

void IntruderAct(SharedLayout& s) {
    const int64_t now = NowMicros();
    if (now < s.intruderStart) {  // the counter restarted with the machine
        s.intruderStart = now;
        s.intruderPeriod = -1;
    }
    const int64_t periodMicros = int64_t(s.intruderPeriodMs) * 1000;
    const int64_t period = (now - s.intruderStart) / periodMicros;
    if (s.intruderHolding && now >= s.intruderHoldEnd) PutBack(s);  // a hold ends within its period
    if (period == s.intruderPeriod) return;

    s.intruderPeriod = period;
    s.intruderSavedData = s.data;
    s.intruderSavedControl = s.control;
    for (const IntruderWrite& w : kIdRequest) Write(s, w.offset, w.value);
    const int64_t hold = periodMicros / 4 < kLongestHoldMicros ? periodMicros / 4 : kLongestHoldMicros;
    s.intruderHoldEnd = s.intruderStart + period * periodMicros + hold;
    s.intruderHolding = 1;
    if (now >= s.intruderHoldEnd) PutBack(s);
}

void SetIntruder(SharedLayout& s, uint32_t ms) {
    if (s.intruderHolding) PutBack(s);
    s.intruderPeriodMs = ms;
    s.intruderStart = NowMicros();
    s.intruderPeriod = -1;
}

}  // namespace vport
