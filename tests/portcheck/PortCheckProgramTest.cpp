// The built PortCheck.exe against the virtual port: each outcome's output
// and exit code, the registers left as found, and each way the port library
// can fail.
#include <gtest/gtest.h>

#include "PlantedLibraries.h"
#include "PortCheckProgram.h"

using namespace portcheck_test;
using PortCheck = PortCheckProgram;

TEST_F(PortCheck, DataPlugPassesAndPutsDataAndControlBack) {
    port->SetData(0xB5);
    port->SetControl(0x3B);
    const ProcessResult result = Run("0x378");
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(Has(result.out, "Testing the port at 0x378 with the data loopback plug\n"));
    EXPECT_TRUE(Has(result.out, "  pin  6 D4         -> pin 11 BUSY       ok\n")) << result.out;
    EXPECT_TRUE(Has(result.out, "\nPASS: all 5 lines ok (not tested: pins 7-9, D5-D7)\n"
                                "Put back as found and read back: data 0xB5, control 0x3B\n"))
        << result.out;

    const std::vector<vport::Access> log = port->Log();
    std::vector<vport::Access> writes;
    for (const vport::Access& access : log)
        if (access.write && access.port != 0x379) writes.push_back(access);  // but the EPP time-out's
    ASSERT_GE(writes.size(), 7u);
    EXPECT_FALSE(log[0].write);
    // The kernel's check, the data pins left as inputs, and control put back.
    const uint8_t checked[] = {0x2C, 0x2E, 0x3B};
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(writes[i].port == 0x37A && writes[i].value == checked[i]) << i;
    EXPECT_EQ(writes[3].port, 0x37A);
    EXPECT_EQ(writes[3].value, 0xEB);  // bits 5-7 written as 1 once: which read 0 whatever is written?
    EXPECT_EQ(writes[4].port, 0x37A);
    EXPECT_EQ(writes[4].value, 0x0B);  // interrupts off, data pins driving, the rest as found
    for (size_t i = 5; i + 2 < writes.size(); ++i) {
        EXPECT_EQ(writes[i].port, 0x378) << i;
        EXPECT_EQ(writes[i].value & 0xE0, 0xA0) << i;
    }
    EXPECT_TRUE(writes[writes.size() - 2].port == 0x378 && writes[writes.size() - 2].value == 0xB5);
    EXPECT_TRUE(writes.back().port == 0x37A && writes.back().value == 0x3B);
    EXPECT_FALSE(log.back().write);  // and read back
    EXPECT_EQ(port->Data(), 0xB5);
    EXPECT_EQ(port->Control(), 0x3B);
}

TEST_F(PortCheck, ControlPlugPassesOnTheControlWiringOnly) {
    ASSERT_TRUE(port->SetBase(0x278));
    port->SetWiring(vport::Wiring::ControlLoopback);
    const ProcessResult pass = Run("--plug control $278");
    EXPECT_EQ(pass.exitCode, 0u) << pass.err;
    EXPECT_TRUE(Has(pass.out, "Testing the port at 0x278 with the control loopback plug\n"));
    EXPECT_TRUE(Has(pass.out, "  pin 17 /SELECT IN -> pin 11 BUSY       ok\n")) << pass.out;
    EXPECT_TRUE(Has(pass.out, "\nPASS: all 5 lines ok (not tested: pins 3-9, D1-D7)\n"));
    EXPECT_EQ(Run("0x278").exitCode, 1u);  // the data plug's test on this wiring

    port->SetWiring(vport::Wiring::DataLoopback);
    const ProcessResult fail = Run("--plug control 632");
    EXPECT_EQ(fail.exitCode, 1u);
    EXPECT_TRUE(Has(fail.out, "  pin  1 /STROBE    -> pin 13 SELECT     stuck low\n")) << fail.out;
    EXPECT_TRUE(Has(fail.out, "  pin  2 D0         -> pin 15 /ERROR     ok\n"));  // on both plugs
    EXPECT_TRUE(Has(fail.out, "\nFAIL: 4 of 5 lines faulty (not tested: pins 3-9, D1-D7)\n"));
    EXPECT_EQ(port->Data(), 0);
    EXPECT_EQ(port->Control(), 0);
}

