// The time between samples, from the performance counter, read once per
// block of samples (a stride calibrated at the start, so that reading the
// counter does not cost the loop its rate) and at every change. A block
// whose samples took longer than expected held a gap: Windows ran
// something else, or the port took long to answer. A gap longer than 10
// times the median interval is a blind interval: a pulse shorter than it
// may have come and gone unseen.
#pragma once

#include <cstdint>

#include "IntervalHistogram.h"

namespace portcheck {

constexpr double kBlindFactor = 10;

struct BlindTally {
    uint64_t count = 0;
    double longestNs = 0;
    double totalNs = 0;
};

class SampleTiming {
public:
    // `nsPerTick`: the counter's period; `expectedNs`: the interval found by
    // calibration, taken as the median until samples say otherwise.
    SampleTiming(double nsPerTick, double expectedNs) : nsPerTick_(nsPerTick), expectedNs_(expectedNs) {}

    // `samples` samples taken between the counter reads `since` and `tick`.
    // True when they held a blind interval.
    bool Block(int64_t since, int64_t tick, uint32_t samples);

    uint64_t samples() const { return samples_; }
    double MedianNs() const;
    double longestNs() const { return longestNs_; }
    const BlindTally& blind() const { return blind_; }
    const IntervalHistogram& intervals() const { return intervals_; }

private:
    double nsPerTick_;
    double expectedNs_;
    uint64_t samples_ = 0;
    double longestNs_ = 0;
    BlindTally blind_;
    IntervalHistogram intervals_;
};

}  // namespace portcheck
