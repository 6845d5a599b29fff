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

struct RunOptions {
    int64_t settleMicros = 100;  // the wait after each pattern
    int rounds = 1;
};

enum class RunEnd {
    Completed,
    Interrupted,   // a stop request, between two patterns
    Disturbed,     // data or control did not hold what was written: another writer
    DataNotTaken,  // the data register keeps its value whatever is written
};

struct RunRecord {
    RunEnd end = RunEnd::Completed;
    RoundsResult result;      // the rounds completed
    uint8_t dataWritten = 0;  // DataNotTaken: the value the data register did not take
};

// `stopRequested` is asked before each pattern. The session is not put back.
RunRecord RunPatterns(PortSession& session, const LoopbackPlug& plug, const RunOptions& options,
                      bool (*stopRequested)());

}  // namespace portcheck
