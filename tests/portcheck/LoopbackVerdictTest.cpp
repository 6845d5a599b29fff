// Judging what the inputs read after each pattern, for good and faulty
// cables: every result a pair can get, and the no-plug verdict.
#include <gtest/gtest.h>

#include "Cable.h"

using namespace portcheck;

namespace {

bool Bit(Levels levels, int i) { return (levels >> i) & 1; }

Levels Swap(Levels levels, int a, int b) {
    Levels swapped = levels & ~((1u << a) | (1u << b));
    return swapped | Bit(levels, a) << b | Bit(levels, b) << a;
}

void ExpectOutcomes(const CheckResult& result, std::initializer_list<PairOutcome> outcomes) {
    int i = 0;
    for (PairOutcome outcome : outcomes) {
        EXPECT_EQ(result.pairs[i].outcome, outcome) << "pair " << i;
        ++i;
    }
}

constexpr PairOutcome kOk = PairOutcome::Ok;

}  // namespace

TEST(PatternCheck, PatternsDriveEveryOutputHighAndLowInALevelSequenceOfItsOwn) {
    const std::vector<Levels>& patterns = TestPatterns();
    ASSERT_EQ(patterns.size(), 12u);
    for (int a = 0; a < kPairs; ++a)
        for (int b = 0; b < kPairs; ++b) {
            bool differ = false;
            for (Levels p : patterns) differ |= Bit(p, a) != Bit(p, b);
            EXPECT_EQ(differ, a != b) << a << " " << b;
        }
}

TEST(PatternCheck, GoodCablePasses) {
    const CheckResult result = Evaluate(Through([](Levels out) { return out; }));
    ExpectOutcomes(result, {kOk, kOk, kOk, kOk, kOk});
    EXPECT_EQ(result.faulty, 0);
    EXPECT_FALSE(result.noPlug);
}

TEST(PatternCheck, StuckInputsAreNamedWithTheirLevel) {
    const CheckResult result = Evaluate(Through([](Levels out) { return (out & ~0x02) | 0x10; }));
    ExpectOutcomes(result, {kOk, PairOutcome::StuckLow, kOk, kOk, PairOutcome::StuckHigh});
    EXPECT_FALSE(result.pairs[1].level);
    EXPECT_TRUE(result.pairs[4].level);
    EXPECT_EQ(result.faulty, 2);
    EXPECT_FALSE(result.noPlug);
}

TEST(PatternCheck, CrossedWiresNameTheOutputEachInputFollows) {
    const CheckResult result = Evaluate(Through([](Levels out) { return Swap(out, 1, 3); }));
    ExpectOutcomes(result, {kOk, PairOutcome::FollowsOther, kOk, PairOutcome::FollowsOther, kOk});
    EXPECT_EQ(result.pairs[1].followedPair, 3);
    EXPECT_EQ(result.pairs[3].followedPair, 1);
    EXPECT_EQ(result.faulty, 2);
}

TEST(PatternCheck, InputShortedToAnotherInputFollowsThatOutput) {
    // Inputs 0 and 2 joined, wire 2 broken: both read output 0.
    const CheckResult result =
        Evaluate(Through([](Levels out) { return (out & ~0x04) | Bit(out, 0) << 2; }));
    ExpectOutcomes(result, {kOk, kOk, PairOutcome::FollowsOther, kOk, kOk});
    EXPECT_EQ(result.pairs[2].followedPair, 0);
}

TEST(PatternCheck, InputMovingWithNoSingleOutputIsErratic) {
    // Outputs 0 and 1 shorted together drive both inputs low when either is low.
    const CheckResult result = Evaluate(Through([](Levels out) {
        const Levels both = Bit(out, 0) && Bit(out, 1) ? 0x03 : 0x00;
        return (out & ~0x03) | both;
    }));
    ExpectOutcomes(result, {PairOutcome::Erratic, PairOutcome::Erratic, kOk, kOk, kOk});
    EXPECT_EQ(result.faulty, 2);
}

