// The driver diagnosis over the combinations of what Windows can tell: the
// library's binding, the driver service's install state, start type, state
// and exit code, elevation, each protection switched on, running or unknown,
// the build, the machine, a Code Integrity event, and a library that can't
// report its driver with its port checked or not. Rows are drawn from that
// table with a seeded generator (TARNWICK_SEED picks another seed); every
// row must keep every invariant, and a failing row prints its seed, its
// number and its facts.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <random>

#include "DriverReport.h"
#include "WindowsCodes.h"

namespace {

// The values each fact takes in the table.
enum class Library { NotFound, WrongBitness, Policy, Reputation, ReputationUnknown, ApplicationControl, Virus,
                     NoOut32, DriverNotRunning, Reporting, UnreportedAnswers, UnreportedDead, UnreportedUnchecked };
enum class Install { Absent, Present, FileMissing, FileUnknown, Unreadable };
enum class Status { Never, Clean, Hash, Blocked, FileGone, Disabled, Running, Unreadable };
enum class Tri { Yes, No, Unknown };
enum class Setting { On, Off, Evaluation, Unset, Unreadable };
enum class Machine { X86, X64, Arm64, Unknown };

const char* const kLibraries[] = {"not found", "error 193", "error 1260", "error 4580", "error 4581",
                                  "error 4551", "error 225", "no Out32", "driver not running", "reports its driver",
                                  "unreported, port answers", "unreported, port dead", "unreported, unchecked"};
const char* const kInstalls[] = {"absent", "file present", "file missing", "file unknown", "key unreadable"};
const char* const kStatuses[] = {"stopped 1077", "stopped 0",   "stopped 577", "stopped 1275",
                                 "stopped 2",    "stopped 1058", "running",    "unreadable"};
const char* const kTris[] = {"yes", "no", "unknown"};
const char* const kSettings[] = {"1", "0", "2", "unset", "unreadable"};
const char* const kMachines[] = {"x86", "x64", "ARM64", "unknown"};

struct Row {
    Library library;
    bool program64;
    Install install;
    int start;  // 0-4; 5: not set
    Status status;
    Tri elevated;
    Setting memoryIntegrity;  // switched on: 1, 0, unset or unreadable
    Tri memoryIntegrityRuns;
    Setting blocklist;
    Setting smartAppControl;
    bool newBuild;  // 22621 or later, else 19045
    Machine machine;
    Tri codeIntegrityEvent;
};

std::string Describe(const Row& r) {
    return std::string("library ") + kLibraries[int(r.library)] + (r.program64 ? ", 64-bit program" : ", 32-bit program") +
           "; service " + kInstalls[int(r.install)] + ", start " + (r.start == 5 ? "unset" : std::to_string(r.start)) +
           ", " + kStatuses[int(r.status)] + "; elevated " + kTris[int(r.elevated)] + "; memory integrity " +
           kSettings[int(r.memoryIntegrity)] + ", runs " + kTris[int(r.memoryIntegrityRuns)] + "; blocklist " +
           kSettings[int(r.blocklist)] + "; Smart App Control " + kSettings[int(r.smartAppControl)] + "; build " +
           (r.newBuild ? "22621" : "19045") + "; " + kMachines[int(r.machine)] + "; Code Integrity event " +
           kTris[int(r.codeIntegrityEvent)];
}

// A row drawn from the table; the driver not running weighs half.
Row Draw(std::mt19937& random) {
    const auto pick = [&](int count) { return static_cast<int>(random() % static_cast<uint32_t>(count)); };
    Row r;
    r.library = pick(2) ? Library::DriverNotRunning : static_cast<Library>(pick(13));
    r.install = static_cast<Install>(pick(5));
    r.start = pick(6);
    r.status = static_cast<Status>(pick(8));
    r.elevated = static_cast<Tri>(pick(3));
    r.memoryIntegrity = static_cast<Setting>(pick(5));
    r.memoryIntegrityRuns = static_cast<Tri>(pick(3));
    r.blocklist = static_cast<Setting>(pick(5));
    r.smartAppControl = static_cast<Setting>(pick(5));
    r.newBuild = pick(2);
    r.machine = static_cast<Machine>(pick(4));
    r.program64 = r.machine != Machine::X86 && pick(2);
    r.codeIntegrityEvent = static_cast<Tri>(pick(3));
    return r;
}

RegistryDword DwordOf(Setting s) {
    switch (s) {
    case Setting::On: return {RegistryRead::Found, 1, 0};
    case Setting::Off: return {RegistryRead::Found, 0, 0};
    case Setting::Evaluation: return {RegistryRead::Found, 2, 0};
    case Setting::Unset: return {RegistryRead::Absent, 0, 2};
    case Setting::Unreadable: break;
    }
    return {RegistryRead::Failed, 0, 5};
}

Known<bool> BoolOf(Tri t) { return t == Tri::Unknown ? Unknown<bool>(5) : KnownAs(t == Tri::Yes); }

DWORD ExitCodeOf(Status s) {
    static const DWORD kCodes[] = {1077, 0, 577, 1275, 2, 1058, 0, 0};
    return kCodes[int(s)];
}

DriverFacts FactsOf(const Row& r) {
    DriverFacts f;
    f.program64 = r.program64;
    static const WindowsMachine kMachinesAsWindowsTells[] = {WindowsMachine::X86, WindowsMachine::X64,
                                                             WindowsMachine::Arm64};
    f.machine = r.machine == Machine::Unknown ? Unknown<WindowsMachine>(5) : KnownAs(kMachinesAsWindowsTells[int(r.machine)]);
    f.machineSource = "IsWow64Process2";
    f.elevated = BoolOf(r.elevated);
    f.elevatedSource = "token elevation";
    f.windowsBuild = KnownAs<DWORD>(r.newBuild ? 22621 : 19045);
    const bool windows64 = r.machine == Machine::Unknown ? r.program64 : r.machine != Machine::X86;

    LibraryFacts& lib = f.library;
    static const DWORD kLoadErrors[] = {126, 193, 1260, 4580, 4581, 4551, 225};
    lib.inNativeSystemFolder = KnownAs(false);
    if (r.library <= Library::Virus) {
        lib.binding = PortBinding::NoLibrary;
        lib.tried = {{"C:\\Tarnwick\\inpout32.dll", kLoadErrors[int(r.library)], KnownAs(r.library != Library::NotFound)}};
    } else if (r.library == Library::NoOut32) {
        lib.binding = PortBinding::NoOut32;
    } else {
        lib.binding = r.library == Library::DriverNotRunning ? PortBinding::DriverNotRunning : PortBinding::Bound;
        lib.path = "C:\\Tarnwick\\inpout32.dll";
        lib.reportsDriver = r.library <= Library::Reporting;
        if (r.library == Library::UnreportedAnswers) lib.portAnswersNothing = KnownAs(false);
        if (r.library == Library::UnreportedDead) lib.portAnswersNothing = KnownAs(true);
    }

    ServiceFacts& s = f.service;
    s.name = DriverServiceName(windows64);
    const std::string file = std::string("C:\\Windows\\System32\\drivers\\") + s.name + ".sys";
    if (r.install == Install::Absent) {
        s.key = RegistryRead::Absent;
        s.keyError = 2;
        s.status = {RegistryRead::Absent, 0, 0, 1060};
    } else if (r.install == Install::Unreadable) {
        s.key = RegistryRead::Failed;
        s.keyError = 5;
        s.status = {RegistryRead::Failed, 0, 0, 5};
    } else {
        s.key = RegistryRead::Found;
        if (r.start < 5) s.start = KnownAs<DWORD>(static_cast<DWORD>(r.start));
        s.imagePath = KnownAs(std::string("System32\\drivers\\") + s.name + ".sys");
        s.imageFile = file;
        s.imageInNativeSystemFolder = windows64;
        s.imagePresent = r.install == Install::FileUnknown ? Unknown<bool>(5) : KnownAs(r.install == Install::Present);
        s.status = r.status == Status::Unreadable ? ServiceStatus{RegistryRead::Failed, 0, 0, 5}
                   : ServiceStatus{RegistryRead::Found, r.status == Status::Running ? wincode::kServiceRunning : wincode::kServiceStopped,
                                   ExitCodeOf(r.status), 0};
    }
    if (lib.binding == PortBinding::DriverNotRunning)
        s.refusalEvent = r.codeIntegrityEvent == Tri::Unknown ? Unknown<DWORD>(5)
                                                              : KnownAs<DWORD>(r.codeIntegrityEvent == Tri::Yes ? 3077 : 0);

    f.memoryIntegrityConfigured = DwordOf(r.memoryIntegrity == Setting::Evaluation ? Setting::On : r.memoryIntegrity);
    f.codeIntegrityOptions = r.memoryIntegrityRuns == Tri::Unknown ? Unknown<DWORD>(0xC0000003)
                                                                   : KnownAs<DWORD>(r.memoryIntegrityRuns == Tri::Yes ? 0x401 : 0x1);
    f.blocklist = DwordOf(r.blocklist == Setting::Evaluation ? Setting::On : r.blocklist);
    f.smartAppControl = DwordOf(r.smartAppControl);
    return f;
}

// What the diagnosis may rely on, from the row itself.
bool Installed(const Row& r) { return r.install != Install::Absent && r.install != Install::Unreadable; }
bool Running(const Row& r) { return Installed(r) && r.status == Status::Running; }
bool StartKnown(const Row& r) { return Installed(r) && r.start < 5; }
bool BootOrSystemStart(const Row& r) { return StartKnown(r) && r.start <= 1; }
bool Disabled(const Row& r) { return StartKnown(r) && r.start == 4; }
bool ElevatedForSure(const Row& r) { return r.elevated == Tri::Yes; }
bool MemoryIntegrityRuns(const Row& r) { return r.memoryIntegrityRuns == Tri::Yes; }
bool MemoryIntegrityOnAtAll(const Row& r) {
    return MemoryIntegrityRuns(r) || r.memoryIntegrity == Setting::On || r.memoryIntegrity == Setting::Evaluation;
}
bool SmartAppControlOn(const Row& r) { return r.smartAppControl == Setting::On; }
bool BlocklistOn(const Row& r) {
    return r.blocklist == Setting::On || r.blocklist == Setting::Evaluation || (r.blocklist == Setting::Unset && r.newBuild);
}
bool StoppedWith(const Row& r, DWORD code) {
    return Installed(r) && r.status != Status::Running && r.status != Status::Unreadable && ExitCodeOf(r.status) == code;
}
// A start that failed: an error left behind, or a driver the kernel loads
// at boot that is not running.
bool FailedStart(const Row& r) {
    if (!Installed(r) || r.status == Status::Running || r.status == Status::Unreadable) return false;
    const DWORD code = ExitCodeOf(r.status);
    return (code != 0 && code != 1077) || BootOrSystemStart(r);
}
// Evidence that Windows refused this driver.
bool Evidence(const Row& r) {
    return r.library == Library::DriverNotRunning &&
           (StoppedWith(r, 577) || StoppedWith(r, 1275) || r.codeIntegrityEvent == Tri::Yes ||
            (MemoryIntegrityRuns(r) && FailedStart(r)));
}
// Smart App Control's or application control's own refusal of the library.
bool SmartAppControlLoadError(const Row& r) {
    return r.library == Library::Reputation || r.library == Library::ReputationUnknown ||
           r.library == Library::ApplicationControl;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
bool Has(const std::string& text, const std::string& part) { return Lower(text).find(Lower(part)) != std::string::npos; }

// The line of `lines` that starts with `key`, without it; "" if none.
std::string LineOf(const std::string& lines, const std::string& key) {
    const size_t at = lines.rfind(key, std::string::npos);
    if (at == std::string::npos || (at > 0 && lines[at - 1] != '\n')) return "";
    return lines.substr(at + key.size(), lines.find('\n', at) - at - key.size());
}

// The invariants of one row: each that fails, by name, with what was shown.
using Failures = std::map<std::string, std::pair<int, std::string>>;

void CheckRow(const Row& r, const std::string& where, Failures* failures) {
    const DriverFacts facts = FactsOf(r);
    const std::string factLines = FactLines(facts);
    const std::string causeLines = CauseLines(facts);
    const std::string cause = LineOf(causeLines, "cause: ");
    const std::string action = LineOf(causeLines, "what to do: ");
    const std::string hint = LineOf(causeLines, "if Windows then refuses the driver: ");
    const std::string advice = cause + "\n" + action;
    const DriverCause diagnosed = Diagnose(facts);
    const std::string shown = where + "\n" + factLines + causeLines;
    const auto check = [&](bool holds, const std::string& invariant) {
        if (holds) return;
        auto& [count, first] = (*failures)[invariant];
        if (count++ == 0) first = shown;
    };

    // 1. A protection is the cause only with evidence that Windows refused
    //    the driver (or, for the library, Smart App Control's own error), and
    //    only where the facts say it runs; the ones switched on follow the
    //    install state in a line of their own.
    const bool protectionNamed = Has(advice, "memory integrity") || Has(advice, "blocklist") ||
                                 (Has(advice, "Smart App Control") && !SmartAppControlLoadError(r));
    check(!protectionNamed || Evidence(r), "a protection without evidence");
    check(!Has(advice, "memory integrity") || MemoryIntegrityRuns(r), "memory integrity not running");
    check(!Has(advice, "blocklist") || BlocklistOn(r), "the blocklist not on");
    if (!Evidence(r) && r.library == Library::DriverNotRunning && r.machine != Machine::Arm64) {
        check(Has(hint, "memory integrity") == MemoryIntegrityOnAtAll(r), "the protections on: memory integrity");
        check(Has(hint, "blocklist") == BlocklistOn(r), "the protections on: the blocklist");
        check(Has(hint, "Smart App Control") == SmartAppControlOn(r), "the protections on: Smart App Control");
    }

    // 2. An elevated process is never told to run as administrator.
    check(!ElevatedForSure(r) || !Has(advice, "as administrator"), "elevated");

    // 3. "Started" only where the service manager says it runs.
    check(!Has(advice, "started") || Running(r), "started, and not running");

    // 4. Working only after a check: the library's own, or the port's latch.
    const bool checked = r.library == Library::Reporting || r.library == Library::UnreportedAnswers;
    check(!Reaches(diagnosed) || checked, "working without a check");
    check(!Has(cause, "reaches the port") || checked, "working without a check");

    // 5. Every piece of advice names an action that can succeed in that state.
    check(!Has(action, "Start the program again") || Running(r), "start again, driver not running");
    check(!Has(action, "Run as administrator") ||
                (!Disabled(r) || Has(action, std::string("sc config ") + facts.service.name + " start= demand")), "a disabled driver starts for no one");
    check(!Has(action, "Run as administrator") || r.install != Install::FileMissing, "its file is missing");
    check(!Has(action, "event 7000") || !BootOrSystemStart(r), "a boot or system start driver");
    check(!Has(action, "event 7026") || BootOrSystemStart(r), "7026 is for boot and system start");
    check(!Has(action, "fresh copy") || (r.library != Library::Policy && r.library != Library::Reputation &&
                                                r.library != Library::ReputationUnknown), "a fresh copy is refused again");
    check(!Has(action, "Smart App Control: Off") || SmartAppControlOn(r) || SmartAppControlLoadError(r), "Smart App Control is not on");
    check(r.machine != Machine::Arm64 || r.library <= Library::NoOut32 || checked ||
                Has(advice, "ARM"), "no x64 driver loads on ARM");
    check(!Has(shown, "Sysnative"), "a folder no one can open");

    // The panel's message says the same in four lines.
    if (r.library == Library::DriverNotRunning) {
        const std::string message = DriverNotRunningMessage(facts);
        check(message == kDriverNotRunningLine + cause + "\n" + action + "\nPortCheck --driver tells more.\n",
              "the panel's message is the cause and what to do");
        check(message.size() <= 300, "the panel's message is short enough to read at a glance");
    }

    // 6. The cause never contradicts a fact printed above it.
    const std::pair<const char*, const char*> presumes[] = {
        {"memory integrity is on", "memory integrity, running: yes"},
        {"memory integrity runs", "memory integrity, running: yes"},
        {"Smart App Control is on", "Smart App Control: on"},
        {"not installed", ": not installed ["},
        {"installed but", ": installed ["},
        {"is installed", ": installed ["},
        {"stopped", "  state: stopped"},
        {"is missing", ", missing ["},
        {"disabled", "  start: disabled"},
        {"on 64-bit Windows", "Windows: 64-bit"},
        {"on 32-bit Windows", "Windows: 32-bit"},
        {"system start", "  start: system"},
        {"boot start", "  start: boot"},
        {"Windows on ARM", "Windows: 64-bit, ARM"},
    };
    for (const auto& [phrase, fact] : presumes)
        check(!Has(cause, phrase) || Has(factLines, fact), std::string("the cause says \"") + phrase + "\", the facts not \"" + fact + "\"");
}

uint32_t Seed() {
    const char* chosen = std::getenv("TARNWICK_SEED");
    return chosen ? static_cast<uint32_t>(std::strtoul(chosen, nullptr, 0)) : 20261208u;
}

TEST(DriverInvariants, HoldOnEveryRowOfTheFacts) {
    constexpr int kRows = 40000;
    const uint32_t seed = Seed();
    std::mt19937 random(seed);
    Failures failures;
    for (int n = 0; n < kRows; ++n) {
        const Row row = Draw(random);
        CheckRow(row, "seed " + std::to_string(seed) + ", row " + std::to_string(n) + ": " + Describe(row), &failures);
    }
    for (const auto& [invariant, failed] : failures)
        ADD_FAILURE() << invariant << ": fails on " << failed.first << " of " << kRows << " rows; the first:\n"
                      << failed.second;
}

}  // namespace
