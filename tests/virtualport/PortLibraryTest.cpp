// The built port library as the panel uses it: loaded by path, its entry
// points found by name, its accesses landing in the shared state.
#include <gtest/gtest.h>

#include <vector>

#include "PortFixture.h"
#include "TestSupport.h"

namespace {

// One load of a built library, freed at the end so the next test gets a
// fresh one (the library opens the port on first use).
class Library {
public:
    explicit Library(const char* relativePath)
        : module_(LoadLibraryA(vport_test::BuiltFile(relativePath).c_str())) {}
    ~Library() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    bool loaded() const { return module_ != nullptr; }
    vport_test::Inp32Fn inp32() const { return vport_test::FindEntry<vport_test::Inp32Fn>(module_, "Inp32"); }
    vport_test::Out32Fn out32() const { return vport_test::FindEntry<vport_test::Out32Fn>(module_, "Out32"); }
    vport_test::DriverOpenFn driverOpen() const {
        return vport_test::FindEntry<vport_test::DriverOpenFn>(module_, "IsInpOutDriverOpen");
    }

private:
    HMODULE module_;
};

}  // namespace

using PortLibrary = PortTest;

TEST_F(PortLibrary, AccessesLandInTheSharedStateAsBytesAndSixteenBitPorts) {
    Library library(VPORT_LIBRARY);
    ASSERT_TRUE(library.loaded());
    ASSERT_TRUE(library.inp32() && library.out32());
    ASSERT_TRUE(port->SetBase(0xFFF8));
    library.out32()(static_cast<short>(0xFFF8), static_cast<short>(0x110));
    EXPECT_EQ(port->Data(), 0x10);
    EXPECT_EQ(library.inp32()(static_cast<short>(0xFFF9)), 0x07);  // D4 looped back to BUSY
    port->ForceStatus(0xF0);
    EXPECT_EQ(library.inp32()(static_cast<short>(0xFFF9)), 0x00F0);  // not sign-extended

    std::vector<vport::Access> log = port->Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_TRUE(log[0].write);
    EXPECT_EQ(log[0].port, 0xFFF8);
    EXPECT_EQ(log[0].value, 0x10);
    EXPECT_EQ(log[1].value, 0x07);
    EXPECT_EQ(log[2].port, 0xFFF9);
}

TEST_F(PortLibrary, EachBuildExportsItsEntryPoints) {
    Library noOut32(VPORT_LIBRARY_NO_OUT32);
    ASSERT_TRUE(noOut32.loaded());
    EXPECT_EQ(noOut32.out32(), nullptr);
    ASSERT_NE(noOut32.inp32(), nullptr);
    port->SetData(0x42);
    EXPECT_EQ(noOut32.inp32()(0x378), 0x42);

    Library noInp32(VPORT_LIBRARY_NO_INP32);
    ASSERT_TRUE(noInp32.loaded());
    EXPECT_EQ(noInp32.inp32(), nullptr);
    ASSERT_NE(noInp32.out32(), nullptr);
    noInp32.out32()(0x37A, 0x04);
    EXPECT_EQ(port->Control(), 0x04);
}

TEST_F(PortLibrary, StoppedDriverIsReportedAndReachesNoRegister) {
    Library library(VPORT_LIBRARY);
    ASSERT_TRUE(library.loaded());
    ASSERT_TRUE(library.inp32() && library.out32() && library.driverOpen());
    EXPECT_EQ(library.driverOpen()(), TRUE);
    port->SetData(0x42);

    port->SetDriverRunning(false);
    EXPECT_EQ(library.driverOpen()(), FALSE);
    EXPECT_EQ(library.inp32()(0x378), 0);
    EXPECT_EQ(library.inp32()(0x379), 0) << "not even the status lines";
    library.out32()(0x378, 0x01);
    library.out32()(0x37A, 0x04);
    EXPECT_EQ(port->Data(), 0x42);
    EXPECT_EQ(port->Control(), 0x00);
    EXPECT_EQ(port->Log().size(), 4u) << "the calls are logged all the same";

    port->SetDriverRunning(true);
    EXPECT_EQ(library.driverOpen()(), TRUE);
    EXPECT_EQ(library.inp32()(0x378), 0x42);
}

TEST_F(PortLibrary, OlderLibraryWithoutDriverStatusStillReachesThePort) {
    Library library(VPORT_LIBRARY_NO_DRIVER_STATUS);
    ASSERT_TRUE(library.loaded());
    EXPECT_EQ(library.driverOpen(), nullptr);
    ASSERT_TRUE(library.inp32() && library.out32());
    library.out32()(0x378, 0x21);
    EXPECT_EQ(library.inp32()(0x378), 0x21);
}

TEST(PortLibraryAlone, WorksPrivatelyWhenThePortCannotBeShared) {
    vport_test::ScopedPortName name("library-foreign");
    vport_test::ForeignMapping foreign(name.name(), 1 << 20, 0x12345678, 1);
    Library library(VPORT_LIBRARY);
    ASSERT_TRUE(library.loaded());
    library.out32()(0x378, 0x01);
    EXPECT_EQ(library.inp32()(0x378), 0x01);
    EXPECT_EQ(library.inp32()(0x379), 0x8F);  // power-up wiring: data loopback
    EXPECT_EQ(foreign.words()[0], 0x12345678u);
    EXPECT_EQ(foreign.words()[2], 0u);
}
