// Signals on the pins: a pulse train and a UART line, seen by each read at
// its own time (on a clock the test moves), set and shown by the console,
// and kept until reset. SignalPinsTest has the data and control pins.
#include <gtest/gtest.h>

#include <string>

#include "Clock.h"
#include "ConsoleArgs.h"
#include "PortFixture.h"
#include "TestSupport.h"

namespace {

const uint16_t kStatus = 0x379;
const uint8_t kAck = 0x40;   // pin 10 in the status register
const uint8_t kBusy = 0x80;  // pin 11, inverted

class Signals : public ClockedPortTest {
protected:
    void SetUp() override {
        ClockedPortTest::SetUp();
        port->SetWiring(vport::Wiring::None);
    }

    bool AckHigh() { return port->Read(kStatus) & kAck; }
    bool BusyHigh() { return !(port->Read(kStatus) & kBusy); }
    // The UART line's levels in the middle of bits `first` to `first` +
    // `count` - 1 counted from `start` ('1' high).
    std::string UartBits(int64_t start, int first, int count, uint32_t baud) {
        std::string levels;
        for (int bit = first; bit < first + count; ++bit) {
            now = start + (bit * 1000000LL + 500000) / baud;
            levels += BusyHigh() ? '1' : '0';
        }
        return levels;
    }
};

}  // namespace

TEST_F(Signals, PulseIsHighForTheWidthAtTheStartOfEachPeriod) {
    ASSERT_TRUE(port->SetPulse({10, 1000, 300}));
    EXPECT_TRUE(AckHigh());
    now += 299;
    EXPECT_TRUE(AckHigh());
    now += 1;
    EXPECT_FALSE(AckHigh());
    now += 699;
    EXPECT_FALSE(AckHigh());
    now += 1;
    EXPECT_TRUE(AckHigh()) << "the next period";
    now += 5000000 + 150;
    EXPECT_TRUE(AckHigh());
    EXPECT_TRUE(port->PinLevel(10));  // what `show` gives

    port->SetInputPin(10, false);
    EXPECT_FALSE(AckHigh()) << "a pin held low stays low under a signal";
    port->SetInputPin(10, true);
    EXPECT_TRUE(AckHigh());

    ASSERT_TRUE(port->SetPulse({}));
    now += 500;
    EXPECT_TRUE(AckHigh()) << "off: the pin floats high again";
}

TEST_F(Signals, PulseReplacesWhatTheWiringDrivesIntoItsPin) {
    port->SetWiring(vport::Wiring::DataLoopback);  // D3 -> pin 10
    port->Write(0x378, 0x09);
    ASSERT_TRUE(port->SetPulse({10, 100, 50}));
    now += 60;
    EXPECT_FALSE(AckHigh());
    EXPECT_TRUE(port->Read(kStatus) & 0x08) << "pin 15 still follows D0's wiring";
}

TEST_F(Signals, UartSendsEachCharacterAs8N1ThenIdlesACharactersTime) {
    const int64_t start = now;
    ASSERT_TRUE(port->SetUart({11, 9600, "Ta"}));
    // 'T' 0x54 and 'a' 0x61, bit 0 first, each between a start 0 and a stop 1.
    EXPECT_EQ(UartBits(start, 0, 30, 9600), "0001010101" "0100001101" "1111111111");
    EXPECT_EQ(UartBits(start, 30 * 9600, 10, 9600), "0001010101") << "and over again, 9600 times later";
}

TEST_F(Signals, UartAtAnotherBaudAndStartedLater) {
    now += 123457;
    const int64_t start = now;
    ASSERT_TRUE(port->SetUart({11, 115200, "\xFF"}));
    EXPECT_EQ(UartBits(start, 0, 20, 115200), "0111111111" "1111111111");
}

TEST_F(Signals, RefusedSignalsChangeNothing) {
    EXPECT_FALSE(port->SetPulse({18, 1000, 500})) << "ground";
    EXPECT_FALSE(port->SetUart({26, 9600, "x"})) << "no pin";
    EXPECT_FALSE(port->SetPulse({10, 1000, 1000})) << "no low part";
    EXPECT_FALSE(port->SetPulse({10, 1000, 0}));
    EXPECT_FALSE(port->SetPulse({10, 1, 0}));
    EXPECT_FALSE(port->SetUart({11, 49, "x"}));
    EXPECT_FALSE(port->SetUart({11, 9600, ""}));
    EXPECT_FALSE(port->SetUart({11, 9600, std::string(65, 'x')}));
    ASSERT_TRUE(port->SetPulse({10, 1000, 500}));
    EXPECT_FALSE(port->SetUart({10, 9600, "x"})) << "pin 10 carries the pulse";
    EXPECT_FALSE(port->SetPulse({10, 0, 0})) << "a refused change keeps the pulse";
    const vport::PortSignals signals = port->Settings().signals;
    EXPECT_EQ(signals.pulse.pin, 10);
    EXPECT_EQ(signals.pulse.periodMicros, 1000u);
    EXPECT_EQ(signals.uart.pin, 0);
}

