// The built PortCheck.exe against the quirks of real chips and of what sits
// beside a port: what it must never write, where it must not guess, and the
// verdicts that blame the line when the line is at fault.
#include "PortCheckProgram.h"

#include <cstring>
#include <iterator>
#include <random>

using namespace portcheck_test;
using PortCheck = PortCheckProgram;

namespace {

std::vector<vport::Access> WritesTo(const vport::PortState& port, uint16_t first, uint16_t last) {
    std::vector<vport::Access> writes;
    for (const vport::Access& access : port.Log())
        if (access.write && access.port >= first && access.port <= last) writes.push_back(access);
    return writes;
}

bool Touched(const vport::PortState& port, uint16_t first, uint16_t last) {
    for (const vport::Access& access : port.Log())
        if (access.port >= first && access.port <= last) return true;
    return false;
}

}  // namespace

// ECR bits 4-2 as the chip has them: no service interrupt armed by a mode
// change or by its restore.
TEST_F(PortCheck, EcrWritesKeepBitsFourToTwoAsFound) {
    port->SetChip(vport::Chip::Ecp);
    port->SetEcrMode(3);  // 0x75: as a BIOS leaves it
    const ProcessResult probe = Run("--probe 0x378");
    EXPECT_EQ(probe.exitCode, 1u) << probe.out << probe.err;
    EXPECT_EQ(port->Settings().ecr, 0x75);
    const ProcessResult set = Run("--set-mode ps2 0x378");
    EXPECT_EQ(set.exitCode, 0u) << set.out << set.err;
    EXPECT_EQ(port->Settings().ecr, 0x35);
    EXPECT_EQ(port->Settings().serviceInterrupts, 0u);
    for (const vport::Access& write : WritesTo(*port, 0x77A, 0x77A)) EXPECT_EQ(write.value & 0x1C, 0x14);
}

// A PCI port's base + 0x402 belongs to whatever else is there: here another
// card's serial port, whose idle interrupt identification (0xC1) looks like
// an empty ECR.
TEST_F(PortCheck, NoEcrIsGuessedForABaseAbove0x400) {
    port->SetChip(vport::Chip::Ecp);
    ASSERT_TRUE(port->SetBase(0xD010));
    ASSERT_TRUE(port->SetExtendedBlock(0xD000));
    ASSERT_TRUE(port->SetSerialPort(true, 0xD410));
    const ProcessResult probe = Run("--probe 0xD010");
    EXPECT_EQ(probe.exitCode, 0u) << probe.out << probe.err;
    EXPECT_TRUE(Has(probe.out, "\n  extended control register: not looked for (give --ecr with the extended "
                               "block's address)\n"))
        << probe.out;
    EXPECT_EQ(Run("0xD010").exitCode, 0u);
    const ProcessResult set = Run("--set-mode ps2 0xD010");
    EXPECT_EQ(set.exitCode, 1u);
    EXPECT_TRUE(Has(set.err, "give --ecr with the extended block's address")) << set.err;
    EXPECT_FALSE(Touched(*port, 0xD410, 0xD417));
    EXPECT_EQ(port->Settings().serial.fcrWrites, 0u);

    const ProcessResult given = Run("--probe --ecr 0xD000 0xD010");
    EXPECT_TRUE(Has(given.out, "\n  extended control register at 0xD002: mode 000 standard (SPP)\n")) << given.out;
}

// A transfer under way: the FIFO holds data. Nothing is written to the ECR,
// and no data write adds to the transfer.
TEST_F(PortCheck, EcrWhoseFifoHoldsDataIsBusyAndNotTouched) {
    port->SetChip(vport::Chip::Ecp);
    port->SetEcrMode(3);
    ASSERT_TRUE(port->HoldFifo(3));
    const ProcessResult set = Run("--set-mode ps2 0x378");
    EXPECT_EQ(set.exitCode, 1u) << set.out << set.err;
    EXPECT_TRUE(Has(set.err, "the extended control register at 0x77A: busy (the FIFO holds data): not touched"))
        << set.err;
    const ProcessResult probe = Run("--probe 0x378");
    EXPECT_EQ(probe.exitCode, 1u) << probe.out;
    EXPECT_TRUE(Has(probe.out, "\n  extended control register at 0x77A: busy (the FIFO holds data): not touched\n"))
        << probe.out;
    EXPECT_TRUE(WritesTo(*port, 0x77A, 0x77A).empty());
    EXPECT_TRUE(WritesTo(*port, 0x378, 0x378).empty());
    EXPECT_EQ(port->Settings().fifoCount, 3u);
}

