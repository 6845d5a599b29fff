#include "DriverFacts.h"

#include <cstdio>
#include <cwchar>

#include "ModuleFacts.h"
#include "WindowsCodes.h"

const wchar_t kServicesKey[] = L"SYSTEM\\CurrentControlSet\\Services";
const wchar_t kMemoryIntegrityKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\DeviceGuard\\Scenarios\\HypervisorEnforcedCodeIntegrity";
const wchar_t kCodeIntegrityConfigKey[] = L"SYSTEM\\CurrentControlSet\\Control\\CI\\Config";
const wchar_t kCodeIntegrityPolicyKey[] = L"SYSTEM\\CurrentControlSet\\Control\\CI\\Policy";

namespace {

constexpr wchar_t kLibraryName[] = L"inpout32.dll";

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Paths compare without regard to case, as Windows' do; the prefixes asked
// about are ASCII, so ASCII's case is enough.
bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    const size_t length = std::wcslen(prefix);
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i)
        if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
    return true;
}

// The file a driver's ImagePath names, as this program reaches it.
std::wstring DriverFile(std::wstring image, const std::wstring& windows, bool redirected) {
    if (StartsWith(image, L"\\??\\")) image.erase(0, 4);
    if (StartsWith(image, L"\\SystemRoot\\")) image = windows + image.substr(11);
    else if (StartsWith(image, L"%SystemRoot%\\")) image = windows + image.substr(12);
    else if (image.size() < 2 || image[1] != L':') image = windows + L"\\" + image;  // relative to the Windows folder
    // A 32-bit program on 64-bit Windows is sent from System32 to SysWOW64;
    // Sysnative is the real System32 to it.
    const std::wstring system32 = windows + L"\\System32\\";
    if (redirected && StartsWith(image, system32.c_str()))
        image = windows + L"\\Sysnative\\" + image.substr(system32.size());
    return image;
}

// An inpout32.dll in the 64-bit system folder, which a 32-bit program
// reaches only as Sysnative (Vista and later; where that is missing, unknown).
void CheckNativeSystemFolder(const WindowsReads& windows, LibraryFacts* library) {
    library->nativeSystemFolder = windows.WindowsFolder() + L"\\Sysnative";
    const Known<bool> folder = windows.FileExists(library->nativeSystemFolder);
    if (!folder.known || !folder.value) {
        library->inNativeSystemFolder = Unknown<bool>(folder.known ? wincode::kPathNotFound : folder.error);
        return;
    }
    library->inNativeSystemFolder = windows.FileExists(library->nativeSystemFolder + L"\\" + kLibraryName);
}

ServiceFacts ServiceOf(const WindowsReads& windows, const wchar_t* name, bool redirected) {
    ServiceFacts service;
    service.name = name;
    const std::wstring key = std::wstring(kServicesKey) + L"\\" + name;
    const RegistryDword start = windows.Dword(key.c_str(), L"Start");
    const RegistryText image = windows.Text(key.c_str(), L"ImagePath");
    if (start.read == RegistryRead::Found) service.start = KnownAs(start.value);
    if (image.read == RegistryRead::Found) service.imagePath = KnownAs(image.value);
    service.key = start.read == RegistryRead::Found || image.read == RegistryRead::Found ? RegistryRead::Found
                  : start.read == RegistryRead::Absent && image.read == RegistryRead::Absent
                      ? RegistryRead::Absent
                      : RegistryRead::Failed;
    service.keyError = start.read == RegistryRead::Failed ? start.error : image.error;
    service.status = windows.Service(name);
    if (service.key == RegistryRead::Found) {
        // Without an ImagePath Windows loads drivers\NAME.sys from System32.
        const std::wstring imagePath =
            service.imagePath.known ? service.imagePath.value : std::wstring(L"System32\\drivers\\") + name + L".sys";
        service.imageFile = DriverFile(imagePath, windows.WindowsFolder(), redirected);
        service.imagePresent = windows.FileExists(service.imageFile);
    }
    return service;
}

}  // namespace

const wchar_t* DriverServiceName(bool windows64) { return windows64 ? L"inpoutx64" : L"inpout32"; }

DriverFacts GatherDriverFacts(const WindowsReads& windows, const PortLibrary& library, PortBinding binding,
                              const std::vector<LoadAttempt>& attempts, bool program64) {
    DriverFacts facts;
    facts.program64 = program64;
    facts.windows64 = windows.Windows64(&facts.windows64Source);
    facts.elevated = windows.Elevated(&facts.elevatedSource);
    facts.windowsBuild = windows.WindowsBuild();
    const bool windows64 = facts.windows64.known ? facts.windows64.value : program64;
    const bool redirected = windows64 && !program64;

    LibraryFacts& lib = facts.library;
    lib.binding = binding;
    lib.path = ModulePath(library);
    lib.fileVersion = ModuleFileVersion(library);
    lib.reportsDriver = library.reportsDriver;
    for (const LoadAttempt& attempt : attempts)
        lib.tried.push_back({attempt.path, attempt.error,
                             attempt.error ? windows.FileExists(attempt.path) : KnownAs(true)});
    if (binding == PortBinding::NoLibrary && redirected) CheckNativeSystemFolder(windows, &lib);
    else lib.inNativeSystemFolder = KnownAs(false);

    facts.service = ServiceOf(windows, DriverServiceName(windows64), redirected);
    facts.memoryIntegrityConfigured = windows.Dword(kMemoryIntegrityKey, L"Enabled");
    facts.codeIntegrityOptions = windows.CodeIntegrityOptions();
    facts.blocklist = windows.Dword(kCodeIntegrityConfigKey, L"VulnerableDriverBlocklistEnable");
    facts.smartAppControl = windows.Dword(kCodeIntegrityPolicyKey, L"VerifiedAndReputablePolicyState");
    return facts;
}

Known<bool> MemoryIntegrityOn(const DriverFacts& facts) {
    const RegistryDword& configured = facts.memoryIntegrityConfigured;
    const Known<DWORD>& options = facts.codeIntegrityOptions;
    const bool runs = options.known && (options.value & kMemoryIntegrityRunning) != 0;
    // Switched on in Windows Security, it runs from the next restart.
    const bool switchedOn = configured.read == RegistryRead::Found && configured.value != 0;
    if (runs || switchedOn) return KnownAs(true);
    if (options.known || configured.read != RegistryRead::Failed) return KnownAs(false);
    return Unknown<bool>(configured.error);
}

Known<bool> BlocklistOn(const DriverFacts& facts) {
    const RegistryDword& value = facts.blocklist;
    if (value.read == RegistryRead::Found) return KnownAs(value.value != 0);
    // Not set: Windows' default, on from Windows 11 22H2.
    if (value.read == RegistryRead::Absent && facts.windowsBuild.known)
        return KnownAs(facts.windowsBuild.value >= kBlocklistDefaultBuild);
    return Unknown<bool>(value.read == RegistryRead::Failed ? value.error : facts.windowsBuild.error);
}

Known<bool> SmartAppControlOn(const DriverFacts& facts) {
    const RegistryDword& value = facts.smartAppControl;
    // 1 on, 2 evaluation (it watches, and blocks nothing yet), 0 or absent off.
    if (value.read == RegistryRead::Found) return KnownAs(value.value == 1);
    if (value.read == RegistryRead::Absent) return KnownAs(false);
    return Unknown<bool>(value.error);
}