TEST_F(Signals, KeptInTheSharedStateUntilReset) {
    ASSERT_TRUE(port->SetPulse({12, 2000, 1000}));
    ASSERT_TRUE(port->SetUart({15, 300, "hello"}));
    std::unique_ptr<vport::PortState> other(vport::PortState::Open());
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->Settings().signals.uart.text, "hello");
    EXPECT_EQ(other->Settings().signals.pulse.pin, 12);
    other->Reset();
    EXPECT_EQ(port->Settings().signals.pulse.pin, 0);
    EXPECT_EQ(port->Settings().signals.uart.pin, 0);
    EXPECT_EQ(port->Settings().signals.uart.text, "");
}

TEST(SignalArgs, PulseAndUartCommandLines) {
    using vport::ParseConsoleArgs;
    const vport::ParsedCommand pulse = ParseConsoleArgs({"pulse", "pin", "10", "every", "1000", "width", "500"});
    ASSERT_TRUE(pulse.ok) << pulse.error;
    EXPECT_FALSE(pulse.command.uart);
    EXPECT_EQ(pulse.command.signals.pulse.pin, 10);
    EXPECT_EQ(pulse.command.signals.pulse.periodMicros, 1000u);
    EXPECT_EQ(pulse.command.signals.pulse.widthMicros, 500u);
    const vport::ParsedCommand uart = ParseConsoleArgs({"uart", "pin", "11", "9600", "Hello,", "world"});
    ASSERT_TRUE(uart.ok) << uart.error;
    EXPECT_TRUE(uart.command.uart);
    EXPECT_EQ(uart.command.signals.uart.text, "Hello, world");
    EXPECT_EQ(uart.command.signals.uart.baud, 9600u);
    EXPECT_EQ(ParseConsoleArgs({"uart", "off"}).command.signals.uart.pin, 0);
    for (const char* pin : {"1", "2", "9", "14", "16", "17"})
        EXPECT_EQ(ParseConsoleArgs({"pulse", "pin", pin, "every", "10", "width", "5"}).command.signals.pulse.pin,
                  std::stoi(pin))
            << "a data or control pin";

    const struct {
        std::vector<std::string> args;
        const char* message;
    } bad[] = {
        {{"pulse"}, "pulse: missing signal; use: pulse pin N every US width US|off"},
        {{"pulse", "pin", "10", "every", "1000"}, "missing signal"},
        {{"pulse", "pin", "10", "each", "1000", "width", "5"}, "pulse: use: pulse pin N every US width US|off"},
        {{"pulse", "pin", "18", "every", "1000", "width", "5"},
         "pulse: pin 18 is ground; a signal goes on the inputs 10-13 and 15, the data pins 2-9 and the control "
         "pins 1, 14, 16 and 17"},
        {{"uart", "pin", "25", "9600", "x"}, "uart: pin 25 is ground"},
        {{"pulse", "pin", "0", "every", "1000", "width", "5"}, "pulse: pin 0 is out of range (1..17)"},
        {{"uart", "pin", "26", "9600", "x"}, "uart: pin 26 is out of range (1..17)"},
        {{"pulse", "pin", "10", "every", "1", "width", "1"}, "period 1 is out of range (2..60000000)"},
        {{"pulse", "pin", "10", "every", "100", "width", "100"}, "width 100 is out of range (1..99)"},
        {{"pulse", "off", "now"}, "unexpected argument 'now'"},
        {{"uart", "pin", "11", "9600"}, "uart: missing signal; use: uart pin N BAUD TEXT|off"},
        {{"uart", "pin", "11", "fast", "x"}, "baud 'fast' is not a number"},
        {{"uart", "pin", "11", "200000", "x"}, "baud 200000 is out of range (50..115200)"},
        {{"uart", "pin", "11", "9600", std::string(65, 'x')}, "the text has 65 characters, more than 64"},
    };
    for (const auto& c : bad) {
        const vport::ParsedCommand parsed = ParseConsoleArgs(c.args);
        EXPECT_FALSE(parsed.ok) << c.message;
        EXPECT_NE(parsed.error.find(c.message), std::string::npos) << parsed.error;
    }
}