TEST(PatternCheck, NoInputMovingAtAllIsNoPlug) {
    const CheckResult result = Evaluate(Through([](Levels) { return Levels{0x1D}; }));
    EXPECT_TRUE(result.noPlug);
    EXPECT_EQ(result.faulty, 5);
    for (int i = 0; i < kPairs; ++i) {
        EXPECT_EQ(result.pairs[i].outcome, PairOutcome::NoPlug) << i;
        EXPECT_EQ(result.pairs[i].level, i != 1) << i;
    }
    EXPECT_FALSE(Evaluate({}).noPlug);
    EXPECT_EQ(Evaluate({}).faulty, 5);  // nothing seen is nothing passed
}

// Inputs `slowRise` read their old level just after their output rose,
// `slowFall` after it fell; the others follow.
std::vector<Observation> Late(Levels slowRise, Levels slowFall) {
    std::vector<Observation> seen = Through([](Levels out) { return out; });
    for (Observation& o : seen) {
        const Levels rose = o.outputs & ~o.before & slowRise, fell = o.before & ~o.outputs & slowFall;
        o.inputs = (o.inputs & ~(rose | fell)) | (o.before & (rose | fell));
    }
    return seen;
}

const CheckResult kAllPass = Evaluate(Through([](Levels out) { return out; }));

// A slow edge is named only where the reads show one: the input read its
// old level after its output changed, in every round and once more, and
// follows with the long wait. A line still stuck with the long wait is no
// slow edge; one that moved while read stays a loose contact.
TEST(PatternCheck, SlowEdgesOnlyWhereTheInputReadItsOldLevelJustAfterTheChange) {
    RoundsResult rounds;
    std::vector<Observation> seen = Late(0x01, 0x00);
    for (Observation& o : seen) o.inputs &= ~0x04;  // pair 2 stuck low
    seen[1].unstable = 0x02;
    AddRound(&rounds, Evaluate(seen));
    NameTimingFaults(&rounds, Evaluate(seen), Evaluate(Through([](Levels out) { return out & ~0x04; })));
    ExpectOutcomes(rounds.result, {PairOutcome::SlowRise, PairOutcome::Unstable, PairOutcome::StuckLow, kOk, kOk});
    EXPECT_EQ(rounds.result.faulty, 3);

    RoundsResult both;
    for (int round = 0; round < 3; ++round) AddRound(&both, Evaluate(Late(0x08, 0x18)));
    NameTimingFaults(&both, Evaluate(Late(0x08, 0x18)), kAllPass);
    ExpectOutcomes(both.result, {kOk, kOk, kOk, PairOutcome::SlowBoth, PairOutcome::SlowFall});

    RoundsResult allLow;
    const CheckResult low = Evaluate(Through([](Levels) { return Levels{0}; }));
    AddRound(&allLow, low);
    NameTimingFaults(&allLow, low, low);
    EXPECT_TRUE(allLow.result.noPlug) << "nothing passed with the long wait either";
}

// A contact that opens once in 20 rounds: intermittent, not a slow edge,
// though it passes once more and with the long wait; so also a line late in
// one round only. A line stuck in every round stays stuck.
TEST(PatternCheck, AOneOffDropoutIsIntermittent) {
    RoundsResult rounds;
    for (int round = 0; round < 20; ++round) {
        std::vector<Observation> seen = Through([](Levels out) { return out; });
        if (round == 7) seen[6].inputs &= ~0x01;  // pair 0 reads low once, its output high all along
        if (round == 9) seen = Late(0x02, 0x00);
        AddRound(&rounds, Evaluate(seen));
    }
    NameTimingFaults(&rounds, kAllPass, kAllPass);
    ExpectOutcomes(rounds.result, {PairOutcome::Intermittent, PairOutcome::Intermittent, kOk, kOk, kOk});
    EXPECT_EQ(rounds.failedRounds[0], 1);

    RoundsResult stuck;
    const CheckResult stuckLow = Evaluate(Through([](Levels out) { return out & ~0x10; }));
    AddRound(&stuck, stuckLow);
    NameTimingFaults(&stuck, stuckLow, stuckLow);
    ExpectOutcomes(stuck.result, {kOk, kOk, kOk, kOk, PairOutcome::StuckLow});
}
