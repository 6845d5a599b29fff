// The port console run as a program beside the port's other users: its
// effect on the shared state, what it prints, and its exit codes.
#include <gtest/gtest.h>

#include <string>

#include "PortFixture.h"
#include "TestSupport.h"

using vport_test::ProcessResult;

namespace {

ProcessResult Console(const std::string& args) {
    return vport_test::RunProcess(vport_test::BuiltFile(VPORT_CONSOLE), args);
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

}  // namespace

using PortConsole = PortTest;

TEST_F(PortConsole, BadArgumentsChangeNothingAndExitWithTwo) {
    port->SetWiring(vport::Wiring::None);
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {"", "missing command"},
        {"blink", "unknown command 'blink'"},
        {"pin 18 low", "pin 18 is not an input"},
        {"pin 15", "missing value"},
        {"status 300", "out of range"},
        {"wiring", "missing value"},
        {"log --since", "missing value"},
        {"driver off", "neither stopped nor running"},
    };
    for (const auto& c : cases) {
        ProcessResult result = Console(c.args);
        EXPECT_EQ(result.exitCode, 2u) << c.args;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.args << ": " << result.err;
        EXPECT_EQ(result.out, "") << c.args;
    }
    EXPECT_EQ(port->Status(), 0x7F);
    EXPECT_EQ(port->GetWiring(), vport::Wiring::None);
    EXPECT_TRUE(port->DriverRunning());
}

TEST_F(PortConsole, HelpListsTheCommands) {
    ProcessResult result = Console("--help");
    EXPECT_EQ(result.exitCode, 0u);
    for (const char* command : {"show", "watch", "pin N high|low", "status VALUE", "status auto",
                                "wiring none|data|control", "driver stopped|running", "log", "--clear",
                                "--since", "reset"})
        EXPECT_NE(result.out.find(command), std::string::npos) << command;
}

TEST_F(PortConsole, DrivesPinsStatusAndWiringOfTheSharedPort) {
    ASSERT_EQ(Console("wiring none").exitCode, 0u);
    EXPECT_EQ(port->GetWiring(), vport::Wiring::None);

    ProcessResult pin = Console("pin 15 low");
    EXPECT_EQ(pin.exitCode, 0u) << pin.err;
    EXPECT_EQ(pin.out, "pin 15 pulled low\n");
    EXPECT_EQ(port->Read(0x379), 0x77);
    ASSERT_EQ(Console("pin 0xF high").exitCode, 0u);
    EXPECT_EQ(port->Read(0x379), 0x7F);

    ASSERT_EQ(Console("status 0x5A").exitCode, 0u);
    EXPECT_EQ(port->Read(0x379), 0x5A);
    ASSERT_EQ(Console("status auto").exitCode, 0u);
    EXPECT_EQ(port->Read(0x379), 0x7F);

    ASSERT_EQ(Console("wiring control").exitCode, 0u);
    EXPECT_EQ(port->GetWiring(), vport::Wiring::ControlLoopback);
    ASSERT_EQ(Console("wiring data").exitCode, 0u);
    EXPECT_EQ(port->GetWiring(), vport::Wiring::DataLoopback);

    port->Write(0x378, 0xFF);
    ASSERT_EQ(Console("reset").exitCode, 0u);
    EXPECT_EQ(port->Data(), 0x00);
    EXPECT_EQ(port->TotalAccesses(), 0u);
}

TEST_F(PortConsole, StopsAndStartsTheLibrarysDriver) {
    port->Write(0x378, 0x08);
    ProcessResult stopped = Console("driver stopped");
    EXPECT_EQ(stopped.exitCode, 0u) << stopped.err;
    EXPECT_EQ(stopped.out, "driver stopped\n");
    EXPECT_FALSE(port->DriverRunning());
    EXPECT_NE(Console("show").out.find("\ndriver   stopped\n"), std::string::npos);

    port->Write(0x378, 0x10);
    port->Read(0x379);
    EXPECT_EQ(Console("log").out,
              "W 0x0378 <- 0x08\n"
              "W 0x0378 <- 0x10  (driver stopped)\n"
              "R 0x0379 -> 0x00  (driver stopped)\n");
    EXPECT_EQ(port->Data(), 0x08);

    ProcessResult running = Console("driver running");
    EXPECT_EQ(running.exitCode, 0u) << running.err;
    EXPECT_EQ(running.out, "driver running\n");
    EXPECT_TRUE(port->DriverRunning());
    EXPECT_NE(Console("show").out.find("\ndriver   running\n"), std::string::npos);
}

