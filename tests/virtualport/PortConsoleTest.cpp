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
        {"pin 14 low", "pin 14 is not an input"},
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
    EXPECT_EQ(Count(show.out, "\n"), 28u);  // 11 heading lines and 17 pins

    port->SetWiring(vport::Wiring::None);
    port->ForceStatus(0x8F);
    ProcessResult watch = Console("watch --count 3 --interval 10");
    EXPECT_EQ(watch.exitCode, 0u);
    EXPECT_EQ(Count(watch.out, "status   0x8F  10001111  forced\n"), 3u) << watch.out;
    EXPECT_EQ(Count(watch.out, "wired to"), 0u);
    EXPECT_EQ(port->TotalAccesses(), 1u);  // looking is not an access
}

TEST(PortConsoleAlone, PortThatCannotBeOpenedExitsWithOne) {
    vport_test::ScopedPortName name("console-foreign");
    vport_test::ForeignMapping foreign(name.name(), 1 << 20, 0x12345678, 1);
    ProcessResult result = Console("show");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.err.find("something other than a port state"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}
