// The test run on a port: the accesses in order, only the plug's bits
// changing, the registers put back, and stopping between patterns on a
// stop request, also one from the console's Ctrl+C handler.
#include <gtest/gtest.h>

#include <memory>

#include "LoopbackRun.h"
#include "PortState.h"
#include "StopRequest.h"
#include "TestThread.h"

using namespace portcheck;

namespace {

// A port of the test's own behind entry points of the library's kind.
std::unique_ptr<vport::PortState> g_port;
int g_writesBeforeCtrlC = -1;  // >= 0: the console's Ctrl+C after that many more writes
// The console's Ctrl+C handler, run on a thread of its own as the console does.
std::unique_ptr<TestThread> g_handler;
BOOL g_handlerResult = FALSE;

short __stdcall ReadPort(short port) { return g_port->Read(static_cast<uint16_t>(port)); }

void __stdcall WritePort(short port, short value) {
    g_port->Write(static_cast<uint16_t>(port), static_cast<uint8_t>(value));
    if (g_writesBeforeCtrlC >= 0 && g_writesBeforeCtrlC-- == 0) {
        g_handler.reset(new TestThread([] { g_handlerResult = StopRequest::OnConsoleControl(CTRL_C_EVENT); }));
        while (!StopRequest::Requested()) Sleep(1);
    }
}

const PortLibrary kLibrary{nullptr, &ReadPort, &WritePort};

int g_patternsBeforeStop = 0;
bool StopAfterSomePatterns() { return g_patternsBeforeStop-- <= 0; }
bool NeverStop() { return false; }

class LoopbackRun : public ::testing::Test {
protected:
    void SetUp() override {
        g_port.reset(vport::PortState::CreatePrivate());
        g_port->Reset();
    }
    void TearDown() override { g_port.reset(); }

    static std::vector<vport::Access> Writes() {
        std::vector<vport::Access> writes;
        for (const vport::Access& access : g_port->Log())
            if (access.write) writes.push_back(access);
        return writes;
    }
};

vport::Access W(uint16_t port, uint8_t value) { return {true, port, value}; }
vport::Access R(uint16_t port, uint8_t value) { return {false, port, value}; }

void ExpectAccesses(const std::vector<vport::Access>& seen, const std::vector<vport::Access>& expected) {
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].write, expected[i].write) << i;
        EXPECT_EQ(seen[i].port, expected[i].port) << i;
        EXPECT_EQ(seen[i].value, expected[i].value) << std::hex << "access " << i;
    }
}

}  // namespace

TEST_F(LoopbackRun, SavesDrivesEachPatternReadsStatusTwiceAndPutsTheRegistersBack) {
    g_port->SetBase(0x278);
    g_port->SetData(0xE0);
    g_port->SetControl(0x0B);
    const RunRecord record = RunPatterns(kLibrary, 0x278, kDataPlug, &NeverStop);
    EXPECT_FALSE(record.interrupted);
    EXPECT_EQ(record.found.data, 0xE0);
    EXPECT_EQ(record.found.control, 0x0B);

    // Pattern "all low" leaves data as found, so its first access is a read.
    std::vector<vport::Access> expected{R(0x278, 0xE0), R(0x27A, 0x0B), R(0x279, 0x87), R(0x279, 0x87)};
    for (uint8_t data : {0xE1, 0xE2, 0xE4, 0xE8, 0xF0, 0xFF, 0xFE, 0xFD, 0xFB, 0xF7, 0xEF}) {
        g_port->SetData(data);
        const uint8_t status = g_port->Status();
        expected.insert(expected.end(), {W(0x278, data), R(0x279, status), R(0x279, status)});
    }
    expected.insert(expected.end(), {W(0x278, 0xE0), W(0x27A, 0x0B)});
    ExpectAccesses(g_port->Log(), expected);

    ASSERT_EQ(record.observations.size(), TestPatterns().size());
    for (size_t i = 0; i < record.observations.size(); ++i) {
        EXPECT_EQ(record.observations[i].outputs, TestPatterns()[i]);
        EXPECT_EQ(record.observations[i].inputs, TestPatterns()[i]);  // through the plug
    }
}

TEST_F(LoopbackRun, ControlPlugChangesOnlyItsOwnBitsAndDriveModeOfTheDataPins) {
    g_port->SetWiring(vport::Wiring::ControlLoopback);
    g_port->SetData(0xAA);
    g_port->SetControl(0xE4);  // C5 set: data pins as inputs, until the test clears it
    const RunRecord record = RunPatterns(kLibrary, 0x378, kControlPlug, &NeverStop);
    std::vector<vport::Access> writes = Writes();
    ASSERT_GE(writes.size(), 2u);
    for (size_t i = 0; i + 2 < writes.size(); ++i) {
        if (writes[i].port == 0x378) EXPECT_EQ(writes[i].value & 0xFE, 0xAA) << i;
        else EXPECT_EQ(writes[i].value & 0xF0, 0xC0) << i;
    }
    ExpectAccesses({writes.end() - 2, writes.end()}, {W(0x378, 0xAA), W(0x37A, 0xE4)});
    EXPECT_EQ(Evaluate(record.observations).faulty, 0);
}

TEST_F(LoopbackRun, StopRequestEndsTheRunBetweenPatternsWithTheRegistersPutBack) {
    g_port->SetData(0x40);
    g_port->SetControl(0x04);
    g_patternsBeforeStop = 3;
    const RunRecord record = RunPatterns(kLibrary, 0x378, kDataPlug, &StopAfterSomePatterns);
    EXPECT_TRUE(record.interrupted);
    EXPECT_EQ(record.observations.size(), 3u);
    ExpectAccesses(Writes(), {W(0x378, 0x41), W(0x378, 0x42), W(0x378, 0x40), W(0x37A, 0x04)});
}

// The only test that asks the process to stop: once asked, it stays asked.
TEST_F(LoopbackRun, CtrlCStopsTheRunAndItsHandlerWaitsUntilThePortIsBack) {
    StopRequest::Install();
    EXPECT_FALSE(StopRequest::OnConsoleControl(99));  // not a stop event: left to others
    EXPECT_FALSE(StopRequest::Requested());

    g_port->SetData(0x80);
    g_writesBeforeCtrlC = 1;  // during the second walking-one pattern
    const RunRecord record = RunPatterns(kLibrary, 0x378, kDataPlug, &StopRequest::Requested);
    EXPECT_TRUE(record.interrupted);
    EXPECT_EQ(record.observations.size(), 3u);
    EXPECT_EQ(g_port->Data(), 0x80);
    // The handler returns, and the process may end, only once the port is back.
    ASSERT_TRUE(g_handler);
    EXPECT_FALSE(g_handler->Finished(100));
    StopRequest::PortRestored();
    g_handler->join();
    EXPECT_TRUE(g_handlerResult);
    SetConsoleCtrlHandler(&StopRequest::OnConsoleControl, FALSE);
}
