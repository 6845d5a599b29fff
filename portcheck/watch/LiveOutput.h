// What --watch prints while it records: a line per change, with its time
// in microseconds since the start and the lines that changed, by pin and
// signal name, and a line per blind interval as it comes. A change seen
// just after a blind interval says so: it came somewhere in it. A console
// prints a few hundred lines a second at best, so in a second with more
// changes (or blind intervals) than its budget the lines stop and the
// second ends in a count: "1,234 changes in the last second, recording
// all" when it had no blind interval, else the blind intervals' count and
// time. The lines come back with a second that brings few enough.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ParallelPins.h"
#include "SampleTiming.h"

namespace portcheck {

constexpr uint64_t kLinesPerSecond = 100;
constexpr uint64_t kBlindLinesPerSecond = 10;

class LiveOutput {
public:
    LiveOutput(const std::vector<const Pin*>& pins, const BlindRule& rule, uint64_t linesPerSecond = kLinesPerSecond,
               uint64_t blindLinesPerSecond = kBlindLinesPerSecond)
        : pins_(pins), rule_(rule), budget_(linesPerSecond), blindBudget_(blindLinesPerSecond) {}

    // The levels at the start.
    std::string Start(uint32_t sample) const;
    // The sample changed from `before` to `after` at `ns` since the start;
    // `uncertain`: it came somewhere in the blind interval before.
    std::string Change(uint32_t before, uint32_t after, int64_t ns, bool uncertain = false);
    // Blind from `startNs` to `endNs`.
    std::string Blind(int64_t startNs, int64_t endNs);
    // Time has reached `ns`: the count of a second that is over, if due.
    std::string Reached(int64_t ns);

private:
    std::string Levels(uint32_t changed, uint32_t sample) const;
    std::string CloseSecond();

    std::vector<const Pin*> pins_;
    BlindRule rule_;
    uint64_t budget_;
    uint64_t blindBudget_;
    int64_t second_ = 0;
    uint64_t changes_ = 0;   // in this second
    uint64_t blind_ = 0;     // blind intervals in this second
    double blindNs_ = 0;
    bool folding_ = false;   // the last second had more changes than the budget
};

}  // namespace portcheck
