// What --watch makes of the changes: the VCD file, the live lines and their
// folding into counts, the edges and pulses per line, and the summary.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

#include "LineStats.h"
#include "LiveOutput.h"
#include "ConsoleBacklog.h"
#include "EventWriter.h"
#include "ThreadPlacement.h"
#include "VcdFile.h"
#include "VcdSize.h"
#include "WatchLines.h"
#include "WatchSummary.h"

using namespace portcheck;

namespace {

const uint32_t kAllHigh = 0x7800;   // status 0x7F: every input pin high (BUSY inverted)
const uint32_t kAckLow = 0x3800;    // pin 10 low
const uint32_t kBusyLow = 0xF800;   // pin 11 low

std::string TempFile(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(WatchOutput, VcdHasAWirePerLineTheLevelsAtZeroThenOnlyChanges) {
    VcdText vcd;
    vcd.Begin(WatchedPins(WatchedLines::Inputs), kAllHigh, "a test", 1000);
    vcd.Change(0, kAllHigh, kAckLow);
    vcd.Change(1200, kAckLow, kAllHigh);
    vcd.Change(500000, kAllHigh, kBusyLow);
    vcd.Blind(600000, 700000);
    vcd.Change(700000, kBusyLow, kAllHigh);
    vcd.End(1000000, "the end");
    EXPECT_EQ(vcd.pending(),
              "$comment a test $end\n"
              "$timescale 1 us $end\n"
              "$scope module port $end\n"
              "$var wire 1 ! pin10_nACK $end\n"
              "$var wire 1 \" pin11_BUSY $end\n"
              "$var wire 1 # pin12_PAPER_OUT $end\n"
              "$var wire 1 $ pin13_SELECT $end\n"
              "$var wire 1 % pin15_nERROR $end\n"
              "$var wire 1 & blind $end\n"
              "$upscope $end\n"
              "$enddefinitions $end\n"
              "#0\n$dumpvars\n1!\n1\"\n1#\n1$\n1%\n0&\n$end\n"
              "#1\n0!\n"
              "#2\n1!\n"  // a change within the same microsecond goes one later
              "#500\n0\"\n"
              "#600\n1&\n"
              "#700\n0&\n1\"\n"
              "#1000\n$comment the end $end\n");
}

TEST(WatchOutput, TimescaleIsAsFineAsTheSamplesAndTimesDoNotDrift) {
    EXPECT_EQ(VcdUnitNs(1500), 1000);
    EXPECT_EQ(VcdUnitNs(800), 100) << "faster than 1 MHz: 100 ns or finer";
    EXPECT_EQ(VcdUnitNs(81), 10);
    EXPECT_EQ(VcdUnitNs(0.5), 1);
    // 10,000 changes of one wire 0.8 us apart: 8,000 us, each at its own time.
    VcdText vcd;
    vcd.Begin(WatchedPins(WatchedLines::Inputs), kAllHigh, "drift", VcdUnitNs(800));
    uint32_t level = kAllHigh;
    for (int i = 1; i <= 10000; ++i) {
        const uint32_t next = level == kAllHigh ? kAckLow : kAllHigh;
        vcd.Change(i * 800LL, level, next);
        level = next;
    }
    const std::string text = vcd.pending();
    EXPECT_NE(text.find("$timescale 100 ns $end\n"), std::string::npos);
    EXPECT_NE(text.find("\n#8\n"), std::string::npos);
    const size_t last = text.rfind('#');
    EXPECT_EQ(text.substr(last, text.find('\n', last) - last), "#80000") << "8,000 us";
}

TEST(WatchOutput, TheFinalTimestampIsAlwaysWritten) {
    VcdText vcd;
    vcd.Begin(WatchedPins(WatchedLines::Inputs), kAllHigh, "end", 1000);
    vcd.Change(5000, kAllHigh, kAckLow);
    vcd.Change(5100, kAckLow, kAllHigh);  // one later: #6
    vcd.End(5900, "");
    const std::string text = vcd.pending();
    EXPECT_EQ(text.substr(text.size() - 9), "#6\n1!\n#7\n") << "after the last change, even at the same time";
}

TEST(WatchOutput, TheBlindTextsAreBuiltFromTheRule) {
    BlindRule rule = RuleFor(100, 1000, 1);
    EXPECT_DOUBLE_EQ(rule.trustedNs, 2 * (1000 + 2 * 100));
    EXPECT_EQ(MayBeMissedText(rule), "pulses narrower than 2.400 us may be missed");
    EXPECT_EQ(BlindRuleText(rule),
              "pulses narrower than 2.400 us may be missed where no sample came for 2.400 us or more (blind)");
    rule.trustedNs = 7500;
    TickScale scale(1000000000, 0);
    VcdText vcd;
    EventWriter writer(WatchedPins(WatchedLines::Inputs), kAllHigh, rule, scale, &vcd);
    writer.Begin("here", 1000);
    EXPECT_EQ(vcd.pending().substr(0, vcd.pending().find('\n')),
              "$comment here; pulses narrower than 7.500 us may be missed where no sample came for 7.500 us or more "
              "(blind): the wire blind is 1 there $end");
}

TEST(WatchOutput, ChangesAndBlindIntervalsGiveTheVcdTheLiveLinesAndTheSameEdges) {
    const BlindRule rule = RuleFor(100, 1000, 1);
    TickScale scale(10000000, 0);  // 100 ns ticks
    VcdText vcd;
    EventWriter writer(WatchedPins(WatchedLines::Inputs), kAllHigh, rule, scale, &vcd);
    writer.Begin("edges", 1000);
    EXPECT_EQ(writer.Take({100, 90, kAckLow, WatchEvent::Change}), "         10 us  pin 10 /ACK low\n");
    EXPECT_EQ(writer.Take({500, 100, 0, WatchEvent::Blind}),
              "         10 us  blind for 40.0 us: a pulse narrower than 2.400 us may be missing here\n");
    EXPECT_EQ(writer.Take({500, 100, kAllHigh, WatchEvent::UncertainChange}),
              "         50 us  pin 10 /ACK high (came during the blind interval before)\n");
    writer.End(1000, "");
    EXPECT_NE(vcd.pending().find("#10\n0!\n1&\n#50\n0&\n1!\n#100\n"), std::string::npos) << vcd.pending();
    EXPECT_EQ(writer.lines()[0].falling, 1u);
    EXPECT_EQ(writer.lines()[0].rising, 1u);
    EXPECT_EQ(writer.lines()[0].shortestLowNs, -1) << "its end came in a blind interval";
}

TEST(WatchOutput, AllLinesAreSeventeenWiresNamedFromTheTableOfPins) {
    const std::vector<const Pin*> pins = WatchedPins(WatchedLines::All);
    ASSERT_EQ(pins.size(), 17u);
    EXPECT_EQ(WireName(*pins[0]), "pin1_nSTROBE");
    EXPECT_EQ(WireName(*pins[16]), "pin17_nSELECT_IN");
    EXPECT_EQ(SampleMask(WatchedLines::All), 0x0FF8FFu);
    EXPECT_EQ(SampleMask(WatchedLines::Inputs), 0xF800u);
    // Control 0x0B puts all four control pins low, 0x04 all four high.
    for (int pin : {1, 14, 16, 17}) {
        EXPECT_FALSE(PinHigh(0x0B0000, PinAt(pin))) << pin;
        EXPECT_TRUE(PinHigh(0x040000, PinAt(pin))) << pin;
    }
}

TEST(WatchOutput, AVcdThatCannotBeWrittenSaysWhy) {
    VcdFile vcd;
    EXPECT_FALSE(vcd.Open("Z:\\no such folder here\\watch.vcd"));
    EXPECT_EQ(vcd.error(), "cannot write the VCD file \"Z:\\no such folder here\\watch.vcd\": no such folder");
    std::string text = "x";
    EXPECT_FALSE(vcd.Write(text));
    EXPECT_FALSE(vcd.Commit());
}

TEST(WatchOutput, AFileThereIsReplacedOnlyByACompleteRecording) {
    const std::string path = TempFile("watch-output-kept.vcd");
    { std::ofstream(path) << "the user's"; }
    {
        VcdFile vcd;
        ASSERT_TRUE(vcd.Open(path)) << vcd.error();
        EXPECT_EQ(vcd.partialPath(), path + ".partial");
        std::string text = "recorded\n";
        ASSERT_TRUE(vcd.Write(text));
        EXPECT_EQ(ReadFile(path), "the user's") << "untouched while recording";
        EXPECT_EQ(ReadFile(path + ".partial"), "recorded\n");
    }  // nothing completed: the partial file goes, the user's stays
    EXPECT_EQ(ReadFile(path), "the user's");
    EXPECT_EQ(GetFileAttributesA((path + ".partial").c_str()), INVALID_FILE_ATTRIBUTES);
    { std::ofstream(path + ".partial") << "somebody's"; }
    {
        VcdFile vcd;
        ASSERT_TRUE(vcd.Open(path));
        EXPECT_EQ(vcd.partialPath(), path + ".partial2") << "a file there is never taken over";
        std::string text = "complete\n";
        ASSERT_TRUE(vcd.Write(text));
        ASSERT_TRUE(vcd.Commit()) << vcd.error();
    }
    EXPECT_EQ(ReadFile(path), "complete\n");
    EXPECT_EQ(ReadFile(path + ".partial"), "somebody's");
    EXPECT_EQ(GetFileAttributesA((path + ".partial2").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(path.c_str());
    DeleteFileA((path + ".partial").c_str());
}

TEST(WatchOutput, LiveLinesGiveTheTimeAndTheLinesThatChanged) {
    LiveOutput live(WatchedPins(WatchedLines::Inputs), RuleFor(100, 1000, 1));
    EXPECT_EQ(live.Start(kAllHigh),
              "          0 us  pin 10 /ACK high, pin 11 BUSY high, pin 12 PAPER OUT high, pin 13 SELECT high, "
              "pin 15 /ERROR high\n");
    EXPECT_EQ(live.Change(kAllHigh, kAckLow, 1234567890), "  1,234,567 us  pin 10 /ACK low\n");
    EXPECT_EQ(live.Change(kAckLow, 0xB000, 1234568890), "  1,234,568 us  pin 11 BUSY low, pin 15 /ERROR low\n");
}

TEST(WatchOutput, MoreChangesThanAConsolePrintsAreCountedPerSecond) {
    LiveOutput live(WatchedPins(WatchedLines::Inputs), RuleFor(100, 1000, 1), 2);
    const int64_t ms = 1000000;
    EXPECT_NE(live.Change(kAllHigh, kAckLow, 1 * ms), "");
    EXPECT_NE(live.Change(kAckLow, kAllHigh, 2 * ms), "");
    EXPECT_EQ(live.Change(kAllHigh, kAckLow, 3 * ms), "");
    EXPECT_EQ(live.Change(kAckLow, kAllHigh, 4 * ms), "");
    EXPECT_EQ(live.Reached(999 * ms), "");
    EXPECT_EQ(live.Change(kAllHigh, kAckLow, 1500 * ms), "4 changes in the last second, recording all\n");
    EXPECT_EQ(live.Reached(2100 * ms), "1 change in the last second, recording all\n");
    EXPECT_EQ(live.Change(kAckLow, kAllHigh, 2500 * ms), "  2,500,000 us  pin 10 /ACK high\n")
        << "a quiet second brings the lines back";
    EXPECT_EQ(live.Reached(5000 * ms), "");
}

TEST(WatchOutput, PulsesAreMeasuredOnlyBetweenEdgesSeenToASample) {
    LineStats stats(WatchedPins(WatchedLines::Inputs), kAllHigh);
    stats.Change(kAckLow, 1000, true);
    stats.Change(kAllHigh, 1500, true);   // low for 500
    stats.Change(kAckLow, 2500, true);    // high for 1000
    stats.Change(kAllHigh, 2550, false);  // after a blind interval: when is unknown, so no low of 50
    stats.Change(kAckLow, 2600, true);    // and no high of 50
    stats.Change(kAllHigh, 3000, true);   // low for 400
    stats.Change(kAckLow, 3300, true);    // high for 300
    const LineRecord& ack = stats.lines()[0];
    EXPECT_EQ(ack.pin->number, 10);
    EXPECT_EQ(ack.falling, 4u);
    EXPECT_EQ(ack.rising, 3u);
    EXPECT_EQ(ack.shortestLowNs, 400);
    EXPECT_EQ(ack.shortestHighNs, 300);
    EXPECT_FALSE(ack.high);
    EXPECT_EQ(stats.lines()[1].rising + stats.lines()[1].falling, 0u);
    EXPECT_EQ(stats.lines()[1].shortestHighNs, -1);
    EXPECT_TRUE(stats.lines()[1].high);
}

TEST(WatchOutput, SummaryGivesRatesIntervalsTheTrustedWidthBlindTimeAndEachLine) {
    LineStats stats(WatchedPins(WatchedLines::Inputs), kAllHigh);
    for (int i = 1; i <= 2000; ++i) stats.Change(i % 2 ? kAckLow : kAllHigh, i * 500000LL, true);
    WatchTotals totals;
    totals.seconds = 1.0;
    totals.samples = 12345678;
    totals.medianNs = 81;
    totals.longestNs = 1234567;
    totals.rule = RuleFor(100, 81, 32);
    totals.blind = {3, 1234567, 23456789};
    const std::string text = WatchSummary(totals, stats.lines());
    EXPECT_EQ(text.substr(0, text.find("  pin ")),
              "Recorded 1.000 s: 12,345,678 samples, 12,345,678 a second\n"
              "  between samples: median 0.081 us, longest 1234.6 us\n"
              "  pulses narrower than 1.817 us may be missed where no sample came for 1.817 us or more (blind)\n"
              "  blind intervals: 3, the longest 1234.6 us, 23,457 us in all\n");
    EXPECT_NE(text.find("  pin  signal       rising  falling  shortest high  shortest low  at the end\n"
                        "   10  /ACK          1,000    1,000       500.0 us      500.0 us  high\n"
                        "   11  BUSY              0        0              -             -  high\n"),
              std::string::npos)
        << text;
    totals.blind = {};
    EXPECT_NE(WatchSummary(totals, stats.lines()).find("  blind intervals: none\n"), std::string::npos);
}

TEST(WatchOutput, LiveLinesPrintBlindIntervalsAsTheyComeAndNeverClaimAllWhileBlind) {
    const int64_t ms = 1000000;
    LiveOutput live(WatchedPins(WatchedLines::Inputs), RuleFor(100, 1000, 1), 2, 2);
    EXPECT_EQ(live.Blind(1 * ms, 3 * ms), "      1,000 us  blind for 2000.0 us: a pulse narrower than 2.400 us may be "
                                          "missing here\n");
    EXPECT_NE(live.Blind(4 * ms, 5 * ms), "");
    EXPECT_EQ(live.Blind(6 * ms, 7 * ms), "") << "beyond the budget: counted";
    EXPECT_EQ(live.Change(kAllHigh, kAckLow, 8 * ms, true),
              "      8,000 us  pin 10 /ACK low (came during the blind interval before)\n");
    EXPECT_EQ(live.Reached(1000 * ms),
              "1 change in the last second, 3 blind intervals, 4000.0 us in all: pulses narrower than 2.400 us may "
              "be missed there\n");
    // A second of many changes and one blind interval: no "recording all".
    for (int i = 0; i < 5; ++i) live.Change(i % 2 ? kAckLow : kAllHigh, i % 2 ? kAllHigh : kAckLow, (1100 + i) * ms);
    live.Blind(1500 * ms, 1501 * ms);
    const std::string count = live.Reached(2000 * ms);
    EXPECT_EQ(count.find("recording all"), std::string::npos) << count;
    EXPECT_NE(count.find("5 changes in the last second, 1 blind interval, 1000.0 us in all"), std::string::npos)
        << count;
}

TEST(WatchOutput, TheLinesThePortDoesNotShowAreLeftOutSayingWhy) {
    ShownLines shown = LinesShown(WatchedLines::All, 0xCC, -1, "");
    EXPECT_EQ(shown.pins.size(), 17u);
    EXPECT_EQ(shown.leftOut, "");
    shown = LinesShown(WatchedLines::All, 0xFF, -1, "");
    EXPECT_EQ(shown.pins.size(), 13u);
    EXPECT_EQ(shown.mask, 0x00F8FFu) << "no control bits";
    EXPECT_EQ(shown.leftOut, "  control lines (pins 1, 14, 16, 17) left out: the control register reads 0xFF, so "
                             "this port does not show them\n");
    shown = LinesShown(WatchedLines::All, 0xCC, 2, "mode 010 parallel-port FIFO");
    EXPECT_EQ(shown.pins.size(), 8u);
    EXPECT_EQ(shown.mask, 0x0EF800u);
    EXPECT_EQ(shown.leftOut, "  data lines and /STROBE (pins 1, 2, 3, 4, 5, 6, 7, 8, 9): not seen: the port is in ECR "
                             "mode 010 parallel-port FIFO, where it drives them from its FIFO\n");
    EXPECT_EQ(LinesShown(WatchedLines::Inputs, 0xFF, 3, "mode 011 ECP FIFO").leftOut, "") << "the inputs are seen";
}

TEST(WatchOutput, AConsoleThatFallsBehindLosesLiveLinesWithACountNeverTheSummary) {
    ConsoleBacklog backlog(30);
    backlog.Add("line one\nline two\n");
    backlog.Add("line three\nline four\n");  // would pass 30 bytes
    backlog.AddAlways("the summary\n");
    EXPECT_EQ(backlog.Take(), "line one\nline two\nthe summary\n(2 live lines dropped: the console did not keep up; "
                              "the VCD file and the summary have every change)\n");
    EXPECT_TRUE(backlog.empty());
    backlog.Add("line five\n");
    EXPECT_EQ(backlog.Take(), "line five\n");
    EXPECT_EQ(backlog.droppedInAll(), 2u);
}

TEST(WatchOutput, TheRecorderKeepsToOneProcessorAndBelowTheWriter) {
    ThreadPlacement one = PlaceThreads(0x1);
    EXPECT_EQ(one.recorderProcessor, 0x1u);
    EXPECT_EQ(one.recorderPriority, 0) << "a single processor: normal, or the watched program starves";
    EXPECT_GT(one.writerPriority, one.recorderPriority);
    ThreadPlacement four = PlaceThreads(0xF);
    EXPECT_EQ(four.recorderProcessor, 0x8u) << "one processor, not the first";
    EXPECT_EQ(four.recorderPriority, 1);
    EXPECT_GT(four.writerPriority, four.recorderPriority);
}

TEST(WatchOutput, TheFileStopsAtItsLimitOrBeforeTheDiskFills) {
    SizeLimit limit;
    EXPECT_EQ(limit.Check(5000000000ull, true, kDiskReserveBytes), SizeStop::None);
    EXPECT_EQ(limit.Check(10, true, kDiskReserveBytes - 1), SizeStop::DiskFull);
    EXPECT_EQ(limit.Check(10, false, 0), SizeStop::None) << "free space unknown";
    limit.maxBytes = 1000000;
    EXPECT_EQ(limit.Check(999999, true, 1ull << 40), SizeStop::None);
    EXPECT_EQ(limit.Check(1000000, true, 1ull << 40), SizeStop::MaxSize);
    EXPECT_EQ(MinuteText(527000), "the VCD file grows about 31.6 MB a minute at the first second's rate");
    EXPECT_EQ(SizeStopText(SizeStop::DiskFull, "t.vcd", 0, 12.5),
              "the disk of \"t.vcd\" is about to fill (less than 64.0 MB free): the recording stopped at 12.500 s, "
              "and the file is complete up to then");
}
