// Which of a parallel port's I/O ranges holds its registers and which its
// extended (ECP) block, from the ranges Windows has allocated to it. A port
// spans 8 addresses (an old one 3 or 4); the extended block is 3 or 4
// addresses at base + 0x400 on mainboard ports, and anywhere, even below the
// port, on PCI and PCIe cards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace portcheck {

struct IoRange {
    uint32_t start = 0;
    uint32_t length = 0;  // addresses in the range
};

// One parallel port (or serial port) as Windows describes it.
struct PortDevice {
    std::string name;             // as Device Manager shows it, e.g. "ECP Printer Port (LPT1)"
    std::string lptName;          // "LPT1"; empty where Windows gave it none
    bool usbAdapter = false;      // on a USB bus (a USB printing adapter, say): it has no I/O registers
    bool rangesKnown = true;      // false: Windows would not tell this program its ranges
    std::vector<IoRange> ranges;  // its allocated I/O ranges, in Windows' order
    unsigned long problem = 0;    // Device Manager's problem number; 0: none
    bool unreadable = false;      // its resources could not be read (removed while listing, say)
    unsigned pciVendor = 0;       // from a hardware ID "PCI\VEN_1415&...": 0 where none says
    bool serial = false;          // a serial port ("COM3") of the same device class
};

enum class PortKind {
    Port,          // `port` holds the registers; `extended`, if its length isn't 0, the ECP block
    UsbAdapter,    // no I/O range, on a USB bus: for printer drivers only
    NoRange,       // no I/O range allocated: disabled, or in a resource conflict
    RangesHidden,  // Windows keeps the ranges from this program
    Problem,       // Device Manager shows a problem with it (`PortDevice::problem`)
    Unknown,       // its resources could not be read
    Unclear,       // the ranges fit no parallel port's layout
};

struct PortLayout {
    PortKind kind = PortKind::Unclear;
    IoRange port;
    IoRange extended;
};

PortLayout ClassifyPort(const PortDevice& device);

}  // namespace portcheck