// A control register that reads 0xFF: its value is unknown, so after the
// check that a port answers (0x0C, which does not read back; the data latch
// then) it is left idle, never written 0xFF, and nothing claims it was put
// back as found.
TEST_F(PortCheck, ControlThatCannotBeReadIsNotWrittenWhereNoTestNeedsIt) {
    port->SetChip(vport::Chip::NoReadback);
    port->SetControl(0x04);
    const ProcessResult result = Run("0x378");
    EXPECT_EQ(result.exitCode, 0u) << result.out << result.err;
    const std::vector<vport::Access> checked = WritesTo(*port, 0x37A, 0x37A);
    ASSERT_EQ(checked.size(), 2u);
    EXPECT_TRUE(checked[0].value == 0x0C && checked[1].value == 0x04);
    EXPECT_TRUE(Has(result.out, "control 0x04 (the idle value: all four lines inactive), unchecked: it reads "
                                "0xFF, so the value found could not be read"))
        << result.out;
    EXPECT_EQ(port->Control(), 0x04);

    const ProcessResult control = Run("--plug control 0x378");
    EXPECT_TRUE(Has(control.out, "control 0x04 (the idle value: all four lines inactive), unchecked: it reads "
                                 "0xFF, so the value found could not be read"))
        << control.out;
    EXPECT_EQ(port->Control(), 0x04);
    for (const vport::Access& write : WritesTo(*port, 0x37A, 0x37A)) EXPECT_EQ(write.value & 0xF0, 0) << "bit 4 never";
}

// A direction bit that reads 0 whatever is written: whether it was set is
// unknown, and clearing it is said.
TEST_F(PortCheck, DirectionBitThatReadsZeroIsNotLostSilently) {
    port->SetChip(vport::Chip::Ps2Zero);
    port->SetData(0x5A);
    port->SetControl(0x24);
    const ProcessResult result = Run("0x378");
    EXPECT_EQ(result.exitCode, 0u) << result.out << result.err;
    EXPECT_EQ(port->Data(), 0x5A) << "the latch, not the pins it read while they were inputs";
    EXPECT_TRUE(Has(result.out, "Control bit 5 reads 0 on this chip whatever is written: whether it was set "
                                "(data lines as inputs) is unknown; left cleared (data lines driving)\n"))
        << result.out;
}

// The PC's own serial ports are no port base, nor an extended block.
TEST_F(PortCheck, SerialPortsAreAmongThePcsOwnAddresses) {
    ASSERT_TRUE(port->SetSerialPort(true, 0x3F8));
    for (const char* args : {"--probe --ecr 0x3F8 0x378", "0x3F8", "--probe 0x2F8", "0x3C0"}) {
        const ProcessResult result = Run(args);
        EXPECT_EQ(result.exitCode, 2u) << args;
        EXPECT_TRUE(Has(result.err, "the PC's own addresses")) << args << result.err;
    }
    EXPECT_EQ(port->TotalAccesses(), 0u);
    EXPECT_EQ(Run("--probe 0x3BC").exitCode, 5u) << "0x3BC is a port base";
}

// --set-mode changes the ECR only: the data pins stay as found.
TEST_F(PortCheck, SetModeLeavesTheDirectionBitAsFound) {
    port->SetChip(vport::Chip::Ecp);
    port->SetEcrMode(3);
    port->SetControl(0x24);
    const ProcessResult set = Run("--set-mode ps2 0x378");
    EXPECT_EQ(set.exitCode, 0u) << set.out << set.err;
    for (const vport::Access& write : WritesTo(*port, 0x37A, 0x37A)) EXPECT_EQ(write.value & 0x30, 0x20);
    EXPECT_TRUE(WritesTo(*port, 0x378, 0x378).empty());
    EXPECT_EQ(port->Control(), 0x24);
}

