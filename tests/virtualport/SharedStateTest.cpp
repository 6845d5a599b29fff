// The port state shared between processes through its named mapping: who
// sees what, what happens with a mapping that isn't ours, and a lock left
// behind by a process that ended.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "SharedLayout.h"
#include "TestSupport.h"
#include "TestThread.h"

using vport::PortState;
using vport_test::ForeignMapping;
using vport_test::ScopedPortName;

namespace {

std::unique_ptr<PortState> OpenPort(std::string* error = nullptr) {
    return std::unique_ptr<PortState>(PortState::Open(error));
}

}  // namespace

TEST(SharedState, NameComesFromTheEnvironment) {
    ScopedPortName name("named");
    EXPECT_EQ(PortState::SharedName(), "Local\\" + name.name());
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        SetEnvironmentVariableA("TARNWICK_VPORT", unset);
        EXPECT_EQ(PortState::SharedName(), "Local\\TarnwickVirtualPort");
    }
}

TEST(SharedState, OpenersOfOneNameShareOneStateInitialisedOnce) {
    std::unique_ptr<PortState> other;
    {
        ScopedPortName otherName("shared-other");
        other = OpenPort();
    }
    ScopedPortName name("shared");
    std::unique_ptr<PortState> first = OpenPort();
    ASSERT_TRUE(first && other);
    first->SetWiring(vport::Wiring::None);
    first->Write(0x378, 0x5A);

    std::unique_ptr<PortState> second = OpenPort();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Data(), 0x5A);  // not set back to power-up
    EXPECT_EQ(second->GetWiring(), vport::Wiring::None);
    second->SetInputPin(10, false);
    EXPECT_EQ(first->Read(0x379), 0x3F);
    EXPECT_EQ(second->TotalAccesses(), 2u);

    std::unique_ptr<PortState> own(PortState::CreatePrivate());
    ASSERT_NE(own, nullptr);
    own->Write(0x378, 0x77);
    EXPECT_EQ(own->Read(0x378), 0x77);
    EXPECT_EQ(first->Data(), 0x5A);
    EXPECT_EQ(other->Data(), 0x00);
    EXPECT_EQ(other->TotalAccesses(), 0u);
}

TEST(SharedState, MappingThatIsNoPortStateOfOursIsReportedAndLeftAlone) {
    const struct {
        const char* suffix;
        DWORD bytes;
        uint32_t magic, version;
        const char* reason;
    } cases[] = {
        {"foreign", 1 << 20, 0x12345678, 1, "something other than a port state"},
        {"version", 1 << 20, vport::kSharedMagic, vport::kSharedVersion + 1, "another version"},
        {"small", 4096, 0, 0, "smaller than a port state"},
    };
    for (const auto& c : cases) {
        ScopedPortName name(c.suffix);
        ForeignMapping foreign(name.name(), c.bytes, c.magic, c.version);
        std::string error;
        EXPECT_EQ(OpenPort(&error), nullptr);
        EXPECT_NE(error.find(name.name()), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(foreign.words()[0], c.magic);
        EXPECT_EQ(foreign.words()[2], 0u);  // not even its lock word was touched
    }
    ScopedPortName badName("no\\such\\directory");
    std::string error;
    EXPECT_EQ(OpenPort(&error), nullptr);
    EXPECT_NE(error.find("is not 1 to 200 letters, digits"), std::string::npos) << error;

    ScopedPortName folderName("folder");  // a folder where the file would be
    ASSERT_TRUE(CreateDirectoryA(PortState::FilePath().c_str(), nullptr));
    EXPECT_EQ(OpenPort(&error), nullptr);
    EXPECT_NE(error.find("cannot open " + PortState::FilePath() + ": error"), std::string::npos) << error;
    RemoveDirectoryA(PortState::FilePath().c_str());
}

// The state outlives every process that had it open, in its file; a file
// of another version or size is reported and left alone until Recreate
// replaces it, which it refuses while a program has the port open.
TEST(SharedState, StateStaysInItsFileUntilReplaced) {
    ScopedPortName name("kept");
    {
        std::unique_ptr<PortState> port = OpenPort();
        ASSERT_NE(port, nullptr);
        port->SetChip(vport::Chip::Spp);
        port->SetInputPin(13, false);
        port->Write(0x378, 0x5A);
    }
    HANDLE held = OpenFileMappingA(FILE_MAP_READ, FALSE, PortState::SharedName().c_str());
    EXPECT_EQ(held, nullptr) << "nothing has the port open";
    std::unique_ptr<PortState> again = OpenPort();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Read(0x378), 0x5A);
    EXPECT_EQ(again->Read(0x37A), 0xE0);
    EXPECT_FALSE(again->PinLevel(13));
    std::string error;
    EXPECT_EQ(PortState::Recreate(&error), nullptr);
    EXPECT_NE(error.find("a program has the port open"), std::string::npos) << error;
    again.reset();

    const uint32_t size = sizeof(vport::SharedLayout);
    const struct {
        DWORD bytes;
        uint32_t magic, version;
        const char* reason;
    } files[] = {
        {1000, vport::kSharedMagic, 2, "another version (2) than this program's (4)"},
        {size, vport::kSharedMagic, 5, "another version (5)"},
        {size, 0x12345678, 1, "something other than a port state"},
    };
    for (const auto& f : files) {
        vport_test::WriteStateFile(f.bytes, f.magic, f.version);
        bool foreign = false;
        EXPECT_EQ(PortState::Open(&error, &foreign), nullptr) << f.reason;
        EXPECT_NE(error.find(f.reason), std::string::npos) << error;
        EXPECT_TRUE(foreign);
        WIN32_FILE_ATTRIBUTE_DATA file = {};
        GetFileAttributesExA(PortState::FilePath().c_str(), GetFileExInfoStandard, &file);
        EXPECT_EQ(file.nFileSizeLow, f.bytes) << "left as it was";

        std::unique_ptr<PortState> replaced(PortState::Recreate(&error));
        ASSERT_NE(replaced, nullptr) << error;
        EXPECT_EQ(replaced->Read(0x37A), 0x00) << "the ideal chip of power-up";
    }
}

// A process killed while holding the lock must not freeze everyone else.
TEST(SharedState, LockLeftByAnEndedProcessIsTakenOver) {
    ScopedPortName name("stale-lock");
    std::unique_ptr<PortState> port = OpenPort();
    ASSERT_NE(port, nullptr);
    port->Write(0x378, 0x3C);
    vport_test::ProcessResult ended =
        vport_test::RunProcess(vport_test::BuiltFile(VPORT_CONSOLE), "--help");
    ASSERT_EQ(ended.exitCode, 0u) << ended.err;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, PortState::SharedName().c_str());
    ASSERT_NE(mapping, nullptr);
    auto* layout = static_cast<vport::SharedLayout*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_NE(layout, nullptr);
    layout->lockOwner = static_cast<long>(ended.processId);  // the console has ended

    std::atomic<int> value{-1};
    TestThread reader([&] { value = port->Read(0x378); });
    for (int waited = 0; waited < 3000 && value < 0; waited += 10) Sleep(10);
    const bool tookOver = value >= 0;
    if (!tookOver) layout->lockOwner = 0;  // let the reader finish, so the test fails, not hangs
    reader.join();
    EXPECT_TRUE(tookOver);
    EXPECT_EQ(value, 0x3C);
    EXPECT_EQ(layout->lockOwner, 0);
    UnmapViewOfFile(layout);
    CloseHandle(mapping);
}
