#include "PortIdentity.h"

#include <cstdio>

#include "ChildProcess.h"
#include "ListCommand.h"
#include "PortRegisters.h"
#include "SysUtils.h"
#include "WindowsPorts.h"

namespace portcheck {

namespace {

// The decimal number after "`name` " in `text` (the C runtime's scanning
// would add imports Windows XP's msvcrt.dll is not listed for).
bool ReadField(const std::string& text, const std::string& name, long* value) {
    const size_t at = text.find(name + " ");
    if (at == std::string::npos) return false;
    size_t i = at + name.size() + 1;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;
    long number = 0;
    const size_t first = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && number < 0x1000000; ++i)
        number = number * 10 + (text[i] - '0');
    *value = negative ? -number : number;
    return i > first;
}

}  // namespace

namespace {

bool Overlaps(const IoRange& range, int first, int last) {
    return range.length > 0 && static_cast<int>(range.start) <= last &&
           static_cast<int>(range.start + range.length - 1) >= first;
}

// Whether Windows keeps this device's ranges from this program.
bool RangesUnknown(const PortDevice& device) { return !device.rangesKnown || device.unreadable; }

PortIdentity OwnedBy(const PortDevice& device, const IoRange& range) {
    PortIdentity identity;
    identity.names = WindowsNames::OtherDevice;
    identity.ownerFirst = static_cast<int>(range.start);
    identity.ownerLast = static_cast<int>(range.start + range.length - 1);
    identity.owner = device.name;
    for (char& c : identity.owner)
        if (c == '\n' || c == '\r') c = ' ';
    return identity;
}

}  // namespace

PortIdentity IdentityOf(const WindowsPorts& ports, int base) {
    const int last = base + kControlOffset;
    bool known = true;
    for (const PortDevice& device : ports.ports) {
        const PortLayout layout = ClassifyPort(device);
        if (layout.kind == PortKind::Port && static_cast<int>(layout.port.start) == base) {
            PortIdentity identity;
            identity.names = WindowsNames::Port;
            if (layout.extended.length) identity.extendedBlock = static_cast<int>(layout.extended.start);
            identity.pciVendor = device.pciVendor;
            return identity;
        }
        known = known && !RangesUnknown(device) && layout.kind != PortKind::Unclear;
    }
    for (const std::vector<PortDevice>* devices : {&ports.ports, &ports.serialPorts})
        for (const PortDevice& device : *devices) {
            for (const IoRange& range : device.ranges)
                if (Overlaps(range, base, last)) return OwnedBy(device, range);
            known = known && !RangesUnknown(device);
        }
    PortIdentity identity;
    if (known) identity.names = WindowsNames::NoPort;
    return identity;
}

std::string IdentityLine(const PortIdentity& identity) {
    char line[64];
    switch (identity.names) {
    case WindowsNames::Port:
        std::snprintf(line, sizeof line, "port extended %d vendor %u\n", identity.extendedBlock, identity.pciVendor);
        return line;
    case WindowsNames::OtherDevice:
        std::snprintf(line, sizeof line, "owner first %d last %d name ", identity.ownerFirst, identity.ownerLast);
        return line + identity.owner + "\n";
    case WindowsNames::NoPort: return "none\n";
    case WindowsNames::Unknown: break;
    }
    return "";
}

PortIdentity IdentityFromRun(const ChildRun& run) {
    PortIdentity identity;
    if (run.outcome != ChildRun::Exited || run.exitCode != 0) return identity;
    const std::string& text = run.output;
    long first = 0, second = 0;
    if (text.compare(0, 5, "port ") == 0) {
        if (!ReadField(text, "extended", &first) || !ReadField(text, "vendor", &second) || second < 0) return identity;
        identity.names = WindowsNames::Port;
        identity.extendedBlock = static_cast<int>(first);
        identity.pciVendor = static_cast<unsigned>(second);
    } else if (text.compare(0, 6, "owner ") == 0) {
        const size_t name = text.find(" name ");
        if (!ReadField(text, "first", &first) || !ReadField(text, "last", &second) || name == std::string::npos)
            return identity;
        identity.names = WindowsNames::OtherDevice;
        identity.ownerFirst = static_cast<int>(first);
        identity.ownerLast = static_cast<int>(second);
        identity.owner = text.substr(name + 6, text.find('\n', name) - name - 6);
    } else if (text == "none\n") {
        identity.names = WindowsNames::NoPort;
    }
    return identity;
}

PortIdentity AskWindowsAbout(int base) {
    return IdentityFromRun(RunSecondCopy(std::string(kPortWorkerOption) + " " + std::to_string(base),
                                         kPortWorkerTimeoutMs));
}

int PortIdentityWorker(const char* base) {
    EndWorkerQuietly();
    const WindowsPorts ports = ReadWindowsPorts();
    if (!ports.ok) return kExitCannotList;
    int at = 0;
    try {
        at = StrToInt(base);
    } catch (const EConvertError&) {
        return kExitBadArguments;
    }
    std::fputs(IdentityLine(IdentityOf(ports, at)).c_str(), stdout);
    return 0;
}

}  // namespace portcheck
