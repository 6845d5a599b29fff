// Runs the test patterns on the port through the port library: saves the
// data and control registers, drives each pattern and reads the status
// register back, and writes the saved values back at the end, whatever
// ends the run.
#pragma once

#include <vector>

#include "LoopbackPlug.h"
#include "PatternCheck.h"
#include "PortLibrary.h"

namespace portcheck {

struct RunRecord {
    Registers found{};                      // data and control before the test, as restored
    std::vector<Observation> observations;  // one per pattern driven
    bool interrupted = false;               // stopped before the last pattern
};

// `library` must have both entry points. `stopRequested` is asked before
// each pattern; once it says yes, no further pattern is driven.
RunRecord RunPatterns(const PortLibrary& library, int base, const LoopbackPlug& plug,
                      bool (*stopRequested)());

}  // namespace portcheck
