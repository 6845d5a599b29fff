// What a program that could not reach the port can learn about the port
// library and its kernel driver, each fact as Windows told it ("unknown"
// where it did not). Gathered only after binding failed, or for PortCheck
// --driver: the working path never pays for it.
#pragma once

#include <string>
#include <vector>

#include "PortLibrary.h"
#include "ModuleFacts.h"
#include "WindowsReads.h"

// A place the library was looked for, with Windows' error and whether a
// file is there at all (a missing file gives 126, as a missing dependency does).
struct TriedPath {
    std::wstring path;
    DWORD error = 0;
    Known<bool> present;
};

// The library's side: how binding went and what was found.
struct LibraryFacts {
    PortBinding binding = PortBinding::NoLibrary;
    std::wstring path;  // the library loaded; empty when none did
    Known<std::string> fileVersion;
    bool reportsDriver = false;                  // exports "IsInpOutDriverOpen"
    std::vector<TriedPath> tried;                // each path tried
    Known<bool> inNativeSystemFolder;            // an inpout32.dll where a 32-bit program can't see it
    std::wstring nativeSystemFolder;             // that folder, as a 32-bit program reaches it
    Known<bool> portAnswersNothing;              // the port reads 0 everywhere and its latch holds nothing
};

// The library's kernel driver service, of the bitness Windows has.
struct ServiceFacts {
    const wchar_t* name = L"";
    RegistryRead key = RegistryRead::Failed;  // its key under Services: Found means installed
    DWORD keyError = 0;
    Known<DWORD> start;                       // Start: 0 boot .. 4 disabled
    Known<std::wstring> imagePath;            // ImagePath, as written there
    std::wstring imageFile;                   // that file as this program reaches it
    Known<bool> imagePresent;
    ServiceStatus status;                     // from the service manager
};

struct DriverFacts {
    bool program64 = false;  // this program is 64-bit
    Known<bool> windows64;
    const char* windows64Source = "";
    Known<bool> elevated;
    const char* elevatedSource = "";
    Known<DWORD> windowsBuild;
    LibraryFacts library;
    ServiceFacts service;
    RegistryDword memoryIntegrityConfigured;  // Enabled under the DeviceGuard scenario
    Known<DWORD> codeIntegrityOptions;        // system information class 103
    RegistryDword blocklist;                  // VulnerableDriverBlocklistEnable
    RegistryDword smartAppControl;            // VerifiedAndReputablePolicyState
};

// The registry keys the facts come from, under HKLM.
extern const wchar_t kServicesKey[];
extern const wchar_t kMemoryIntegrityKey[];
extern const wchar_t kCodeIntegrityConfigKey[];
extern const wchar_t kCodeIntegrityPolicyKey[];

// Everything Windows tells about `library` (as LoadPortLibrary left it, with
// `binding` its outcome) and the driver.
// `attempts`: where LoadPortLibrary looked; `program64`: this build is
// 64-bit (the tests' stand-ins set it apart).
DriverFacts GatherDriverFacts(const WindowsReads& windows, const PortLibrary& library, PortBinding binding,
                              const std::vector<LoadAttempt>& attempts = {}, bool program64 = sizeof(void*) == 8);

// The driver's service name on this bitness of Windows.
const wchar_t* DriverServiceName(bool windows64);

// Whether each protection is on, as the facts tell: unknown where they don't.
Known<bool> MemoryIntegrityOn(const DriverFacts& facts);
Known<bool> BlocklistOn(const DriverFacts& facts);
Known<bool> SmartAppControlOn(const DriverFacts& facts);

// The first Windows build with the vulnerable driver blocklist on by
// default (Windows 11 22H2).
constexpr DWORD kBlocklistDefaultBuild = 22621;
// Code-integrity option: memory integrity (hypervisor-enforced) runs.
constexpr DWORD kMemoryIntegrityRunning = 0x400;
