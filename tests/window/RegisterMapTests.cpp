// The register block at a base address and the seventeen lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LampColours.h"
#include "RegisterMap.h"

namespace {

TEST(RegisterMap, PortsAreBasePlusOffsetIn16Bits) {
    EXPECT_EQ(RegisterPort(0x378, Register::Data), 0x378);
    EXPECT_EQ(RegisterPort(0x378, Register::Status), 0x379);
    EXPECT_EQ(RegisterPort(0x378, Register::Control), 0x37A);
    EXPECT_EQ(RegisterPort(0xFFFF, Register::Data), 0xFFFF);
    EXPECT_EQ(RegisterPort(0xFFFF, Register::Status), 0x0000);
    EXPECT_EQ(RegisterPort(0xFFFF, Register::Control), 0x0001);
    EXPECT_EQ(RegisterPort(0x10378, Register::Status), 0x379);
    EXPECT_EQ(RegisterPort(-1, Register::Control), 0x0001);
    EXPECT_EQ(RegisterPort(2147483647, Register::Control), 0x0001) << "no overflow at the top of int";
}

// The names of the lines of one register that are lit by this value.
std::vector<std::string> LitLines(Register reg, int value) {
    std::vector<std::string> lit;
    for (const Line& line : kLines)
        if (line.reg == reg && Lit(line, value)) lit.push_back(line.name);
    return lit;
}

using Names = std::vector<std::string>;

TEST(RegisterMap, ControlValuesTheOutputsWrite) {
    EXPECT_EQ(LitLines(Register::Control, 11), Names{}) << "all control outputs off";
    EXPECT_EQ(LitLines(Register::Control, 10), Names{"DO1"});
    EXPECT_EQ(LitLines(Register::Control, 9), Names{"DO10"});
    EXPECT_EQ(LitLines(Register::Control, 15), Names{"DO11"});
    EXPECT_EQ(LitLines(Register::Control, 3), Names{"DO12"});
}

TEST(RegisterMap, DataValuesTheOutputsWrite) {
    EXPECT_EQ(LitLines(Register::Data, 0), Names{});
    for (int n = 2; n <= 9; ++n)
        EXPECT_EQ(LitLines(Register::Data, 1 << (n - 2)), Names{"DO" + std::to_string(n)});
    EXPECT_EQ(LitLines(Register::Data, 11), (Names{"DO2", "DO3", "DO5"})) << "DO12's passing value";
}

TEST(RegisterMap, InputsAreLitWhenTheirStatusBitIsClear) {
    EXPECT_EQ(LitLines(Register::Status, 0xFF), Names{});
    EXPECT_EQ(LitLines(Register::Status, 0x00), (Names{"DI1", "DI2", "DI3", "DI4", "DI5"}));
    EXPECT_EQ(LitLines(Register::Status, 0x7F), Names{"DI2"}) << "BUSY reads inverted";
    EXPECT_EQ(LitLines(Register::Status, 0xFF & ~0x08), Names{"DI5"});
}

// The lamps are read in the order DI1-DI5, DO1-DO12; some by their panel name.
TEST(RegisterMap, LinesInLampOrderWithTheirLabelsAndPins) {
    Names order;
    for (const Line& line : kLines) order.push_back(line.name);
    Names expected;
    for (int n = 1; n <= 5; ++n) expected.push_back("DI" + std::to_string(n));
    for (int n = 1; n <= 12; ++n) expected.push_back("DO" + std::to_string(n));
    EXPECT_EQ(order, expected);
    const Line& di1 = kLines[0];
    EXPECT_STREQ(di1.label, "/ACK");
    EXPECT_EQ(di1.pin, 10);
    EXPECT_STREQ(kLines[4].label, "/Error");
    EXPECT_STREQ(kLines[5].label, "/STROBE");
    const Line& do9 = kLines[13];
    EXPECT_STREQ(do9.label, "D7");
    EXPECT_EQ(LitColour(do9), clYellow);
    EXPECT_STREQ(kLines[16].label, "/Select PTR");
    EXPECT_EQ(kLines[16].pin, 17);
}

}  // namespace
