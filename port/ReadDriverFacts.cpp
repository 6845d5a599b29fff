#include "ReadDriverFacts.h"

#include <cstring>

#include "ModuleFacts.h"

namespace {

constexpr wchar_t kLibraryName[] = L"inpout32.dll";

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Paths compare without regard to case, as Windows' do; the prefixes asked
// about are ASCII, so ASCII's case is enough.
bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
    return true;
}

std::wstring Wide(const char* ascii) { return std::wstring(ascii, ascii + std::strlen(ascii)); }

// The file a driver's ImagePath names, as Explorer shows it.
std::wstring DriverFile(std::wstring image, const std::wstring& windows) {
    if (StartsWith(image, L"\\??\\")) image.erase(0, 4);
    if (StartsWith(image, L"\\SystemRoot\\")) image = windows + image.substr(11);
    else if (StartsWith(image, L"%SystemRoot%\\")) image = windows + image.substr(12);
    else if (image.size() < 2 || image[1] != L':') image = windows + L"\\" + image;  // relative to the Windows folder
    return image;
}

// Whether `path` is there as Windows' own 64-bit programs see it. A 32-bit
// program on 64-bit Windows is sent from System32 to SysWOW64 unless it asks
// not to be.
Known<bool> PresentForWindows(const WindowsReads& windows, const std::wstring& path, bool redirected) {
    return redirected ? windows.FileExistsUnredirected(path) : windows.FileExists(path);
}

// The file name, as Code Integrity's events give it.
std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

// The service `name`; `fileName`: its driver's file name.
ServiceFacts ServiceOf(const WindowsReads& windows, const char* name, bool windows64, bool redirected,
                       std::wstring* fileName) {
    ServiceFacts service;
    service.name = name;
    const std::string key = std::string(kServicesKey) + "\\" + name;
    const RegistryDword start = windows.Dword(key.c_str(), "Start");
    const RegistryText image = windows.Text(key.c_str(), "ImagePath");
    if (start.read == RegistryRead::Found) service.start = KnownAs(start.value);
    if (image.read == RegistryRead::Found) service.imagePath = KnownAs(Narrow(image.value));
    service.key = start.read == RegistryRead::Found || image.read == RegistryRead::Found ? RegistryRead::Found
                  : start.read == RegistryRead::Absent && image.read == RegistryRead::Absent
                      ? RegistryRead::Absent
                      : RegistryRead::Failed;
    service.keyError = start.read == RegistryRead::Failed ? start.error : image.error;
    service.status = windows.Service(name);
    *fileName = Wide(name) + L".sys";
    if (service.key == RegistryRead::Found) {
        // Without an ImagePath Windows loads drivers\NAME.sys from System32.
        const std::wstring file = DriverFile(
            image.read == RegistryRead::Found ? image.value : L"System32\\drivers\\" + Wide(name) + L".sys",
            windows.WindowsFolder());
        const bool inSystem32 = StartsWith(file, windows.WindowsFolder() + L"\\System32\\");
        service.imageFile = Narrow(file);
        service.imageInNativeSystemFolder = windows64 && inSystem32;
        service.imagePresent = PresentForWindows(windows, file, redirected && inSystem32);
        *fileName = FileName(file);
    }
    return service;
}

}  // namespace

DriverFacts GatherDriverFacts(const WindowsReads& windows, const PortLibrary& library, PortBinding binding,
                              const std::vector<LoadAttempt>& attempts, bool program64) {
    DriverFacts facts;
    facts.program64 = program64;
    facts.machine = windows.Machine(&facts.machineSource);
    facts.elevated = windows.Elevated(&facts.elevatedSource);
    facts.windowsBuild = windows.WindowsBuild();
    const Known<bool> bits = Windows64(facts);
    const bool windows64 = bits.known ? bits.value : program64;
    const bool redirected = windows64 && !program64;

    LibraryFacts& lib = facts.library;
    lib.binding = binding;
    lib.path = Narrow(ModulePath(library));
    lib.fileVersion = ModuleFileVersion(library);
    lib.reportsDriver = library.reportsDriver;
    for (const LoadAttempt& attempt : attempts)
        lib.tried.push_back({Narrow(attempt.path), attempt.error,
                             attempt.error ? windows.FileExists(attempt.path) : KnownAs(true)});
    lib.inNativeSystemFolder = KnownAs(false);
    if (binding == PortBinding::NoLibrary && redirected) {
        // A 32-bit program never sees the 64-bit system folder's DLLs.
        const std::wstring folder = windows.WindowsFolder() + L"\\System32";
        lib.nativeSystemFolder = Narrow(folder);
        lib.inNativeSystemFolder = windows.FileExistsUnredirected(folder + L"\\" + kLibraryName);
    }

    std::wstring driverFile;
    facts.service = ServiceOf(windows, DriverServiceName(windows64), windows64, redirected, &driverFile);
    if (binding == PortBinding::DriverNotRunning) facts.service.refusalEvent = windows.CodeIntegrityEvent(driverFile);
    facts.memoryIntegrityConfigured = windows.Dword(kMemoryIntegrityKey, "Enabled");
    facts.codeIntegrityOptions = windows.CodeIntegrityOptions();
    facts.blocklist = windows.Dword(kCodeIntegrityConfigKey, "VulnerableDriverBlocklistEnable");
    facts.smartAppControl = windows.Dword(kCodeIntegrityPolicyKey, "VerifiedAndReputablePolicyState");
    return facts;
}
