// The test run on a port: the accesses in order (the registers read first
// and again after a quiet moment, each data write read back, status read
// until two reads agree, data and control checked after each pattern, the
// registers put back and read back), only the plug's bits changing with
// interrupts off, stopping between patterns on a stop request, also one
// from the console's Ctrl+C handler, and inputs taken only once settled.
#include <gtest/gtest.h>

#include <memory>

#include "LoopbackRun.h"
#include "PrivatePort.h"
#include "StopRequest.h"
#include "TestThread.h"

using namespace portcheck;

namespace {

int g_writesBeforeCtrlC = -1;  // >= 0: the console's Ctrl+C after that many more writes
// The console's Ctrl+C handler, run on a thread of its own as the console does.
std::unique_ptr<TestThread> g_handler;
bool g_handlerResult = false;

void CtrlCAfterSomeWrites() {
    if (g_writesBeforeCtrlC >= 0 && g_writesBeforeCtrlC-- == 0) {
        g_handler.reset(new TestThread([] { g_handlerResult = StopRequest::OnConsoleEvent(CTRL_C_EVENT); }));
        while (!StopRequest::Requested()) Sleep(1);
    }
}

int g_patternsBeforeStop = 0;
bool StopAfterSomePatterns() { return g_patternsBeforeStop-- <= 0; }
bool NeverStop() { return false; }

using LoopbackRun = PrivatePortTest;

}  // namespace

TEST_F(LoopbackRun, SavesDrivesEachPatternChecksItAndPutsTheRegistersBack) {
    g_port->SetBase(0x278);
    g_port->SetData(0xE0);
    g_port->SetControl(0x0B);
    PortSession session(kPrivateLibrary, 0x278);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    const RunRecord record = RunPatterns(session, kDataPlug, {}, &NeverStop);
    EXPECT_EQ(record.end, RunEnd::Completed);
    EXPECT_TRUE(session.Restore().Held());

    // Read, and read again; status bit 0 reads 1, so the EPP time-out is
    // cleared (two reads, written as 1 and as 0) and looked at again; the
    // data plug needs no control write; the pattern "all low" leaves data
    // as found.
    const uint8_t idle = 0x87;
    std::vector<vport::Access> expected{R(0x278, 0xE0), R(0x279, idle), R(0x27A, 0x0B), R(0x278, 0xE0),
                                        R(0x27A, 0x0B), R(0x279, idle), R(0x279, idle), W(0x279, 0x87),
                                        W(0x279, 0x86), R(0x279, idle), R(0x279, idle), R(0x279, idle),
                                        R(0x278, 0xE0), R(0x27A, 0x0B)};
    for (uint8_t data : {0xE1, 0xE2, 0xE4, 0xE8, 0xF0, 0xFF, 0xFE, 0xFD, 0xFB, 0xF7, 0xEF}) {
        g_port->SetData(data);
        const uint8_t status = g_port->Status();
        expected.insert(expected.end(), {W(0x278, data), R(0x278, data), R(0x279, status), R(0x279, status),
                                         R(0x278, data), R(0x27A, 0x0B)});
    }
    expected.insert(expected.end(), {W(0x278, 0xE0), R(0x278, 0xE0), R(0x278, 0xE0), R(0x27A, 0x0B)});
    ExpectAccesses(g_port->Log(), expected);

    EXPECT_EQ(record.completed.rounds, 1);
    EXPECT_EQ(record.completed.result.faulty, 0);
}

TEST_F(LoopbackRun, ControlPlugChangesOnlyItsOwnBitsWithInterruptsOffAndTheDataPinsDriving) {
    g_port->SetWiring(vport::Wiring::ControlLoopback);
    g_port->SetData(0xAA);
    g_port->SetControl(0xF4);  // C4 set: interrupts on; C5 set: data pins as inputs
    PortSession session(kPrivateLibrary, 0x378);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    session.TakeControl();
    const RunRecord record = RunPatterns(session, kControlPlug, {}, &NeverStop);
    session.Restore();
    std::vector<vport::Access> writes;
    for (const vport::Access& write : Writes())
        if (write.port != 0x379) writes.push_back(write);  // the EPP time-out's
    ASSERT_GE(writes.size(), 3u);
    ExpectAccesses({writes.begin(), writes.begin() + 1}, {W(0x37A, 0xE4)});  // bits 5-7 written 1 once: read back?
    for (size_t i = 1; i + 1 < writes.size(); ++i) {
        if (writes[i].port == 0x378) EXPECT_EQ(writes[i].value & 0xFE, 0xAA) << i;
        else EXPECT_EQ(writes[i].value & 0xF0, 0x00) << i;
    }
    ExpectAccesses({writes.end() - 1, writes.end()}, {W(0x37A, 0xF4)});  // read back, so put back
    EXPECT_EQ(g_port->Data(), 0xAA);
    EXPECT_EQ(record.completed.result.faulty, 0);
}

