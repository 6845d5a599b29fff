// Binding the port library, run once per program as the panel does, in
// folders that hold the full library, a library missing an entry point, an
// older one that doesn't report its driver, or none. Each case runs in its
// own folder (see CMakeLists.txt).
#include <gtest/gtest.h>

#include "MessageLog.h"
#include "PortIo.h"
#include "PortState.h"

namespace {

// What the port saw since the last call.
std::vector<vport::Access> Traffic(vport::PortState& port) {
    auto log = port.Log();
    port.ClearLog();
    return log;
}

// Whether the loaded library exports the driver status.
bool ReportsDriverStatus() {
    HMODULE library = GetModuleHandleA("inpout32.dll");
    return library != nullptr && GetProcAddress(library, "IsInpOutDriverOpen") != nullptr;
}

class Binding : public testing::Test {
protected:
    void SetUp() override {
        port = vport::PortState::Open();
        ASSERT_NE(port, nullptr);
        port->Reset();
        port->SetWiring(vport::Wiring::None);
        port->SetDriverRunning(DriverRunsAtBinding());
        const PortBindOutcome outcome = BindPortLibrary();
        result = outcome.result;
        message = outcome.message;
        EXPECT_TRUE(messages.shown.empty()) << "the binding shows nothing itself: the panel does";
    }
    virtual bool DriverRunsAtBinding() const { return true; }

    // Reads and writes reach the port through the library.
    void ExpectPortReached() {
        PortIo::Write(0x378, 8);
        EXPECT_EQ(PortIo::Read(0x378), 8);
        EXPECT_EQ(PortIo::Read(0x379), 0x7F) << "nothing connected";
        EXPECT_EQ(Traffic(*port).size(), 3u);
    }

    MessageLog messages;
    vport::PortState* port = nullptr;
    int result = 0;
    std::string message;
};

// The library says its driver is not running, as before it has ever been
// run as administrator.
class BindingDriverStopped : public Binding {
protected:
    bool DriverRunsAtBinding() const override { return false; }
};

TEST_F(Binding, Bound) {
    EXPECT_EQ(result, 0);
    EXPECT_EQ(message, "");
    EXPECT_TRUE(PortIo::CanRead());
    EXPECT_TRUE(PortIo::CanWrite());
    EXPECT_TRUE(ReportsDriverStatus()) << "the library says its driver runs";

    PortIo::Write(0x378, 8);
    EXPECT_EQ(PortIo::Read(0x378), 8);
    EXPECT_EQ(PortIo::Read(0x379), 0x7F) << "nothing connected";
    // Port numbers and values go to the library as their low 16 bits.
    PortIo::Write(0x1037A, 0x1000B);
    EXPECT_EQ(PortIo::Read(0x1037A), 0x0B);
    const auto log = port->Log();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[3].port, 0x37A);
    EXPECT_TRUE(log[3].write);
    EXPECT_EQ(log[3].value, 0x0B);
    EXPECT_EQ(log[4].port, 0x37A);
    EXPECT_FALSE(log[4].write);
    // A data register with every line high reads 255, not -1.
    PortIo::Write(0x378, 0xFF);
    EXPECT_EQ(PortIo::Read(0x378), 255);
}

TEST_F(Binding, LibraryWithoutDriverStatus) {
    EXPECT_EQ(result, 0);
    EXPECT_EQ(message, "");
    EXPECT_FALSE(ReportsDriverStatus()) << "an older library, silent on its driver";
    ExpectPortReached();
}

TEST_F(BindingDriverStopped, DriverNotRunning) {
    EXPECT_EQ(result, -1);
    // The cause as Windows tells it (the diagnosis has tests of its own):
    // Wine runs programs elevated, so never "Run as administrator".
    EXPECT_EQ(message.rfind("inpout32.dll is loaded, but its port driver is not running.\n", 0), 0u) << message;
    EXPECT_EQ(message.find("administrator"), std::string::npos) << message;
    EXPECT_EQ(message.substr(message.size() - 31), "PortCheck --driver tells more.\n") << message;
    // Unbound from here on: no call into the library, even once its driver runs.
    EXPECT_FALSE(PortIo::CanRead());
    EXPECT_FALSE(PortIo::CanWrite());
    port->SetData(0x42);
    port->SetDriverRunning(true);
    EXPECT_EQ(PortIo::Read(0x378), 0xFF);
    EXPECT_EQ(PortIo::Read(0x379), 0xFF);
    PortIo::Write(0x378, 8);
    EXPECT_TRUE(Traffic(*port).empty());
    EXPECT_EQ(port->Data(), 0x42);
}

TEST_F(Binding, LibraryMissing) {
    EXPECT_EQ(result, -1);
    EXPECT_EQ(message, "LoadLibrary Failed.\n");
    // Unbound: reads and writes reach nothing, and nothing crashes.
    EXPECT_FALSE(PortIo::CanRead());
    EXPECT_FALSE(PortIo::CanWrite());
    EXPECT_EQ(PortIo::Read(0x379), 0xFF);
    PortIo::Write(0x378, 8);
    EXPECT_TRUE(Traffic(*port).empty());
}

TEST_F(Binding, LibraryWithoutOut32) {
    EXPECT_EQ(result, -1);
    EXPECT_EQ(message, "GetProcAddress for Oup32 Failed.\n");
    EXPECT_TRUE(PortIo::CanRead());
    EXPECT_FALSE(PortIo::CanWrite());
    EXPECT_EQ(PortIo::Read(0x379), 0x7F) << "reads reach the library";
    PortIo::Write(0x378, 8);
    const auto log = Traffic(*port);
    ASSERT_EQ(log.size(), 1u) << "the write went nowhere";
    EXPECT_FALSE(log[0].write);
}

TEST_F(Binding, LibraryWithoutInp32) {
    EXPECT_EQ(result, -1);
    EXPECT_EQ(message, "GetProcAddress for Inp32 Failed.\n");
    // Binding stops at the first failure: neither entry point is used.
    EXPECT_FALSE(PortIo::CanRead());
    EXPECT_FALSE(PortIo::CanWrite());
    EXPECT_EQ(PortIo::Read(0x379), 0xFF);
    PortIo::Write(0x378, 8);
    EXPECT_TRUE(Traffic(*port).empty());
}

}  // namespace
