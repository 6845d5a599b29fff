#include "PortLayout.h"

#include "PortRegisters.h"

namespace portcheck {

namespace {

bool IsRegisterBlock(const IoRange& range) { return range.length == 8; }
bool IsShortBlock(const IoRange& range) { return range.length == 3 || range.length == 4; }

PortLayout PortAt(const IoRange& port, const IoRange& extended = IoRange{}) {
    PortLayout layout;
    layout.kind = PortKind::Port;
    layout.port = port;
    layout.extended = extended;
    return layout;
}

PortLayout KindOnly(PortKind kind) {
    PortLayout layout;
    layout.kind = kind;
    return layout;
}

// The only range that passes `test`, or null when none or several do.
const IoRange* OnlyOne(const std::vector<IoRange>& ranges, bool (*test)(const IoRange&)) {
    const IoRange* found = nullptr;
    for (const IoRange& range : ranges) {
        if (!test(range)) continue;
        if (found) return nullptr;
        found = &range;
    }
    return found;
}

}  // namespace

PortLayout ClassifyPort(const PortDevice& device) {
    const std::vector<IoRange>& ranges = device.ranges;
    // A USB adapter has no range anyway: so also where Windows would not tell them.
    if (device.usbAdapter && ranges.empty()) return KindOnly(PortKind::UsbAdapter);
    if (device.unreadable) return KindOnly(PortKind::Unknown);
    if (device.problem) return KindOnly(PortKind::Problem);
    if (!device.rangesKnown) return KindOnly(PortKind::RangesHidden);
    if (ranges.empty()) return KindOnly(PortKind::NoRange);
    // A mainboard port: its extended block sits at base + 0x400, whatever
    // length Windows gave either of them.
    for (const IoRange& port : ranges)
        for (const IoRange& extended : ranges)
            if (extended.start == port.start + kIsaExtendedOffset && extended.length <= 8 &&
                (IsRegisterBlock(port) || IsShortBlock(port)))
                return PortAt(port, extended);
    // A card: the registers are its one 8-address range, the extended block
    // its one short range.
    if (const IoRange* port = OnlyOne(ranges, IsRegisterBlock)) {
        const IoRange* extended = OnlyOne(ranges, IsShortBlock);
        return PortAt(*port, extended ? *extended : IoRange{});
    }
    // An old port with 3 or 4 registers and nothing else (e.g. 03BC-03BE).
    if (ranges.size() == 1 && IsShortBlock(ranges[0])) return PortAt(ranges[0]);
    return KindOnly(PortKind::Unclear);
}

}  // namespace portcheck
