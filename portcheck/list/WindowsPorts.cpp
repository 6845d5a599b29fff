#include "WindowsPorts.h"

#include <cstdio>
#include <cstring>

#include "ResourceMap.h"

namespace portcheck {

namespace {

// The Ports (COM & LPT) device class.
const GUID kPortsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// The Universal Serial Bus controllers class, where Windows puts a USB
// printing adapter ("USB Printing Support").
const GUID kUsbClass = {0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The USB printing class's compatible ID, "USB\Class_07&SubClass_01&Prot_02".
const wchar_t kUsbPrintingId[] = L"USB\\Class_07";

// Windows' own parallel port IDs: a standard port and an ECP port.
const wchar_t* const kParallelIds[] = {L"PNP0400", L"PNP0401"};

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool SameText(const wchar_t* a, const wchar_t* b, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    const size_t length = std::wcslen(prefix);
    return text.size() >= length && SameText(text.c_str(), prefix, length);
}

bool EndsWith(const std::wstring& text, const wchar_t* suffix) {
    const size_t length = std::wcslen(suffix);
    return text.size() >= length && SameText(text.c_str() + text.size() - length, suffix, length);
}

// Names go out in the console's code page, as the rest of PortCheck's text.
std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    UINT codePage = GetConsoleOutputCP();
    if (codePage == 0) codePage = CP_ACP;
    const int size = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &narrow[0], size,
                            nullptr, nullptr);
    return narrow;
}

// The vendor in a PCI hardware ID, "PCI\VEN_1415&DEV_C118&...": 0 where none has one.
unsigned PciVendor(const std::vector<std::wstring>& ids) {
    for (const std::wstring& id : ids) {
        const size_t at = id.find(L"VEN_");
        if (!StartsWith(id, L"PCI\\") || at == std::wstring::npos || id.size() < at + 8) continue;
        unsigned vendor = 0;
        for (size_t i = at + 4; i < at + 8; ++i) {
            const wchar_t c = Upper(id[i]);
            const int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
            if (digit < 0) break;
            vendor = vendor * 16 + static_cast<unsigned>(digit);
            if (i + 1 == at + 8) return vendor;
        }
    }
    return 0;
}

WindowsPorts Failed(const std::string& why, unsigned long code) {
    char text[24];
    std::snprintf(text, sizeof text, " (error 0x%lX)", code);
    WindowsPorts failed;
    failed.error = why + text;
    return failed;
}

class PortReader {
public:
    PortReader(const SetupApi& setup, const ConfigManager& config, const Registry& registry, HDEVINFO set)
        : setup_(setup), config_(config), registry_(registry), set_(set) {}

    // The strings of a text or multi-text property; empty where it has none.
    std::vector<std::wstring> Property(SP_DEVINFO_DATA* device, DWORD property) const {
        DWORD type = 0, size = 0;
        setup_.getDeviceRegistryProperty(set_, device, property, &type, nullptr, 0, &size);
        if (size == 0 || size > kMaxPropertyBytes) return {};
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');  // terminated even if Windows didn't
        if (!setup_.getDeviceRegistryProperty(set_, device, property, &type,
                                              reinterpret_cast<PBYTE>(buffer.data()), size, nullptr) ||
            (type != REG_SZ && type != REG_MULTI_SZ))
            return {};
        std::vector<std::wstring> strings;
        for (const wchar_t* s = buffer.data(); *s; s += std::wcslen(s) + 1) strings.emplace_back(s);
        return strings;
    }

    std::wstring Text(SP_DEVINFO_DATA* device, DWORD property) const {
        const std::vector<std::wstring> strings = Property(device, property);
        return strings.empty() ? std::wstring() : strings.front();
    }

    // The name Device Manager shows.
    std::string ShownName(SP_DEVINFO_DATA* device) const {
        std::wstring name = Text(device, SPDRP_FRIENDLYNAME);
        if (name.empty()) name = Text(device, SPDRP_DEVICEDESC);
        return Narrow(name);
    }