TEST_F(LoopbackRun, StopRequestEndsTheRunBetweenPatterns) {
    g_port->SetData(0x40);
    g_port->SetControl(0x04);
    g_patternsBeforeStop = 3;
    PortSession session(kPrivateLibrary, 0x378);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    const RunRecord record = RunPatterns(session, kDataPlug, {}, &StopAfterSomePatterns);
    session.Restore();
    EXPECT_EQ(record.end, RunEnd::Interrupted);
    EXPECT_EQ(record.completed.rounds, 0);
    ExpectAccesses(WritesTo(0x378), {W(0x378, 0x41), W(0x378, 0x42), W(0x378, 0x40)});
}

// The only test that asks the process to stop: once asked, it stays asked.
TEST_F(LoopbackRun, CtrlCStopsTheRunAndItsHandlerWaitsUntilThePortIsBack) {
    StopRequest::Install();
    EXPECT_FALSE(StopRequest::OnConsoleEvent(99));  // not a stop event: left to others
    EXPECT_FALSE(StopRequest::Requested());

    g_port->SetData(0x80);
    PortSession session(kPrivateLibrary, 0x378);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    g_afterWrite = &CtrlCAfterSomeWrites;
    g_writesBeforeCtrlC = 1;  // during the second walking-one pattern
    const RunRecord record = RunPatterns(session, kDataPlug, {}, &StopRequest::Requested);
    session.Restore();
    EXPECT_EQ(record.end, RunEnd::Interrupted);
    EXPECT_EQ(g_port->Data(), 0x80);
    // The handler returns, and the process may end, only once the port is back.
    ASSERT_TRUE(g_handler);
    EXPECT_FALSE(g_handler->Finished(100));
    StopRequest::PortRestored();
    g_handler->join();
    EXPECT_TRUE(g_handlerResult);
    StopRequest::Uninstall();
}

// Through a cable whose inputs follow 50 us late: the default wait takes
// them settled; without one the run sees them late or moving.
TEST_F(LoopbackRun, InputsAreTakenOnceSettled) {
    g_port->SetSettleMicros(50);
    for (const int64_t settle : {int64_t{100}, int64_t{0}}) {
        PortSession session(kPrivateLibrary, 0x378);
        ASSERT_EQ(session.Begin(), SessionStart::Ready);
        const RunRecord record = RunPatterns(session, kDataPlug, {settle, 1}, &NeverStop);
        session.Restore();
        ASSERT_EQ(record.end, RunEnd::Completed);
        EXPECT_EQ(record.completed.result.faulty == 0, settle == 100) << settle;
    }
}

// An ECP port in its FIFO mode, its transfer held up, sends data writes
// into the FIFO: the run stops at the first one that reads back unchanged
// twice, and nothing is taken for a result.
TEST_F(LoopbackRun, DataRegisterThatTakesNoWriteEndsTheRun) {
    g_port->SetChip(vport::Chip::Ecp);
    g_port->SetEcrMode(3);
    ASSERT_TRUE(g_port->HoldFifo(1));
    PortSession session(kPrivateLibrary, 0x378);
    ASSERT_EQ(session.Begin(), SessionStart::Ready);
    const RunRecord record = RunPatterns(session, kDataPlug, {}, &NeverStop);
    EXPECT_EQ(record.end, RunEnd::DataNotTaken);
    EXPECT_EQ(record.dataWritten, 0x01);
    EXPECT_EQ(record.completed.rounds, 0);
    EXPECT_TRUE(session.Restore().Held());
    EXPECT_EQ(g_port->Settings().fifoCount, 3u);  // the two tries; the restore adds none
}