// In the FIFO modes every data write is sent out with strobes: the test
// does not start.
TEST_F(PortCheck, LoopbackTestDoesNotStartInAFifoMode) {
    port->SetChip(vport::Chip::Ecp);
    port->SetEcrMode(3);
    const ProcessResult result = Run("0x378");
    EXPECT_EQ(result.exitCode, 1u) << result.out << result.err;
    EXPECT_TRUE(Has(result.out, "the extended control register at 0x77A is in mode 011 ECP FIFO"));
    EXPECT_TRUE(Has(result.out, "PortCheck --set-mode ps2 0x378")) << result.out;
    EXPECT_TRUE(WritesTo(*port, 0x378, 0x378).empty());
    EXPECT_TRUE(WritesTo(*port, 0x77A, 0x77A).empty());
    EXPECT_EQ(port->Settings().strobesSent, 0u);

    port->SetEcrMode(4);
    EXPECT_EQ(Run("0x378").exitCode, 0u) << "EPP mode drives the pins";

    port->SetEcrMode(3);
    ASSERT_TRUE(port->SetExtendedBlock(0xD000));  // a card's block, given with --ecr
    const ProcessResult card = Run("--ecr 0xD000 0x378");
    EXPECT_EQ(card.exitCode, 1u) << card.out << card.err;
    EXPECT_TRUE(Has(card.out, "PortCheck --set-mode ps2 --ecr 0xD000 0x378")) << card.out;
    EXPECT_EQ(port->Settings().strobesSent, 0u);
}

// Read-back from the pins: a data line shorted low reads low whatever is
// written, the same every time: a fault of that line.
TEST_F(PortCheck, ALineShortedLowIsALineFaultNotAnotherProgram) {
    port->SetChip(vport::Chip::Spp);
    port->SetReadbackFromPins(true);
    ASSERT_TRUE(port->SetInputPin(3, false));
    const ProcessResult data = Run("0x378");
    EXPECT_EQ(data.exitCode, 1u) << data.out << data.err;
    EXPECT_TRUE(Has(data.out, "FAIL: pin 3 (D1) reads back low where PortCheck drives it high")) << data.out;
    EXPECT_FALSE(Has(data.err, "another program")) << data.err;

    ASSERT_TRUE(port->SetInputPin(3, true));
    ASSERT_TRUE(port->SetInputPin(16, false));
    port->SetWiring(vport::Wiring::ControlLoopback);
    // A control line reads back no value where it reads a fixed one: the
    // plug's input tells the line.
    const ProcessResult control = Run("--plug control 0x378");
    EXPECT_EQ(control.exitCode, 1u) << control.out << control.err;
    EXPECT_TRUE(Has(control.out, "  pin 16 /INIT      -> pin 10 /ACK       stuck low\n")) << control.out;
    EXPECT_FALSE(Has(control.err, "another program")) << control.err;
}

// Some EPP chips ignore every SPP cycle while the time-out flag is set.
TEST_F(PortCheck, EppTimeOutIsClearedBeforeTheTestWrites) {
    port->SetChip(vport::Chip::EppBlocking);
    port->Read(0x37B);  // an EPP access with no EPP device
    const ProcessResult result = Run("0x378");
    EXPECT_EQ(result.exitCode, 0u) << result.out << result.err;
    EXPECT_TRUE(Has(result.out, "PASS: all 5 lines ok"));
}

// A weak pull-up: the line rises slower than the settling time and falls
// fast, so it reads its old level steadily.
TEST_F(PortCheck, SlowRisingEdgeIsNamed) {
    port->SetSettleMicros(500, true);
    const ProcessResult result = Run("0x378");
    EXPECT_EQ(result.exitCode, 1u) << result.out << result.err;
    EXPECT_TRUE(Has(result.out, "  pin  2 D0         -> pin 15 /ERROR     slow rising edge (weak pull-up or long "
                                "cable): raise --settle\n"))
        << result.out;
    EXPECT_FALSE(Has(result.out, "no plug"));
    EXPECT_EQ(Run("--settle 2000 0x378").exitCode, 0u);
}