TEST_F(PortCheck, InputHeldLowIsNamedStuckLow) {
    port->SetInputPin(13, false);
    const ProcessResult result = Run("0X378");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_TRUE(Has(result.out, "  pin  3 D1         -> pin 13 SELECT     stuck low\n")) << result.out;
    EXPECT_TRUE(Has(result.out, "  pin  2 D0         -> pin 15 /ERROR     ok\n"));
    EXPECT_TRUE(Has(result.out, "\nFAIL: 1 of 5 lines faulty (not tested: pins 7-9, D5-D7)\n"));
}

TEST_F(PortCheck, NoPlugIsSaidOnce) {
    port->SetWiring(vport::Wiring::None);
    port->SetData(0x11);
    const ProcessResult result = Run("888");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_TRUE(Has(result.out, "  pin  5 D3         -> pin 10 /ACK       no plug (always high)\n"))
        << result.out;
    EXPECT_TRUE(Has(result.out, "\nFAIL: no plug: no input follows any output (is the plug fitted, "
                                "and is 0x378 the port's address?)\n"));
    EXPECT_FALSE(Has(result.out, "stuck"));
    EXPECT_EQ(port->Data(), 0x11);
}

TEST_F(PortCheck, BadArgumentsExitWithTwoBeforeTouchingThePort) {
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {"", "PortCheck: missing BASE"},
        {"xyz", "PortCheck: 'xyz' is not a valid port address; write it as 0x378, $378 or 888\n"},
        {"0x10000", "PortCheck: port address '0x10000' is out of range"},
        {"0x37A", "PortCheck: 0x37A is not a port base (bases are multiples of 4); did you mean 0x378?\n"},
        {"--plug control 0x3F4", "PortCheck: the registers of a port at 0x3F4 would lie among the PC's own"},
        {"--plug printer 0x378", "PortCheck: unknown plug 'printer'"},
        {"--verbose 0x378", "PortCheck: unknown option '--verbose'"},
        {"--list 0x378", "PortCheck: --list takes no other arguments"},
        {"--driver 0x378", "PortCheck: --driver takes no other arguments"},
    };
    for (const auto& c : cases) {
        const ProcessResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, 2u) << c.args;
        EXPECT_EQ(result.err.find(c.message), 0u) << c.args << ": " << result.err;
        EXPECT_TRUE(Has(result.err, "usage: PortCheck [--plug data|control] [--settle US] [--repeat N] [--ecr ADDR] [--force] BASE"))
            << c.args;
        EXPECT_EQ(result.out, "") << c.args;
    }
    const ProcessResult help = Run("--help");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_TRUE(Has(help.out, "usage: PortCheck [--plug data|control] [--settle US] [--repeat N] [--ecr ADDR] [--force] BASE\n"));
    EXPECT_TRUE(Has(help.out, "--plug control"));
    EXPECT_EQ(port->TotalAccesses(), 0u);
}

