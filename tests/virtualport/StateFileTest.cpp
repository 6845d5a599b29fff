// A state file of this version whose contents no port could have, as a
// damaged disk or another program may leave it, and the lock word a
// process killed mid-access leaves in it: the port refuses the one, and
// frees the other when no running process has the port open.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "PortState.h"
#include "SharedLayout.h"

using vport::PortState;
using vport::SharedLayout;

namespace {

LONG ThisProcessId() {
#ifdef _WIN32
    return static_cast<LONG>(GetCurrentProcessId());
#else
    return static_cast<LONG>(getpid());
#endif
}

std::vector<char> FileBytes() {
    std::ifstream in(PortState::FilePath(), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

class StateFile : public ::testing::Test {
protected:
    // The port's file at power-up, then changed by `edit`, with no process
    // having it open.
    static void WriteState(const std::function<void(SharedLayout&)>& edit) {
        std::unique_ptr<PortState>(PortState::Recreate()).reset();
        std::unique_ptr<PortState> port(PortState::Open());
        ASSERT_NE(port, nullptr);
        port->Reset();
        port.reset();
        std::vector<char> bytes = FileBytes();
        ASSERT_EQ(bytes.size(), sizeof(SharedLayout));
        auto state = std::make_unique<SharedLayout>();
        std::memcpy(state.get(), bytes.data(), sizeof(SharedLayout));
        edit(*state);
        std::ofstream(PortState::FilePath(), std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(state.get()), sizeof(SharedLayout));
    }
    void TearDown() override { std::unique_ptr<PortState>(PortState::Recreate()).reset(); }
};

}  // namespace

TEST_F(StateFile, StateNoPortCouldBeInIsRefusedAndLeftAsItWas) {
    const struct {
        const char* what;
        std::function<void(SharedLayout&)> edit;
    } cases[] = {
        {"settings", [](SharedLayout& s) { s.settings[static_cast<int>(vport::SettingId::Wiring)] = 3; }},
        {"settings", [](SharedLayout& s) { s.settings[static_cast<int>(vport::SettingId::EppClear)] = 7; }},
        {"chip", [](SharedLayout& s) { s.chip = vport::kChipCount; }},
        {"address", [](SharedLayout& s) { s.base = 0x379; }},
        {"FIFO", [](SharedLayout& s) { s.fifoHead = vport::kFifoSize; }},
        {"FIFO", [](SharedLayout& s) { s.fifoCount = vport::kFifoSize + 1; }},
        {"settling time", [](SharedLayout& s) { s.settleMicros = vport::kMaxSettleMicros + 1; }},
        {"settling time", [](SharedLayout& s) { s.settleSince[4] = -1; }},
        {"other program's polling", [](SharedLayout& s) { s.intruderPeriodMs = vport::kMaxIntruderPeriodMs + 1; }},
        {"other program's polling", [](SharedLayout& s) { s.intruderStart = INT64_MIN; }},
        {"signals", [](SharedLayout& s) { s.uartLength = vport::kMaxUartText + 1; }},
        {"signals", [](SharedLayout& s) { s.uartPin = 10, s.uartBaud = 9600, s.uartLength = 0; }},
        {"signals", [](SharedLayout& s) { s.pulsePin = 11, s.pulsePeriodMicros = 0; }},
        {"signals", [](SharedLayout& s) { s.pulsePin = 18, s.pulsePeriodMicros = 100, s.pulseWidthMicros = 10; }},
        {"signals", [](SharedLayout& s) { s.uartStart = -5; }},
    };
    for (const auto& c : cases) {
        WriteState(c.edit);
        const std::vector<char> before = FileBytes();
        std::string error;
        bool foreign = false;
        EXPECT_EQ(std::unique_ptr<PortState>(PortState::Open(&error, &foreign)), nullptr) << c.what;
        EXPECT_NE(error.find(std::string("it holds a port state no port could be in (its ") + c.what + ")"),
                  std::string::npos)
            << error;
        EXPECT_TRUE(foreign) << c.what;
        EXPECT_TRUE(FileBytes() == before) << c.what;
    }
}

// Killed mid-access, a process leaves its number in the lock word; once no
// process has the port open, the number may be any running process's,
// this one's included, and waiting for it to end would wait for ever.
TEST_F(StateFile, LockOfAProcessThatEndedIsFreeWhenNoProcessHasThePortOpen) {
    WriteState([](SharedLayout& s) { s.lockOwner = ThisProcessId(); });
    std::unique_ptr<PortState> port(PortState::Open());
    ASSERT_NE(port, nullptr);
    port->Write(0x378, 0x5A);
    EXPECT_EQ(port->Read(0x378), 0x5A);
}
