// PortCheck's command line and the report it prints.
#include <gtest/gtest.h>

#include "Cable.h"
#include "CheckArgs.h"
#include "LoopbackReport.h"

using namespace portcheck;

namespace {

ParsedArgs Parse(std::vector<std::string> args) { return ParseCheckArgs(args); }

RoundsResult OneRound(const CheckResult& result) {
    RoundsResult rounds;
    AddRound(&rounds, result);
    return rounds;
}

}  // namespace

TEST(CheckArgs, BaseInEveryNotationOfThePanelAndEitherPlug) {
    for (const char* text : {"0x378", "0X378", "$378", "888"}) {
        const ParsedArgs parsed = Parse({text});
        ASSERT_TRUE(parsed.ok) << text << ": " << parsed.error;
        EXPECT_EQ(parsed.options.base, 0x378) << text;
        EXPECT_EQ(parsed.options.plug, &kDataPlug);
    }
    EXPECT_EQ(Parse({"--plug", "control", "0x278"}).options.plug, &kControlPlug);
    EXPECT_EQ(Parse({"0xD010", "--plug", "data"}).options.base, 0xD010);
    EXPECT_EQ(Parse({"0xFFFC"}).options.base, 0xFFFC);
    EXPECT_EQ(Parse({"0x378", "--help"}).options.command, Command::Help);
    EXPECT_TRUE(Parse({"-h"}).ok);
    const CheckOptions probe = Parse({"--probe", "--ecr", "0xD000", "0xDC00"}).options;
    EXPECT_EQ(probe.command, Command::Probe);
    EXPECT_EQ(probe.EcrPort(), 0xD002);
    EXPECT_EQ(Parse({"--set-mode", "ps2", "0x378"}).options.EcrPort(), 0x77A);
    const CheckOptions test = Parse({"--settle", "0", "--repeat", "20", "0x378"}).options;
    EXPECT_EQ(test.settleMicros, 0);
    EXPECT_EQ(test.rounds, 20);
}

TEST(CheckArgs, BadArgumentsSayWhatIsWrong) {
    const struct {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{}, "missing BASE, the port's base address (e.g. 0x378)"},
        {{"xyz"}, "'xyz' is not a valid port address; write it as 0x378, $378 or 888"},
        {{"0x"}, "'0x' is not a valid port address"},
        {{"0x378h"}, "'0x378h' is not a valid port address"},
        {{"-1"}, "port address '-1' is out of range: the base must be 0 to 0xFFFC"},
        {{"0xFFFD"}, "port address '0xFFFD' is out of range"},
        {{"$37A"}, "0x37A is not a port base (bases are multiples of 4); did you mean 0x378?"},
        {{"0"}, "the registers of a port at 0x0 would lie among the PC's own addresses (0x0-0xFF, "},
        {{"--plug", "control", "0x3F4"}, "the registers of a port at 0x3F4 would lie among the PC's own "
                                         "addresses (0x3F0-0x3F7, the floppy and hard disk controllers)"},
        {{"--probe", "--ecr", "0x3F8", "0x378"}, "the extended block at 0x3F8 would lie among the PC's own addresses "
                                                 "(0x3F8-0x3FF, the serial port COM1)"},
        {{"0x2E8"}, "the registers of a port at 0x2E8 would lie among the PC's own addresses (0x2E8-0x2EF"},
        {{"--probe", "--ecr", "0xD882", "0xDC00"}, "--ecr takes the extended block's address as --list shows it"},
        {{"--probe", "--ecr", "0x37C", "0x378"}, "the extended block at 0x37C would overlap the port's registers"},
        {{"--probe", "--repeat", "2", "0x378"}, "--repeat is for the loopback test, not for --probe"},
        {{"--probe", "--set-mode", "ps2", "0x378"}, "--probe and --set-mode: one at a time"},
        {{"--set-mode", "ecp", "0x378"}, "unknown mode 'ecp'; use spp or ps2"},
        {{"--settle", "100001", "0x378"}, "--settle takes microseconds from 0 to 100000, not '100001'"},
        {{"--repeat", "0", "0x378"}, "--repeat takes a number of rounds from 1 to 10000, not '0'"},
        {{"0x10378"}, "port address '0x10378' is out of range"},
        {{"0xFFFFFFFF"}, "port address '0xFFFFFFFF' is out of range"},
        {{"--plug"}, "--plug needs a value: data or control"},
        {{"--plug", "printer", "0x378"}, "unknown plug 'printer'; use data or control"},
        {{"--fast", "0x378"}, "unknown option '--fast'"},
        {{"0x378", "0x278"}, "one BASE only, got '0x378' and '0x278'"},
    };
    for (const auto& c : cases) {
        const ParsedArgs parsed = Parse(c.args);
        EXPECT_FALSE(parsed.ok) << c.error;
        EXPECT_EQ(parsed.error.find(c.error), 0u) << parsed.error;
    }
}

