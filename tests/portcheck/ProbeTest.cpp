// --probe on the virtual port's chips, in-process: what it finds on each,
// that it leaves data, control and the ECR as they were and never writes
// ECR bit 2, that a control register answering at the ECR's address is no
// ECR, and the EPP time-out flag however the chip clears it.
#include <gtest/gtest.h>

#include "ExitCodes.h"
#include "PrivatePort.h"
#include "ProbeCommand.h"
#include "SessionText.h"
#include "SetModeCommand.h"

using namespace portcheck;

namespace {

using Probe = PrivatePortTest;

ProbeResult ProbeAndRestore(int ecrPort, RestoreOutcome* restored = nullptr) {
    PortSession session(kPrivateLibrary, 0x378);
    session.UseEcrAt(ecrPort);
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
        const ProbeResult result = ProbeAndRestore((c.extended >= 0 ? c.extended : 0x778) + 2);
        EXPECT_TRUE(result.latch.Found());
        EXPECT_EQ(result.bidirectional, c.bidirectional);
        EXPECT_EQ(result.ecr.kind, c.ecr);
        if (c.ecr == EcrFinding::Present) {
            EXPECT_EQ(result.ecr.Mode(), c.mode);
        }
        EXPECT_EQ(g_port->Data(), 0x96);
        EXPECT_EQ(g_port->Control(), 0x0C);
        EXPECT_EQ(g_port->Settings().ecr, ecrBefore);
        EXPECT_FALSE(g_port->Settings().lockedUp);
        for (const vport::Access& write : Writes()) EXPECT_FALSE(write.port == 0x77A && (write.value & 0x04));
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
    options.mode = kModePs2;
    for (const bool setMode : {false, true}) {
        PortSession session(stuck, 0x378);
        session.UseEcrAt(0x77A);
        ASSERT_EQ(session.Begin(), SessionStart::Ready);
        const CommandOutput output = setMode ? SetModeCommand(session, options) : ProbeCommand(session, options);
        EXPECT_EQ(output.exitCode, kExitFault);
        EXPECT_TRUE(session.Restore().Held());
        const std::string& text = setMode ? output.err : output.out;
        EXPECT_NE(text.find(setMode ? "PortCheck: the extended control register at 0x77A did not take mode 001 PS/2 "
                                      "(bidirectional) (it reads 0x61); its mode is put back\n"
                                    : "Port at 0x378: answers (data latch not tested: the ECR did not take mode 001)\n"),
                  std::string::npos)
            << text;
    }
}

TEST_F(Probe, EcrBitTwoFoundSetIsWrittenBackClearAndTheRestoreSaysSo) {
    g_port->SetChip(vport::Chip::Ecp);
    g_port->Write(0x77A, 0x64);  // mode 011 with bit 2 set, as a BIOS may leave it
    RestoreOutcome restored;
    ProbeAndRestore(0x77A, &restored);
    EXPECT_EQ(g_port->Settings().ecr, 0x61);
    EXPECT_NE(RestoreLines(restored).find(", ECR mode 011\nECR bit 2 read as 1: written back as 0"), std::string::npos)
        << RestoreLines(restored);
}