TEST_F(PortConsole, PullingAWiredPinLowOverridesTheWiring) {
    port->SetData(0x08);  // D3 drives pin 10 high
    ProcessResult low = Console("pin 10 low");
    EXPECT_EQ(low.exitCode, 0u);
    EXPECT_EQ(low.out, "pin 10 pulled low\n");
    EXPECT_NE(low.err.find("pin 10 stays low whatever pin 5 drives into it through the data "
                           "loopback wiring"),
              std::string::npos)
        << low.err;
    EXPECT_EQ(port->Read(0x379), 0x87);
    ProcessResult show = Console("show");
    EXPECT_NE(show.out.find(" 10  /ACK        low    in   S6, wired to pin 5, held low\n"),
              std::string::npos)
        << show.out;

    ProcessResult high = Console("pin 10 high");
    EXPECT_EQ(high.exitCode, 0u);
    EXPECT_NE(high.err.find("with data loopback wiring pin 10 follows pin 5"), std::string::npos)
        << high.err;
    EXPECT_EQ(port->Read(0x379), 0xC7);
    EXPECT_EQ(Count(Console("show").out, "held low"), 0u);
}

TEST_F(PortConsole, LogPrintsAccessesInOrder) {
    port->Write(0x378, 0x08);
    port->Read(0x379);
    port->Read(0x37A);
    ProcessResult all = Console("log");
    EXPECT_EQ(all.exitCode, 0u);
    EXPECT_EQ(all.out, "W 0x0378 <- 0x08\nR 0x0379 -> 0xC7\nR 0x037A -> 0x00\n");

    ProcessResult since = Console("log --since 1 --clear");
    EXPECT_EQ(since.exitCode, 0u);
    EXPECT_EQ(since.out, "R 0x0379 -> 0xC7\nR 0x037A -> 0x00\n");
    EXPECT_EQ(port->TotalAccesses(), 0u);
    EXPECT_EQ(Console("log").out, "");
}