TEST(LoopbackReport, PassingRunListsEveryPairAsOk) {
    EXPECT_EQ(Report(kDataPlug, OneRound(Evaluate(Through([](Levels out) { return out; }))), 0x378, 100),
              "Testing the port at 0x378 with the data loopback plug\n"
              "  pin  2 D0         -> pin 15 /ERROR     ok\n"
              "  pin  3 D1         -> pin 13 SELECT     ok\n"
              "  pin  4 D2         -> pin 12 PAPER OUT  ok\n"
              "  pin  5 D3         -> pin 10 /ACK       ok\n"
              "  pin  6 D4         -> pin 11 BUSY       ok\n"
              "PASS: all 5 lines ok (not tested: pins 7-9, D5-D7)\n");
}

TEST(LoopbackReport, FaultsNameTheLinesAndHowTheyFail) {
    // The wires to pins 13 and 12 crossed, pin 10 stuck high, and BUSY
    // pulled low by /SELECT IN and D0 shorted together.
    const std::string report = Report(kControlPlug, OneRound(Evaluate(Through([](Levels out) {
        Levels in = (out & 0x10) | (out & 0x01) << 1 | (out & 0x02) >> 1 | 0x04;
        if ((out & 0x08) && (out & 0x10)) in |= 0x08;
        return in;
    }))), 0xD010, 100);
    EXPECT_EQ(report,
              "Testing the port at 0xD010 with the control loopback plug\n"
              "  pin  1 /STROBE    -> pin 13 SELECT     follows pin 14 (/AUTOFEED): crossed or shorted wires\n"
              "  pin 14 /AUTOFEED  -> pin 12 PAPER OUT  follows pin 1 (/STROBE): crossed or shorted wires\n"
              "  pin 16 /INIT      -> pin 10 /ACK       stuck high\n"
              "  pin 17 /SELECT IN -> pin 11 BUSY       moves with no single output: shorted outputs or a loose contact\n"
              "  pin  2 D0         -> pin 15 /ERROR     ok\n"
              "FAIL: 4 of 5 lines faulty (not tested: pins 3-9, D1-D7)\n");
}

TEST(LoopbackReport, NoPlugIsOneVerdictWithTheLevelsSeen) {
    const std::string report = Report(kDataPlug, OneRound(Evaluate(Through([](Levels) { return Levels{0x1D}; }))), 0x278, 100);
    EXPECT_NE(report.find("  pin  3 D1         -> pin 13 SELECT     no plug (always low)\n"), std::string::npos);
    EXPECT_NE(report.find("  pin  6 D4         -> pin 11 BUSY       no plug (always high)\n"), std::string::npos);
    EXPECT_EQ(report.substr(report.rfind("FAIL")),
              "FAIL: no plug: no input follows any output (is the plug fitted, and is 0x278 the "
              "port's address?)\n");
}

TEST(LoopbackReport, LineFailingInSomeRoundsIsNamedWithHowOften) {
    const CheckResult ok = Evaluate(Through([](Levels out) { return out; }));
    std::vector<Observation> loose = Through([](Levels out) { return out; });
    loose[3].unstable = 0x02;
    RoundsResult rounds;
    for (const CheckResult& round : {ok, Evaluate(loose), ok}) AddRound(&rounds, round);
    const std::string report = Report(kDataPlug, rounds, 0x378, 250);
    EXPECT_NE(report.find("Testing the port at 0x378 with the data loopback plug, 3 rounds\n"), std::string::npos);
    EXPECT_NE(report.find("  pin  3 D1         -> pin 13 SELECT     unstable: it changed while being read (a loose "
                          "contact, or a line slower than the 250 us settling time) (in 1 of 3 rounds)\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\nFAIL: 1 of 5 lines faulty (not tested"), std::string::npos);
}
