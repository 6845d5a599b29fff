// How often the recording loop reads the counter when nothing changes. A
// counter read costs anything from a few nanoseconds (the processor's
// time-stamp counter) to a microsecond and more (the ACPI timer older
// Windows uses); a port read from some 30 ns (the virtual port) to 1-2 us
// (a real port through the library's driver); a block's bookkeeping some
// tens of nanoseconds more. The stride is the smallest power of two that
// keeps the counter and the bookkeeping under 2 % of the loop's time, up to
// 32 samples and 4 us a block: a longer block would leave more of the time
// inside it unknown (the trusted width grows with it, SampleTiming).
#pragma once

#include <cstdint>

namespace portcheck {

struct Calibration {
    uint32_t stride = 1;
    double sampleNs = 0;  // one sample's time without the counter
};

constexpr uint32_t kLongestStride = 32;
constexpr double kLongestBlockNs = 4000;
constexpr int kCalibrationSamples = 2048;

// From the counter ticks that kCalibrationSamples samples took alone and
// with a counter read after each.
Calibration StrideFor(int64_t plainTicks, int64_t countedTicks, double nsPerTick);

struct NoBookkeeping {
    void operator()(int64_t, int64_t) const {}
};

// Times both, three times each, and keeps the quickest of each; the counted
// round does a block's bookkeeping, `bookkeeping(since, tick)`, at each
// counter read too.
template <class ReadSample, class ReadCounter, class Bookkeeping = NoBookkeeping>
Calibration Calibrate(ReadSample& readSample, ReadCounter& readCounter, double nsPerTick,
                      Bookkeeping bookkeeping = Bookkeeping()) {
    int64_t plain = INT64_MAX, counted = INT64_MAX;
    for (int round = 0; round < 3; ++round) {
        int64_t start = readCounter();
        for (int i = 0; i < kCalibrationSamples; ++i) readSample();
        int64_t end = readCounter();
        if (end - start < plain) plain = end - start;
        start = end;
        for (int i = 0; i < kCalibrationSamples; ++i) {
            readSample();
            const int64_t since = end;
            end = readCounter();
            bookkeeping(since, end);
        }
        if (end - start < counted) counted = end - start;
    }
    return StrideFor(plain, counted, nsPerTick);
}

}  // namespace portcheck
