// Reads and writes through the port's address decoder at its base, register
// changes armed to happen after a number of reads, and a stopped driver.
#include <gtest/gtest.h>

#include "PortFixture.h"

TEST_F(PortTest, RegistersAnswerAtTheBaseOnlyAndAnEmptyBusReads0xFF) {
    port->SetWiring(vport::Wiring::None);
    port->Write(0x378, 0x12);
    port->Write(0x37A, 0x34);
    port->Write(0x379, 0x00);  // status takes no writes
    const uint16_t empty[] = {0x377, 0x37B, 0x37C, 0x3BC, 0x778, 0x77A, 0x0001, 0xFFFE, 0xF378};
    for (uint16_t address : empty) {
        EXPECT_EQ(port->Read(address), 0xFF) << std::hex << address;
        port->Write(address, 0x00);
    }
    EXPECT_EQ(port->Read(0x378), 0x12);
    EXPECT_EQ(port->Read(0x379), 0x7F);
    EXPECT_EQ(port->Read(0x37A), 0x34);
    EXPECT_FALSE(port->StatusForced());
    EXPECT_EQ(port->TotalAccesses(), 3u + 2 * 9 + 3) << "accesses of empty addresses are logged too";

    ASSERT_TRUE(port->SetBase(0xD010));
    EXPECT_EQ(port->Read(0xD010), 0x12);
    EXPECT_EQ(port->Read(0xD012), 0x34);
    EXPECT_EQ(port->Read(0x378), 0xFF);
    for (uint16_t refused : {0xD012, 0xFFFE, 0x0379}) EXPECT_FALSE(port->SetBase(refused)) << refused;
    EXPECT_EQ(port->Settings().base, 0xD010);
    port->Reset();
    EXPECT_EQ(port->Settings().base, 0x378);
}

TEST_F(PortTest, ArmedChangeLandsAfterTheGivenReads) {
    port->SetWiring(vport::Wiring::None);
    port->ArmChange(2, 1, 0x42);
    port->Write(0x378, 0xFF);  // writes don't count
    EXPECT_EQ(port->Read(0x379), 0x7F);
    EXPECT_EQ(port->Read(0x378), 0xFF);  // any read counts
    EXPECT_EQ(port->Read(0x379), 0x42);
    EXPECT_TRUE(port->StatusForced());

    port->ArmChange(1, 0, 0x33);
    EXPECT_EQ(port->Read(0x378), 0xFF);
    EXPECT_EQ(port->Read(0x378), 0x33);
    port->ArmChange(0, 2, 0x0F);  // nothing to wait for
    EXPECT_EQ(port->Control(), 0x0F);
    port->ArmChange(1, 2, 0x01);  // replaced by the next arming
    port->ArmChange(2, 2, 0x02);
    port->Read(0x37A);
    EXPECT_EQ(port->Control(), 0x0F);
    port->Read(0x37A);
    EXPECT_EQ(port->Control(), 0x02);
}

TEST_F(PortTest, ArmingWithoutARegisterOrBeforeResetDoesNothing) {
    port->ArmChange(1, 3, 0x11);
    port->ArmChange(1, -1, 0x11);
    port->Read(0x378);
    port->ArmChange(1, 0, 0x22);
    port->Reset();
    port->Read(0x378);
    port->Read(0x378);
    EXPECT_EQ(port->Data(), 0x00);
    EXPECT_EQ(port->Control(), 0x00);
    EXPECT_FALSE(port->StatusForced());
}

TEST_F(PortTest, StoppedDriverReadsZeroTakesNoWritesAndLogsBoth) {
    port->SetWiring(vport::Wiring::None);
    port->Write(0x378, 0x12);
    port->ArmChange(1, 2, 0x0C);
    port->SetDriverRunning(false);
    EXPECT_FALSE(port->DriverRunning());
    port->ClearLog();

    EXPECT_EQ(port->Read(0x378), 0x00);
    EXPECT_EQ(port->Read(0x379), 0x00);
    port->Write(0x378, 0x34);
    port->Write(0x37A, 0x01);
    EXPECT_EQ(port->Data(), 0x12);
    EXPECT_EQ(port->Control(), 0x00) << "the armed change waits for a read that reaches the port";
    EXPECT_EQ(port->Status(), 0x7F) << "the pins are as they were";

    const std::vector<vport::Access> log = port->Log();
    ASSERT_EQ(log.size(), 4u);
    for (const vport::Access& access : log) EXPECT_TRUE(access.driverStopped);
    EXPECT_FALSE(log[1].write);
    EXPECT_EQ(log[1].port, 0x379);
    EXPECT_EQ(log[1].value, 0x00);
    EXPECT_TRUE(log[2].write);
    EXPECT_EQ(log[2].value, 0x34);

    port->SetDriverRunning(true);
    EXPECT_EQ(port->Read(0x378), 0x12);
    EXPECT_EQ(port->Control(), 0x0C);
    EXPECT_FALSE(port->Log().back().driverStopped);
}

TEST_F(PortTest, ResetStartsTheDriverAgain) {
    port->SetDriverRunning(false);
    port->Reset();
    EXPECT_TRUE(port->DriverRunning());
    port->Write(0x378, 0x55);
    EXPECT_EQ(port->Read(0x378), 0x55);
}
