// How a run on the port ends where nothing else tests it: a session left
// without its restore (an exception out of a command: main's catch unwinds
// it), --set-mode asked for the mode the port is in, and Ctrl+C between two
// patterns.
#include <gtest/gtest.h>

#include "ExitCodes.h"
#include "LoopbackCommand.h"
#include "PrivatePort.h"
#include "SetModeCommand.h"
#include "StopRequest.h"

using namespace portcheck;

namespace {

using SessionEnd = PrivatePortTest;

CheckOptions OptionsAt(int base) {
    CheckOptions options;
    options.base = base;
    return options;
}

}  // namespace

TEST_F(SessionEnd, ASessionLeftWithoutItsRestorePutsDataAndControlBackAsFound) {
    g_port->SetData(0x33);
    g_port->SetControl(0x0C);
    {
        PortSession session(kPrivateLibrary, 0x378);
        ASSERT_EQ(session.Begin(), SessionStart::Ready);
        session.WriteData(0x5A);
        session.WriteControl(0x05);
        ASSERT_EQ(g_port->Data(), 0x5A);
    }
    EXPECT_EQ(g_port->Data(), 0x33);
    EXPECT_EQ(g_port->Control(), 0x0C);
}

TEST_F(SessionEnd, SetModeToTheModeThePortIsInWritesNoEcrAndSaysSo) {
    g_port->SetChip(vport::Chip::Ecp);
    g_port->SetEcrMode(1);
    CheckOptions options = OptionsAt(0x378);
    options.mode = 1;
    PortSession session(kPrivateLibrary, 0x378);
    session.UseEcrAt(0x77A);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    const CommandOutput output = SetModeCommand(session, options);
    EXPECT_TRUE(session.Restore().Held());
    EXPECT_EQ(output.exitCode, kExitOk);
    EXPECT_EQ(output.out, "Port at 0x378: the extended control register at 0x77A is in mode 001 PS/2 "
                          "(bidirectional) already; nothing changed\n");
    for (const vport::Access& access : Writes()) EXPECT_NE(access.port, 0x77A) << "an ECR write";
}

// Runs alone (its own test entry): the stop request, once raised, stays
// raised for the rest of the process.
TEST_F(SessionEnd, CtrlCStopsTheTestBeforeThePatternsWithFourAndThePortGoesBack) {
    g_port->SetData(0x21);
    g_port->SetControl(0x0C);
    ASSERT_TRUE(StopRequest::OnConsoleEvent(CTRL_C_EVENT));
    PortSession session(kPrivateLibrary, 0x378);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    const CommandOutput output = LoopbackCommand(session, OptionsAt(0x378));
    EXPECT_TRUE(session.Restore().Held());
    EXPECT_EQ(output.exitCode, kExitInterrupted);
    EXPECT_EQ(output.err, "PortCheck: interrupted\n");
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(g_port->Data(), 0x21);
    EXPECT_EQ(g_port->Control(), 0x0C);
}
