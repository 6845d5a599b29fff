#include "PatternCheck.h"

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

CheckResult Evaluate(const std::vector<Observation>& observations) {
    CheckResult result{};
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

}  // namespace portcheck
