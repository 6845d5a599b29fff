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
    {0x370, 0x377, "the secondary floppy and hard disk controllers"},
    {0x3F0, 0x3F7, "the floppy and hard disk controllers"},
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
