// --probe on the virtual port's chips, in-process: what it finds on each,
// that it leaves data, control and the ECR as they were with ECR bits 4-2
// as found (the Oxford pattern where told), that a control register
// answering at the ECR's address is no ECR, the ECR's first write read back
// whole and another writer's ECR left alone, and the EPP time-out flag
// however the chip clears it.
#include <gtest/gtest.h>

#include "ExitCodes.h"
#include "PortCommand.h"
#include "PrivatePort.h"
#include "ProbeCommand.h"
#include "SessionText.h"
#include "SetModeCommand.h"

using namespace portcheck;

namespace {

using Probe = PrivatePortTest;

ProbeResult ProbeAndRestore(int ecrPort, RestoreOutcome* restored = nullptr, bool oxford = false) {
    PortSession session(kPrivateLibrary, 0x378);
    session.UseEcrAt(ecrPort);
    if (oxford) session.UseOxfordEcrPattern();
    EXPECT_EQ(session.Begin(), SessionStart::Ready);
    const ProbeResult result = ProbePort(session);
    const RestoreOutcome outcome = session.Restore();
    EXPECT_TRUE(outcome.Held());
    if (restored) *restored = outcome;
    return result;
}

// A port whose control register answers at base + 0x402 too, as with
// 10-bit address decoding.
short __stdcall ReadAliased(short port) { return ReadPrivatePort(port == 0x77A ? 0x37A : port); }

// An ECR that takes no write.
void __stdcall WriteAllButTheEcr(short port, short value) {
    if (port != 0x77A) WritePrivatePort(port, value);
}

// A session on the port at 0x378 with its ECR at 0x77A, begun.
void BeginWithEcr(PortSession& session) {
    session.UseEcrAt(0x77A);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
}

}  // namespace

TEST_F(Probe, TellsEachChipAndLeavesItsRegistersAsTheyWere) {
    const struct {
        vport::Chip chip;
        uint8_t mode;
        int extended;  // -1: at base + 0x400
        bool bidirectional;
        EcrFinding::Kind ecr;
    } cases[] = {
        {vport::Chip::Ideal, 0, -1, false, EcrFinding::NoFifo},
        {vport::Chip::Spp, 0, -1, false, EcrFinding::NoFifo},
        {vport::Chip::Ps2, 0, -1, true, EcrFinding::NoFifo},
        {vport::Chip::Ecp, 0, -1, true, EcrFinding::Present},
        {vport::Chip::Ecp, 1, -1, true, EcrFinding::Present},
        {vport::Chip::Ecp, 3, -1, true, EcrFinding::Present},
        {vport::Chip::Ecp, 3, 0xD000, true, EcrFinding::Present},
        {vport::Chip::FragileEcr, 3, -1, true, EcrFinding::Present},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.chip) * 10 + c.mode);
        g_port->Reset();
        g_port->SetChip(c.chip);
        g_port->SetEcrMode(c.mode);
        if (c.extended >= 0) g_port->SetExtendedBlock(static_cast<uint16_t>(c.extended));
        g_port->SetData(0x96);
        g_port->SetControl(0x0C);
        const uint8_t ecrBefore = g_port->Settings().ecr;
        const bool oxford = c.chip == vport::Chip::FragileEcr;  // as Windows names its PCI vendor
        const ProbeResult result = ProbeAndRestore((c.extended >= 0 ? c.extended : 0x778) + 2, nullptr, oxford);
        EXPECT_TRUE(result.latch.Found());
        EXPECT_EQ(result.bidirectional, c.bidirectional);
        EXPECT_EQ(result.ecr.kind, c.ecr);
        if (c.ecr == EcrFinding::Present) {
            EXPECT_EQ(result.ecr.Mode(), c.mode);
        }
        EXPECT_EQ(g_port->Data(), 0x96);
        EXPECT_EQ(g_port->Control(), 0x0C);
        EXPECT_EQ(g_port->Settings().ecr, oxford ? (ecrBefore & 0xE0) | 0x01 : ecrBefore);
        EXPECT_FALSE(g_port->Settings().lockedUp);
        // Bits 4-2 as found (0x14), or the Oxford pattern 00001; no service interrupt.
        for (const vport::Access& write : Writes()) {
            if (write.port != (c.extended >= 0 ? c.extended : 0x778) + 2) continue;
            EXPECT_EQ(write.value & 0x1F, oxford ? 0x01 : 0x14);
        }
        EXPECT_EQ(g_port->Settings().serviceInterrupts, 0u);
    }
}

