// Per watched line: its edges, the shortest high and low pulse seen, and its
// level. A pulse counts only where both its edges were seen to a sample:
// an edge found after a blind interval may have come any time in it. (A
// blind interval within a pulse may have hidden a shorter one there; the
// summary gives the blind intervals beside the pulses.)
#pragma once

#include <cstdint>
#include <vector>

#include "ParallelPins.h"

namespace portcheck {

struct LineRecord {
    const Pin* pin = nullptr;
    bool high = false;
    uint64_t rising = 0;
    uint64_t falling = 0;
    int64_t shortestHighNs = -1;  // -1: no whole pulse seen
    int64_t shortestLowNs = -1;
    int64_t lastEdgeNs = -1;      // -1: none, or one not seen to a sample
};

class LineStats {
public:
    LineStats(const std::vector<const Pin*>& pins, uint32_t firstSample);
    // The lines as `sample` has them at `ns`; `certain`: the change came
    // within a sample's interval of `ns`.
    void Change(uint32_t sample, int64_t ns, bool certain);
    const std::vector<LineRecord>& lines() const { return lines_; }

private:
    std::vector<LineRecord> lines_;
};

}  // namespace portcheck
