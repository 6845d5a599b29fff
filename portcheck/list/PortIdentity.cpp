#include "PortIdentity.h"

#include <cstdio>

#include "ListCommand.h"
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

PortIdentity IdentityOf(const std::vector<PortDevice>& ports, int base) {
    PortIdentity identity;
    for (const PortDevice& device : ports) {
        const PortLayout layout = ClassifyPort(device);
        if (layout.kind != PortKind::Port || static_cast<int>(layout.port.start) != base) continue;
        identity.named = true;
        if (layout.extended.length) identity.extendedBlock = static_cast<int>(layout.extended.start);
        identity.pciVendor = device.pciVendor;
    }
    return identity;
}

std::string IdentityLine(const PortIdentity& identity) {
    if (!identity.named) return "";
    char line[48];
    std::snprintf(line, sizeof line, "extended %d vendor %u\n", identity.extendedBlock, identity.pciVendor);
    return line;
}

PortIdentity IdentityFromRun(const ChildRun& run) {
    PortIdentity identity;
    if (run.outcome != ChildRun::Exited || run.exitCode != 0) return identity;
    long extended = 0, vendor = 0;
    if (!ReadField(run.output, "extended", &extended) || !ReadField(run.output, "vendor", &vendor) || vendor < 0)
        return identity;
    identity.named = true;
    identity.extendedBlock = static_cast<int>(extended);
    identity.pciVendor = static_cast<unsigned>(vendor);
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
    std::fputs(IdentityLine(IdentityOf(ports.ports, at)).c_str(), stdout);
    return 0;
}

}  // namespace portcheck
