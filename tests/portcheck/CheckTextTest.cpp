// PortCheck's command line and the report it prints.
#include <gtest/gtest.h>

#include "Cable.h"
#include "CheckArgs.h"
#include "CheckReport.h"

using namespace portcheck;

namespace {

ParsedArgs Parse(std::vector<std::string> args) { return ParseCheckArgs(args); }

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
    EXPECT_EQ(Parse({"0"}).options.base, 0);
    EXPECT_EQ(Parse({"0xFFFD"}).options.base, 0xFFFD);
    EXPECT_TRUE(Parse({"0x378", "--help"}).options.help);
    EXPECT_TRUE(Parse({"-h"}).ok);
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
        {{"-1"}, "port address '-1' is out of range: the base must be 0 to 0xFFFD"},
        {{"0xFFFE"}, "port address '0xFFFE' is out of range"},
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

TEST(CheckReport, PassingRunListsEveryPairAsOk) {
    EXPECT_EQ(Report(kDataPlug, Evaluate(Through([](Levels out) { return out; })), 0x378),
              "Testing the port at 0x378 with the data loopback plug\n"
              "  pin  2 D0         -> pin 15 /ERROR     ok\n"
              "  pin  3 D1         -> pin 13 SELECT     ok\n"
              "  pin  4 D2         -> pin 12 PAPER OUT  ok\n"
              "  pin  5 D3         -> pin 10 /ACK       ok\n"
              "  pin  6 D4         -> pin 11 BUSY       ok\n"
              "PASS: all 5 lines ok\n");
}

TEST(CheckReport, FaultsNameTheLinesAndHowTheyFail) {
    // The wires to pins 13 and 12 crossed, pin 10 stuck high, and BUSY
    // pulled low by /SELECT IN and D0 shorted together.
    const std::string report = Report(kControlPlug, Evaluate(Through([](Levels out) {
        Levels in = (out & 0x10) | (out & 0x01) << 1 | (out & 0x02) >> 1 | 0x04;
        if ((out & 0x08) && (out & 0x10)) in |= 0x08;
        return in;
    })), 0xD010);
    EXPECT_EQ(report,
              "Testing the port at 0xD010 with the control loopback plug\n"
              "  pin  1 /STROBE    -> pin 13 SELECT     follows pin 14 (/AUTOFEED): crossed or shorted wires\n"
              "  pin 14 /AUTOFEED  -> pin 12 PAPER OUT  follows pin 1 (/STROBE): crossed or shorted wires\n"
              "  pin 16 /INIT      -> pin 10 /ACK       stuck high\n"
              "  pin 17 /SELECT IN -> pin 11 BUSY       moves with no single output: shorted outputs or a loose contact\n"
              "  pin  2 D0         -> pin 15 /ERROR     ok\n"
              "FAIL: 4 of 5 lines faulty\n");
}

TEST(CheckReport, NoPlugIsOneVerdictWithTheLevelsSeen) {
    const std::string report = Report(kDataPlug, Evaluate(Through([](Levels) { return Levels{0x1D}; })), 0x278);
    EXPECT_NE(report.find("  pin  3 D1         -> pin 13 SELECT     no plug (always low)\n"), std::string::npos);
    EXPECT_NE(report.find("  pin  6 D4         -> pin 11 BUSY       no plug (always high)\n"), std::string::npos);
    EXPECT_EQ(report.substr(report.rfind("FAIL")),
              "FAIL: no plug: no input follows any output (is the plug fitted, and is 0x278 the "
              "port's address?)\n");
}
