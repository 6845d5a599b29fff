// What a program that could not reach the port can learn about the port
// library and its kernel driver, each fact as Windows told it ("unknown"
// where it did not), and what the facts mean. Gathered (ReadDriverFacts.h)
// only after binding failed, or for PortCheck --driver: the working path
// never pays for it. Paths and names are kept as they are shown, in the
// ANSI code page.
#pragma once

#include <string>
#include <vector>

#include "PortBinding.h"
#include "WindowsReads.h"

// A place the library was looked for, with Windows' error and whether a
// file is there at all (a missing file gives 126, as a missing dependency does).
struct TriedPath {
    std::string path;
    DWORD error = 0;
    Known<bool> present;
};

// The library's side: how binding went and what was found.
struct LibraryFacts {
    PortBinding binding = PortBinding::NoLibrary;
    std::string path;  // the library loaded; empty when none did
    Known<std::string> fileVersion;
    bool reportsDriver = false;                  // exports "IsInpOutDriverOpen"
    std::vector<TriedPath> tried;                // each path tried
    Known<bool> inNativeSystemFolder;            // an inpout32.dll where a 32-bit program can't see it
    std::string nativeSystemFolder;              // that folder, as Explorer shows it
    Known<bool> portAnswersNothing;              // the port reads 0 everywhere and its latch holds nothing
};

// The library's kernel driver service, of the bitness Windows has.
struct ServiceFacts {
    const char* name = "";
    RegistryRead key = RegistryRead::Failed;  // its key under Services: Found means installed
    DWORD keyError = 0;
    Known<DWORD> start;                       // Start: 0 boot .. 4 disabled
    Known<std::string> imagePath;             // ImagePath, as written there
    std::string imageFile;                    // that file, as Explorer shows it
    bool imageInNativeSystemFolder = false;   // under System32 on 64-bit Windows
    Known<bool> imagePresent;
    ServiceStatus status;                     // from the service manager
    Known<DWORD> refusalEvent;                // Code Integrity event naming its file since boot; 0 none
};

struct DriverFacts {
    bool program64 = false;  // this program is 64-bit
    Known<WindowsMachine> machine;
    const char* machineSource = "";
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
extern const char kServicesKey[];
extern const char kMemoryIntegrityKey[];
extern const char kCodeIntegrityConfigKey[];
extern const char kCodeIntegrityPolicyKey[];

// The driver's service name on this bitness of Windows.
const char* DriverServiceName(bool windows64);

// The driver's file as shown: the 64-bit system folder named as such.
std::string ShownFile(const ServiceFacts& service);

// Windows' bitness, and whether it runs on ARM, as the facts tell.
Known<bool> Windows64(const DriverFacts& facts);
bool OnArm(const DriverFacts& facts);

// Each protection as the facts tell: unknown where they don't.
Known<bool> MemoryIntegrityRuns(const DriverFacts& facts);
Known<bool> MemoryIntegritySwitchedOn(const DriverFacts& facts);  // in Windows Security: runs from the next restart
Known<bool> BlocklistOn(const DriverFacts& facts);
Known<bool> SmartAppControlOn(const DriverFacts& facts);

// The first Windows build with the vulnerable driver blocklist on by
// default (Windows 11 22H2).
constexpr DWORD kBlocklistDefaultBuild = 22621;
// Code-integrity option: memory integrity (hypervisor-enforced) runs.
constexpr DWORD kMemoryIntegrityRunning = 0x400;