TEST_F(Probe, ControlRegisterAnsweringAtTheEcrsAddressIsNoEcr) {
    g_port->SetControl(0x01);  // as an ECR: mode 000, FIFO empty
    const PortLibrary aliased{nullptr, &ReadAliased, &WritePrivatePort};
    PortSession session(aliased, 0x378);
    session.UseEcrAt(0x77A);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    EXPECT_EQ(FindEcr(session).kind, EcrFinding::Follows);
}

TEST_F(Probe, EppTimeOutFlagIsClearedWhereSetAndOnlyThere) {
    g_port->SetChip(vport::Chip::Epp);
    EXPECT_EQ(ProbeAndRestore(0x77A).epp, EppTimeout::NotSet);
    for (const vport::EppClear way : {vport::EppClear::WriteOne, vport::EppClear::WriteZero, vport::EppClear::ReadTwice}) {
        g_port->SetEppClear(way);
        g_port->Read(0x37C);  // an EPP access with no EPP device: time-out
        EXPECT_EQ(ProbeAndRestore(0x77A).epp, EppTimeout::Cleared) << int(way);
        EXPECT_EQ(g_port->Status() & 0x01, 0) << int(way);
    }
    g_port->SetChip(vport::Chip::Spp);  // status bit 0 reads 1 and means nothing
    EXPECT_EQ(ProbeAndRestore(0x77A).epp, EppTimeout::NotAFlag);
}

TEST_F(Probe, EcrThatTakesNoModeIsSaidAndNothingIsClaimed) {
    g_port->SetChip(vport::Chip::Ecp);
    g_port->SetEcrMode(3);
    const PortLibrary stuck{nullptr, &ReadPrivatePort, &WriteAllButTheEcr};
    CheckOptions options;
    options.base = 0x378;
    options.mode = kEcrPs2;
    for (const bool setMode : {false, true}) {
        PortSession session(stuck, 0x378);
        session.UseEcrAt(0x77A);
        ASSERT_EQ(session.Begin(), SessionStart::Ready);
        const CommandOutput output = setMode ? SetModeCommand(session, options) : ProbeCommand(session, options);
        EXPECT_EQ(output.exitCode, kExitFault);
        EXPECT_TRUE(session.Restore().Held());
        const std::string& text = setMode ? output.err : output.out;
        EXPECT_NE(text.find(setMode ? "PortCheck: the extended control register at 0x77A did not take mode 001 PS/2 "
                                      "(bidirectional) (it reads 0x75); its mode is put back\n"
                                    : "Port at 0x378: answers (data latch not tested: the ECR did not take mode 001)\n"),
                  std::string::npos)
            << text;
    }
}

// Bits 4-2 are the chip's: written back as found, compared on restore
// without bit 2 (the chip sets it itself).
TEST_F(Probe, EcrBitsFourToTwoGoBackAsFound) {
    g_port->SetChip(vport::Chip::Ecp);
    g_port->Write(0x77A, 0x68);  // mode 011, DMA on, service interrupts on: fires, and bit 2 reads 1 again
    g_port->ClearLog();
    RestoreOutcome restored;
    ProbeAndRestore(0x77A, &restored);
    EXPECT_TRUE(restored.Held());
    EXPECT_EQ(g_port->Settings().ecr & 0xF8, 0x68);
    for (const vport::Access& write : WritesTo(0x77A)) EXPECT_EQ(write.value & 0x1C, 0x0C);
    EXPECT_NE(RestoreLines(restored).find(", ECR mode 011\n"), std::string::npos) << RestoreLines(restored);
}

