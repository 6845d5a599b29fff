// The recorder of --watch on a scripted port and clock: what it hands on
// (changes, blind intervals), how often it reads the counter, the median
// kept in bounded memory, and where it stops.
#include <gtest/gtest.h>

#include <vector>

#include "Calibration.h"
#include "CheckArgs.h"
#include "IntervalHistogram.h"
#include "Recorder.h"

using namespace portcheck;

namespace {

// A port whose n-th sample is scripted, and a counter that advances 1 tick
// per sample, plus jumps where the test puts them (Windows running
// something else).
struct ScriptedPort {
    std::vector<uint32_t> samples;  // the last one repeats
    size_t reads = 0;
    int64_t jumpAt = -1;            // before this read, the clock jumps
    int64_t jumpTicks = 0;
    int counterReads = 0;

    int64_t Now() const { return int64_t(reads) + (jumpAt >= 0 && int64_t(reads) >= jumpAt ? jumpTicks : 0); }
};

struct SampleReader {
    ScriptedPort* port;
    uint32_t operator()() {
        const size_t n = port->reads++;
        return port->samples[n < port->samples.size() ? n : port->samples.size() - 1];
    }
};

struct CounterReader {
    ScriptedPort* port;
    int64_t operator()() {
        ++port->counterReads;
        return port->Now();
    }
};

struct NeverStop {
    bool operator()() const { return false; }
};

std::vector<WatchEvent> Events(EventQueue& queue) {
    std::vector<WatchEvent> events;
    WatchEvent event;
    while (queue.TryPop(&event)) events.push_back(event);
    return events;
}

// Records `port` until tick `end`, each tick taken as 100 ns.
std::vector<WatchEvent> RecordUntil(ScriptedPort& port, int64_t end, uint32_t stride, SampleTiming* timing,
                                    EventQueue& queue) {
    SampleReader reader{&port};
    CounterReader counter{&port};
    NeverStop stop;
    RecordStart start;
    start.mask = 0xF800;
    start.sample = reader() & start.mask;
    start.tick = port.Now();
    start.stride = stride;
    start.endTick = end;
    Record(reader, counter, stop, start, *timing, queue);
    return Events(queue);
}

// `quiet` samples of 0x7F00, then those of `then`; 5000 ticks go by without
// a sample before read `jumpAt`. Recorded in strides of 8 until tick 8000.
std::vector<WatchEvent> RecordAGap(size_t quiet, const std::vector<uint32_t>& then, int64_t jumpAt,
                                   SampleTiming* timing) {
    ScriptedPort port;
    port.samples.assign(quiet, 0x7F00);
    port.samples.insert(port.samples.end(), then.begin(), then.end());
    port.jumpAt = jumpAt;
    port.jumpTicks = 5000;
    EventQueue queue;
    return RecordUntil(port, 8000, 8, timing, queue);
}

}  // namespace

TEST(WatchRecorder, HandsOnEachChangeWithTheCounterReadAtIt) {
    ScriptedPort port;
    port.samples = {0x7F00, 0x7F00, 0x7F00, 0xBF07, 0x7F00, 0x7F00, 0x7F00, 0x7F00, 0x3F00};
    EventQueue queue;
    SampleTiming timing(RuleFor(100, 100, 16));
    const std::vector<WatchEvent> events = RecordUntil(port, 64, 16, &timing, queue);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].sample, 0xB800u) << "masked to the watched lines";
    EXPECT_EQ(events[0].tick, 4);
    EXPECT_EQ(events[0].kind, WatchEvent::Change);
    EXPECT_EQ(events[1].sample, 0x7800u);
    EXPECT_EQ(events[1].tick, 5);
    EXPECT_EQ(events[2].sample, 0x3800u);
    EXPECT_EQ(events[2].tick, 9);
    EXPECT_EQ(port.counterReads, 3 + 4) << "at each change, then once in 16 samples until tick 64";
    EXPECT_EQ(timing.samples(), 72u);
    EXPECT_EQ(timing.blind().count, 0u);
}

TEST(WatchRecorder, ALongGapIsBlindAndTheChangeAfterItUncertain) {
    SampleTiming timing(RuleFor(100, 100, 8));
    const std::vector<WatchEvent> events = RecordAGap(2000, {0x3F00}, 2000, &timing);  // just before the change
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, WatchEvent::Blind);
    EXPECT_EQ(events[0].since, 1993);
    EXPECT_EQ(events[0].tick, 7001);
    EXPECT_DOUBLE_EQ(timing.blind().longestNs, (7001 - 1993) * 100.0) << "the whole block could hide a pulse";
    EXPECT_DOUBLE_EQ(timing.blind().totalNs, (7001 - 1993) * 100.0);
    EXPECT_EQ(events[1].kind, WatchEvent::UncertainChange);
    EXPECT_EQ(events[1].tick, 7001);
    EXPECT_EQ(timing.blind().count, 1u);
    EXPECT_DOUBLE_EQ(timing.longestNs(), 500800);
    EXPECT_NEAR(timing.MedianNs(), 100, 5);
}

