// The recording as a Value Change Dump (IEEE 1364), the file logic viewers
// and protocol decoders read: one wire per watched line named by pin and
// signal ("pin11_BUSY"), a wire "blind" that is 1 wherever a pulse of the
// trusted width could have been missed (SampleTiming), the levels at the
// start in $dumpvars, then only changes. Comments stand in the header and
// after the last change only: some readers stop at a comment among the
// changes (sigrok-cli 0.7 does). The text is built here; VcdFile writes it.
//
// The timescale is a power of ten no longer than a sample (1 us, 100 ns,
// 10 ns or 1 ns). Each time is the change's own, to the unit: a wire
// changing twice within one unit has its second change one unit later, so
// a pulse that short is drawn, not lost, and the next change at a later
// time takes its own time again: nothing drifts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ParallelPins.h"

namespace portcheck {

// The timescale for samples `sampleNs` apart, in nanoseconds.
int64_t VcdUnitNs(double sampleNs);

class VcdText {
public:
    // The header, the wires and their levels at time 0; `comment` says
    // what was recorded where, and what blind means.
    void Begin(const std::vector<const Pin*>& pins, uint32_t sample, const std::string& comment, int64_t unitNs);
    // `ns` since the start.
    void Change(int64_t ns, uint32_t before, uint32_t after);
    // No pulse of the trusted width can be vouched for from `startNs` to `endNs`.
    void Blind(int64_t startNs, int64_t endNs);
    // The final time (always written, after every change) and `comment` after it.
    void End(int64_t endNs, const std::string& comment);

    // What is built and not yet taken.
    std::string& pending() { return text_; }
    int64_t unitNs() const { return unitNs_; }

private:
    // Moves to `ns` (or just after the last time) for a change of `wire`.
    void At(int64_t ns, int wire);
    void Value(int wire, bool high);

    std::string text_;
    std::vector<const Pin*> pins_;
    int64_t unitNs_ = 1000;
    int blindWire_ = 0;
    int64_t time_ = 0;              // in units
    std::vector<bool> changedNow_;  // per wire: changed at time_
};

}  // namespace portcheck
