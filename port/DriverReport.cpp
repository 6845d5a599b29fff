#include "DriverReport.h"


namespace {

std::string Line(const std::string& name, const std::string& value, const std::string& source) {
    return name + ": " + value + " [" + source + "]\n";
}

std::string Number(DWORD value) { return std::to_string(static_cast<unsigned long>(value)); }

std::string UnknownText(DWORD error) { return error ? "unknown (error " + Number(error) + ")" : "unknown"; }

template <class T>
std::string Told(const Known<T>& fact, std::string (*text)(T)) {
    return fact.known ? text(fact.value) : UnknownText(fact.error);
}

std::string YesNo(const Known<bool>& fact, const char* yes, const char* no) {
    return fact.known ? (fact.value ? yes : no) : UnknownText(fact.error);
}

// A DWORD setting: its value's meaning, or Windows' default where unset.
std::string Setting(const RegistryDword& value, const char* const names[], DWORD count, const std::string& unset) {
    switch (value.read) {
    case RegistryRead::Found:
        return value.value < count ? names[value.value] + (" (" + Number(value.value) + ")") : Number(value.value);
    case RegistryRead::Absent: return unset;
    case RegistryRead::Failed: break;
    }
    return UnknownText(value.error);
}

const char* const kOffOn[] = {"off", "on"};
const char* const kSmartAppControlStates[] = {"off", "on", "evaluation (watches, blocks nothing yet)"};
const char* const kStartTypes[] = {"boot", "system", "automatic", "on demand", "disabled"};

std::string ServiceState(DWORD state) {
    static const char* const kStates[] = {"", "stopped", "starting", "stopping", "running",
                                          "continuing", "pausing", "paused"};
    return state < sizeof kStates / sizeof kStates[0] && state ? kStates[state] : "state " + Number(state);
}

std::string Key(const char* key) { return "HKLM\\" + std::string(key); }

std::string LibraryLines(const DriverFacts& facts) {
    const LibraryFacts& library = facts.library;
    std::string text;
    if (library.binding == PortBinding::NoLibrary) {
        for (const TriedPath& tried : library.tried)
            text += Line("port library", tried.path + ": " + YesNo(tried.present, "there", "not there") +
                                             ", not loaded, error " + Number(tried.error),
                         "LoadLibrary, GetFileAttributes");
        if (library.tried.empty()) text += Line("port library", "not loaded", "LoadLibrary");
        if (!library.nativeSystemFolder.empty())
            text += Line("inpout32.dll in the 64-bit system folder", YesNo(library.inNativeSystemFolder, "yes", "no"),
                         library.nativeSystemFolder);
        return text;
    }
    const std::string version = library.fileVersion.known ? library.fileVersion.value : "unknown";
    text += Line("port library", (library.path.empty() ? "loaded" : library.path) + ", file version " + version,
                 "the loaded module, its version resource");
    const char* entries = library.binding == PortBinding::NoInp32   ? "no Inp32"
                          : library.binding == PortBinding::NoOut32 ? "Inp32; no Out32"
                          : library.reportsDriver                   ? "Inp32, Out32, IsInpOutDriverOpen"
                                                                    : "Inp32, Out32; no IsInpOutDriverOpen";
    text += Line("entry points", entries, "GetProcAddress");
    if (library.reportsDriver)
        text += Line("driver open", library.binding == PortBinding::DriverNotRunning ? "no" : "yes",
                     "IsInpOutDriverOpen");
    if (library.portAnswersNothing.known)
        text += Line("the port", library.portAnswersNothing.value ? "reads 0 everywhere, its data latch holds nothing"
                                                                  : "answers",
                     "read, and 0x55 written to its data register");
    return text;
}

std::string ServiceLines(const DriverFacts& facts) {
    const ServiceFacts& service = facts.service;
    const std::string name = service.name;
    const std::string key = Key(kServicesKey) + "\\" + name;
    std::string text;
    const char* installed = service.key == RegistryRead::Found ? "installed" : "not installed";
    text += Line("driver service " + name,
                 service.key == RegistryRead::Failed ? UnknownText(service.keyError) : installed, key);
    if (service.key == RegistryRead::Found) {
        text += Line("  start", service.start.known ? Setting({RegistryRead::Found, service.start.value, 0},
                                                              kStartTypes, 5, "")
                                                    : "not set",
                     key + ", Start");
        text += Line("  file", ShownFile(service) + ", " + YesNo(service.imagePresent, "present", "missing"),
                     key + ", ImagePath");
    }
    const ServiceStatus& status = service.status;
    const std::string state = status.read == RegistryRead::Found
                                  ? ServiceState(status.state) + ", last exit code " + Number(status.exitCode)
                              : status.read == RegistryRead::Absent ? "no such service"
                                                                    : UnknownText(status.error);
    text += Line("  state", state, "service manager, QueryServiceStatus");
    const Known<DWORD>& event = service.refusalEvent;
    if (facts.library.binding == PortBinding::DriverNotRunning)
        text += Line("  Code Integrity events since boot naming its file",
                     event.known ? (event.value ? "event " + Number(event.value) : "none") : UnknownText(event.error),
                     "Microsoft-Windows-CodeIntegrity/Operational, events 3033 and 3077");
    return text;
}

std::string ProtectionLines(const DriverFacts& facts) {
    std::string text;
    text += Line("memory integrity, switched on", Setting(facts.memoryIntegrityConfigured, kOffOn, 2, "not set (off)"),
                 Key(kMemoryIntegrityKey) + ", Enabled");
    const Known<DWORD>& options = facts.codeIntegrityOptions;
    text += Line("memory integrity, running",
                 options.known ? ((options.value & kMemoryIntegrityRunning) ? "yes" : "no") : UnknownText(options.error),
                 "system information class 103, code-integrity option 0x400");
    const std::string unset =
        facts.windowsBuild.known
            ? std::string("not set: Windows' default, ") +
                  (facts.windowsBuild.value >= kBlocklistDefaultBuild ? "on" : "off") + " for this build"
            : "not set: Windows' default";
    text += Line("vulnerable driver blocklist", Setting(facts.blocklist, kOffOn, 2, unset),
                 Key(kCodeIntegrityConfigKey) + ", VulnerableDriverBlocklistEnable");
    text += Line("Smart App Control", Setting(facts.smartAppControl, kSmartAppControlStates, 3, "not set (off)"),
                 Key(kCodeIntegrityPolicyKey) + ", VerifiedAndReputablePolicyState");
    return text;
}

std::string Machine(WindowsMachine machine) {
    switch (machine) {
    case WindowsMachine::X86: return "32-bit";
    case WindowsMachine::X64: return "64-bit";
    case WindowsMachine::Arm64: return "64-bit, ARM";
    case WindowsMachine::Other: break;
    }
    return "a processor other than x86, x64 and ARM64";
}
std::string Build(DWORD build) { return Number(build); }
std::string Elevation(bool elevated) { return elevated ? "elevated" : "not elevated"; }

}  // namespace

const char kIfRefused[] = "if Windows then refuses the driver: ";
const char kDriverNotRunningLine[] = "inpout32.dll is loaded, but its port driver is not running.\n";

std::string FactLines(const DriverFacts& facts) {
    std::string text = LibraryLines(facts);
    text += Line("Windows", Told(facts.machine, &Machine), facts.machineSource);
    text += Line("Windows build", Told(facts.windowsBuild, &Build), "RtlGetVersion");
    text += Line("this program", Told(facts.elevated, &Elevation), facts.elevatedSource);
    return text + ServiceLines(facts) + ProtectionLines(facts);
}

std::string CauseLines(const DriverFacts& facts) {
    const CauseText text = TextOf(Diagnose(facts), facts);
    return "cause: " + text.cause + "\n" + (text.action.empty() ? "" : "what to do: " + text.action + "\n") +
           (text.ifRefused.empty() ? "" : std::string(kIfRefused) + text.ifRefused + "\n");
}

std::string DriverNotRunningMessage(const DriverFacts& facts) {
    const CauseText text = TextOf(Diagnose(facts), facts);
    return kDriverNotRunningLine + text.cause + "\n" + text.action +
           "\nPortCheck --driver tells more.\n";
}
