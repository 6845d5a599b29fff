// The test itself, apart from the port: the output patterns to drive, and
// what the inputs seen after each pattern say about each wired pair.
#pragma once

#include <vector>

#include "LoopbackPlug.h"

namespace portcheck {

// All low, a one walking over the five outputs, all high, a zero walking
// over them. Every output's level sequence differs from every other's and
// from a constant, so an input that moves with the wrong output is told
// apart from a stuck one and from a crossed one.
const std::vector<Levels>& TestPatterns();

struct Observation {
    Levels outputs;       // as driven
    Levels inputs;        // as read back from the status register
    Levels unstable = 0;  // inputs that changed while they were read
};

enum class PairOutcome {
    Ok,            // the input follows its own output
    StuckHigh,     // the input stays high
    StuckLow,      // the input stays low
    FollowsOther,  // the input moves with another pair's output: crossed or shorted wires
    Erratic,       // the input moves, but with no single output
    NoPlug,        // no input moves at all: the whole verdict is "no plug"
    Unstable,      // the input changed while it was read, after the settling time
    SlowRise,      // it failed, and passed with a long settling time: a slow rising edge
};

struct PairResult {
    PairOutcome outcome;
    int followedPair;  // FollowsOther: index of the pair whose output it follows; else -1
    bool level;        // StuckHigh/StuckLow/NoPlug: the level it stays at
};

struct CheckResult {
    PairResult pairs[kPairs];
    bool noPlug;  // every input constant
    int faulty;   // pairs not Ok
};

// Judges the observations; at least two patterns with every output both
// high and low somewhere (as TestPatterns has) are needed for a sound result.
CheckResult Evaluate(const std::vector<Observation>& observations);

// The test run several times: a pair that failed in any round is faulty,
// with the outcome of the first round it failed in.
struct RoundsResult {
    CheckResult result{};  // noPlug: in every round; faulty: pairs that failed in any round
    int failedRounds[kPairs] = {};
    int rounds = 0;
};
void AddRound(RoundsResult* total, const CheckResult& round);
// The pairs that failed (but not unstable) and are ok in `slowRun` (the
// patterns run with a long settling time) become SlowRise; a verdict of no
// plug then no longer holds.
void NameSlowEdges(RoundsResult* total, const CheckResult& slowRun);

}  // namespace portcheck