TEST_F(PortConsole, ShowAndWatchPictureThePort) {
    port->Write(0x378, 0x01);
    ProcessResult show = Console("show");
    EXPECT_EQ(show.exitCode, 0u);
    EXPECT_NE(show.out.find("status   0x8F  10001111\n"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find(" 15  /ERROR      high   in   S3, wired to pin 2\n"), std::string::npos)
        << show.out;
    EXPECT_NE(show.out.find("data     0x01  00000001\n"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("  1  /STROBE     high   out  C0 inverted\n"), std::string::npos);
    EXPECT_EQ(Count(show.out, "\n"), 31u);  // 14 heading lines and 17 pins

    port->SetWiring(vport::Wiring::None);
    port->ForceStatus(0x8F);
    ProcessResult watch = Console("watch --count 3 --interval 10");
    EXPECT_EQ(watch.exitCode, 0u);
    EXPECT_EQ(Count(watch.out, "status   0x8F  10001111  forced\n"), 3u) << watch.out;
    EXPECT_EQ(Count(watch.out, "wired to"), 0u);
    EXPECT_EQ(port->TotalAccesses(), 1u);  // looking is not an access
}

TEST_F(PortConsole, SetsTheChipAndItsSettingsAndShowListsThem) {
    const char* commands[] = {"chip fragile-ecr", "base 0x278",     "ecp 0xD000",      "ecr-mode 011",
                              "settle 200",       "pin 13 loose 3", "pin 4 low",       "intruder every 60000 ms"};
    for (const char* command : commands) {
        ProcessResult result = Console(command);
        EXPECT_EQ(result.exitCode, 0u) << command << ": " << result.err;
    }
    ProcessResult show = Console("show");
    for (const char* line : {"\nchip     fragile-ecr\n", "\nbase     0x278: data 0x278, status 0x279, control 0x27A\n",
                             "\nextended 0xD000: FIFO 0xD000, config B 0xD001, ECR 0xD002\n",
                             "\nECR      0x75  01110101  mode 011 ECP FIFO, FIFO 0 of 16 bytes\n",
                             "\nsettle   200 us\n", "\nintruder every 60000 ms\n",
                             "  4  D2          low    out  data bit 2, held low (counts only as an input)\n",
                             " 13  SELECT      low    in   S4, wired to pin 3, loose: low once in 3 reads\n"})
        EXPECT_NE(show.out.find(line), std::string::npos) << line << "\n" << show.out;
    EXPECT_EQ(port->Peek(0xD002), 0x75);

    ProcessResult overlap = Console("base 0xCFFC");
    EXPECT_EQ(overlap.exitCode, 2u);
    EXPECT_NE(overlap.err.find("base 0xCFFC would overlap the extended block at 0xD000"), std::string::npos)
        << overlap.err;
    EXPECT_EQ(port->Settings().base, 0x278);

    EXPECT_EQ(Console("write 0xD002 0x24").out, "W 0xD002 <- 0x24\n");
    EXPECT_EQ(Console("read 0x278").out, "R 0x0278 -> 0xFF\n") << "locked up";
    EXPECT_NE(Console("show").out.find("\nlocked   ECR bit 2 was written as 1"), std::string::npos);
    ProcessResult note = Console("epp-clear read-twice");
    EXPECT_NE(note.err.find("note: chip fragile-ecr doesn't use this; epp and epp-blocking do"), std::string::npos)
        << note.err;
}

TEST_F(PortConsole, SetsTheQuirksOfRealChipsAndShowSaysWhatTheyDid) {
    const char* commands[] = {"chip ecp",      "ecr-mode 011",      "write 0x77A 0x60", "fifo 3",
                              "serial 0xD410", "readback pins",     "settle 200 rising", "write 0xD412 0x00",
                              "pin 14 low",    "chip epp-blocking", "epp-clear write-0"};
    for (const char* command : commands) {
        ProcessResult result = Console(command);
        EXPECT_EQ(result.exitCode, 0u) << command << ": " << result.err;
        if (std::string(command) == "pin 14 low") {
            const std::string show = Console("show").out;
            for (const char* line :
                 {"\nECR      0x64  01100100  mode 011 ECP FIFO, FIFO 3 of 16 bytes, held up by the peripheral\n",
                  "\nsent     0 bytes strobed out by the FIFO modes; 1 service interrupts (ECR bit 2 written as 0)\n",
                  "\nserial   0xD410-0xD417: FIFOs OFF, FIFO control written 1 times, 0 bytes sent\n",
                  "\nreadback data and control bits 0-3 read the pins\n", "\nsettle   200 us, rising edges only\n"})
                EXPECT_NE(show.find(line), std::string::npos) << line << "\n" << show;
        }
    }
    EXPECT_NE(Console("show").out.find("\ntime-out clear (status bit 0), cleared by writing it as 0; data and "
                                       "control writes ignored while set\n"),
              std::string::npos);
    ProcessResult refused = Console("fifo 2");
    EXPECT_EQ(refused.exitCode, 2u);
    EXPECT_NE(refused.err.find("only in ECR mode 010 or 011"), std::string::npos) << refused.err;
}

// The chips as unkind as real ones, as `show` and --help tell them: a mode
// the card sets, ten address bits, ECR modes changed only through 000 or 001.
TEST_F(PortConsole, ShowsWhatTheUnkindChipsDid) {
    const struct {
        const char* commands[3];
        const char* line;
    } cases[] = {
        {{"chip fixed-mode", "ecr-mode 011", "write 0x77A 0x21"},
         "\nECR      0x61  01100001  mode 011 ECP FIFO (set by the card: writes keep it), FIFO 0 of 16 bytes\n"},
        {{"chip isa-10bit", "write 0x77A 0x0B", "show"},
         "\naliases  0x778-0x77A and so on every 0x400: data, status and control again (10 address bits)\n"},
    };
    for (const auto& c : cases) {
        for (const char* command : c.commands) EXPECT_EQ(Console(command).exitCode, 0u) << command;
        const std::string show = Console("show").out;
        EXPECT_NE(show.find(c.line), std::string::npos) << c.line << "\n" << show;
    }
    EXPECT_NE(Console("--help").out.find("of the ECR changes it to 000 or 001 only: a direct\n"), std::string::npos);
}

// The serial port: what reaches it from outside, what `show` says its reads
// would take or clear, and that looking changes nothing.
TEST_F(PortConsole, SerialPortReceivesRaisesItsFlagsAndShowSaysWhatReadsWouldChange) {
    ProcessResult none = Console("serial receive 0x41");
    EXPECT_EQ(none.exitCode, 2u);
    EXPECT_NE(none.err.find("there is no serial port (`serial ADDR` puts one there); nothing changed"),
              std::string::npos)
        << none.err;
    const struct {
        const char* command;
        const char* out;
    } steps[] = {
        {"serial 0xD000", "serial port at 0xD000-0xD007\n"},
        {"serial receive 0x41 66", "2 bytes received, 2 waiting (a read of 0xD000 takes one)\n"},
        {"serial error parity break", "line errors parity, break (a read of 0xD005 clears them)\n"},
        {"serial modem cts dcd", "modem lines active: cts, dcd; changed: cts, dcd (a read of 0xD006 clears the changes)\n"},
        {"write 0xD003 0x83", "W 0xD003 <- 0x83\n"},
        {"write 0xD000 0x0C", "W 0xD000 <- 0x0C\n"},
        {"write 0xD003 0x03", "W 0xD003 <- 0x03\n"},
        {"write 0xD001 0x01", "W 0xD001 <- 0x01\n"},
    };
    for (const auto& step : steps) {
        const ProcessResult result = Console(step.command);
        EXPECT_EQ(result.exitCode, 0u) << step.command << ": " << result.err;
        EXPECT_EQ(result.out, step.out) << step.command;
    }
    const std::string show = Console("show").out;
    for (const char* line :
         {"\nserial   0xD000-0xD007: FIFOs on, FIFO control written 0 times, 0 bytes sent\n",
          "\nreceived 2 bytes waiting, 0x41 0x42: a read of 0xD000 takes one\n",
          "\nerrors   parity, break: a read of 0xD005 clears them (line status 0xF5)\n",
          "\nmodem    cts, dcd active; changed cts, dcd: a read of 0xD006 clears the changes (modem status 0x99)\n",
          "\n16550    IER 0x01, IIR 0xC4, LCR 0x03, MCR 0x00, divisor 0x000C, scratch 0x00\n"})
        EXPECT_NE(show.find(line), std::string::npos) << line << "\n" << show;
    EXPECT_EQ(Console("read 0xD000").out, "R 0xD000 -> 0x41\n");
    EXPECT_EQ(Console("read 0xD005").out, "R 0xD005 -> 0xF5\n");
    EXPECT_EQ(Console("read 0xD006").out, "R 0xD006 -> 0x99\n");
    EXPECT_EQ(Console("read 0xD000").out, "R 0xD000 -> 0x42\n");
    const std::string after = Console("show").out;
    for (const char* line : {"\nreceived nothing waiting: 0xD000 reads 0x42 again\n",
                             "\nerrors   none (line status 0x60)\n",
                             "\nmodem    cts, dcd active, no change (modem status 0x90)\n"})
        EXPECT_NE(after.find(line), std::string::npos) << line << "\n" << after;
    EXPECT_EQ(Console("serial receive 7").out, "1 byte received, 1 waiting (a read of 0xD000 takes one)\n");
    const ProcessResult overrun = Console("serial receive 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16");
    EXPECT_EQ(overrun.out, "17 bytes received, 16 waiting (a read of 0xD000 takes one); the FIFO was full: overrun "
                           "(line status bit 1)\n");
}

TEST_F(PortConsole, ShowMarksALineShortedToGroundAndHelpSaysHowToShortOne) {
    ASSERT_EQ(Console("pin 2 low").exitCode, 0u);
    ASSERT_EQ(Console("pin 14 low").exitCode, 0u);
    const std::string latch = Console("show").out;
    EXPECT_NE(latch.find("\n  2  D0          low    out  data bit 0, held low (counts only as an input)\n"),
              std::string::npos)
        << latch;
    EXPECT_NE(latch.find("C1 inverted, held low (counts only with `readback pins`)\n"), std::string::npos) << latch;
    port->SetData(0xFF);
    ASSERT_EQ(Console("readback pins").exitCode, 0u);
    const std::string pins = Console("show").out;
    EXPECT_NE(pins.find("\n  2  D0          low    out  data bit 0, shorted to ground: low while driven high\n"),
              std::string::npos)
        << pins;
    EXPECT_NE(pins.find("\n 14  /AUTOFEED   low    out  C1 inverted, shorted to ground: low while driven high\n"),
              std::string::npos)
        << pins;
    EXPECT_EQ(Console("read 0x378").out, "R 0x0378 -> 0xFE\n");

    const std::string help = Console("--help").out;
    for (const char* line : {"To short a line: `readback pins`, then `pin N low`", "serial receive BYTE...",
                             "serial error overrun|parity|framing|break...", "serial modem cts|dsr|ri|dcd...|none"})
        EXPECT_NE(help.find(line), std::string::npos) << line;
}

// Another program on the port, seen from this process's accesses.
TEST_F(PortConsole, IntruderStartedAtTheConsoleWritesBetweenThisProgramsAccesses) {
    port->Write(0x378, 0x55);
    ASSERT_EQ(Console("intruder every 1 ms").exitCode, 0u);
    for (int n = 0; n < 10; ++n) {
        port->Read(0x378);
        Sleep(2);
    }
    ASSERT_EQ(Console("intruder off").exitCode, 0u);
    EXPECT_EQ(port->Read(0x378), 0x55);
    const std::string log = Console("log").out;
    EXPECT_GE(Count(log, "W 0x0378 <- 0x04  (intruder)\nW 0x037A <- 0x06  (intruder)\n"), 2u) << log;
    EXPECT_GE(Count(log, "W 0x0378 <- 0x55  (intruder)\n"), 2u) << log;
}

TEST(PortConsoleAlone, StateFileOfAnotherVersionIsReportedUntilResetReplacesIt) {
    vport_test::ScopedPortName name("console-stale");
    vport_test::WriteStateFile(1000, 0x54505654, 2);
    ProcessResult show = Console("show");
    EXPECT_EQ(show.exitCode, 1u);
    EXPECT_NE(show.err.find("it is a port state of another version (2)"), std::string::npos) << show.err;
    EXPECT_NE(show.err.find("nothing was shown or changed (`PortConsole reset` replaces it"), std::string::npos);
    EXPECT_EQ(Console("pin 13 low").exitCode, 1u);

    ProcessResult reset = Console("reset");
    EXPECT_EQ(reset.exitCode, 0u) << reset.err;
    EXPECT_EQ(reset.out, "port reset to power-up\n");
    EXPECT_NE(reset.err.find("another version (2)"), std::string::npos) << reset.err;
    ASSERT_EQ(Console("pin 13 low").exitCode, 0u);
    EXPECT_NE(Console("show").out.find(" 13  SELECT      low"), std::string::npos);
}

TEST(PortConsoleAlone, PortThatCannotBeOpenedExitsWithOne) {
    vport_test::ScopedPortName name("console-foreign");
    vport_test::ForeignMapping foreign(name.name(), 1 << 20, 0x12345678, 1);
    ProcessResult result = Console("show");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.err.find("something other than a port state"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}
