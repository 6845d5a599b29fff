#include "DriverCause.h"

#include "WindowsCodes.h"

namespace {

using namespace wincode;

constexpr DWORD kStartDisabled = 4;
constexpr DWORD kStartSystem = 1;  // 0 boot and 1 system: loaded by the kernel

bool NotFound(DWORD error) { return error == kFileNotFound || error == kPathNotFound; }

// The first error Windows gave for a library file that is there; 0 if none.
DWORD LoadError(const LibraryFacts& library) {
    for (const TriedPath& tried : library.tried) {
        const bool missing = NotFound(tried.error) || (tried.present.known && !tried.present.value);
        if (tried.error != 0 && !missing) return tried.error;
    }
    return 0;
}

// Windows' application control (a code-integrity policy, Smart App
// Control's other verdicts) refusing a DLL gives 4550 to 4559.
bool ApplicationControl(DWORD error) { return error >= 4550 && error <= 4559; }

DriverCause LibraryCause(const LibraryFacts& library) {
    const DWORD error = LoadError(library);
    switch (error) {
    case 0: break;
    case kBadExeFormat: return DriverCause::LibraryWrongBitness;
    case kModuleNotFound: return DriverCause::LibraryNeedsDll;
    case kVirusInfected: return DriverCause::LibraryVirus;
    case kBlockedByPolicy: return DriverCause::LibraryPolicy;
    case kReputationUnfriendly:
    case kReputationUnattainable: return DriverCause::LibraryReputation;
    default: return ApplicationControl(error) ? DriverCause::LibraryBlocked : DriverCause::LibraryLoadError;
    }
    const Known<bool>& hidden = library.inNativeSystemFolder;
    return hidden.known && hidden.value ? DriverCause::LibraryInWrongFolder : DriverCause::LibraryNotFound;
}

bool IsTrue(const Known<bool>& fact) { return fact.known && fact.value; }
bool IsFalse(const Known<bool>& fact) { return fact.known && !fact.value; }

// The driver service as the service manager and its key tell it.
struct Service {
    explicit Service(const ServiceFacts& facts) : facts(facts) {}
    bool StatusKnown() const { return facts.status.read == RegistryRead::Found; }
    bool Installed() const { return StatusKnown() || facts.key == RegistryRead::Found; }
    bool Absent() const {
        return (facts.status.read == RegistryRead::Absent && facts.key != RegistryRead::Found) ||
               (facts.status.read == RegistryRead::Failed && facts.key == RegistryRead::Absent);
    }
    bool In(DWORD state) const { return StatusKnown() && facts.status.state == state; }
    bool Stopped() const { return In(wincode::kServiceStopped); }
    DWORD ExitCode() const { return StatusKnown() ? facts.status.exitCode : 0; }
    bool NothingTried() const { return ExitCode() == 0 || ExitCode() == kServiceNeverStarted; }
    bool StartIs(DWORD start) const { return facts.start.known && facts.start.value == start; }
    bool LoadedByKernel() const { return facts.start.known && facts.start.value <= kStartSystem; }
    // A start refused with Windows' own words for it.
    bool StartRefused() const {
        return Stopped() && (ExitCode() == kImageHashRejected || ExitCode() == kDriverBlocked);
    }
    DWORD RefusalEvent() const { return facts.refusalEvent.known ? facts.refusalEvent.value : 0; }
    // A start that failed for a reason other than the install state: an
    // error left behind, or a boot or system start driver not running.
    bool FailedStart() const {
        const DWORD code = ExitCode();
        const bool installState = code == kServiceDisabled || NotFound(code);
        return Stopped() && ((!NothingTried() && !installState) || LoadedByKernel());
    }

