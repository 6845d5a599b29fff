#include "SampleTiming.h"

namespace portcheck {

double SampleTiming::MedianNs() const {
    // Few samples say little: the calibration's figure until then.
    return intervals_.count() < 1000 ? expectedNs_ : intervals_.MedianNs();
}

bool SampleTiming::Block(int64_t since, int64_t tick, uint32_t samples) {
    if (samples == 0) return false;
    const double blockNs = static_cast<double>(tick - since) * nsPerTick_;
    const double median = MedianNs();
    samples_ += samples;
    intervals_.Add(blockNs / samples, samples);
    // Where in the block the gap fell is unknown: the others took the median.
    double gap = blockNs - (samples - 1) * median;
    if (gap < blockNs / samples) gap = blockNs / samples;
    if (gap > longestNs_) longestNs_ = gap;
    if (gap <= kBlindFactor * median || median <= 0) return false;
    ++blind_.count;
    blind_.totalNs += gap;
    if (gap > blind_.longestNs) blind_.longestNs = gap;
    return true;
}

}  // namespace portcheck