// The first write must read back whole, the FIFO empty: else it is no ECR
// to trust, and what was found goes back at once.
TEST_F(Probe, EcrWhoseFirstWriteDoesNotReadBackIsPutBackAtOnce) {
    g_port->SetChip(vport::Chip::Ecp);
    g_port->SetEcrMode(3);
    PortSession session(kPrivateLibrary, 0x378);
    BeginWithEcr(session);
    g_afterWrite = [] {
        if (g_port->Settings().ecr >> 5 == 1) g_port->HoldFifo(0), g_port->SetEcrMode(2);  // reads 010
    };
    EXPECT_FALSE(session.SetEcrMode(kEcrPs2));
    g_afterWrite = nullptr;
    const std::vector<vport::Access> writes = WritesTo(0x77A);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].value, 0x34);
    EXPECT_EQ(writes[1].value, 0x74) << "what was found";
}

// An ECR another writer changes under PortCheck is said and left alone.
TEST_F(Probe, EcrChangedByAnotherWriterIsReportedNotRewritten) {
    g_port->SetChip(vport::Chip::Ecp);
    g_port->SetEcrMode(3);
    PortSession session(kPrivateLibrary, 0x378);
    BeginWithEcr(session);
    ASSERT_TRUE(session.SetEcrMode(kEcrPs2));
    g_port->SetEcrMode(0);
    const size_t writes = Writes().size();
    const RestoreOutcome restored = session.Restore();
    EXPECT_TRUE(session.disturbed());
    EXPECT_EQ(Writes().size(), writes);
    EXPECT_EQ(g_port->Settings().ecr >> 5, 0);
    EXPECT_NE(RestoreLines(restored).find("The extended control register changed under PortCheck (it reads 0x15, "
                                          "PortCheck had written 0x34): another writer's; left as it is\n"),
              std::string::npos)
        << RestoreLines(restored);
}

// The alias test sets control bit 1 only from 0: found set, an ECR whose low
// bits match control's is not believed, and control bit 1 is not released.
TEST_F(Probe, AliasTestNeverReleasesControlBitOne) {
    g_port->SetControl(0x03);
    const PortLibrary aliased{nullptr, &ReadAliased, &WritePrivatePort};
    PortSession session(aliased, 0x378);
    session.UseEcrAt(0x77A);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    g_port->ClearLog();  // the check that a port answers is the kernel's: 0x0C and 0x0E, and back
    EXPECT_EQ(FindEcr(session).kind, EcrFinding::Follows);
    EXPECT_TRUE(WritesTo(0x37A).empty());
}

// Where Windows names an Oxford Semiconductor part (PCI vendor 1415), bits
// 4-0 are written as 00001: bit 2 written as 1 would lock it up.
TEST_F(Probe, OxfordPartGetsItsOwnPatternAndNeverBitTwo) {
    g_port->SetChip(vport::Chip::FragileEcr);
    g_port->SetEcrMode(3);
    {
        PortSession session(kPrivateLibrary, 0x378);
        BeginWithEcr(session);
        session.SetEcrMode(kEcrPs2);
    }
    EXPECT_TRUE(g_port->Settings().lockedUp) << "the pattern of other chips locks it";
    g_port->Reset();
    g_port->SetChip(vport::Chip::FragileEcr);
    g_port->SetEcrMode(3);
    RestoreOutcome restored;
    ProbeAndRestore(0x77A, &restored, true);
    EXPECT_FALSE(g_port->Settings().lockedUp);
    EXPECT_EQ(g_port->Settings().ecr, 0x61);
}

// An ECR that takes no write, on an Oxford part: the back-off keeps its
// pattern (bits 4-0 as 00001) like every other ECR write.
std::vector<uint8_t> g_ecrWrites;
void __stdcall RecordTheEcrsWrites(short port, short value) {
    if (port == 0x77A) g_ecrWrites.push_back(static_cast<uint8_t>(value));
    else WritePrivatePort(port, value);
}

TEST_F(Probe, OxfordBackOffKeepsThePattern) {
    g_port->SetChip(vport::Chip::Ecp);
    g_port->SetEcrMode(3);
    g_ecrWrites.clear();
    const PortLibrary refusing{nullptr, &ReadPrivatePort, &RecordTheEcrsWrites};
    PortSession session(refusing, 0x378);
    session.UseOxfordEcrPattern();
    BeginWithEcr(session);
    EXPECT_FALSE(session.SetEcrMode(kEcrPs2));
    session.Restore();
    ASSERT_EQ(g_ecrWrites.size(), 2u);
    for (uint8_t write : g_ecrWrites) EXPECT_EQ(write & 0x1F, 0x01) << int(write);
    EXPECT_EQ(g_ecrWrites[1], 0x61) << "backed off to the mode found";
}

