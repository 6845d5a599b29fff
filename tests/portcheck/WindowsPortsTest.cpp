// How PortCheck reads the ports from Windows, against stand-ins for its
// device functions, configuration manager and registry: which devices are
// parallel ports, their names and ranges, each way Windows can fail to say,
// the resource map where the configuration manager keeps the ranges, and
// every handle given back.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "AddressProof.h"
#include "CardResourceList.h"
#include "ChildProcess.h"
#include "PortIdentity.h"
#include "PortListText.h"
#include "WindowsPorts.h"

using namespace portcheck;

namespace {

struct FakeDevice {
    std::wstring portName, friendlyName, description, enumerator, hardwareId;
    std::vector<std::pair<DWORDLONG, DWORDLONG>> io;  // first and last address of each range
    CONFIGRET allocated = CR_SUCCESS;                 // the answer for its allocated configuration
    std::wstring objectName = {};                     // its physical device object
    std::vector<uint8_t> resourceMap = {};            // what the resource map records for it
    ULONG problem = 0;                                // Device Manager's problem number
    bool usbClass = false;                            // under USB controllers, not Ports (COM & LPT)
    std::wstring compatibleId = {};
};

// What the stand-ins answer, and the handles they gave out and got back.
struct {
    std::vector<FakeDevice> devices;
    bool listed = true, usbListed = true;
    CONFIGRET rootLocated = CR_SUCCESS;
    CONFIGRET rootAllocated = CR_NO_MORE_LOG_CONF;
    std::set<DWORD_PTR> open;
} g;

// Device n is DEVINST n + 1; its configuration is DEVINST << 8 and its
// i-th range (DEVINST << 8) | i, counting from 1; its key 0x4B000 + DEVINST.
constexpr DEVINST kRoot = 1000;
constexpr DWORD_PTR kKeys = 0x4B000;
const HKEY kResourceMap = reinterpret_cast<HKEY>(0x4A000);
const HDEVINFO kSet = reinterpret_cast<HDEVINFO>(0x5E7);
const HDEVINFO kUsbSet = reinterpret_cast<HDEVINFO>(0x5E8);
const GUID kUsbClass = {0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

const FakeDevice& Device(DWORD_PTR devInst) { return g.devices.at(devInst - 1); }

DWORD_PTR Opened(DWORD_PTR handle) { return *g.open.insert(handle).first; }
void Closed(DWORD_PTR handle) { EXPECT_EQ(g.open.erase(handle), 1u) << handle; }

HDEVINFO WINAPI GetClassDevs(const GUID* deviceClass, PCWSTR, HWND, DWORD flags) {
    EXPECT_EQ(flags, static_cast<DWORD>(DIGCF_PRESENT));
    const bool usb = IsEqualGUID(*deviceClass, kUsbClass);
    if (!(usb ? g.usbListed : g.listed)) return SetLastError(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
    return reinterpret_cast<HDEVINFO>(Opened(reinterpret_cast<DWORD_PTR>(usb ? kUsbSet : kSet)));
}
BOOL WINAPI DestroyList(HDEVINFO set) { return Closed(reinterpret_cast<DWORD_PTR>(set)), TRUE; }

// The index-th device of the set's class.
BOOL WINAPI EnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA device) {
    for (size_t i = 0; i < g.devices.size(); ++i)
        if (g.devices[i].usbClass == (set == kUsbSet) && index-- == 0) return device->DevInst = i + 1, TRUE;
    return SetLastError(ERROR_NO_MORE_ITEMS), FALSE;
}

BOOL WINAPI GetProperty(HDEVINFO, PSP_DEVINFO_DATA device, DWORD property, PDWORD type, PBYTE buffer,
                        DWORD size, PDWORD required) {
    const FakeDevice& d = Device(device->DevInst);
    const std::wstring value = property == SPDRP_FRIENDLYNAME      ? d.friendlyName
                               : property == SPDRP_DEVICEDESC      ? d.description
                               : property == SPDRP_ENUMERATOR_NAME ? d.enumerator
                               : property == SPDRP_HARDWAREID      ? d.hardwareId
                               : property == SPDRP_COMPATIBLEIDS   ? d.compatibleId
                               : property == SPDRP_PHYSICAL_DEVICE_OBJECT_NAME ? d.objectName
                                                                               : L"";
    if (value.empty()) return SetLastError(ERROR_INVALID_DATA), FALSE;
    const DWORD bytes = (value.size() + 1) * sizeof(wchar_t);
    const bool multi = property == SPDRP_HARDWAREID || property == SPDRP_COMPATIBLEIDS;
    *type = multi ? REG_MULTI_SZ : REG_SZ;
    if (required) *required = bytes;
    if (!buffer || size < bytes) return SetLastError(ERROR_INSUFFICIENT_BUFFER), FALSE;
    std::memcpy(buffer, value.c_str(), bytes);
    return TRUE;
}

HKEY WINAPI OpenDevRegKey(HDEVINFO, PSP_DEVINFO_DATA device, DWORD, DWORD, DWORD, REGSAM) {
    return reinterpret_cast<HKEY>(Opened(kKeys + device->DevInst));
}
LONG WINAPI OpenKey(HKEY root, LPCWSTR path, DWORD, REGSAM, PHKEY key) {
    if (root != HKEY_LOCAL_MACHINE || std::wcscmp(path, L"HARDWARE\\RESOURCEMAP\\PnP Manager\\PnpManager") != 0)
        return ERROR_FILE_NOT_FOUND;
    *key = reinterpret_cast<HKEY>(Opened(reinterpret_cast<DWORD_PTR>(kResourceMap)));
    return ERROR_SUCCESS;
}
LONG MappedResources(LPCWSTR name, LPDWORD type, LPBYTE data, LPDWORD size) {
    for (const FakeDevice& d : g.devices) {
        if (d.resourceMap.empty() || name != d.objectName + L".Raw") continue;
        const DWORD bytes = d.resourceMap.size();
        *type = REG_RESOURCE_LIST;
        if (data && *size < bytes) return ERROR_MORE_DATA;
        if (data) std::memcpy(data, d.resourceMap.data(), bytes);
        *size = bytes;
        return ERROR_SUCCESS;
    }
    return ERROR_FILE_NOT_FOUND;
}
LONG WINAPI QueryValue(HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (key == kResourceMap) return MappedResources(name, type, data, size);
    const std::wstring& value = Device(reinterpret_cast<DWORD_PTR>(key) - kKeys).portName;
    const DWORD bytes = (value.size() + 1) * sizeof(wchar_t);
    if (value.empty() || std::wcscmp(name, L"PortName") != 0) return ERROR_FILE_NOT_FOUND;
    if (*size < bytes) return ERROR_MORE_DATA;
    std::memcpy(data, value.c_str(), bytes);
    *type = REG_SZ;
    *size = bytes;
    return ERROR_SUCCESS;
}
LONG WINAPI CloseKey(HKEY key) { return Closed(reinterpret_cast<DWORD_PTR>(key)), ERROR_SUCCESS; }

CONFIGRET WINAPI Locate(PDEVINST root, DEVINSTID_W, ULONG) { return *root = kRoot, g.rootLocated; }
CONFIGRET WINAPI FirstLogConf(PLOG_CONF conf, DEVINST devInst, ULONG flags) {
    EXPECT_EQ(flags, static_cast<ULONG>(ALLOC_LOG_CONF));
    if (devInst == kRoot) return g.rootAllocated;
    if (Device(devInst).allocated != CR_SUCCESS) return Device(devInst).allocated;
    *conf = Opened(devInst << 8);
    return CR_SUCCESS;
}
CONFIGRET WINAPI NextResDes(PRES_DES next, RES_DES current, RESOURCEID type, PRESOURCEID, ULONG) {
    EXPECT_EQ(type, static_cast<RESOURCEID>(ResType_IO));
    if ((current & 0xFF) == Device(current >> 8).io.size()) return CR_NO_MORE_RES_DES;
    *next = Opened(current + 1);
    return CR_SUCCESS;
}
CONFIGRET WINAPI DataSize(PULONG size, RES_DES, ULONG) { return *size = sizeof(IO_RESOURCE), CR_SUCCESS; }
CONFIGRET WINAPI Data(RES_DES range, PVOID buffer, ULONG size, ULONG) {
    EXPECT_EQ(size, sizeof(IO_RESOURCE));
    IO_DES io = {};
    io.IOD_Alloc_Base = Device(range >> 8).io.at((range & 0xFF) - 1).first;
    io.IOD_Alloc_End = Device(range >> 8).io.at((range & 0xFF) - 1).second;
    std::memcpy(buffer, &io, sizeof io);
    return CR_SUCCESS;
}
CONFIGRET WINAPI FreeResDes(RES_DES range) { return Closed(range), CR_SUCCESS; }
CONFIGRET WINAPI FreeLogConf(LOG_CONF conf) { return Closed(conf), CR_SUCCESS; }
CONFIGRET WINAPI DevNodeStatus(PULONG status, PULONG problem, DEVINST devInst, ULONG) {
    *problem = Device(devInst).problem;
    *status = DN_STARTED | (*problem ? DN_HAS_PROBLEM : 0);
    return CR_SUCCESS;
}

WindowsPorts Read() {
    const SetupApi setup = {GetClassDevs, EnumDeviceInfo, GetProperty, OpenDevRegKey, DestroyList};
    const ConfigManager config = {Locate,     FirstLogConf, NextResDes,   DataSize,
                                  Data,       FreeResDes,   FreeLogConf,  DevNodeStatus};
    const Registry registry = {OpenKey, QueryValue, CloseKey};
    const WindowsPorts ports = ReadWindowsPorts(setup, config, registry);
    EXPECT_TRUE(g.open.empty()) << g.open.size() << " handles not given back";
    return ports;
}

// What --list prints for the stand-ins' ports; "" where the reading failed.
std::string Listed() {
    const WindowsPorts ports = Read();
    EXPECT_TRUE(ports.ok) << ports.error;
    return ports.ok ? PortListText(ports.ports) : "";
}

const FakeDevice kEcpPort = {L"LPT1", L"ECP Printer Port (LPT1)", L"ECP Printer Port", L"ACPI",
                             L"ACPI\\PNP0401", {{0x378, 0x37F}, {0x778, 0x77A}}};

}  // namespace

TEST(WindowsPorts, ParallelPortsByLptNameOrIdWithTheirRangesAndNoComPorts) {
    g = {};
    g.devices = {
        {L"COM1", L"Communications Port (COM1)", L"", L"ACPI", L"ACPI\\PNP0501", {{0x3F8, 0x3FF}}},
        {L"LPT2", L"USB Printer Port (LPT2)", L"", L"USB", L"USB\\VID_0000&PID_0001", {}, CR_NO_MORE_LOG_CONF},
        {L"", L"", L"Printer Port", L"ISAPNP", L"*PNP0400", {}, CR_NO_MORE_LOG_CONF},
        kEcpPort,
    };
    EXPECT_EQ(Listed(),
              "LPT1  ECP Printer Port          base 0x378   ranges 0378-037F, 0778-077A   extended 0x778\n"
              "LPT2  USB Printer Port          USB adapter: no registers a program can reach (printer drivers only)\n"
              "-     Printer Port              no I/O range allocated: the port is disabled or in a "
              "resource conflict (see Device Manager)\n");
}

TEST(WindowsPorts, ConfigurationManagerThatKeepsTheRangesOrCannotSay) {
    g = {};
    g.devices = {kEcpPort};
    g.rootAllocated = CR_CALL_NOT_IMPLEMENTED;  // a 32-bit program on 64-bit Windows 8 and later
    const WindowsPorts hidden = Read();
    ASSERT_TRUE(hidden.ok) << hidden.error;
    ASSERT_EQ(hidden.ports.size(), 1u);
    EXPECT_FALSE(hidden.ports[0].rangesKnown);

    g.rootLocated = CR_FAILURE;  // no device tree, as under Wine
    EXPECT_EQ(Read().error, "Windows' configuration manager does not answer (error 0x13)");

    g = {};
    g.listed = false;
    EXPECT_EQ(Read().error.find("Windows does not list its port devices (error "), 0u);

}

// One device that fails (unplugged while listing, or a range no x86 port
// can have) is unknown, and the listing goes on; Device Manager's problems
// are named; a USB adapter is one also where the ranges are kept from us.
TEST(WindowsPorts, EachPortIsListedWhateverBecameOfTheOthers) {
    g = {};
    FakeDevice gone = kEcpPort, disabled = kEcpPort, conflict = kEcpPort, usb = kEcpPort;
    gone.io.push_back({0x10000, 0x10007});  // no x86 I/O port
    disabled.portName = L"LPT2", disabled.friendlyName = L"Printer Port (LPT2)", disabled.io = {};
    disabled.allocated = CR_NO_MORE_LOG_CONF, disabled.problem = CM_PROB_DISABLED;
    conflict.portName = L"LPT3", conflict.friendlyName = L"Printer Port (LPT3)", conflict.io = {};
    conflict.allocated = CR_NO_MORE_LOG_CONF, conflict.problem = CM_PROB_NORMAL_CONFLICT;
    usb.portName = L"LPT4", usb.friendlyName = L"USB Printer Port (LPT4)", usb.enumerator = L"USB", usb.io = {};
    usb.allocated = CR_CALL_NOT_IMPLEMENTED;  // as on 64-bit Windows 8 and later: the rest from the map
    g.devices = {gone, disabled, conflict, usb, kEcpPort};
    EXPECT_EQ(Listed(),
              "LPT1  ECP Printer Port          unknown: Windows did not give its resources (removed while "
              "listing?)\n"
              "LPT1  ECP Printer Port          Windows does not tell this program the I/O ranges here: see the "
              "port's Resources tab in Device Manager\n"
              "LPT2  Printer Port              disabled in Device Manager (problem 22): enable it there to use it\n"
              "LPT3  Printer Port              in a resource conflict (problem 12): see the port's Resources tab "
              "in Device Manager\n"
              "LPT4  USB Printer Port          USB adapter: no registers a program can reach (printer drivers only)\n");
}

// Most USB-to-parallel cables are USB printing adapters, under the USB
// controllers: each is listed by the name Device Manager shows, and said to
// be of no use to a program; the other USB devices are not listed.
TEST(WindowsPorts, UsbPrintingAdaptersAreListedAsUselessToThisProgram) {
    g = {};
    FakeDevice hub = {L"", L"", L"USB Root Hub", L"USB", L"USB\\ROOT_HUB20", {}};
    hub.usbClass = true, hub.compatibleId = L"USB\\Class_09";
    FakeDevice cable = {L"", L"", L"USB Printing Support", L"USB", L"USB\\VID_067B&PID_2305", {}};
    cable.usbClass = true, cable.compatibleId = L"USB\\Class_07&SubClass_01&Prot_02";
    FakeDevice named = cable;
    named.friendlyName = L"USB Printing Support (IEEE-1284 cable)", named.compatibleId = L"usb\\class_07";
    g.devices = {hub, cable, named};
    EXPECT_EQ(Listed(),
              "-     USB Printing Support                   USB adapter: no registers a program can reach "
              "(printer drivers only)\n"
              "-     USB Printing Support (IEEE-1284 cable) USB adapter: no registers a program can reach "
              "(printer drivers only)\n");

    g.devices = {kEcpPort, cable};  // after the ports
    EXPECT_EQ(Listed(),
              "LPT1  ECP Printer Port          base 0x378   ranges 0378-037F, 0778-077A   extended 0x778\n"
              "-     USB Printing Support      USB adapter: no registers a program can reach (printer drivers only)\n");

    g.devices = {hub};
    EXPECT_EQ(Listed(), "No parallel ports: Windows lists none on this PC\n");

    g.usbListed = false;  // not "no adapters" where Windows would not say
    EXPECT_EQ(Read().error, "Windows does not list its USB devices (error 0x5)");
}

// Every problem Device Manager can show for a port is named, whatever
// ranges the port has: 10, 12, 22 and 28 in words, any other by number.
TEST(WindowsPorts, DeviceManagersProblemsAreNamedForEveryCode) {
    const std::map<ULONG, std::string> words = {
        {10, "Windows cannot start it (problem 10): see the device status on the port's General tab in "
             "Device Manager"},
        {12, "in a resource conflict (problem 12): see the port's Resources tab in Device Manager"},
        {22, "disabled in Device Manager (problem 22): enable it there to use it"},
        {28, "no driver installed (problem 28): install the card's driver, or let Device Manager's Update "
             "Driver find one"}};
    for (ULONG code = 1; code <= 60; ++code) {
        for (bool withRanges : {false, true}) {
            g = {};
            FakeDevice port = kEcpPort;
            port.problem = code;
            if (!withRanges) port.io = {}, port.allocated = CR_NO_MORE_LOG_CONF;
            g.devices = {port};
            const auto known = words.find(code);
            const std::string expected =
                known != words.end() ? known->second
                                     : "Device Manager shows problem " + std::to_string(code) +
                                           ": see the device status on the port's General tab there";
            EXPECT_EQ(Listed(), "LPT1  ECP Printer Port          " + expected + "\n")
                << "problem " << code << (withRanges ? " with" : " without") << " ranges";
        }
    }
}

TEST(WindowsPorts, RangesFromTheResourceMapWhereTheConfigurationManagerKeepsThem) {
    g = {};
    g.rootAllocated = CR_CALL_NOT_IMPLEMENTED;
    FakeDevice notInMap = kEcpPort, noRangeInMap = kEcpPort;
    notInMap.objectName = L"\\Device\\0000004d";
    noRangeInMap.portName = L"LPT2", noRangeInMap.friendlyName = L"Printer Port (LPT2)";
    noRangeInMap.objectName = L"\\Device\\0000004e", noRangeInMap.resourceMap = {0, 0, 0, 0};
    g.devices = {notInMap, noRangeInMap,
                 {L"LPT3", L"PCI Express Parallel Port (LPT3)", L"", L"PCI", L"PCI\\VEN_0000&DEV_0001", {},
                  CR_CALL_NOT_IMPLEMENTED, L"\\Device\\NTPNP_PCI0012", CardResourceList()}};
    // Where the map has no range for a port, the line that sends the user to Device Manager.
    EXPECT_EQ(Listed(),
              "LPT1  ECP Printer Port          Windows does not tell this program the I/O ranges here: see the "
              "port's Resources tab in Device Manager\n"
              "LPT2  Printer Port              Windows does not tell this program the I/O ranges here: see the "
              "port's Resources tab in Device Manager\n"
              "LPT3  PCI Express Parallel Port base 0xDC00  ranges DC00-DC07, D880-D883   extended 0xD880\n");
}

// For the commands on a port: a PCI card's extended block and vendor, as
// Windows names them, handed from the second copy to the first in a line.
TEST(WindowsPorts, ThePortAtABaseWithItsExtendedBlockAndPciVendor) {
    g = {};
    FakeDevice card = {L"LPT3", L"PCI Parallel Port (LPT3)", L"", L"PCI", L"PCI\\VEN_1415&DEV_C118&SUBSYS_00000000",
                       {{0xDC00, 0xDC07}, {0xD880, 0xD883}}};
    g.devices = {kEcpPort, card};
    const WindowsPorts ports = Read();
    ASSERT_TRUE(ports.ok) << ports.error;
    const PortIdentity named = IdentityOf(ports, 0xDC00);
    EXPECT_EQ(named.names, WindowsNames::Port);
    EXPECT_EQ(named.extendedBlock, 0xD880);
    EXPECT_EQ(named.pciVendor, kOxfordVendor);
    EXPECT_EQ(IdentityOf(ports, 0x378).pciVendor, 0u) << "an ACPI port has no PCI vendor";
    EXPECT_EQ(IdentityOf(ports, 0xD880).names, WindowsNames::OtherDevice) << "the extended block is no port";

    ChildRun run;
    run.outcome = ChildRun::Exited;
    run.output = IdentityLine(named);
    const PortIdentity passed = IdentityFromRun(run);
    EXPECT_TRUE(passed.names == WindowsNames::Port && passed.extendedBlock == 0xD880 && passed.pciVendor == kOxfordVendor);
    for (const ChildRun& failed : {ChildRun{ChildRun::Exited, 0xC0000005, 0, run.output},
                                   ChildRun{ChildRun::TimedOut, 0, 0, run.output},
                                   ChildRun{ChildRun::Exited, 0, 0, "PortCheck: cannot list"}})
        EXPECT_EQ(IdentityFromRun(failed).names, WindowsNames::Unknown) << failed.output;
}

// A 2S1P card: its serial ports beside the parallel one. What Windows gives
// another device, or where it lists no port, is not touched (--force goes
// on only where it lists none); where a port's ranges are kept from this
// program, Windows cannot say, and the serial port's look decides.
TEST(WindowsPorts, AnAddressWindowsGivesToAnotherDeviceIsNotTouched) {
    g = {};
    FakeDevice card = {L"LPT3", L"PCI Parallel Port (LPT3)", L"", L"PCI", L"PCI\\VEN_9710&DEV_9865",
                       {{0xD010, 0xD017}, {0xD000, 0xD003}}};
    FakeDevice com = {L"COM3", L"PCI Serial Port (COM3)", L"", L"PCI", L"PCI\\VEN_9710&DEV_9865", {{0xD018, 0xD01F}}};
    g.devices = {kEcpPort, card, com};
    const WindowsPorts ports = Read();
    ASSERT_TRUE(ports.ok) << ports.error;
    EXPECT_EQ(ports.ports.size(), 2u) << "--list shows the parallel ports only";
    ASSERT_EQ(ports.serialPorts.size(), 1u);

    const auto passedOn = [](const PortIdentity& identity) {
        ChildRun run;
        run.outcome = ChildRun::Exited;
        run.output = IdentityLine(identity);
        return IdentityFromRun(run);
    };
    const PortIdentity serial = passedOn(IdentityOf(ports, 0xD018));
    ASSERT_EQ(serial.names, WindowsNames::OtherDevice);
    EXPECT_EQ(serial.ownerFirst, 0xD018);
    EXPECT_EQ(serial.ownerLast, 0xD01F);
    const std::string refusal =
        "PortCheck: Windows gives 0xD018-0xD01F to PCI Serial Port (COM3): no parallel port's registers are at "
        "0xD018, and PortCheck touches nothing there (PortCheck --list shows the parallel ports)\n";
    EXPECT_EQ(JudgeAddress(0xD018, serial, false).refusal, refusal);
    EXPECT_EQ(JudgeAddress(0xD018, serial, true).refusal, refusal) << "--force does not go on there";
    EXPECT_EQ(passedOn(IdentityOf(ports, 0xD014)).owner, "PCI Parallel Port (LPT3)") << "inside the port's range";

    const PortIdentity nothing = passedOn(IdentityOf(ports, 0xE000));
    EXPECT_EQ(nothing.names, WindowsNames::NoPort);
    EXPECT_EQ(JudgeAddress(0xE000, nothing, false).refusal,
              "PortCheck: Windows lists no parallel port at 0xE000, and PortCheck touches nothing there (PortCheck "
              "--list shows the parallel ports). If a port Windows has no driver for is there, --force goes on.\n");
    EXPECT_EQ(JudgeAddress(0xE000, nothing, true).refusal, "");
    EXPECT_TRUE(JudgeAddress(0xE000, nothing, true).fingerprint);

    const AddressVerdict port = JudgeAddress(0xD010, passedOn(IdentityOf(ports, 0xD010)), false);
    EXPECT_EQ(port.refusal, "");
    EXPECT_FALSE(port.fingerprint) << "Windows names the port";
    EXPECT_EQ(port.extendedBlock, 0xD000);

    g.rootAllocated = CR_CALL_NOT_IMPLEMENTED;  // the ranges kept from this program, and not in the map
    const WindowsPorts hidden = Read();
    EXPECT_EQ(IdentityOf(hidden, 0xE000).names, WindowsNames::Unknown);
    const AddressVerdict unknown = JudgeAddress(0xE000, IdentityOf(hidden, 0xE000), false);
    EXPECT_EQ(unknown.refusal, "");
    EXPECT_TRUE(unknown.fingerprint);
    EXPECT_FALSE(JudgeAddress(0x278, IdentityOf(hidden, 0x278), false).fingerprint) << "a mainboard base";
}