// Nothing answers at 0x278: three reads, status and control first, and
// again; the EPP time-out's status writes (status bit 0 reads 1); the
// kernel's check (control 0x0C, which reads 0xFF, so the data latch: still
// 0xFF), and control left at its idle value, never 0xFF; no other access.
TEST_F(PortCheck, NoPortAtTheAddressExitsWithFiveAfterTheLatchTestAlone) {
    const ProcessResult result = Run("0x278");
    EXPECT_EQ(result.exitCode, 5u) << result.out;
    EXPECT_EQ(result.err.find("PortCheck: no parallel port answers at 0x278: "), 0u) << result.err;
    EXPECT_EQ(result.out, "");
    const uint16_t data = 0x278, status = 0x279, control = 0x27A;
    const std::vector<vport::Access> expected{
        {false, status, 0xFF}, {false, control, 0xFF}, {false, data, 0xFF},   {false, data, 0xFF},
        {false, control, 0xFF}, {false, status, 0xFF}, {false, status, 0xFF}, {true, status, 0xFF},
        {true, status, 0xFE},  {false, status, 0xFF}, {true, control, 0x0C},  {false, control, 0xFF},
        {false, data, 0xFF},   {true, data, 0xAA},    {false, data, 0xFF},    {true, data, 0x55},
        {false, data, 0xFF},   {true, data, 0xFF},    {true, control, 0x04}};
    const std::vector<vport::Access> log = port->Log();
    ASSERT_EQ(log.size(), expected.size());
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].write, expected[i].write) << i;
        EXPECT_EQ(log[i].port, expected[i].port) << i;
        EXPECT_EQ(log[i].value, expected[i].value) << i;
    }
}

// Another program driving the port every 5 ms, as Windows' polling does:
// the test stops, says so, and the port is as it was once the other program
// is gone.
TEST_F(PortCheck, AnotherWriterStopsTheTestWithSixAndThePortIsPutBack) {
    port->SetData(0x5A);
    port->SetControl(0x0C);
    port->SetIntruderPeriod(5);
    const ProcessResult result = Run("--repeat 10 0x378");
    port->SetIntruderPeriod(0);
    EXPECT_EQ(result.exitCode, 6u) << result.out;
    EXPECT_EQ(result.err.find("PortCheck: another program or Windows' printer-port polling wrote to the port "
                              "during the test: "),
              0u)
        << result.err;
    EXPECT_TRUE(Has(result.err, "DisableWarmPoll")) << result.err;
    EXPECT_FALSE(Has(result.out, "PASS"));
    // PortCheck's own last writes, where it made any, put back what it found.
    int lastData = 0x5A, lastControl = 0x0C;
    for (const vport::Access& access : port->Log()) {
        if (!access.write || access.intruder) continue;
        if (access.port == 0x378) lastData = access.value;
        if (access.port == 0x37A) lastControl = access.value;
    }
    EXPECT_EQ(lastData, 0x5A);
    EXPECT_EQ(lastControl, 0x0C);
    // The other writer can undo them after PortCheck's last look (its own
    // put-back restores what it saved while PortCheck's values were lost
    // under it); PortCheck then says so.
    if (!Has(result.err, "NOT put back: ")) {
        EXPECT_EQ(port->Data(), 0x5A) << result.err;
        EXPECT_EQ(port->Control(), 0x0C) << result.err;
    }
}

TEST_F(PortCheck, RepeatedRoundsNameALooseContact) {
    ASSERT_TRUE(port->SetLoosePin(12, 39));
    const ProcessResult result = Run("--repeat 20 0x378");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_TRUE(Has(result.out, "  pin  4 D2         -> pin 12 PAPER OUT  unstable: ")) << result.out;
    EXPECT_TRUE(Has(result.out, "\nFAIL: 1 of 5 lines faulty")) << result.out;
}

