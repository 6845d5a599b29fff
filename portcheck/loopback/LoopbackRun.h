// Runs the test patterns on a port that a PortSession has taken over: drives
// each pattern, reads the inputs once they have settled, and checks after
// each that data and control still hold what was written; the patterns the
// given number of rounds.
#pragma once

#include <cstdint>

#include "LoopbackPlug.h"
#include "LoopbackVerdict.h"
#include "PortSession.h"

namespace portcheck {

// The wait after each pattern, unless --settle says otherwise, and the longest.
constexpr int64_t kDefaultSettleMicros = 100;
// A failed run is tried once more with this wait: a line that passes then
// rises slowly (a weak pull-up, a long cable).
constexpr int64_t kSlowEdgeSettleMicros = 10000;
constexpr int64_t kLongestSettleMicros = 100000;
constexpr int kMostRounds = 10000;

struct RunOptions {
    int64_t settleMicros = kDefaultSettleMicros;
    int rounds = 1;
};

enum class RunEnd {
    Completed,
    Interrupted,   // a stop request, between two patterns
    Disturbed,     // data or control did not hold what was written: another writer
    DataNotTaken,  // the data register keeps its value whatever is written
    LineFault,     // a line of the plug reads back other than written, the same on every rewrite
};

struct RunRecord {
    RunEnd end = RunEnd::Completed;
    RoundsResult completed;   // the rounds completed
    uint8_t dataWritten = 0;  // DataNotTaken: the value the data register did not take
};

// `stopRequested` is asked before each pattern. The session is not put back.
RunRecord RunPatterns(PortSession& session, const LoopbackPlug& plug, const RunOptions& options,
                      bool (*stopRequested)());

}  // namespace portcheck
