#include "IntervalHistogram.h"

namespace portcheck {

namespace {

const int kSteps = 16;       // buckets per octave
const double kUnitsPerNs = 16;  // buckets count in 1/16 ns

// Of a value that is not 0.
int HighestBit(uint64_t value) { return 63 - __builtin_clzll(value); }

}  // namespace

int IntervalHistogram::BucketOf(double nanoseconds) {
    const double scaled = nanoseconds * kUnitsPerNs;
    if (!(scaled < 1e18)) return kBuckets - 1;  // also NaN
    const uint64_t units = scaled < 0 ? 0 : static_cast<uint64_t>(scaled);
    if (units < kSteps) return static_cast<int>(units);
    const int octave = HighestBit(units);  // 4 and up
    const int step = static_cast<int>(units >> (octave - 4)) & (kSteps - 1);
    const int bucket = kSteps + (octave - 4) * kSteps + step;
    return bucket < kBuckets ? bucket : kBuckets - 1;
}

double IntervalHistogram::MiddleOf(int bucket) {
    if (bucket < kSteps) return (bucket + 0.5) / kUnitsPerNs;
    const int octave = (bucket - kSteps) / kSteps + 4;
    const int step = (bucket - kSteps) % kSteps;
    const double low = static_cast<double>((uint64_t(kSteps + step)) << (octave - 4));
    const double width = static_cast<double>(uint64_t(1) << (octave - 4));
    return (low + width / 2) / kUnitsPerNs;
}

void IntervalHistogram::Add(double nanoseconds, uint64_t count) {
    const int bucket = BucketOf(nanoseconds);
    counts_[bucket] += count;
    total_ += count;
    if (bucket < median_) below_ += count;
    // The median bucket is the first whose running count passes half.
    const uint64_t half = total_ / 2;
    while (median_ > 0 && below_ > half) below_ -= counts_[--median_];
    while (median_ < kBuckets - 1 && below_ + counts_[median_] <= half) below_ += counts_[median_++];
}

double IntervalHistogram::MedianNs() const { return total_ == 0 ? 0 : MiddleOf(median_); }

}  // namespace portcheck