// A serial port's interrupt identification at base + 0x402 (0xC1 idle,
// FIFOs on) reads as an ECR in mode 110: not trusted, not written, and the
// direction bit left alone, as the port's mode is unknown.
short __stdcall ReadSerialAtTheEcr(short port) { return port == 0x77A ? 0xC1 : ReadPrivatePort(port); }

TEST_F(Probe, EcrInModeOneOneZeroIsNotTrustedNorWritten) {
    g_port->SetChip(vport::Chip::Ps2);
    const PortLibrary serialBeside{nullptr, &ReadSerialAtTheEcr, &WritePrivatePort};
    PortSession session(serialBeside, 0x378);
    BeginWithEcr(session);
    g_port->ClearLog();
    const ProbeResult result = ProbePort(session);
    session.Restore();
    EXPECT_EQ(result.ecr.kind, EcrFinding::Suspect);
    EXPECT_FALSE(result.directionTested);
    // Bits 5-7 written 1 once, to learn which read back; never bit 5 alone to turn the pins around.
    for (const vport::Access& write : WritesTo(0x37A)) EXPECT_NE(write.value & 0xE0, 0x20) << int(write.value);
    CheckOptions options;
    options.base = 0x378;
    EXPECT_NE(ProbeReport(result, options).out.find(
                    "  extended control register at 0x77A: not trusted: it reads 0xC1 (mode 110 test FIFO), as a "
                    "serial port's interrupt identification can: not written\n"),
              std::string::npos)
        << ProbeReport(result, options).out;
}

// A PCI base without --ecr: the mode is unknown, so control bit 5 is not
// set (in a FIFO mode it would turn the FIFO around).
TEST_F(Probe, DirectionIsChangedOnlyWhereTheModeIsKnown) {
    g_port->SetChip(vport::Chip::Ps2);
    g_port->SetBase(0xD010);
    PortSession session(kPrivateLibrary, 0xD010);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    const ProbeResult result = ProbePort(session);
    session.Restore();
    EXPECT_EQ(result.ecr.kind, EcrFinding::NotLookedFor);
    EXPECT_TRUE(result.latch.Found());
    for (const vport::Access& write : WritesTo(0xD012)) EXPECT_NE(write.value & 0xE0, 0x20) << int(write.value);
}

// An Oxford part (Windows names PCI vendor 1415) whose card sets the mode:
// the ECR keeps 011, so the back-off runs, in the part's own pattern (bits
// 4-0 as 00001). Bits 4-2 as found (0x75) would have locked it up.
TEST_F(Probe, OxfordPartThatKeepsItsModeIsBackedOffInItsPatternAndStillAnswers) {
    g_port->SetChip(vport::Chip::FixedMode);
    ASSERT_TRUE(g_port->SetExtendedBlock(0xD000));
    ASSERT_TRUE(g_port->SetBase(0xD010));
    g_port->SetEcrMode(3);
    PortIdentity windows;
    windows.names = WindowsNames::Port;
    windows.extendedBlock = 0xD000;
    windows.pciVendor = kOxfordVendor;
    const AddressVerdict address = JudgeAddress(0xD010, windows, false);
    CheckOptions options;
    options.base = 0xD010;
    options.mode = kEcrPs2;
    BeginRules rules;
    rules.fingerprint = address.fingerprint;
    for (const bool setMode : {true, false}) {
        PortSession session(kPrivateLibrary, 0xD010);
        TellOfEcr(session, options, address);
        ASSERT_EQ(session.Begin(rules), SessionStart::Ready);
        const CommandOutput output = setMode ? SetModeCommand(session, options) : ProbeCommand(session, options);
        EXPECT_TRUE(session.Restore().Held());
        EXPECT_EQ(output.exitCode, kExitFault);
        EXPECT_NE((output.out + output.err)
                      .find(setMode ? "the extended control register at 0xD002 did not take mode 001 PS/2 "
                                      "(bidirectional) (it reads 0x61); its mode is put back\n"
                                    : "Port at 0xD010: answers (data latch not tested: the ECR did not take mode 001)\n"),
                  std::string::npos)
            << output.out << output.err;
        if (!setMode) {
            EXPECT_NE(output.out.find("  the panel's data outputs do NOT reach the pins in this mode, and its ECR "
                                      "keeps it: set the port to SPP/EPP+SPP/PS2 in the BIOS or the card's settings\n"),
                      std::string::npos)
                << output.out;
        }
    }
    const std::vector<vport::Access> writes = WritesTo(0xD002);
    ASSERT_EQ(writes.size(), 4u) << "twice: mode 001, and back to 011";
    for (size_t n = 0; n < writes.size(); ++n) EXPECT_EQ(writes[n].value, n % 2 ? 0x61 : 0x21) << n;
    EXPECT_FALSE(g_port->Settings().lockedUp);
    EXPECT_EQ(g_port->Peek(0xD002), 0x61);
}

