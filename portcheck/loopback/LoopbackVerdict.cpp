#include "LoopbackVerdict.h"

namespace portcheck {

namespace {

bool Bit(Levels levels, int i) { return (levels >> i) & 1; }

// Whether input `input` had the level of output `output` in every pattern.
bool InputFollows(const std::vector<Observation>& observations, int input, int output) {
    for (const Observation& seen : observations)
        if (Bit(seen.inputs, input) != Bit(seen.outputs, output)) return false;
    return true;
}

bool InputConstant(const std::vector<Observation>& observations, int input) {
    for (const Observation& seen : observations)
        if (Bit(seen.inputs, input) != Bit(observations.front().inputs, input)) return false;
    return true;
}

PairResult JudgePair(const std::vector<Observation>& observations, int i) {
    for (const Observation& seen : observations)
        if (Bit(seen.unstable, i)) return {PairOutcome::Unstable, -1, false};
    if (InputFollows(observations, i, i)) return {PairOutcome::Ok, -1, false};
    if (InputConstant(observations, i)) {
        const bool high = Bit(observations.front().inputs, i);
        return {high ? PairOutcome::StuckHigh : PairOutcome::StuckLow, -1, high};
    }
    for (int other = 0; other < kPairs; ++other)
        if (other != i && InputFollows(observations, i, other))
            return {PairOutcome::FollowsOther, other, false};
    return {PairOutcome::Erratic, -1, false};
}

}  // namespace

const std::vector<Levels>& TestPatterns() {
    static const std::vector<Levels> patterns = [] {
        std::vector<Levels> list{0};
        for (int i = 0; i < kPairs; ++i) list.push_back(static_cast<Levels>(1u << i));
        list.push_back(kAllHigh);
        for (int i = 0; i < kPairs; ++i) list.push_back(static_cast<Levels>(kAllHigh & ~(1u << i)));
        return list;
    }();
    return patterns;
}

// Which pairs read low while their output was high (after it went high),
// and which read high while it was low.
void SortMisses(const std::vector<Observation>& observations, CheckResult* result) {
    for (const Observation& seen : observations) {
        const Levels wrong = (seen.inputs ^ seen.outputs) & kAllHigh;
        result->lowWhileHigh |= wrong & seen.outputs;
        result->highWhileLow |= wrong & ~seen.outputs & kAllHigh;
    }
}

CheckResult Evaluate(const std::vector<Observation>& observations) {
    CheckResult result{};
    SortMisses(observations, &result);
    result.noPlug = !observations.empty();
    for (int i = 0; i < kPairs; ++i) {
        result.pairs[i] = observations.empty() ? PairResult{PairOutcome::Erratic, -1, false}
                                               : JudgePair(observations, i);
        const PairOutcome outcome = result.pairs[i].outcome;
        if (outcome != PairOutcome::StuckHigh && outcome != PairOutcome::StuckLow) result.noPlug = false;
    }
    for (PairResult& pair : result.pairs) {
        if (result.noPlug) pair.outcome = PairOutcome::NoPlug;
        if (pair.outcome != PairOutcome::Ok) ++result.faulty;
    }
    return result;
}

void AddRound(RoundsResult* total, const CheckResult& round) {
    CheckResult& result = total->result;
    const bool first = total->rounds++ == 0;
    result.noPlug = round.noPlug && (first || result.noPlug);
    result.faulty = 0;
    for (int i = 0; i < kPairs; ++i) {
        PairResult& pair = result.pairs[i];
        if (round.pairs[i].outcome != PairOutcome::Ok && total->failedRounds[i]++ == 0) pair = round.pairs[i];
        if (first && total->failedRounds[i] == 0) pair = round.pairs[i];
        // A round without the plug, among rounds with it: its inputs were stuck.
        if (pair.outcome == PairOutcome::NoPlug && !result.noPlug)
            pair.outcome = pair.level ? PairOutcome::StuckHigh : PairOutcome::StuckLow;
        if (total->failedRounds[i] != 0) ++result.faulty;
    }
    total->lowWhileHigh |= round.lowWhileHigh;
    total->highWhileLow |= round.highWhileLow;
}

void NameTimingFaults(RoundsResult* total, const CheckResult& recheck, const CheckResult& slowRun) {
    CheckResult& result = total->result;
    for (int i = 0; i < kPairs; ++i) {
        if (total->failedRounds[i] == 0) continue;
        const bool failedAgain = recheck.pairs[i].outcome != PairOutcome::Ok;
        PairOutcome& outcome = result.pairs[i].outcome;
        // A line that moved while read is a loose contact, not a slow one.
        const bool unstable = outcome == PairOutcome::Unstable;
        if (total->failedRounds[i] + (failedAgain ? 1 : 0) == 1) {
            outcome = PairOutcome::Intermittent;
        } else if (!unstable && total->failedRounds[i] == total->rounds && failedAgain &&
                   slowRun.pairs[i].outcome == PairOutcome::Ok) {
            const bool rise = Bit(total->lowWhileHigh | recheck.lowWhileHigh, i);
            const bool fall = Bit(total->highWhileLow | recheck.highWhileLow, i);
            outcome = rise && fall ? PairOutcome::SlowBoth : rise ? PairOutcome::SlowRise : PairOutcome::SlowFall;
        } else {
            continue;
        }
        result.noPlug = false;
    }
    if (result.noPlug) return;
    for (PairResult& pair : result.pairs)  // no plug after all: the others were stuck
        if (pair.outcome == PairOutcome::NoPlug) pair.outcome = pair.level ? PairOutcome::StuckHigh : PairOutcome::StuckLow;
}

}  // namespace portcheck
