#include "SystemAddresses.h"

#include "TextFormat.h"

namespace portcheck {

namespace {

struct SystemRange {
    int first;
    int last;
    const char* owner;
};

const SystemRange kSystemRanges[] = {
    {0x000, 0x0FF, "the system board's DMA, interrupt, timer and keyboard controllers"},
    {0x170, 0x177, "the secondary hard disk controller"},
    {0x1F0, 0x1F7, "the primary hard disk controller"},
    {0x2E8, 0x2EF, "the serial port COM4"},
    {0x2F8, 0x2FF, "the serial port COM2"},
    {0x370, 0x377, "the secondary floppy and hard disk controllers"},
    {0x3B0, 0x3BB, "the video adapter (monochrome; 0x3BC is a port base)"},
    {0x3C0, 0x3DF, "the video adapter"},
    {0x3E8, 0x3EF, "the serial port COM3"},
    {0x3F0, 0x3F7, "the floppy and hard disk controllers"},
    {0x3F8, 0x3FF, "the serial port COM1"},
    {0x4D0, 0x4D1, "the interrupt controllers' edge/level registers"},
    {0xCF8, 0xCFF, "the PCI configuration registers"},
};

}  // namespace

std::string SystemRangeAmong(int first, int last) {
    for (const SystemRange& range : kSystemRanges)
        if (first <= range.last && last >= range.first)
            return Hex(range.first) + "-" + Hex(range.last) + ", " + range.owner;
    return "";
}

}  // namespace portcheck
