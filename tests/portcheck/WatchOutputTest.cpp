// What --watch makes of the changes: the VCD file, the live lines and their
// folding into counts, the edges and pulses per line, and the summary.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

#include "LineStats.h"
#include "LiveOutput.h"
#include "VcdWriter.h"
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
    const std::string path = TempFile("watch-output-test.vcd");
    {
        VcdWriter vcd;
        ASSERT_TRUE(vcd.Open(path)) << vcd.error();
        vcd.Begin(WatchedPins(WatchedLines::Inputs), kAllHigh, "a test");
        vcd.Change(0, kAllHigh, kAckLow);
        vcd.Change(1, kAckLow, kAllHigh);
        ASSERT_TRUE(vcd.Flush());
        EXPECT_NE(ReadFile(path).find("#1\n0!\n"), std::string::npos) << "in the file as the recording goes";
        vcd.Change(500, kAllHigh, kBusyLow);
        vcd.Blind(600, 700);
        vcd.Change(700, kBusyLow, kAllHigh);
        EXPECT_TRUE(vcd.Close(1000, "the end"));
    }
    EXPECT_EQ(ReadFile(path),
              "$comment a test; the wire blind is 1 where no sample was taken for longer than 10 times the median "
              "interval: a pulse shorter than that may be missing there $end\n"
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
    DeleteFileA(path.c_str());
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
    VcdWriter vcd;
    EXPECT_FALSE(vcd.Open("Z:\\no such folder here\\watch.vcd"));
    EXPECT_EQ(vcd.error(), "cannot write the VCD file \"Z:\\no such folder here\\watch.vcd\": no such folder");
    EXPECT_FALSE(vcd.Flush());
    EXPECT_FALSE(vcd.Close(10, ""));
}

TEST(WatchOutput, LiveLinesGiveTheTimeAndTheLinesThatChanged) {
    LiveOutput live(WatchedPins(WatchedLines::Inputs));
    EXPECT_EQ(live.Start(kAllHigh),
              "          0 us  pin 10 /ACK high, pin 11 BUSY high, pin 12 PAPER OUT high, pin 13 SELECT high, "
              "pin 15 /ERROR high\n");
    EXPECT_EQ(live.Change(kAllHigh, kAckLow, 1234567890), "  1,234,567 us  pin 10 /ACK low\n");
    EXPECT_EQ(live.Change(kAckLow, 0xB000, 1234568890), "  1,234,568 us  pin 11 BUSY low, pin 15 /ERROR low\n");
}

TEST(WatchOutput, MoreChangesThanAConsolePrintsAreCountedPerSecond) {
    LiveOutput live(WatchedPins(WatchedLines::Inputs), 2);
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

TEST(WatchOutput, SummaryGivesRatesIntervalsBlindTimeAndEachLine) {
    LineStats stats(WatchedPins(WatchedLines::Inputs), kAllHigh);
    for (int i = 1; i <= 2000; ++i) stats.Change(i % 2 ? kAckLow : kAllHigh, i * 500000LL, true);
    WatchTotals totals;
    totals.seconds = 1.0;
    totals.samples = 12345678;
    totals.medianNs = 81;
    totals.longestNs = 1234567;
    totals.blind = {3, 1234567, 23456789};
    const std::string text = WatchSummary(totals, stats.lines());
    EXPECT_EQ(text.substr(0, text.find("  pin ")),
              "Recorded 1.000 s: 12,345,678 samples, 12,345,678 a second\n"
              "  between samples: median 0.081 us, longest 1234.6 us\n"
              "  blind intervals (no sample for over 0.810 us, 10 times the median): 3, the longest 1234.6 us, "
              "23,457 us in all\n");
    EXPECT_NE(text.find("  pin  signal       rising  falling  shortest high  shortest low  at the end\n"
                        "   10  /ACK          1,000    1,000       500.0 us      500.0 us  high\n"
                        "   11  BUSY              0        0              -             -  high\n"),
              std::string::npos)
        << text;
    totals.blind = {};
    EXPECT_NE(WatchSummary(totals, stats.lines()).find("10 times the median): none\n"), std::string::npos);
}
