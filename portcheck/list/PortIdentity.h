// What Windows says of the address a command on a port is given: a parallel
// port's base (with its extended block, wherever a PCI card puts it, and the
// card's PCI vendor: an Oxford Semiconductor part wants its own ECR
// pattern), another device's range (a serial port's, or a parallel port's
// other range), no port Windows knows, or nothing it can speak for. Asked
// in a second copy of PortCheck, as --list is, for the same reason: where
// the configuration manager is only a stub, its calls end the process.
#pragma once

#include <string>

#include "WinTypes.h"

namespace portcheck {

struct ChildRun;
struct WindowsPorts;

constexpr const char* kPortWorkerOption = "--port-worker";  // not in the usage text
constexpr DWORD kPortWorkerTimeoutMs = 5000;
constexpr unsigned kOxfordVendor = 0x1415;

enum class WindowsNames {
    Unknown,      // Windows cannot say: no answer, or a port or serial port whose ranges it keeps
    Port,         // a parallel port's base
    OtherDevice,  // a range of another device: `owner` from ownerFirst to ownerLast
    NoPort,       // every port's ranges are known, and none is there
};

struct PortIdentity {
    WindowsNames names = WindowsNames::Unknown;
    int extendedBlock = -1;  // Port: its extended block's first address; -1: none
    unsigned pciVendor = 0;  // Port: 0 where not told
    int ownerFirst = 0;      // OtherDevice: the range and the device's name
    int ownerLast = 0;
    std::string owner;
};

// What Windows' ports say of `base` (the port's registers base..base+2).
PortIdentity IdentityOf(const WindowsPorts& ports, int base);
// The line the second copy writes ("" where it cannot say); and back.
std::string IdentityLine(const PortIdentity& identity);
PortIdentity IdentityFromRun(const ChildRun& run);

// The first copy: runs the second; Unknown where it cannot say.
PortIdentity AskWindowsAbout(int base);
// The second copy: writes the line for `base` (its text as given).
int PortIdentityWorker(const char* base);

}  // namespace portcheck