TEST_F(Signals, ConsoleSetsShowsAndStopsThem) {
    vport::SetClockForTesting(nullptr);  // the console runs on the real clock anyway
    auto console = [](const std::string& args) {
        return vport_test::RunProcess(vport_test::BuiltFile(VPORT_CONSOLE), args);
    };
    const vport_test::ProcessResult pulse = console("pulse pin 10 every 1000 width 500");
    EXPECT_EQ(pulse.exitCode, 0u) << pulse.err;
    EXPECT_EQ(pulse.out, "pulse pin 10: high 500 us every 1000 us (1000 Hz)\n");
    const vport_test::ProcessResult uart = console("uart pin 11 9600 Tarnwick");
    EXPECT_EQ(uart.out, "uart pin 11: \"Tarnwick\" at 9600 baud 8N1, over and over\n");
    const vport_test::ProcessResult clash = console("uart pin 10 9600 x");
    EXPECT_EQ(clash.exitCode, 2u);
    EXPECT_EQ(clash.err, "PortConsole: pin 10 carries the pulse signal (`pulse off` first); nothing changed\n");

    const std::string show = console("show").out;
    EXPECT_NE(show.find("\npulse    pin 10: high 500 us every 1000 us (1000 Hz); S6 reads it\n"), std::string::npos)
        << show;
    EXPECT_NE(show.find("\nuart     pin 11: \"Tarnwick\" at 9600 baud 8N1, over and over; S7 reads it inverted\n"),
              std::string::npos);
    EXPECT_EQ(console("pulse off").out, "pulse off\n");
    EXPECT_NE(console("show").out.find("\npulse    off\n"), std::string::npos);
    EXPECT_EQ(port->Settings().signals.uart.baud, 9600u);
    EXPECT_NE(console("--help").out.find("  uart pin N BAUD TEXT"), std::string::npos);

    // On a pin no register reads, the console says so.
    port->SetWiring(vport::Wiring::None);
    const vport_test::ProcessResult unseen = console("pulse pin 16 every 100 width 50");
    EXPECT_EQ(unseen.exitCode, 0u);
    EXPECT_EQ(unseen.out, "pulse pin 16: high 50 us every 100 us (10000 Hz)\n");
    EXPECT_EQ(unseen.err, "note: pin 16: not seen by any register: readback latch (control reads its latch; "
                          "`readback pins` reads the line)\n");
    ASSERT_EQ(console("readback pins").exitCode, 0u);
    EXPECT_EQ(console("pulse pin 16 every 100 width 50").err, "") << "C2 reads it now";
}

TEST_F(Signals, EdgesBounceAndPulsesGlitchAsTheSettingsSay) {
    ASSERT_TRUE(port->Set(vport::SettingId::Bounce, 3000));  // back for 1 to 2 us after each edge
    ASSERT_TRUE(port->Set(vport::SettingId::Glitch, 2000));  // low from 4 to 6 us of a 10 us pulse
    ASSERT_TRUE(port->SetPulse({10, 20, 10}));
    const int64_t start = now;
    std::string levels;
    for (int64_t us = 0; us < 20; ++us) {
        now = start + us;
        levels += AckHigh() ? '1' : '0';
    }
    EXPECT_EQ(levels, "10110011110100000000") << "a bounce, the glitch, then the edge to low bounces back high";
}

TEST_F(Signals, ReadsTakeTheirCostAndStallEverySoManyReads) {
    ASSERT_TRUE(port->Set(vport::SettingId::ReadCost, 20000));
    ASSERT_TRUE(port->Set(vport::SettingId::Stall, 5000));
    ASSERT_TRUE(port->Set(vport::SettingId::StallEvery, 10));
    vport::SetClockForTesting(nullptr);  // the time spent is real
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&before);
    for (int i = 0; i < 20; ++i) port->Read(kStatus);
    QueryPerformanceCounter(&after);
    const double micros = double(after.QuadPart - before.QuadPart) * 1e6 / double(frequency.QuadPart);
    EXPECT_GE(micros, 20 * 20 + 2 * 5000) << "20 reads of 20 us and two stalls of 5 ms";
}
