// The intervals between samples, counted in a fixed histogram rather than
// kept: a recording of hours takes no more memory than one of a second.
// Buckets are 1/16 of an octave wide (about 4 %), from 1/16 ns up; the
// median is followed as counts are added, a step at a time.
#pragma once

#include <cstdint>

namespace portcheck {

class IntervalHistogram {
public:
    // `count` intervals of `nanoseconds` each.
    void Add(double nanoseconds, uint64_t count);
    uint64_t count() const { return total_; }
    // The median interval, to a bucket's width; 0 before any interval.
    double MedianNs() const;

    // 16 exact ones below 1 ns, then 16 per octave up to 2^60 / 16 ns.
    static constexpr int kBuckets = 16 + 56 * 16;

private:
    static int BucketOf(double nanoseconds);
    static double MiddleOf(int bucket);

    uint64_t counts_[kBuckets] = {};
    uint64_t total_ = 0;
    int median_ = 0;      // the bucket holding the median
    uint64_t below_ = 0;  // intervals in the buckets below it
};

}  // namespace portcheck
