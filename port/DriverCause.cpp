#include "DriverCause.h"

#include <cstdarg>
#include <cstdio>

#include "WindowsCodes.h"

namespace {

// Windows' errors that mean "no file there".
bool NotFound(DWORD error) { return error == wincode::kFileNotFound || error == wincode::kPathNotFound; }

// The first error Windows gave for a library file that is there; 0 if none.
DWORD LoadError(const LibraryFacts& library) {
    for (const TriedPath& tried : library.tried) {
        const bool missing = NotFound(tried.error) || (tried.present.known && !tried.present.value);
        if (tried.error != 0 && !missing) return tried.error;
    }
    return 0;
}

// The antivirus refused the file (Vista's name for it is newer than our headers).
constexpr DWORD kVirusInfected = 225;

// Windows' application control (Smart App Control, a code-integrity or
// AppLocker policy) refusing an unsigned DLL gives 4550 to 4559.
bool ApplicationControl(DWORD error) { return error >= 4550 && error <= 4559; }

// A start Windows refused: the driver's signature or hash not accepted
// (577), or the driver on a block list (1275).
bool StartRefusedByWindows(DWORD exitCode) { return exitCode == 577 || exitCode == 1275; }

DriverCause LibraryCause(const LibraryFacts& library) {
    switch (LoadError(library)) {
    case 0: break;
    case wincode::kBadExeFormat: return DriverCause::LibraryWrongBitness;
    case wincode::kModuleNotFound: return DriverCause::LibraryNeedsDll;
    case kVirusInfected: return DriverCause::LibraryVirus;
    default: return ApplicationControl(LoadError(library)) ? DriverCause::LibraryBlocked : DriverCause::LibraryLoadError;
    }
    const Known<bool>& hidden = library.inNativeSystemFolder;
    return hidden.known && hidden.value ? DriverCause::LibraryInWrongFolder : DriverCause::LibraryNotFound;
}

bool IsTrue(const Known<bool>& fact) { return fact.known && fact.value; }
bool IsFalse(const Known<bool>& fact) { return fact.known && !fact.value; }

DriverCause DriverNotRunningCause(const DriverFacts& facts) {
    if (IsTrue(MemoryIntegrityOn(facts))) return DriverCause::MemoryIntegrity;
    if (IsTrue(SmartAppControlOn(facts))) return DriverCause::SmartAppControl;
    if (IsTrue(BlocklistOn(facts))) return DriverCause::Blocklist;
    const ServiceFacts& service = facts.service;
    const bool known = service.status.read == RegistryRead::Found;
    if (known && StartRefusedByWindows(service.status.exitCode)) return DriverCause::StartRefused;
    const bool installed = known || service.key == RegistryRead::Found;
    const bool absent = service.status.read == RegistryRead::Absent ||
                        (service.status.read == RegistryRead::Failed && service.key == RegistryRead::Absent);
    if (installed && IsFalse(service.imagePresent)) return DriverCause::DriverFileMissing;
    if (installed && IsTrue(facts.elevated)) {
        // The library starts a stopped driver when elevated; a start that
        // failed for another reason leaves its error behind.
        const DWORD exitCode = known ? service.status.exitCode : 0;
        const bool started = exitCode == 0 || exitCode == wincode::kServiceNeverStarted;
        return started ? DriverCause::StartedJustNow : DriverCause::Unknown;
    }
    if (IsTrue(facts.elevated)) return DriverCause::Unknown;
    if (installed && known && service.status.state == wincode::kServiceStopped) return DriverCause::InstalledNotStarted;
    if (absent) return DriverCause::NotInstalled;
    return DriverCause::Unknown;
}

std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

constexpr int kProgramBits = sizeof(void*) * 8;

// Windows Security's switches, and what turning them off costs.
constexpr char kCoreIsolation[] = "Windows Security > Device security > Core isolation";
constexpr char kLowersProtection[] = "this lowers the PC's protection";

}  // namespace

DriverCause Diagnose(const DriverFacts& facts) {
    const LibraryFacts& library = facts.library;
    switch (library.binding) {
    case PortBinding::NoLibrary: return LibraryCause(library);
    case PortBinding::NoInp32:
    case PortBinding::NoOut32: return DriverCause::LibraryIncomplete;
    case PortBinding::DriverNotRunning: return DriverNotRunningCause(facts);
    case PortBinding::Bound: break;
    }
    if (library.reportsDriver) return DriverCause::Working;
    if (IsFalse(facts.windows64)) return DriverCause::WorkingUnreported;
    if (IsTrue(library.portAnswersNothing)) return DriverCause::OldLibrary;
    if (IsFalse(library.portAnswersNothing)) return DriverCause::Working;
    return DriverCause::OldLibraryUnproven;
}

bool Reaches(DriverCause cause) { return cause == DriverCause::Working || cause == DriverCause::WorkingUnreported; }

