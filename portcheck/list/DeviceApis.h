// Windows' device installation functions (SetupAPI) and configuration
// manager, looked up at run time from libraries loaded by their full path
// in the system folder: PortCheck imports nothing that Windows XP lacks, and
// no library planted beside it or in the current folder is ever loaded.
#pragma once

#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

namespace portcheck {

struct SetupApi {
    HDEVINFO(WINAPI* getClassDevs)(const GUID*, PCWSTR, HWND, DWORD) = nullptr;
    BOOL(WINAPI* enumDeviceInfo)(HDEVINFO, DWORD, PSP_DEVINFO_DATA) = nullptr;
    BOOL(WINAPI* getDeviceRegistryProperty)(HDEVINFO, PSP_DEVINFO_DATA, DWORD, PDWORD, PBYTE, DWORD,
                                            PDWORD) = nullptr;
    HKEY(WINAPI* openDevRegKey)(HDEVINFO, PSP_DEVINFO_DATA, DWORD, DWORD, DWORD, REGSAM) = nullptr;
    BOOL(WINAPI* destroyDeviceInfoList)(HDEVINFO) = nullptr;
};

// For the values of a device's key and of Windows' resource map: the
// registry's own calls, imported.
struct Registry {
    LONG(WINAPI* openKey)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY) = RegOpenKeyExW;
    LONG(WINAPI* queryValue)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) = RegQueryValueExW;
    LONG(WINAPI* closeKey)(HKEY) = RegCloseKey;
};

struct ConfigManager {
    CONFIGRET(WINAPI* locateDevNode)(PDEVINST, DEVINSTID_W, ULONG) = nullptr;
    CONFIGRET(WINAPI* getFirstLogConf)(PLOG_CONF, DEVINST, ULONG) = nullptr;
    CONFIGRET(WINAPI* getNextResDes)(PRES_DES, RES_DES, RESOURCEID, PRESOURCEID, ULONG) = nullptr;
    CONFIGRET(WINAPI* getResDesDataSize)(PULONG, RES_DES, ULONG) = nullptr;
    CONFIGRET(WINAPI* getResDesData)(RES_DES, PVOID, ULONG, ULONG) = nullptr;
    CONFIGRET(WINAPI* freeResDesHandle)(RES_DES) = nullptr;
    CONFIGRET(WINAPI* freeLogConfHandle)(LOG_CONF) = nullptr;
    CONFIGRET(WINAPI* getDevNodeStatus)(PULONG, PULONG, DEVINST, ULONG) = nullptr;
};

// Each is true only with every function found. The libraries stay loaded
// to the end of the process.
bool LoadSetupApi(SetupApi* api);
// From cfgmgr32.dll, or where that lacks them (Windows XP) from setupapi.dll.
bool LoadConfigManager(ConfigManager* api);

}  // namespace portcheck
