// What `PortCheck --list` prints for the ports Windows describes: which
// range is the port and which its extended block, and why a port has no
// usable range.
#include <gtest/gtest.h>

#include "PortListText.h"

using namespace portcheck;

namespace {

PortDevice Port(const char* name, const char* lptName, std::vector<IoRange> ranges) {
    PortDevice port;
    port.name = name;
    port.lptName = lptName;
    port.ranges = ranges;
    return port;
}

}  // namespace

TEST(PortList, MainboardPortAndCardWithItsExtendedBlockBelowLineUpInLptOrder) {
    const std::string text = PortListText({
        Port("PCI Express Parallel Port (LPT3)", "LPT3", {{0xDC00, 8}, {0xD880, 4}}),
        Port("ECP Printer Port (LPT1)", "LPT1", {{0x378, 8}, {0x778, 3}}),
    });
    EXPECT_EQ(text,
              "LPT1  ECP Printer Port          base 0x378   ranges 0378-037F, 0778-077A   extended 0x778\n"
              "LPT3  PCI Express Parallel Port base 0xDC00  ranges DC00-DC07, D880-D883   extended 0xD880\n");
}

TEST(PortList, CardWithOneRangeAndOldThreeRegisterPorts) {
    EXPECT_EQ(PortListText({Port("PCI Parallel Port (LPT2)", "LPT2", {{0xD010, 8}})}),
              "LPT2  PCI Parallel Port         base 0xD010  ranges D010-D017\n");
    EXPECT_EQ(PortListText({Port("Printer Port (LPT1)", "LPT1", {{0x3BC, 3}})}),
              "LPT1  Printer Port              base 0x3BC   ranges 03BC-03BE\n");
    // Two short ranges: the one at the other's base + 0x400 is the extended block.
    EXPECT_EQ(PortListText({Port("Printer Port", "", {{0x7BC, 3}, {0x3BC, 3}})}),
              "-     Printer Port              base 0x3BC   ranges 07BC-07BE, 03BC-03BE   extended 0x7BC\n");
}

TEST(PortList, PortsWithoutAUsableRangeSayWhy) {
    PortDevice usb = Port("USB Printer Port (LPT4)", "LPT4", {});
    usb.usbAdapter = true;
    PortDevice hidden = Port("ECP Printer Port (LPT1)", "LPT1", {});
    hidden.rangesKnown = false;
    const std::string text = PortListText({
        usb,
        Port("Printer Port (LPT2)", "LPT2", {}),
        Port("Dual Parallel Card (LPT10)", "LPT10", {{0xE800, 8}, {0xE000, 8}}),
        hidden,
    });
    EXPECT_EQ(text,
              "LPT1  ECP Printer Port          Windows does not tell this program the I/O ranges here: "
              "see the port's Resources tab in Device Manager\n"
              "LPT2  Printer Port              no I/O range allocated: the port is disabled or in a "
              "resource conflict (see Device Manager)\n"
              "LPT4  USB Printer Port          USB adapter: no registers a program can reach (printer drivers only)\n"
              "LPT10 Dual Parallel Card        base ?       ranges E800-E807, E000-E007   which range is the "
              "port is unclear: see the card's manual\n");
}

TEST(PortList, NoPortsIsSaid) {
    EXPECT_EQ(PortListText({}), "No parallel ports: Windows lists none on this PC\n");
}