    const ServiceFacts& facts;
};

// Where Windows has refused the driver: the protection that is on, in order
// of how often each refuses such a driver, or the refusal itself.
DriverCause ProtectionCause(const DriverFacts& facts) {
    if (IsTrue(MemoryIntegrityRuns(facts))) return DriverCause::MemoryIntegrity;
    if (IsTrue(SmartAppControlOn(facts))) return DriverCause::SmartAppControl;
    if (IsTrue(BlocklistOn(facts))) return DriverCause::Blocklist;
    return DriverCause::StartRefused;
}

DriverCause DriverNotRunningCause(const DriverFacts& facts) {
    const Service service(facts.service);
    const bool elevated = IsTrue(facts.elevated);
    if (service.StartRefused() || service.RefusalEvent() != 0) return ProtectionCause(facts);
    if (service.Absent()) return elevated ? DriverCause::NotInstalledElevated : DriverCause::NotInstalled;
    if (!service.Installed()) return DriverCause::Unknown;
    if (IsFalse(facts.service.imagePresent)) return DriverCause::DriverFileMissing;
    if (service.StartIs(kStartDisabled)) return DriverCause::Disabled;
    if (service.In(wincode::kServiceRunning)) return DriverCause::RunningNow;
    if (IsTrue(MemoryIntegrityRuns(facts)) && service.FailedStart()) return DriverCause::MemoryIntegrity;
    if (!service.Stopped()) return DriverCause::Unknown;
    if (service.LoadedByKernel() && service.NothingTried()) return DriverCause::NotLoadedAtBoot;
    if (!service.NothingTried()) return DriverCause::StartFailed;
    return elevated ? DriverCause::NotStartedElevated : DriverCause::InstalledNotStarted;
}

std::string Number(DWORD value) { return std::to_string(static_cast<unsigned long>(value)); }

constexpr int kProgramBits = sizeof(void*) * 8;
const std::string kBitnessLibrary = "the " + std::to_string(kProgramBits) + "-bit inpout32.dll";

// Windows Security's switches, and what turning them off costs.
const std::string kCoreIsolation = "Windows Security > Device security > Core isolation";
const std::string kSmartAppControlSwitch = "Windows Security > App & browser control > Smart App Control";
constexpr char kLowersProtection[] = "this lowers the PC's protection";

// What Windows recorded of its refusal.
std::string Evidence(const DriverFacts& facts) {
    const Service service(facts.service);
    if (service.StartRefused())
        return "its start failed with error " + Number(service.ExitCode());
    if (service.RefusalEvent() != 0) return "Code Integrity event " + Number(service.RefusalEvent()) + " names it";
    if (service.LoadedByKernel() && service.NothingTried()) return "the kernel did not load it at boot";
    return "its last start failed (error " + Number(service.ExitCode()) + ")";
}

// Where Windows records why a driver did not start.
std::string EventsToRead(const DriverFacts& facts) {
    // The kernel reports the boot and system start drivers it did not load
    // in one event; the service manager each start that failed.
    const bool kernel = Service(facts.service).LoadedByKernel();
    return std::string("Event Viewer: System log, event ") + (kernel ? "7026" : "7000") +
           "; Microsoft > Windows > CodeIntegrity > Operational log, events 3077 and 3033";
}

// The protections that are on, each with the switch to look at.
std::string ProtectionsOn(const DriverFacts& facts) {
    std::string text;
    const auto add = [&](const std::string& protection) { text += (text.empty() ? "" : "; ") + protection; };
    if (IsTrue(MemoryIntegrityRuns(facts)))
        add("memory integrity runs (" + kCoreIsolation + " > Memory integrity)");
    else if (IsTrue(MemoryIntegritySwitchedOn(facts)))
        add("memory integrity is switched on, and runs from the next restart (" + kCoreIsolation +
            " > Memory integrity)");
    if (IsTrue(SmartAppControlOn(facts))) add("Smart App Control is on (" + kSmartAppControlSwitch + ")");
    if (IsTrue(BlocklistOn(facts)))
        add("the vulnerable driver blocklist is on (" + kCoreIsolation + " > Microsoft Vulnerable Driver Blocklist)");
    return text.empty() ? text : text + ".";
}

bool InstallState(DriverCause cause) { return cause >= DriverCause::NotInstalled; }

CauseText LibraryText(DriverCause cause, const DriverFacts& facts) {
    const DWORD error = LoadError(facts.library);
    const std::string put = "Put " + kBitnessLibrary + " beside the program.";
    switch (cause) {
    case DriverCause::LibraryNotFound:
        return {"No inpout32.dll beside the program or in the Windows system folder.", put};
    case DriverCause::LibraryInWrongFolder:
        return {"inpout32.dll is in the 64-bit system folder (" + facts.library.nativeSystemFolder +
                    " as Explorer shows it), which a 32-bit program never sees.",
                "Move it beside the program."};
    case DriverCause::LibraryWrongBitness:
        return {"inpout32.dll is no DLL a " + std::to_string(kProgramBits) +
                    "-bit program can load (error 193: a DLL of the other bitness, or not a DLL).",
                put};
    case DriverCause::LibraryNeedsDll:
        return {"A DLL that inpout32.dll needs is missing (error 126).",
                "Get a complete copy of the library from its publisher."};
    case DriverCause::LibraryVirus:
        return {"The antivirus refused inpout32.dll (error 225).",
                "Look in the antivirus's quarantine; allow the file only if it comes from the library's publisher."};
    case DriverCause::LibraryPolicy:
        return {"A policy of this PC (AppLocker or a Software Restriction Policy) does not let inpout32.dll load "
                "(error 1260).",
                "An administrator can allow it: a rule for this program's folder in Local Security Policy > "
                "Application Control Policies > AppLocker > DLL Rules, or in Software Restriction Policies; or ask "
                "who manages the PC."};
    case DriverCause::LibraryReputation:
        return {error == kReputationUnattainable
                    ? "Smart App Control refused inpout32.dll: it could not learn the file's reputation (error 4581)."
                    : "Smart App Control refused inpout32.dll: the file has no good reputation (error 4580).",
                std::string(error == kReputationUnattainable ? "Connect the PC to the internet and try once more. " : "") +
                    "Smart App Control allows no exceptions: an administrator can only turn it off (" +
                    kSmartAppControlSwitch + ": Off; " + kLowersProtection + ", maybe for good)."};
    case DriverCause::LibraryBlocked:
        return {"Windows' application control (a code-integrity policy) blocked the unsigned inpout32.dll (error " +
                    Number(error) + ").",
                "Ask who manages the PC to allow it (" + kSmartAppControlSwitch + " settings, or the policy; " +
                    kLowersProtection + ")."};
    case DriverCause::LibraryLoadError:
        return {"Windows did not load inpout32.dll (error " + Number(error) + ").",
                "Put a fresh copy of " + kBitnessLibrary + " from its publisher beside the program."};
    default: break;
    }
    return {"inpout32.dll lacks the entry point " +
                std::string(facts.library.binding == PortBinding::NoInp32 ? "Inp32" : "Out32") +
                ": another DLL of that name, or a damaged copy.",
            "Get the port library from its publisher and put it beside the program."};
}

CauseText UnreportedText(DriverCause cause, const DriverFacts& facts) {
    const bool windows64 = IsTrue(Windows64(facts));
    constexpr char kUnreported[] = "This inpout32.dll does not report its driver (no IsInpOutDriverOpen)";
    const std::string getNewer = "Get a version of inpout32.dll that exports IsInpOutDriverOpen and put it beside "
                                 "the program.";
    if (cause == DriverCause::OldLibrary && windows64)
        return {"This inpout32.dll is an old version (no IsInpOutDriverOpen): on 64-bit Windows its driver can't "
                "load, so every read gives 0 and every write is lost.",
                getNewer};
    if (cause == DriverCause::OldLibrary)
        return {std::string(kUnreported) + ", and the port reads 0 everywhere and keeps nothing written: its "
                                           "driver is not running.",
                getNewer + " It tells whether its driver runs, and PortCheck --driver then tells why not."};
    if (windows64)
        return {std::string(kUnreported) + ": on 64-bit Windows an old version reaches no port (every read 0, "
                                           "every write lost).",
                "Run the loopback test or --probe on the port: they tell. If so, get a version that exports "
                "IsInpOutDriverOpen."};
    return {std::string(kUnreported) + ": until an elevated run has installed its driver, every read gives 0 and "
                                       "every write is lost.",
            "Run the loopback test or --probe on the port: they tell."};
}

CauseText ProtectionText(DriverCause cause, const DriverFacts& facts) {
    const std::string evidence = Evidence(facts);
    switch (cause) {
    case DriverCause::MemoryIntegrity:
        return {"Memory integrity refuses the driver: it runs, and " + evidence + ".",
                kCoreIsolation + ": Memory integrity off, restart (" + kLowersProtection + ")."};
    case DriverCause::SmartAppControl:
        return {"Smart App Control refuses the driver: it is on, and " + evidence + ".",
                kSmartAppControlSwitch + ": Off (" + kLowersProtection + ", maybe for good)."};
    case DriverCause::Blocklist:
        return {"The driver blocklist is on, and " + evidence + ".",
                kCoreIsolation + ": Microsoft Vulnerable Driver Blocklist off, restart (" + kLowersProtection + ")."};
    default: break;
    }
    return {"Windows refused the driver: " + evidence + ".",
            "Event Viewer: Microsoft > Windows > CodeIntegrity > Operational log names the policy; games' "
            "anti-cheat software also refuses such drivers."};
}

CauseText InstallText(DriverCause cause, const DriverFacts& facts) {
    const std::string service = facts.service.name;
    const std::string exitCode = Number(facts.service.status.exitCode);
    switch (cause) {
    case DriverCause::NotInstalled:
        return {"The driver is not installed; only a program run as administrator can install it.",
                "Start the program once with Run as administrator (or run the library's own installer), then "
                "normally."};
    case DriverCause::NotInstalledElevated:
        return {"The driver is not installed, though this program runs elevated: the library did not install it.",
                "Run the library's own installer; if that fails, Event Viewer: System log, event 7000 says why."};
    case DriverCause::DriverFileMissing:
        return {"The driver service " + service + " is installed, but its file " + ShownFile(facts.service) +
                    " is missing.",
                "Install it again: run the library's own installer."};
    case DriverCause::Disabled:
        return {"The driver " + service + " is disabled (error 1058): not even an administrator can start it.",
                IsTrue(facts.elevated)
                    ? "Elevated Command Prompt: sc config " + service + " start= demand; then start this program "
                      "twice."
                    : "Command Prompt as administrator: sc config " + service + " start= demand; then Run as "
                      "administrator once, then normally."};
    case DriverCause::RunningNow:
        return {"The driver runs now, but not yet when the library loaded: an elevated run starts it without "
                "opening it.",
                "Start the program again: from then on the driver is open."};
    case DriverCause::NotLoadedAtBoot:
        return {"The driver " + service + " has start type " +
                    (facts.service.start.value == 0 ? "boot" : "system") +
                    ": the kernel loads it at boot, and did not at the last one.",
                "Event Viewer: System log, event 7026 names it if it failed then. Installed since? Restart Windows."};
    case DriverCause::StartFailed:
        return {"The driver is stopped: its last start failed with error " + exitCode + ".",
                EventsToRead(facts) + "."};
    case DriverCause::InstalledNotStarted:
        return {"The driver is installed but stopped; only a program run as administrator can start it.",
                "Start the program once with Run as administrator, then once more normally."};
    case DriverCause::NotStartedElevated:
        return {"The driver is installed but stopped: this elevated run did not start it (exit code " + exitCode +
                    (facts.service.status.exitCode == kServiceNeverStarted ? ": nothing tried since boot)." : ")."),
                "In an elevated Command Prompt, sc start " + service + " tells why it does not start."};
    default: break;
    }
    return {"Windows does not tell this program why the driver is not running.", EventsToRead(facts) + "."};
}

}  // namespace

