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
    Levels before = 0;    // the outputs as driven before this pattern
};

enum class PairOutcome {
    Ok,            // the input follows its own output
    StuckHigh,     // the input stays high
    StuckLow,      // the input stays low
    FollowsOther,  // the input moves with another pair's output: crossed or shorted wires
    Erratic,       // the input moves, but with no single output
    NoPlug,        // no input moves at all: the whole verdict is "no plug"
    Unstable,      // the input changed while it was read, after the settling time
    SlowRise,      // it read low after its output went high, in every round, and high once settled
    SlowFall,      // the same after its output fell
    SlowBoth,      // the same both ways: an RC filter, an opto-isolated input
    Intermittent,  // it failed in one round only: a dropout
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
    // Pairs whose input read low while their output was high (after it
    // went high), and high while it was low.
    Levels lowWhileHigh;
    Levels highWhileLow;
};

// Judges the observations; at least two patterns with every output both
// high and low somewhere (as TestPatterns has) are needed for a sound result.
CheckResult Evaluate(const std::vector<Observation>& observations);

// The test run several times: a pair that failed in any round is faulty,
// with the outcome of the first round it failed in.
struct RoundsResult {
    CheckResult result{};  // noPlug: in every round; faulty: pairs that failed in any round
    int failedRounds[kPairs] = {};
    Levels lowWhileHigh = 0;  // as in CheckResult, in any round
    Levels highWhileLow = 0;
    int rounds = 0;
};
void AddRound(RoundsResult* total, const CheckResult& round);
// A failed pair, judged again with one more round at the same settling
// time (`recheck`) and one with a long one (`slowRun`):
//  - one that failed in one round only is intermittent (also where it
//    moved while read);
//  - one that failed in every round and once more, steady while read, and passes with the
//    long wait, has slow edges: rising where it read low after its output
//    went high, falling where it read high after it went low, or both ways.
// A verdict of no plug then no longer holds.
void NameTimingFaults(RoundsResult* total, const CheckResult& recheck, const CheckResult& slowRun);

}  // namespace portcheck