TEST(WatchRecorder, AChangeInTheFirstSampleAfterABlindBlockIsUncertainToo) {
    SampleTiming timing(RuleFor(100, 100, 8));
    // The block ending at read 1993 loses the time after its last sample, before its counter read.
    const std::vector<WatchEvent> events = RecordAGap(1993, {0x3F00, 0x7F00}, 1993, &timing);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, WatchEvent::Blind);
    EXPECT_EQ(events[0].tick, 6993);
    EXPECT_EQ(events[1].kind, WatchEvent::UncertainChange) << "it may have come any time in the gap";
    EXPECT_EQ(events[1].tick, 6994);
    EXPECT_EQ(events[2].kind, WatchEvent::Change) << "a sample after the gap came before it";
}

TEST(WatchRecorder, AGapThatCouldHideATrustedPulseIsBlindThoughFewerThanTenMedians) {
    // A sample a microsecond (10 ticks of 100 ns), read one at a time; a 9 us gap.
    const BlindRule rule = RuleFor(100, 1000, 1);
    ASSERT_LT(rule.trustedNs, 9000) << "a 5 us pulse fits in the gap";
    SampleTiming timing(rule);
    for (int i = 0; i < 2000; ++i) ASSERT_FALSE(timing.Block(i * 10, i * 10 + 10, 1));
    EXPECT_TRUE(timing.Block(20000, 20090, 1)) << "9 us without a sample could hide a 5 us pulse";
    EXPECT_EQ(timing.blind().count, 1u);
}

TEST(WatchRecorder, ABlocksGapIsBoundedByItsSamplesNotGuessedFromTheMedian) {
    // Blocks of 32 samples of 100 ns: the bound is the block less 31 floors.
    const BlindRule rule = RuleFor(100, 100, 32);
    SampleTiming timing(rule);
    EXPECT_FALSE(timing.Block(0, 32, 32));
    // The same 32 samples with 3 us more in the block: that much could be one gap.
    EXPECT_TRUE(timing.Block(32, 32 + 32 + 30, 32));
    EXPECT_DOUBLE_EQ(timing.blind().totalNs, 6200);
}

TEST(WatchRecorder, AFullQueueEndsInABlindIntervalAndTheStopIsAskedWhileWaiting) {
    ScriptedPort port;
    for (int i = 0; i < 64; ++i) port.samples.push_back(i % 2 ? 0x7F00 : 0x3F00);  // a change every sample
    port.samples.push_back(0x7F00);
    EventQueue queue(8);
    SampleTiming timing(RuleFor(100, 100, 4));
    SampleReader reader{&port};
    CounterReader counter{&port};
    RecordStart start;
    start.mask = 0xF800;
    start.stride = 4;
    start.sample = 0x7800;
    start.endTick = 5000;
    int waits = 0;
    std::vector<WatchEvent> taken;
    // The writer gets to run after 10 asks; meanwhile 5 us go by.
    auto idle = [&] {
        if (++waits % 10 != 0) return;
        port.jumpAt = static_cast<int64_t>(port.reads);
        port.jumpTicks += 50;
        for (const WatchEvent& event : Events(queue)) taken.push_back(event);
    };
    NeverStop stop;
    Record(reader, counter, stop, start, timing, queue, idle);
    for (const WatchEvent& event : Events(queue)) taken.push_back(event);
    ASSERT_GT(waits, 0);
    int blind = 0, changes = 0;
    for (const WatchEvent& event : taken) (event.kind == WatchEvent::Blind ? blind : changes)++;
    EXPECT_EQ(changes, 64) << "every change kept";
    EXPECT_GT(blind, 0) << "the waits are reported";
    EXPECT_EQ(static_cast<uint64_t>(blind), timing.blind().count);

    // Nobody takes anything: a stop ends the wait.
    EventQueue stuck(8);
    int asked = 0;
    auto stopSoon = [&asked] { return ++asked > 1000; };
    ScriptedPort again;
    again.samples = port.samples;
    SampleReader reader2{&again};
    CounterReader counter2{&again};
    Record(reader2, counter2, stopSoon, start, timing, stuck);
    EXPECT_GT(asked, 1000);
}

TEST(WatchRecorder, StopsWhenAsked) {
    ScriptedPort port;
    port.samples = {0};
    EventQueue queue;
    SampleTiming timing(RuleFor(100, 100, 4));
    SampleReader reader{&port};
    CounterReader counter{&port};
    int asked = 0;
    auto stop = [&asked] { return ++asked == 3; };
    RecordStart start;
    start.mask = 0xF800;
    start.stride = 4;
    EXPECT_EQ(Record(reader, counter, stop, start, timing, queue), 12);
    EXPECT_EQ(timing.samples(), 12u);
}