CauseText TextOf(DriverCause cause, const DriverFacts& facts) {
    const std::string service = Narrow(facts.service.name);
    switch (cause) {
    case DriverCause::Working:
        return {"The library reaches the port: the driver is running.", ""};
    case DriverCause::WorkingUnreported:
        return {"This inpout32.dll does not report its driver (no IsInpOutDriverOpen); on 32-bit Windows such a "
                "copy reaches the port.", ""};
    case DriverCause::LibraryNotFound:
        return {"No inpout32.dll beside the program or in the Windows system folder.",
                Format("Put the %d-bit inpout32.dll beside the program.", kProgramBits)};
    case DriverCause::LibraryInWrongFolder:
        return {Format("inpout32.dll is in the 64-bit system folder (%s), which a 32-bit program never sees.",
                       Narrow(facts.library.nativeSystemFolder).c_str()),
                "Move it beside the program."};
    case DriverCause::LibraryWrongBitness:
        return {Format("inpout32.dll is no DLL a %d-bit program can load (error 193: a DLL of the other bitness, "
                       "or not a DLL).", kProgramBits),
                Format("Put the %d-bit inpout32.dll beside the program.", kProgramBits)};
    case DriverCause::LibraryNeedsDll:
        return {"A DLL that inpout32.dll needs is missing (error 126).",
                "Get a complete copy of the library from its publisher."};
    case DriverCause::LibraryVirus:
        return {"The antivirus refused inpout32.dll (error 225).",
                "Look in the antivirus's quarantine; allow the file only if it comes from the library's publisher."};
    case DriverCause::LibraryBlocked:
        return {Format("Windows' application control (Smart App Control or a policy) blocked the unsigned "
                       "inpout32.dll (error %lu).", LoadError(facts.library)),
                Format("Windows Security > App & browser control > Smart App Control settings, or ask who "
                       "manages the PC (%s).", kLowersProtection)};
    case DriverCause::LibraryLoadError:
        return {Format("Windows did not load inpout32.dll (error %lu).", LoadError(facts.library)),
                Format("Put a fresh copy of the %d-bit library from its publisher beside the program.",
                       kProgramBits)};
    case DriverCause::LibraryIncomplete:
        return {Format("inpout32.dll lacks the entry point %s: another DLL of that name, or a damaged copy.",
                       facts.library.binding == PortBinding::NoInp32 ? "Inp32" : "Out32"),
                "Get the port library from its publisher and put it beside the program."};
    case DriverCause::OldLibrary:
        return {"This inpout32.dll is an old version (no IsInpOutDriverOpen): on 64-bit Windows its driver can't "
                "load, so every read gives 0 and every write is lost.",
                "Get a version of inpout32.dll that exports IsInpOutDriverOpen and put it beside the program."};
    case DriverCause::OldLibraryUnproven:
        return {"This inpout32.dll does not report its driver (no IsInpOutDriverOpen): on 64-bit Windows an old "
                "version reaches no port (every read 0, every write lost).",
                "Run the loopback test or --probe on the port: they tell. If so, get a version that exports "
                "IsInpOutDriverOpen."};
    case DriverCause::MemoryIntegrity:
        return {"Windows refuses the driver: memory integrity is on.",
                Format("%s: turn Memory integrity off, restart (%s).", kCoreIsolation, kLowersProtection)};
    case DriverCause::SmartAppControl:
        return {"Windows refuses the driver: Smart App Control is on.",
                Format("Windows Security > App & browser control > Smart App Control: Off (%s, maybe for good).",
                       kLowersProtection)};
    case DriverCause::Blocklist:
        return {"Blocked by Windows' driver blocklist.",
                Format("%s: turn Microsoft Vulnerable Driver Blocklist off, restart (%s).", kCoreIsolation,
                       kLowersProtection)};
    case DriverCause::StartRefused:
        return {Format("Windows refused to start the driver (error %lu).", facts.service.status.exitCode),
                Format("Look in %s, and at games' anti-cheat software: they block such drivers.", kCoreIsolation)};
    case DriverCause::DriverFileMissing:
        return {Format("The driver service %s is installed, but its file %s is missing.", service.c_str(),
                       Narrow(facts.service.imageFile).c_str()),
                "Install it again: run the library's own installer."};
    case DriverCause::StartedJustNow:
        return {"The driver was installed but stopped; this elevated run has just started it.",
                "Start the program again: from then on the driver is open."};
    case DriverCause::InstalledNotStarted:
        return {"The driver is installed but stopped; only a program run as administrator can start it.",
                "Start the program once with Run as administrator, then once more normally."};
    case DriverCause::NotInstalled:
        return {"The driver is not installed; only a program run as administrator can install it.",
                "Start the program once with Run as administrator (or run the library's own installer), then "
                "normally."};
    case DriverCause::Unknown: break;
    }
    return {"Windows does not tell this program why the driver is not running.",
            "Event Viewer: System log, event 7000; Microsoft > Windows > CodeIntegrity > Operational log, events "
            "3077 and 3033."};
}
