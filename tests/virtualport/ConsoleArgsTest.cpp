// The port console's command line: numbers, options, and the message for
// each kind of bad argument. (What the commands do is in PortConsoleTest.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConsoleArgs.h"

using vport::ParseConsoleArgs;
using vport::ParsedCommand;

TEST(ConsoleArgs, NumbersAreDecimalOrHex) {
    uint64_t value = 0;
    const struct {
        const char* text;
        uint64_t value;
    } good[] = {{"200", 200}, {"0xfF", 255}, {"0X10", 16}, {"18446744073709551615", UINT64_MAX}};
    for (const auto& g : good) {
        EXPECT_TRUE(vport::ParseNumber(g.text, UINT64_MAX, &value)) << g.text;
        EXPECT_EQ(value, g.value) << g.text;
    }
    for (const char* bad : {"", "0x", "-1", "+1", "1.5", "12a", "0x1g", " 1", "18446744073709551616"})
        EXPECT_FALSE(vport::ParseNumber(bad, UINT64_MAX, &value)) << "'" << bad << "'";
    EXPECT_FALSE(vport::ParseNumber("256", 255, &value));
    EXPECT_FALSE(vport::ParseNumber("0x100", 255, &value));
}

TEST(ConsoleArgs, WatchAndLogOptions) {
    ParsedCommand watch = ParseConsoleArgs({"watch"});
    ASSERT_TRUE(watch.ok);
    EXPECT_EQ(watch.command.watchCount, 0u);  // until Ctrl+C
    watch = ParseConsoleArgs({"watch", "--interval", "100", "--count", "3"});
    ASSERT_TRUE(watch.ok) << watch.error;
    EXPECT_EQ(watch.command.watchCount, 3u);
    EXPECT_EQ(watch.command.watchIntervalMs, 100u);

    ParsedCommand log = ParseConsoleArgs({"log", "--clear", "--since", "0x10"});
    ASSERT_TRUE(log.ok) << log.error;
    EXPECT_TRUE(log.command.clearLog);
    EXPECT_EQ(log.command.logSince, 16u);
}

TEST(ConsoleArgs, DriverStoppedOrRunning) {
    ParsedCommand stopped = ParseConsoleArgs({"driver", "stopped"});
    ASSERT_TRUE(stopped.ok) << stopped.error;
    EXPECT_EQ(stopped.command.action, vport::ConsoleAction::SetSetting);
    EXPECT_EQ(stopped.command.setting, vport::SettingId::Driver);
    EXPECT_EQ(stopped.command.settingValue, 0u);
    ParsedCommand running = ParseConsoleArgs({"driver", "running"});
    ASSERT_TRUE(running.ok) << running.error;
    EXPECT_EQ(running.command.settingValue, 1u);
}

TEST(ConsoleArgs, BadCommandLinesSayWhatIsWrong) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "missing command"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"show", "now"}, "unexpected argument 'now'"},
        {{"pin", "15"}, "missing value"},
        {{"pin", "18", "low"}, "pin 18 is not an input"},
        {{"pin", "26", "low"}, "pin 26 is out of range (1..25)"},
        {{"pin", "ten", "low"}, "pin 'ten' is not a number"},
        {{"pin", "10", "up"}, "neither high nor low"},
        {{"pin", "10", "low", "now"}, "unexpected argument 'now'"},
        {{"status"}, "missing value"},
        {{"status", "256"}, "status value 256 is out of range (0..255)"},
        {{"status", "high"}, "status value 'high' is not a number"},
        {{"wiring", "serial"}, "'serial' is none of none, data, control"},
        {{"driver"}, "driver: missing state; use: driver stopped|running"},
        {{"driver", "stop"}, "'stop' is neither stopped nor running"},
        {{"driver", "stopped", "now"}, "unexpected argument 'now'"},
        {{"watch", "--count"}, "--count: missing value"},
        {{"watch", "--count", "0"}, "--count 0 is out of range (1.."},
        {{"watch", "--interval", "5"}, "--interval 5 is out of range (10..60000)"},
        {{"watch", "--clear"}, "unknown option '--clear'"},
        {{"log", "--since", "x"}, "'x' is not a number"},
        {{"pin", "3", "loose", "2"}, "pin 3 is not an input"},
        {{"pin", "13", "loose", "1"}, "loose 1 is out of range (2..1000000)"},
        {{"pin", "13", "loose"}, "pin: missing value"},
        {{"base", "0x37A"}, "base 0x37A is not a multiple of 4"},
        {{"base", "0xFFFF"}, "base 0xFFFF is out of range (0..65532)"},
        {{"ecp"}, "ecp: missing address; use: ecp ADDR|auto"},
        {{"chip", "486"}, "chip: '486' is none of ideal, spp, ps2, ecp, fragile-ecr, epp, no-readback, epp-blocking, ps2-zero"},
        {{"ecr-mode", "3"}, "'3' is not three binary digits"},
        {{"ecr-mode", "012"}, "'012' is not three binary digits"},
        {{"epp-clear", "read"}, "'read' is none of write, write-0, read-twice"},
        {{"settle", "10", "falling"}, "unexpected argument 'falling'"},
        {{"fifo", "17"}, "fifo 17 is out of range (0..16)"},
        {{"serial", "0x3FC"}, "serial 0x3FC is not a multiple of 8"},
        {{"serial"}, "serial: missing address; use: serial ADDR|off"},
        {{"serial", "receive"}, "serial receive: missing bytes; use: serial receive BYTE..."},
        {{"serial", "receive", "0x41", "256"}, "serial receive: byte 256 is out of range (0..255)"},
        {{"serial", "error"}, "serial error: missing errors; use: serial error overrun|parity|framing|break..."},
        {{"serial", "error", "parity", "noise"}, "serial error: 'noise' is none of overrun, parity, framing, break"},
        {{"serial", "modem", "rts"}, "serial modem: 'rts' is none of cts, dsr, ri, dcd"},
        {{"serial", "modem", "none", "cts"}, "serial modem: 'none' is none of cts, dsr, ri, dcd"},
        {{"readback", "wires"}, "'wires' is neither latch nor pins"},
        {{"settle", "1000001"}, "settle 1000001 is out of range (0..1000000)"},
        {{"intruder", "every", "0", "ms"}, "period 0 is out of range (1..60000)"},
        {{"intruder", "every", "5", "s"}, "intruder: use: intruder every N ms|off"},
        {{"intruder", "off", "now"}, "unexpected argument 'now'"},
        {{"write", "0x378"}, "write: missing port and value; use: write ADDR VALUE"},
        {{"read", "0x10000"}, "read: port 0x10000 is out of range (0..65535)"},
    };
    for (const auto& c : cases) {
        ParsedCommand parsed = ParseConsoleArgs(c.args);
        EXPECT_FALSE(parsed.ok) << c.message;
        EXPECT_NE(parsed.error.find(c.message), std::string::npos)
            << "error: " << parsed.error << "; expected: " << c.message;
    }
}