// A 2S1P card's serial port, picked from Device Manager: Windows cannot say
// here (Wine), so base+1 and base+2 tell it, and nothing else is read or
// written; --force goes on.
TEST_F(PortCheck, SerialPortAtTheBaseIsToldByTwoReadsAndNotTouched) {
    ASSERT_TRUE(port->SetSerialPort(true, 0xD410));
    for (const char* args : {"0xD410", "--probe 0xD410", "--set-mode ps2 --ecr 0xD000 0xD410", "--watch --for 1 0xD410"}) {
        port->ClearLog();
        const ProcessResult result = Run(args);
        EXPECT_EQ(result.exitCode, 5u) << args << result.out << result.err;
        EXPECT_TRUE(Has(result.err, "PortCheck: 0xD410 looks like a serial port (16550): 0xD411 reads 0x00, as its "
                                    "interrupt enable does (bits 7-4 zero), and 0xD412 reads 0xC1, as its interrupt "
                                    "identification does (idle, FIFOs on). PortCheck read only these two and wrote "
                                    "nothing.\n"))
            << args << result.err;
        EXPECT_TRUE(Has(result.err, "--force goes on")) << result.err;
        EXPECT_FALSE(Has(result.out, "for a moment")) << args << ": no warning of changes never made\n" << result.out;
        EXPECT_FALSE(Has(result.out, "Watching")) << args << ": no port to watch\n" << result.out;
        for (const vport::Access& access : port->Log())
            EXPECT_TRUE(!access.write && (access.port == 0xD411 || access.port == 0xD412)) << args << " " << access.port;
    }
    EXPECT_EQ(port->Settings().serial.fcrWrites, 0u);
    EXPECT_EQ(port->Settings().serial.bytesSent, 0u);

    // Forced, the kernel's check runs, and finds no parallel port.
    const ProcessResult forced = Run("--force --probe 0xD410");
    EXPECT_TRUE(Has(forced.err, "--force: going on as for a parallel port\n")) << forced.err;
    EXPECT_TRUE(Has(forced.err, "PortCheck: no parallel port answers at 0xD410: control written 0x0C read back "))
        << forced.err;
    EXPECT_EQ(forced.exitCode, 5u);
    EXPECT_GT(port->Settings().serial.fcrWrites, 0u);
}

// A contact that opens once in twenty rounds: intermittent, not a slow
// rising edge.
TEST_F(PortCheck, OneOffDropoutInTwentyRoundsIsIntermittent) {
    ASSERT_TRUE(port->SetLoosePin(15, 200));
    const ProcessResult result = Run("--repeat 20 0x378");
    EXPECT_EQ(result.exitCode, 1u) << result.out << result.err;
    EXPECT_TRUE(Has(result.out, "  pin  2 D0         -> pin 15 /ERROR     intermittent: it dropped out once (a loose "
                                "contact) (in 1 of 20 rounds)\n"))
        << result.out;
    EXPECT_FALSE(Has(result.out, "slow")) << result.out;
}

// Control lines that read 0100 whatever is written: their read-back tells
// nothing, so it is not believed, and the plug's inputs tell the lines.
TEST_F(PortCheck, ControlLinesReadingAFixedValueAreUnreadNotAFault) {
    port->SetChip(vport::Chip::FixedLines);
    port->SetControl(0x0B);
    const ProcessResult data = Run("0x378");
    EXPECT_EQ(data.exitCode, 0u) << data.out << data.err;
    EXPECT_TRUE(Has(data.out, "control bits 0-3 idle, unchecked: they read a fixed value, so the value found could "
                              "not be read"))
        << data.out;
    port->SetWiring(vport::Wiring::ControlLoopback);
    const ProcessResult control = Run("--plug control 0x378");
    EXPECT_EQ(control.exitCode, 0u) << control.out << control.err;
    EXPECT_TRUE(Has(control.out, "PASS")) << control.out;
    EXPECT_FALSE(Has(control.out + control.err, "FAIL")) << control.out << control.err;
    EXPECT_EQ(port->Control() & 0x0F, 0x04) << "put back idle";
}

// Ten address bits: base+0x402 is control again. The kernel's alias check
// (control bit 1 set for a moment) finds it out; nothing is written there.
TEST_F(PortCheck, ControlAnsweringAtBasePlus0x402IsNoEcrAndIsNeverWrittenThere) {
    port->SetChip(vport::Chip::Isa10Bit);
    const ProcessResult probe = Run("--probe 0x378");
    EXPECT_EQ(probe.exitCode, 0u) << probe.out << probe.err;
    EXPECT_TRUE(Has(probe.out, "\n  extended control register: none at 0x77A (that address follows the control "
                               "register)\n"))
        << probe.out;
    const ProcessResult set = Run("--set-mode ps2 0x378");
    EXPECT_EQ(set.exitCode, 1u) << set.out << set.err;
    EXPECT_TRUE(Has(set.err, "no extended control register answers at 0x77A")) << set.err;
    EXPECT_EQ(Run("0x378").exitCode, 0u);
    EXPECT_TRUE(WritesTo(*port, 0x778, 0x77F).empty());
    EXPECT_EQ(port->Control() & 0x0F, 0x00);
}