// --probe on the virtual port's chips: the exit code and the line that
// matters, and data, control and the ECR as they were afterwards.
TEST_F(PortCheck, ProbeTellsWhetherThePanelsOutputsReachThePins) {
    const struct {
        vport::Chip chip;
        uint8_t mode;
        uint16_t extended;  // 0: at base + 0x400
        const char* args;
        unsigned exitCode;
        const char* line;
        bool printerBusy = false;  // the FIFO's transfer held up: data writes wait in it
    } cases[] = {
        {vport::Chip::Ideal, 0, 0, "--probe 0x378", 0, "\n  the panel's outputs reach the pins in this mode\n"},
        {vport::Chip::Spp, 0, 0, "--probe 0x378", 0, "\n  bidirectional: no (control bit 5 does not turn the data pins around)\n"},
        {vport::Chip::Ps2, 0, 0, "--probe 0x378", 0, "\n  bidirectional: yes\n"},
        {vport::Chip::Ecp, 1, 0, "--probe 0x378", 0, "\n  extended control register at 0x77A: mode 001 PS/2 (bidirectional)\n"},
        {vport::Chip::Ecp, 3, 0, "--probe 0x378", 1,
         "\n  the panel's data outputs do NOT reach the pins in this mode: run \"PortCheck --set-mode ps2 0x378\", "
         "or set the port to SPP/EPP+SPP/PS2 in the BIOS\n"},
        {vport::Chip::Ecp, 3, 0xD000, "--probe --ecr 0xD000 0x378", 1, "run \"PortCheck --set-mode ps2 --ecr 0xD000 0x378\""},
        {vport::Chip::Ecp, 3, 0xD000, "--probe 0x378", 1, "give its extended block with --ecr", true},
        {vport::Chip::Epp, 0, 0, "--probe 0x378", 0, "\n  EPP time-out flag: was set (an EPP access went unanswered); cleared now\n"},
        {vport::Chip::Ps2, 0, 0, "--probe 0x278", 5, ""},
    };
    for (const auto& c : cases) {
        port->Reset();
        port->SetChip(c.chip);
        port->SetEcrMode(c.mode);
        if (c.extended) port->SetExtendedBlock(c.extended);
        if (c.printerBusy) port->HoldFifo(1);
        port->SetData(0x96);
        port->SetControl(0x0C);
        port->Read(0x37C);  // an EPP access: the epp chip's time-out
        const uint8_t ecr = port->Settings().ecr;
        const ProcessResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args << result.out << result.err;
        EXPECT_TRUE(Has(c.exitCode == 5 ? result.err : result.out, c.line)) << c.args << result.out;
        EXPECT_EQ(result.out.find("Probing "), 0u) << "the warning first: " << result.out;
        EXPECT_EQ(port->Data(), 0x96) << c.args;
        EXPECT_EQ(port->Control(), 0x0C) << c.args;
        // The mode and bits 4-2; a FIFO that the probe cannot know of (no
        // --ecr) takes the latch test's writes.
        EXPECT_EQ(port->Settings().ecr & 0xFC, ecr & 0xFC) << c.args;
        EXPECT_FALSE(port->Settings().lockedUp) << c.args;
    }
}

TEST_F(PortCheck, SetModePs2MakesAnEcpPortInItsFifoModePassTheLoopbackTest) {
    port->SetChip(vport::Chip::Ecp);
    port->SetEcrMode(3);
    const ProcessResult before = Run("0x378");
    EXPECT_EQ(before.exitCode, 1u);
    EXPECT_TRUE(Has(before.out, "the extended control register at 0x77A is in mode 011 ECP FIFO")) << before.out;

    const ProcessResult set = Run("--set-mode ps2 0x378");
    EXPECT_EQ(set.exitCode, 0u) << set.err;
    EXPECT_TRUE(Has(set.out, "Port at 0x378: the extended control register at 0x77A set to mode 001 PS/2 "
                             "(bidirectional), was mode 011 ECP FIFO; read back to check\nThe mode stays until "
                             "the PC restarts")) << set.out;
    EXPECT_EQ(port->Settings().ecr >> 5, 1);
    EXPECT_EQ(Run("0x378").exitCode, 0u);

    port->SetChip(vport::Chip::Spp);
    const ProcessResult refused = Run("--set-mode spp 0x378");
    EXPECT_EQ(refused.exitCode, 1u);
    EXPECT_EQ(refused.err.find("PortCheck: no extended control register answers at 0x77A, so the port has no mode "
                               "to set"), 0u) << refused.err;
}

