#include "PortIdentity.h"

#include <cstdio>
#include <cstdlib>

#include "ListCommand.h"
#include "WindowsPorts.h"

namespace portcheck {

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
    identity.named = std::sscanf(run.output.c_str(), "extended %d vendor %u", &identity.extendedBlock,
                                 &identity.pciVendor) == 2;
    if (!identity.named) identity = PortIdentity{};
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
    std::fputs(IdentityLine(IdentityOf(ports.ports, std::atoi(base))).c_str(), stdout);
    return 0;
}

}  // namespace portcheck
