// The time between samples, from the performance counter. The loop reads
// the counter once per block of samples (a stride calibrated at the start,
// so that the counter does not cost the loop its rate) and at every change.
// Where the samples of a block fell is not read, but bounded: each sample
// but one took at least the floor (a share of the calibrated time), so the
// longest gap between two samples of a block of N taking D is at most
// D - (N-1) x floor, plus a counter tick either side. A block whose bound
// reaches the trusted width is blind: a pulse that narrow may have come
// and gone there unseen. Outside blind blocks every pulse of the trusted
// width or wider is seen, and every change's time is within that width.
#pragma once

#include <cstdint>
#include <string>

#include "IntervalHistogram.h"

namespace portcheck {

// The rule the recording is judged by, fixed before it starts.
struct BlindRule {
    double tickNs = 1;     // the counter's period
    double floorNs = 0;    // the least time a sample takes
    double trustedNs = 0;  // pulses this wide or wider are never lost unreported
};

// A sample takes at least this share of the calibrated time: port reads
// are bus cycles of nearly fixed length.
constexpr double kSampleFloorShare = 0.75;
// The trusted width is this many times the bound of an ordinary block, so
// that a block merely slower than usual is not blind.
constexpr double kTrustMargin = 2;

// The rule for blocks of `stride` samples of `sampleNs` each, on a counter
// of `tickNs`.
BlindRule RuleFor(double tickNs, double sampleNs, uint32_t stride);

// What the rule means for the user: "pulses narrower than 2.500 us may be
// missed"; with where: "... may be missed where no sample came for 2.500
// us or more (blind)".
std::string MayBeMissedText(const BlindRule& rule);
std::string BlindRuleText(const BlindRule& rule);

struct BlindTally {
    uint64_t count = 0;
    double longestNs = 0;
    double totalNs = 0;
};

class SampleTiming {
public:
    explicit SampleTiming(const BlindRule& rule = BlindRule()) : rule_(rule) {}

    // `samples` samples taken between the counter reads `since` and `tick`.
    // True when they held a blind interval.
    bool Block(int64_t since, int64_t tick, uint32_t samples);
    // The loop waited from `since` to `tick` without sampling (the writer
    // was behind): a blind interval.
    void Waited(int64_t since, int64_t tick);

    uint64_t samples() const { return samples_; }
    double MedianNs() const { return intervals_.MedianNs(); }
    double longestNs() const { return longestNs_; }
    const BlindRule& rule() const { return rule_; }
    const BlindTally& blind() const { return blind_; }
    const IntervalHistogram& intervals() const { return intervals_; }

private:
    void CountBlind(double gapNs);

    BlindRule rule_;
    uint64_t samples_ = 0;
    double longestNs_ = 0;
    BlindTally blind_;
    IntervalHistogram intervals_;
};

}  // namespace portcheck