TEST(WatchRecorder, TheMedianComesFromBoundedCountsToABucketsWidth) {
    IntervalHistogram histogram;
    EXPECT_EQ(histogram.MedianNs(), 0);
    histogram.Add(50, 1000);
    histogram.Add(2000000, 400);
    EXPECT_NEAR(histogram.MedianNs(), 50, 50 * 0.05);
    histogram.Add(1500, 700);
    EXPECT_NEAR(histogram.MedianNs(), 1500, 1500 * 0.05);
    histogram.Add(0.01, 5000);
    EXPECT_LT(histogram.MedianNs(), 0.1);
    histogram.Add(1e30, 20000);  // beyond the last bucket: counted there
    EXPECT_GT(histogram.MedianNs(), 1e15);
    EXPECT_EQ(histogram.count(), 27100u);
    EXPECT_LE(sizeof histogram, 9000u) << "no growth with the samples";
}

TEST(WatchRecorder, StrideKeepsTheCounterUnderTwoPercentOfTheLoop) {
    EXPECT_EQ(StrideFor(2048, 2048, 100).stride, 1u) << "a free counter: read at every sample";
    EXPECT_EQ(StrideFor(20480, 20480 + 200, 100).stride, 1u);
    EXPECT_EQ(StrideFor(20480, 20480 + 500, 100).stride, 2u);
    EXPECT_EQ(StrideFor(2048, 4096, 100).stride, kLongestStride) << "a counter as slow as the port";
    EXPECT_EQ(kLongestStride, 32u) << "a longer block leaves too much of its time unknown";
    EXPECT_EQ(StrideFor(2048 * 12, 2048 * 24, 100).stride, 2u) << "1.2 us samples: blocks of 4 us at most";
    EXPECT_EQ(StrideFor(100, 100000, 100).stride, kLongestStride);
    EXPECT_DOUBLE_EQ(StrideFor(2048 * 3, 2048 * 4, 100).sampleNs, 300);
}

TEST(WatchArgs, WatchTakesLinesSecondsAndAFileAndOnlyItsOwnOptions) {
    ParsedArgs parsed = ParseCheckArgs({"--watch", "--lines", "all", "--for", "60", "--vcd", "trace.vcd", "$378"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.command, Command::Watch);
    EXPECT_EQ(parsed.options.lines, WatchedLines::All);
    EXPECT_EQ(parsed.options.seconds, 60);
    EXPECT_EQ(parsed.options.vcdPath, "trace.vcd");
    EXPECT_EQ(parsed.options.base, 0x378);
    EXPECT_EQ(ParseCheckArgs({"--watch", "--vcd", "t.vcd", "--max-size", "250", "0x378"}).options.maxSizeMb, 250);
    parsed = ParseCheckArgs({"--watch", "0xD010"});
    EXPECT_EQ(parsed.options.lines, WatchedLines::Inputs);
    EXPECT_EQ(parsed.options.seconds, 0) << "until Ctrl+C";
    EXPECT_TRUE(parsed.options.vcdPath.empty());

    const struct {
        std::vector<std::string> args;
        const char* error;
    } bad[] = {
        {{"--watch"}, "missing BASE"},
        {{"--watch", "--lines"}, "--lines needs a value: inputs or all"},
        {{"--watch", "--lines", "some", "0x378"}, "unknown lines 'some'; use inputs or all"},
        {{"--watch", "--for", "0", "0x378"}, "--for takes seconds from 1 to 604800, not '0'"},
        {{"--watch", "--for", "1.5", "0x378"}, "not '1.5'"},
        {{"--watch", "--vcd"}, "--vcd needs a file name"},
        {{"--for", "5", "0x378"}, "--for goes with --watch"},
        {{"--probe", "--vcd", "x.vcd", "0x378"}, "--vcd goes with --watch"},
        {{"--watch", "--plug", "data", "0x378"}, "--plug is for the loopback test, not for --watch"},
        {{"--watch", "--ecr", "0x778", "0x378"}, "--ecr goes with the loopback test, --probe or --set-mode"},
        {{"--watch", "--probe", "0x378"}, "--watch and --probe: one at a time"},
        {{"--watch", "0x37A"}, "did you mean 0x378?"},
        {{"--watch", "0x1F0"}, "among the PC's own addresses"},
        {{"--watch", "--max-size", "10", "0x378"}, "--max-size goes with --vcd"},
        {{"--watch", "--vcd", "x.vcd", "--max-size", "0", "0x378"}, "--max-size takes megabytes from 1 to 1000000"},
        {{"--max-size", "5", "0x378"}, "--max-size goes with --watch"},
    };
    for (const auto& c : bad) {
        parsed = ParseCheckArgs(c.args);
        EXPECT_FALSE(parsed.ok) << c.error;
        EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
    }
    EXPECT_NE(std::string(CheckUsage()).find("PortCheck --watch [--lines inputs|all] [--for SECONDS] [--vcd FILE [--max-size MB]] [--force] BASE"),
              std::string::npos);
    EXPECT_NE(std::string(CheckUsage()).find("  --lines all     all 17 lines"), std::string::npos) << CheckUsage();
}
