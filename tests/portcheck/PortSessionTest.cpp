// The session's rules on the virtual port's chips: what it puts back where
// the chip reads control bits back wrong or not at all, a bidirectional
// port left with its data pins as inputs, and another writer before and
// during the work.
#include <gtest/gtest.h>

#include "ExitCodes.h"
#include "LoopbackCommand.h"
#include "PortCommand.h"
#include "PortRegisters.h"
#include "PrivatePort.h"
#include "SessionText.h"

using namespace portcheck;

namespace {

using PortSessionOnChips = PrivatePortTest;

// Begins, changes data and control as a command would, and puts them back.
RestoreOutcome WorkAndRestore() {
    PortSession session(kPrivateLibrary, 0x378);
    EXPECT_EQ(session.Begin(), SessionStart::Ready);
    session.TakeControl();
    session.WriteData(0x5A);
    session.WriteControl(0x05);
    EXPECT_TRUE(session.Holds());
    return session.Restore();
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST_F(PortSessionOnChips, ControlBitsFourAndFiveGoBackOnlyWhereTheChipReadsThemBack) {
    g_port->SetChip(vport::Chip::Spp);  // bits 5-7 read 1
    g_port->SetControl(0x2B);
    RestoreOutcome outcome = WorkAndRestore();
    EXPECT_TRUE(outcome.Held());
    EXPECT_EQ(g_port->Control(), 0x0B);
    EXPECT_EQ(RestoreLines(outcome),
              "Put back as found and read back: data 0x00, control 0x0B (bits 5-7 read 1 on this chip)\n"
              "Control bit 5 read as 1, but this chip reads it as 1 whatever is written: left cleared "
              "(data lines driving)\n");

    g_port->SetControl(0x1B);  // bit 4 reads back on this chip: it goes back
    EXPECT_TRUE(WorkAndRestore().Held());
    EXPECT_EQ(g_port->Control(), 0x1B);

    g_port->SetChip(vport::Chip::NoReadback);
    g_port->SetControl(0x04);
    outcome = WorkAndRestore();
    EXPECT_EQ(g_port->Control(), 0x04) << "its value found is unknown: left idle";
    EXPECT_TRUE(Has(RestoreLines(outcome), "data 0x00; control 0x04 (the idle value: all four lines inactive), "
                                           "unchecked: it reads 0xFF, so the value found could not be read\n"))
        << RestoreLines(outcome);
}

// All three registers read 0xFF there (the pins float high, BUSY held low):
// the latch test turns the pins around first, and the latch goes back.
TEST_F(PortSessionOnChips, BidirectionalPortWithItsDataPinsAsInputsIsFoundAndPutBack) {
    g_port->SetChip(vport::Chip::Ps2);
    g_port->SetData(0x21);
    g_port->SetControl(0x3F);
    g_port->ForceStatus(0xFF);
    const RestoreOutcome outcome = WorkAndRestore();
    EXPECT_TRUE(outcome.Held());
    EXPECT_EQ(g_port->Data(), 0x21);
    EXPECT_EQ(g_port->Control(), 0x3F);
    EXPECT_EQ(RestoreLines(outcome),
              "Put back as found and read back: data 0x21, control 0x3F (bits 6-7 read 1 on this chip)\n");
}

TEST_F(PortSessionOnChips, AnotherWriterIsSeenBeforeTheFirstWriteAndAfterIt) {
    g_port->ArmChange(3, 0, 0x04);  // right after the first three reads
    PortSession early(kPrivateLibrary, 0x378);
    EXPECT_EQ(early.Begin(), SessionStart::Disturbed);
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(Has(DisturbedMessage(early, "the test"), "data read 0x04 where it had read 0x00; PortCheck wrote nothing\n"));

    g_port->SetData(0x00);
    PortSession session(kPrivateLibrary, 0x378);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    session.WriteData(0x11);
    g_port->SetControl(0x06);
    EXPECT_FALSE(session.Holds());
    EXPECT_EQ(DisturbedMessage(session, "the probe").find(
                  "PortCheck: another program or Windows' printer-port polling wrote to the port during the "
                  "probe: control read 0x06 where PortCheck had written 0x00\n"),
              0u);
    // It writes data once more after the restore has read data back: the
    // restore, watched for a while, is written again.
    g_port->ArmChange(3, 0, 0x77);
    const RestoreOutcome outcome = session.Restore();
    EXPECT_TRUE(outcome.Held());
    EXPECT_GT(outcome.rewrites, 0);
    EXPECT_EQ(g_port->Data(), 0x00);
    EXPECT_EQ(g_port->Control(), 0x00);
}

// A chip that stops answering before the restore (fragile-ecr after ECR bit
// 2): "NOT put back", and a test that passed becomes a fault.
TEST_F(PortSessionOnChips, RestoreThatDoesNotReadBackIsSaidAndIsAFault) {
    g_port->SetChip(vport::Chip::FragileEcr);
    PortSession session(kPrivateLibrary, 0x378);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    session.WriteData(0x11);
    g_port->Write(0x77A, 0x04);
    const CommandOutput output = Finish({kExitOk, "PASS\n", ""}, session, session.Restore(), "the test");
    EXPECT_EQ(output.exitCode, kExitFault);
    EXPECT_TRUE(Has(output.out, "PASS\nNOT put back: data reads 0xFF (0x00 written back), control reads 0xFF "
                                "(0x00 written back), though written again ")) << output.out;
}

// Found reading 0xFF, control reads back once tried: bits 0-5 were set.
// They go back, but never as 0xFF.
TEST_F(PortSessionOnChips, ControlThatReadFFIsNeverWrittenFFBack) {
    g_port->SetChip(vport::Chip::Ps2);
    g_port->SetControl(0x3F);
    g_port->ForceStatus(0xFF);
    g_port->SetData(0xFF);
    EXPECT_TRUE(WorkAndRestore().Held());
    for (const vport::Access& write : WritesTo(0x37A)) EXPECT_NE(write.value, 0xFF);
    EXPECT_EQ(g_port->Control() & 0x3F, 0x3F);
}

// A chip that ignores every data and control access while its EPP
// time-out is set, found with all three registers reading 0xFF: the flag is
// cleared before the first latch write, so the port is found.
TEST_F(PortSessionOnChips, EppTimeOutIsClearedBeforeTheFirstLatchWriteAlsoWhereAllReadFF) {
    g_port->SetChip(vport::Chip::EppBlocking);
    g_port->SetData(0xFF);
    g_port->SetControl(0x1F);  // reads 0xFF: bits 5-7 read 1 on this chip
    g_port->SetWiring(vport::Wiring::None);
    g_port->SetInputPin(11, false);  // BUSY low: status reads 0xFF with the time-out flag
    g_port->Read(0x37B);  // an EPP access with no EPP device
    ASSERT_EQ(g_port->Peek(0x379), 0xFF);
    PortSession session(kPrivateLibrary, 0x378);
    EXPECT_EQ(session.Begin(), SessionStart::Ready);
    EXPECT_EQ(session.eppTimeout(), EppTimeout::Cleared);
    session.Restore();
}

// Control line 0 reads 1 whatever is written: not read back, and not a
// wiring fault; the control plug's input tells the line, which works.
short __stdcall ReadControlBitZeroAsOne(short port) {
    const short value = ReadPrivatePort(port);
    return port == 0x37A ? static_cast<short>(value | 0x01) : value;
}

TEST_F(PortSessionOnChips, ControlLineThatReadsAFixedValueIsNotReadBackNorAFault) {
    g_port->SetWiring(vport::Wiring::ControlLoopback);
    g_port->SetControl(0x04);
    const PortLibrary fixed{nullptr, &ReadControlBitZeroAsOne, &WritePrivatePort};
    PortSession session(fixed, 0x378);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    CheckOptions options;
    options.base = 0x378;
    options.plug = &kControlPlug;
    const CommandOutput output = Finish(LoopbackCommand(session, options), session, session.Restore(), "the test");
    EXPECT_EQ(output.exitCode, kExitOk) << output.out << output.err;
    EXPECT_TRUE(Has(output.out, "PASS: all 5 lines ok")) << output.out;
    EXPECT_TRUE(Has(output.out, "bit 0 read 1")) << output.out;
}

// The restore line names every control bit it speaks of, also where they
// are not next to each other.
TEST(RestoreText, NamesEveryControlBitThatReadsFixedNotOnlyTheFirstRun) {
    RestoreOutcome outcome;
    outcome.touched = true;
    outcome.dataHeld = outcome.controlHeld = true;
    outcome.target = {0x00, 0x04};
    outcome.controlReadsOne = 0xD0;      // 4, 6 and 7
    outcome.controlReadsZero = 0x20;
    outcome.controlLinesUnread = 0x0B;  // lines 0, 1 and 3
    EXPECT_EQ(RestoreLines(outcome),
              "Put back as found and read back: data 0x00, control 0x04 (bits 4 and 6-7 read 1, bit 5 read 0 on "
              "this chip); control bits 0-1 and 3 idle, unchecked: they read a fixed value, so the value found could "
              "not be read\n");
}
