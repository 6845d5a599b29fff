// What --watch says at the end: how many samples, how fast, the intervals
// between them and the blind ones, and per line its edges, its shortest
// pulses and its level at the end.
#pragma once

#include <string>
#include <vector>

#include "LineStats.h"
#include "SampleTiming.h"

namespace portcheck {

struct WatchTotals {
    double seconds = 0;      // from the first sample to the last
    uint64_t samples = 0;
    double medianNs = 0;
    double longestNs = 0;
    BlindRule rule;
    BlindTally blind;
};

// `leftOut`: a line per group of lines the port does not show, or empty.
std::string WatchSummary(const WatchTotals& totals, const std::vector<LineRecord>& lines,
                         const std::string& leftOut = std::string());
// "blind intervals: 3, the longest 1234.6 us, 2345.7 us in all", or ": none".
std::string BlindText(const BlindTally& blind);
// Whether every line's register bit read 0 all along (the inverted pins
// high): what a library whose driver does not run gives.
bool ReadZeroThroughout(const std::vector<LineRecord>& lines);

}  // namespace portcheck
