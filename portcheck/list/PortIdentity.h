// What Windows says of the port at one base, for the commands that use a
// port: its extended block, wherever a PCI card puts it, and the card's PCI
// vendor (an Oxford Semiconductor part wants its own ECR pattern). Asked in
// a second copy of PortCheck, as --list is, for the same reason: where the
// configuration manager is only a stub, its calls end the process.
#pragma once

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PortLayout.h"

namespace portcheck {

constexpr const char* kPortWorkerOption = "--port-worker";  // not in the usage text
constexpr DWORD kPortWorkerTimeoutMs = 5000;
constexpr unsigned kOxfordVendor = 0x1415;

struct PortIdentity {
    bool named = false;      // Windows lists a port at that base
    int extendedBlock = -1;  // its extended block's first address; -1: none
    unsigned pciVendor = 0;  // 0: not told
};

// The port at `base` among the ports Windows lists.
PortIdentity IdentityOf(const std::vector<PortDevice>& ports, int base);
// "extended 0xD000 vendor 0x1415\n", or "" where not named; and back.
std::string IdentityLine(const PortIdentity& identity);
PortIdentity IdentityFromRun(const ChildRun& run);

// The first copy: runs the second; not named where it cannot say.
PortIdentity AskWindowsAbout(int base);
// The second copy: writes the line for `base` (its text as given).
int PortIdentityWorker(const char* base);

}  // namespace portcheck