DriverCause Diagnose(const DriverFacts& facts) {
    const LibraryFacts& library = facts.library;
    switch (library.binding) {
    case PortBinding::NoLibrary: return LibraryCause(library);
    case PortBinding::NoInp32:
    case PortBinding::NoOut32: return DriverCause::LibraryIncomplete;
    case PortBinding::DriverNotRunning: return OnArm(facts) ? DriverCause::ArmWindows : DriverNotRunningCause(facts);
    case PortBinding::Bound: break;
    }
    // Working only after a check: the library's own, or the port's latch.
    if (library.reportsDriver || IsFalse(library.portAnswersNothing)) return DriverCause::Working;
    if (OnArm(facts)) return DriverCause::ArmWindows;
    return IsTrue(library.portAnswersNothing) ? DriverCause::OldLibrary : DriverCause::OldLibraryUnproven;
}

bool Reaches(DriverCause cause) { return cause == DriverCause::Working; }

CauseText TextOf(DriverCause cause, const DriverFacts& facts) {
    switch (cause) {
    case DriverCause::Working:
        return {facts.library.reportsDriver
                    ? "The library reaches the port: the driver is running."
                    : "The library reaches the port: the port's data latch held what was written (this copy does "
                      "not report its driver).",
                ""};
    case DriverCause::ArmWindows:
        return {"This PC runs Windows on ARM, where no x64 driver loads: this port library cannot work on ARM PCs.",
                "Use the port from a PC with an Intel or AMD (x86 or x64) processor."};
    case DriverCause::OldLibrary:
    case DriverCause::OldLibraryUnproven: return UnreportedText(cause, facts);
    case DriverCause::MemoryIntegrity:
    case DriverCause::SmartAppControl:
    case DriverCause::Blocklist:
    case DriverCause::StartRefused: return ProtectionText(cause, facts);
    default: break;
    }
    if (!InstallState(cause)) return LibraryText(cause, facts);
    CauseText text = InstallText(cause, facts);
    text.ifRefused = ProtectionsOn(facts);
    return text;
}