    // "LPT1" for a parallel port: the name the port driver takes from the
    // device's parameters.
    std::wstring PortName(SP_DEVINFO_DATA* device) const {
        const HKEY key =
            setup_.openDevRegKey(set_, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
        if (!key || key == reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE)) return {};
        wchar_t name[64] = {};
        DWORD type = 0, size = sizeof name - sizeof(wchar_t);
        const LONG read =
            registry_.queryValue(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
        registry_.closeKey(key);
        return read == ERROR_SUCCESS && type == REG_SZ ? std::wstring(name) : std::wstring();
    }

    // A parallel port by its LPT name or, where it has none, by its IDs;
    // COM ports have neither.
    bool IsParallel(SP_DEVINFO_DATA* device, const std::wstring& portName) const {
        if (StartsWith(portName, L"LPT")) return true;
        for (DWORD property : {SPDRP_HARDWAREID, SPDRP_COMPATIBLEIDS})
            for (const std::wstring& id : Property(device, property))
                for (const wchar_t* parallel : kParallelIds)
                    if (EndsWith(id, parallel)) return true;
        return false;
    }

    // Fills in the port's names and bus; false for a device that is
    // neither a parallel port nor a serial one.
    bool Describe(SP_DEVINFO_DATA* device, PortDevice* port) const {
        const std::wstring portName = PortName(device);
        port->serial = StartsWith(portName, L"COM");
        if (!port->serial && !IsParallel(device, portName)) return false;
        port->name = ShownName(device);
        if (StartsWith(portName, L"LPT")) port->lptName = Narrow(portName);
        port->usbAdapter = StartsWith(Text(device, SPDRP_ENUMERATOR_NAME), L"USB");
        port->pciVendor = PciVendor(Property(device, SPDRP_HARDWAREID));
        return true;
    }

    // A USB printing adapter among the USB devices: no registers, no ranges.
    bool DescribeUsbPrinting(SP_DEVINFO_DATA* device, PortDevice* port) const {
        bool printing = false;
        for (const std::wstring& id : Property(device, SPDRP_COMPATIBLEIDS))
            printing = printing || StartsWith(id, kUsbPrintingId);
        if (!printing) return false;
        port->name = ShownName(device);
        port->usbAdapter = true;
        return true;
    }

    // The device's allocated I/O ranges; CR_SUCCESS also where it has none.
    CONFIGRET IoRanges(DEVINST device, std::vector<IoRange>* ranges) const {
        LOG_CONF allocated = 0;
        CONFIGRET result = config_.getFirstLogConf(&allocated, device, ALLOC_LOG_CONF);
        if (result == CR_NO_MORE_LOG_CONF) return CR_SUCCESS;
        if (result != CR_SUCCESS) return result;
        RES_DES current = allocated;  // the first call takes the configuration itself
        for (;;) {
            RES_DES next = 0;
            result = config_.getNextResDes(&next, current, ResType_IO, nullptr, 0);
            if (current != allocated) config_.freeResDesHandle(current);
            if (result != CR_SUCCESS) break;
            current = next;
            result = AddRange(current, ranges);
            if (result != CR_SUCCESS) {
                config_.freeResDesHandle(current);
                break;
            }
        }
        config_.freeLogConfHandle(allocated);
        return result == CR_NO_MORE_RES_DES ? CR_SUCCESS : result;
    }

    // Device Manager's problem number for the device; 0 where it has none.
    ULONG Problem(DEVINST device) const {
        ULONG status = 0, problem = 0;
        if (config_.getDevNodeStatus(&status, &problem, device, 0) != CR_SUCCESS) return 0;
        return status & DN_HAS_PROBLEM ? problem : 0;
    }

    // Where the configuration manager keeps them from this program: the
    // ranges Windows' resource map records for the device; false where it
    // has none.
    bool MappedIoRanges(SP_DEVINFO_DATA* device, std::vector<IoRange>* ranges) const {
        return ReadMappedIoRanges(registry_, Text(device, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME), ranges);
    }

private:
    static constexpr DWORD kMaxPropertyBytes = 64 * 1024;

    CONFIGRET AddRange(RES_DES descriptor, std::vector<IoRange>* ranges) const {
        ULONG size = 0;
        CONFIGRET result = config_.getResDesDataSize(&size, descriptor, 0);
        if (result != CR_SUCCESS) return result;
        if (size < sizeof(IO_DES) || size > kMaxPropertyBytes) return CR_INVALID_DATA;
        std::vector<BYTE> data(size);
        result = config_.getResDesData(descriptor, data.data(), size, 0);
        if (result != CR_SUCCESS) return result;
        IO_DES io;
        std::memcpy(&io, data.data(), sizeof io);
        // x86 has no I/O port above 0xFFFF.
        if (io.IOD_Alloc_End < io.IOD_Alloc_Base || io.IOD_Alloc_End > 0xFFFF) return CR_INVALID_DATA;
        IoRange range;
        range.start = static_cast<uint32_t>(io.IOD_Alloc_Base);
        range.length = static_cast<uint32_t>(io.IOD_Alloc_End - io.IOD_Alloc_Base + 1);
        ranges->push_back(range);
        return CR_SUCCESS;
    }

    const SetupApi& setup_;
    const ConfigManager& config_;
    const Registry& registry_;
    HDEVINFO set_;
};

// Asks for the root device's allocated configuration first, so that a
// configuration manager that cannot answer is found before any port is
// listed. Windows 8 and later answer CR_CALL_NOT_IMPLEMENTED to a 32-bit
// program on 64-bit Windows: the ports can still be listed, with the ranges
// from Windows' resource map where it has them.
CONFIGRET AskRoot(const ConfigManager& config) {
    DEVINST root = 0;
    const CONFIGRET located = config.locateDevNode(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL);
    if (located != CR_SUCCESS) return located;
    const CONFIGRET asked = config.getFirstLogConf(nullptr, root, ALLOC_LOG_CONF);
    return asked == CR_NO_MORE_LOG_CONF ? CR_SUCCESS : asked;
}

// Calls visit(reader, device) for each present device of the class; false
// where Windows does not list them.
template <class Visit>
bool ForEachDevice(const SetupApi& setup, const ConfigManager& config, const Registry& registry,
                   const GUID& deviceClass, Visit visit) {
    const HDEVINFO set = setup.getClassDevs(&deviceClass, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return false;
    {
        const PortReader reader(setup, config, registry, set);
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof device;
        for (DWORD index = 0; setup.enumDeviceInfo(set, index, &device); ++index) visit(reader, &device);
    }
    setup.destroyDeviceInfoList(set);
    return true;
}

}  // namespace

WindowsPorts ReadWindowsPorts() {
    SetupApi setup;
    ConfigManager config;
    if (!LoadSetupApi(&setup))
        return Failed("Windows' device functions (setupapi.dll) are missing", GetLastError());
    if (!LoadConfigManager(&config))
        return Failed("Windows' configuration manager functions are missing", GetLastError());
    return ReadWindowsPorts(setup, config, Registry());
}

WindowsPorts ReadWindowsPorts(const SetupApi& setup, const ConfigManager& config, const Registry& registry) {
    const CONFIGRET root = AskRoot(config);
    if (root != CR_SUCCESS && root != CR_CALL_NOT_IMPLEMENTED)
        return Failed("Windows' configuration manager does not answer", root);
    bool rangesHidden = root == CR_CALL_NOT_IMPLEMENTED;
    WindowsPorts result;
    result.ok = true;
    const bool listed = ForEachDevice(setup, config, registry, kPortsClass,
                                      [&](const PortReader& reader, SP_DEVINFO_DATA* device) {
        PortDevice port;
        if (!reader.Describe(device, &port)) return;
        port.problem = reader.Problem(device->DevInst);
        const CONFIGRET read =
            rangesHidden ? CR_CALL_NOT_IMPLEMENTED : reader.IoRanges(device->DevInst, &port.ranges);
        // Only "not implemented" (a 32-bit program on 64-bit Windows) calls
        // for the resource map; any other failure is this device's alone.
        rangesHidden = read == CR_CALL_NOT_IMPLEMENTED;
        if (rangesHidden) {
            port.ranges.clear();
            port.rangesKnown = reader.MappedIoRanges(device, &port.ranges);
        }
        port.unreadable = read != CR_SUCCESS && !rangesHidden;
        (port.serial ? result.serialPorts : result.ports).push_back(port);
    });
    if (!listed) return Failed("Windows does not list its port devices", GetLastError());
    // Most USB-to-parallel cables, under the USB controllers: listed so that
    // a user who has only such an adapter learns that it cannot serve a
    // program like this one.
    const bool usbListed = ForEachDevice(setup, config, registry, kUsbClass,
                                         [&](const PortReader& reader, SP_DEVINFO_DATA* device) {
        PortDevice adapter;
        if (!reader.DescribeUsbPrinting(device, &adapter)) return;
        adapter.problem = reader.Problem(device->DevInst);
        result.ports.push_back(adapter);
    });
    if (!usbListed) return Failed("Windows does not list its USB devices", GetLastError());
    return result;
}

}  // namespace portcheck