// In mode 011 control bit 5 turns the FIFO around: --probe moves to 001
// before it changes that bit, and turns it back there before 011 returns.
std::vector<int> g_modesWhereBitFiveMoved;
uint8_t g_controlBefore = 0;
void NoteWhereBitFiveMoves() {
    if ((g_port->Control() ^ g_controlBefore) & 0x20) g_modesWhereBitFiveMoved.push_back(g_port->Settings().ecr >> 5);
    g_controlBefore = g_port->Control();
}

TEST_F(Probe, DataPinsAreTurnedAroundInPs2ModeOnlyAlsoFromTheEcpFifosReverse) {
    g_port->SetChip(vport::Chip::Ecp);
    g_port->SetEcrMode(3);
    g_port->SetData(0x96);
    g_port->SetControl(0x24);
    ASSERT_FALSE(g_port->DataPinsDrive()) << "011 in reverse";
    g_modesWhereBitFiveMoved.clear();
    g_controlBefore = 0x24;
    g_afterWrite = NoteWhereBitFiveMoves;
    const ProbeResult result = ProbeAndRestore(0x77A);
    g_afterWrite = nullptr;
    EXPECT_EQ(result.ecr.kind, EcrFinding::Present);
    EXPECT_TRUE(result.latch.Found());
    EXPECT_TRUE(result.bidirectional);
    EXPECT_FALSE(g_modesWhereBitFiveMoved.empty());
    for (int mode : g_modesWhereBitFiveMoved) EXPECT_EQ(mode, 1);
    EXPECT_EQ(g_port->Settings().ecr, 0x75);
    EXPECT_EQ(g_port->Control(), 0x24);
    EXPECT_EQ(g_port->Data(), 0x96);
    EXPECT_EQ(g_port->Settings().strobesSent, 0u);
}

// The latch test's reads tell a line held where it is from a register that
// takes no write: lines that read the same after 0x55 and 0xAA while every
// other one follows are those lines' fault; no line following, or lines
// that invert, are not.
TEST(ProbeVerdict, LinesThatReadTheSameAfterBothPatternsAreNamedOnlyWhereTheOthersFollow) {
    CheckOptions options;
    options.base = 0x378;
    const struct {
        uint8_t read55, readAA;
        const char* verdict;
    } cases[] = {
        {0x55, 0x2A, "  pin 9 (D7) reads back low where PortCheck drives it high, after both 0x55 and 0xAA"},
        {0x57, 0xAA, "  pin 3 (D1) reads back high where PortCheck drives it low, after both 0x55 and 0xAA"},
        {0x56, 0xAA, "  pin 2 (D0) reads back low where PortCheck drives it high; pin 3 (D1) reads back high"},
        {0x00, 0x00, "the data register does not hold what is written"},
        {0xAA, 0x55, "the data register does not hold what is written"},
        {0x51, 0xAC, "the data register does not hold what is written"},  // D2 inverted, D1 stuck low
    };
    for (const auto& c : cases) {
        ProbeResult result;
        result.latchTested = true;
        result.latch.read55 = c.read55;
        result.latch.readAA = c.readAA;
        const CommandOutput output = ProbeReport(result, options);
        EXPECT_EQ(output.exitCode, kExitFault);
        EXPECT_NE(output.out.find(c.verdict), std::string::npos) << int(c.read55) << " " << output.out;
    }
}