TEST_F(PortCheck, MissingOrIncompleteLibraryExitsWithThree) {
    const struct {
        const char* folder;
        Beside beside;
        const char* message;
        const char* cause;
    } cases[] = {
        {"no-library", Beside::Nothing, "PortCheck: LoadLibrary Failed.\n",
         "PortCheck: cause: No inpout32.dll beside the program or in the Windows system folder.\n"},
        {"no-inp32", Beside::LibraryWithoutInp32, "PortCheck: GetProcAddress for Inp32 Failed.\n",
         "PortCheck: cause: inpout32.dll lacks the entry point Inp32"},
        {"no-out32", Beside::LibraryWithoutOut32, "PortCheck: GetProcAddress for Oup32 Failed.\n",
         "PortCheck: cause: inpout32.dll lacks the entry point Out32"},
    };
    for (const auto& c : cases) {
        const ProcessResult result = RunBeside(c.folder, c.beside, "0x378");
        EXPECT_EQ(result.exitCode, 3u) << c.message;
        EXPECT_EQ(result.err.find(std::string(c.message) + c.cause), 0u) << result.err;
        EXPECT_TRUE(Has(result.err, "\nPortCheck: what to do: ")) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(port->TotalAccesses(), 0u);
}

// The panel's search: copies in the current directory and on PATH are not
// the library beside the program.
TEST_F(PortCheck, PlantedLibrariesAreNeverLoaded) {
    const auto wide = [](const std::string& s) { return std::wstring(s.begin(), s.end()); };
    const PlantedLibraries planted(wide(vport_test::BuiltFile(VPORT_LIBRARY_TRACED)),
                                   wide(vport_test::BuiltFile("../portcheck-cases/planted-libraries/")));
    ASSERT_TRUE(planted.planted());
    const ProcessResult result = RunBeside("planted", Beside::Nothing, "0x378");
    EXPECT_EQ(result.exitCode, 3u);
    EXPECT_EQ(result.err.find("PortCheck: LoadLibrary Failed.\nPortCheck: cause: No inpout32.dll beside"), 0u)
        << result.err;
    EXPECT_EQ(planted.Loaded(), "");
}

// --driver reads what Windows tells and asks the library, never the port.
TEST_F(PortCheck, DriverReportTouchesNoPort) {
    const ProcessResult working = Run("--driver");
    EXPECT_EQ(working.exitCode, 0u) << working.out << working.err;
    EXPECT_TRUE(Has(working.out, "driver open: yes [IsInpOutDriverOpen]\n")) << working.out;
    EXPECT_TRUE(Has(working.out, "\ncause: The library reaches the port: the driver is running.\n")) << working.out;
    port->SetDriverRunning(false);
    const ProcessResult stopped = Run("--driver");
    EXPECT_EQ(stopped.exitCode, 3u) << stopped.out;
    EXPECT_TRUE(Has(stopped.out, "driver open: no [IsInpOutDriverOpen]\n")) << stopped.out;
    EXPECT_EQ(port->TotalAccesses(), 0u);
}

TEST_F(PortCheck, StoppedDriverExitsWithThreeWithoutTouchingThePort) {
    ProcessResult console =
        vport_test::RunProcess(vport_test::BuiltFile(VPORT_CONSOLE), "driver stopped");
    ASSERT_EQ(console.exitCode, 0u) << console.err;
    const ProcessResult result = Run("0x378");
    EXPECT_EQ(result.exitCode, 3u);
    EXPECT_EQ(result.err.find("PortCheck: inpout32.dll is loaded, but its port driver is not "
                              "running.\n"),
              0u)
        << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(port->TotalAccesses(), 0u);  // not even a read of the stopped library
}

// Wine's configuration manager cannot give a port's resources (its calls
// end the caller): --list says so in one line and ends with its own code,
// with no port library and without touching a port.
TEST_F(PortCheck, ListSaysWhereWindowsCannotListThePorts) {
    const ProcessResult result = RunBeside("list", Beside::Nothing, "--list");
    EXPECT_EQ(result.exitCode, 7u) << result.out;
    EXPECT_EQ(result.err.find("PortCheck: cannot list the ports here: "), 0u) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(port->TotalAccesses(), 0u);
}
