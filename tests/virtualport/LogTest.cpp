// The access log: every read and write in order, the latest 65536 kept.
#include <gtest/gtest.h>

#include <vector>

#include "PortFixture.h"

using vport::Access;

namespace {

bool Same(const Access& a, const Access& b) {
    return a.write == b.write && a.port == b.port && a.value == b.value;
}

}  // namespace

TEST_F(PortTest, LogRecordsEveryAccessInOrderButNotTheDisplay) {
    port->SetWiring(vport::Wiring::None);
    port->Write(0x378, 0x08);
    port->Read(0x379);
    port->Write(0x379, 0x99);
    port->Read(0x37B);
    port->SetData(1);
    port->Status();
    port->PinLevel(2);
    const Access expected[] = {{true, 0x378, 0x08}, {false, 0x379, 0x7F}, {true, 0x379, 0x99},
                               {false, 0x37B, 0xFF}};
    std::vector<Access> log = port->Log();
    ASSERT_EQ(log.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(Same(log[i], expected[i])) << "access " << i;
    EXPECT_EQ(port->TotalAccesses(), 4u);
}

TEST_F(PortTest, LogKeepsTheLatestAccessesWhenItWraps) {
    const uint32_t capacity = 65536, extra = 10;
    for (uint32_t n = 0; n < capacity + extra; ++n)
        port->Write(static_cast<uint16_t>(n * 4), static_cast<uint8_t>(n >> 16));
    EXPECT_EQ(port->TotalAccesses(), capacity + extra);
    std::vector<Access> log = port->Log();
    ASSERT_EQ(log.size(), capacity);
    size_t misplaced = 0;  // the oldest kept is access number `extra`
    for (uint32_t k = 0, n = extra; k < capacity; ++k, ++n)
        misplaced += !Same(log[k], {true, uint16_t(n * 4), uint8_t(n >> 16)});
    EXPECT_EQ(misplaced, 0u);

    uint64_t first = 0;
    EXPECT_EQ(port->TakeLog(3, &first, false).size(), capacity);
    EXPECT_EQ(first, extra);  // accesses 3..9 were overwritten
}

TEST_F(PortTest, TakeLogFromANumberAndClearing) {
    for (uint8_t i = 0; i < 6; ++i) port->Write(0x378, i);
    uint64_t first = 99;
    std::vector<Access> tail = port->TakeLog(4, &first, false);
    EXPECT_EQ(first, 4u);
    ASSERT_EQ(tail.size(), 2u);
    EXPECT_EQ(tail[0].value, 4);
    EXPECT_TRUE(port->TakeLog(10, &first, false).empty());
    EXPECT_EQ(first, 6u);

    EXPECT_EQ(port->TakeLog(0, nullptr, true).size(), 6u);
    EXPECT_EQ(port->TotalAccesses(), 0u);
    port->Read(0x378);
    port->ClearLog();
    EXPECT_TRUE(port->Log().empty());
    EXPECT_EQ(port->Data(), 5);  // clearing the log leaves the registers
    port->Write(0x378, 1);
    port->Reset();
    EXPECT_TRUE(port->Log().empty());
}
