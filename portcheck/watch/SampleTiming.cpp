#include "SampleTiming.h"

#include "WatchText.h"

namespace portcheck {

BlindRule RuleFor(double tickNs, double sampleNs, uint32_t stride) {
    BlindRule rule;
    rule.tickNs = tickNs;
    rule.floorNs = kSampleFloorShare * sampleNs;
    // An ordinary block: its samples at the calibrated pace, read to a tick
    // at either end.
    const double ordinary = stride * sampleNs - (stride - 1) * rule.floorNs + 2 * tickNs;
    rule.trustedNs = kTrustMargin * ordinary;
    return rule;
}

std::string MayBeMissedText(const BlindRule& rule) {
    return "pulses narrower than " + Micros(rule.trustedNs) + " may be missed";
}

std::string BlindRuleText(const BlindRule& rule) {
    return MayBeMissedText(rule) + " where no sample came for " + Micros(rule.trustedNs) + " or more (blind)";
}

void SampleTiming::CountBlind(double gapNs) {
    ++blind_.count;
    blind_.totalNs += gapNs;
    if (gapNs > blind_.longestNs) blind_.longestNs = gapNs;
    if (gapNs > longestNs_) longestNs_ = gapNs;
}

bool SampleTiming::Block(int64_t since, int64_t tick, uint32_t samples) {
    if (samples == 0) return false;
    const double blockNs = static_cast<double>(tick - since) * rule_.tickNs;
    samples_ += samples;
    intervals_.Add(blockNs / samples, samples);
    // The longest gap the block can hold: the others at the floor, and the
    // counter's reads off by a tick either way.
    double gap = blockNs + 2 * rule_.tickNs - (samples - 1) * rule_.floorNs;
    if (gap > blockNs + 2 * rule_.tickNs) gap = blockNs + 2 * rule_.tickNs;
    if (gap < rule_.trustedNs) {
        if (gap > longestNs_) longestNs_ = gap;
        return false;
    }
    CountBlind(blockNs);
    return true;
}

void SampleTiming::Waited(int64_t since, int64_t tick) { CountBlind(static_cast<double>(tick - since) * rule_.tickNs); }

}  // namespace portcheck