// A serial port as a driver with interrupts on leaves it, with a byte
// received, line errors and modem changes that reads of +0, +5 and +6 would
// take or clear: its interrupt identification says what is pending, and
// every command leaves all of it as found.
TEST_F(PortCheck, SerialPortWithInterruptsPendingIsToldAndLeftAsFound) {
    const uint16_t at = 0xD000;
    ASSERT_TRUE(port->SetSerialPort(true, at));
    port->Write(at + 1, 0x0D);                     // line status, modem status and received data interrupts
    ASSERT_TRUE(port->SerialReceive({0x41}));
    ASSERT_TRUE(port->RaiseSerialErrors(0x04));    // parity
    ASSERT_TRUE(port->SetSerialModemLines(0x10));  // CTS changed
    const vport::SerialRegisters found = port->Settings().serial;
    ASSERT_TRUE(found.received == 1 && found.lineErrors == 0x04 && found.modemChanges == 0x01);
    for (const char* args : {"0xD000", "--probe 0xD000", "--set-mode ps2 --ecr 0xC000 0xD000", "--watch --for 1 0xD000"}) {
        SCOPED_TRACE(args);
        const ProcessResult result = Run(args);
        EXPECT_EQ(result.exitCode, 5u) << result.out << result.err;
        EXPECT_TRUE(Has(result.err, "PortCheck: 0xD000 looks like a serial port (16550)")) << result.err;
        EXPECT_TRUE(Has(result.err, "reads 0xC6, as its interrupt identification does (a line status change "
                                    "pending, FIFOs on)"))
            << result.err;
        const vport::SerialRegisters now = port->Settings().serial;
        EXPECT_EQ(std::memcmp(&now, &found, sizeof now), 0) << "the serial port changed";
    }
}

// A data line shorted low where the data register reads the pins, each of
// D0-D7 on a chip and with a latch found made up from a seed: the line
// fault names the pin, never a register that takes no write or a FIFO mode.
// The loopback test walks D0-D4 only and says D5-D7 are not tested; --probe
// writes 0x55 and 0xAA and finds every one.
TEST_F(PortCheck, EachDataLineShortedLowIsNamedAsThatLinesFault) {
    const vport::Chip chips[] = {vport::Chip::Ideal, vport::Chip::Spp, vport::Chip::Ps2,
                                 vport::Chip::Ecp,   vport::Chip::Epp, vport::Chip::Ps2Zero};
    std::mt19937 random(28);
    for (int bit = 0; bit < 8; ++bit) {
        const vport::Chip chip = chips[random() % std::size(chips)];
        const uint8_t latch = static_cast<uint8_t>(random());
        const int pin = 2 + bit;
        const std::string named = "pin " + std::to_string(pin) + " (D" + std::to_string(bit) +
                                  ") reads back low where PortCheck drives it high";
        SCOPED_TRACE("D" + std::to_string(bit) + " shorted, chip " + std::to_string(int(chip)) + ", latch found " +
                     std::to_string(latch));
        port->Reset();
        port->SetChip(chip);
        port->SetData(latch);
        port->SetReadbackFromPins(true);
        ASSERT_TRUE(port->SetInputPin(pin, false));
        const ProcessResult probe = Run("--probe 0x378");
        EXPECT_EQ(probe.exitCode, 1u) << probe.out << probe.err;
        EXPECT_TRUE(Has(probe.out, "  " + named + ", after both 0x55 and 0xAA: a fault of that line")) << probe.out;
        const ProcessResult test = Run("0x378");
        for (const ProcessResult& result : {probe, test})
            EXPECT_FALSE(Has(result.out, "does not take") || Has(result.out, "does not hold") ||
                         Has(result.out, "FIFO mode"))
                << result.out;
        if (bit < 5) {
            EXPECT_EQ(test.exitCode, 1u) << test.out << test.err;
            EXPECT_TRUE(Has(test.out, "FAIL: " + named + ", the same on every rewrite: a fault of that line"))
                << test.out;
        } else {
            EXPECT_EQ(test.exitCode, 0u) << test.out << test.err;
            EXPECT_TRUE(Has(test.out, "(not tested: pins 7-9, D5-D7)")) << test.out;
        }
    }
}
