#include "LineTiming.h"

#include "Clock.h"

namespace vport {

namespace {

// `levels` with each pin still settling at `now` showing its old level;
// pins whose time is up stop settling.
uint8_t Settled(SharedLayout& s, int64_t now, uint8_t levels) {
    for (int i = 0; i < kInputCount; ++i) {
        const uint8_t bit = static_cast<uint8_t>(1u << i);
        if (!(s.settling & bit)) continue;
        // A time before the change (a counter restarted with the machine) counts as settled.
        const int64_t since = now - s.settleSince[i];
        if (since >= 0 && since < static_cast<int64_t>(s.settleMicros))
            levels = static_cast<uint8_t>((levels & ~bit) | (s.settleOld & bit));
        else
            s.settling &= static_cast<uint8_t>(~bit);
    }
    return levels;
}

}  // namespace

uint8_t TimedInputLevels(SharedLayout& s, uint8_t levels, bool countedRead) {
    if (s.settling) levels = Settled(s, NowMicros(), levels);
    if (!countedRead) return levels;
    bool counted = false;
    for (int i = 0; i < kInputCount; ++i) {
        if (s.looseEvery[i] == 0) continue;
        if (!counted) ++s.statusReads;
        counted = true;
        if (s.statusReads % s.looseEvery[i] == 0) levels &= static_cast<uint8_t>(~(1u << i));
    }
    return levels;
}

OutputChange BeginOutputChange(SharedLayout& s) {
    OutputChange change;
    if (s.settleMicros == 0) return change;
    change.now = NowMicros();
    change.levels = InputLevels(PinInputsOf(s));
    change.shown = Settled(s, change.now, change.levels);
    return change;
}

void EndOutputChange(SharedLayout& s, const OutputChange& change) {
    if (s.settleMicros == 0) return;
    const uint8_t levels = InputLevels(PinInputsOf(s));
    const uint8_t moved = change.levels ^ levels;
    for (int i = 0; i < kInputCount; ++i) {
        const uint8_t bit = static_cast<uint8_t>(1u << i);
        if (!(moved & bit)) continue;
        // A line pulled up through a weak resistor rises slowly; it is pulled down fast.
        if (s.settleRisingOnly && !(levels & bit)) {
            s.settling &= static_cast<uint8_t>(~bit);
            continue;
        }
        s.settleSince[i] = change.now;
        s.settleOld = static_cast<uint8_t>((s.settleOld & ~bit) | (change.shown & bit));
        s.settling |= bit;
    }
}

}  // namespace vport
