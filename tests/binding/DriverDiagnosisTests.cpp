// The diagnosis of a port library that can't reach the port, against
// stand-ins for the registry, the service manager, the system information
// and the token: each cause, the precedence between them, and facts Windows
// did not tell.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <set>

#include "DriverReport.h"
#include "ReadDriverFacts.h"
#include "WindowsCodes.h"

namespace {

constexpr char kService64[] = "SYSTEM\\CurrentControlSet\\Services\\inpoutx64";
constexpr char kMemoryIntegrity[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceGuard\\Scenarios\\HypervisorEnforcedCodeIntegrity";
constexpr char kPolicy[] = "SYSTEM\\CurrentControlSet\\Control\\CI\\Policy";
constexpr char kConfig[] = "SYSTEM\\CurrentControlSet\\Control\\CI\\Config";

class StandInWindows : public WindowsReads {
public:
    std::map<std::string, RegistryDword> dwords;  // "key\value"
    std::map<std::string, RegistryText> texts;
    std::map<std::string, ServiceStatus> services;
    std::set<std::wstring> files;
    std::set<std::wstring> unredirectedFiles;  // as a 64-bit program sees them
    DWORD filesError = 0;  // when set, no file's presence is known
    Known<WindowsMachine> machine = KnownAs(WindowsMachine::X64);
    Known<bool> elevated = KnownAs(false);
    Known<DWORD> options = KnownAs<DWORD>(0x1);
    Known<DWORD> build = KnownAs<DWORD>(19045);
    Known<DWORD> refusalEvent = KnownAs<DWORD>(0);
    mutable std::wstring eventFile;  // the file the Code Integrity log was asked about
    DWORD registryError = 0;  // when set, every registry read fails

    RegistryDword Dword(const char* key, const char* value) const override {
        if (registryError) return {RegistryRead::Failed, 0, registryError};
        const auto found = dwords.find(std::string(key) + "\\" + value);
        return found == dwords.end() ? RegistryDword{RegistryRead::Absent, 0, 2} : found->second;
    }
    RegistryText Text(const char* key, const char* value) const override {
        if (registryError) return {RegistryRead::Failed, L"", registryError};
        const auto found = texts.find(std::string(key) + "\\" + value);
        return found == texts.end() ? RegistryText{RegistryRead::Absent, L"", 2} : found->second;
    }
    ServiceStatus Service(const char* name) const override {
        const auto found = services.find(name);
        return found == services.end() ? ServiceStatus{RegistryRead::Absent, 0, 0, 1060} : found->second;
    }
    Known<bool> FileExists(const std::wstring& path) const override {
        return filesError ? Unknown<bool>(filesError) : KnownAs(files.count(path) > 0);
    }
    Known<bool> FileExistsUnredirected(const std::wstring& path) const override {
        return filesError ? Unknown<bool>(filesError) : KnownAs(unredirectedFiles.count(path) > 0);
    }
    Known<WindowsMachine> Machine(const char** source) const override {
        *source = "IsWow64Process2";
        return machine;
    }
    Known<bool> Elevated(const char** source) const override {
        *source = "token elevation";
        return elevated;
    }
    Known<DWORD> CodeIntegrityOptions() const override { return options; }
    Known<DWORD> WindowsBuild() const override { return build; }
    Known<DWORD> CodeIntegrityEvent(const std::wstring& file) const override {
        eventFile = file;
        return refusalEvent;
    }
    std::wstring WindowsFolder() const override { return L"C:\\Windows"; }

    void SetDword(const char* key, const char* value, DWORD data) {
        dwords[std::string(key) + "\\" + value] = {RegistryRead::Found, data, 0};
    }
    // The driver installed as the library installs it, its file in place in
    // the 64-bit system folder, where a 32-bit program is not redirected.
    void InstallDriver(DWORD state, DWORD exitCode, DWORD start = 2) {
        SetDword(kService64, "Start", start);
        texts[std::string(kService64) + "\\ImagePath"] = {RegistryRead::Found, L"System32\\drivers\\inpoutx64.sys", 0};
        unredirectedFiles.insert(L"C:\\Windows\\System32\\drivers\\inpoutx64.sys");
        services["inpoutx64"] = {RegistryRead::Found, state, exitCode, 0};
    }
};

class Diagnosis : public testing::Test {
protected:
    DriverFacts Facts(PortBinding binding = PortBinding::DriverNotRunning, bool program64 = false) {
        PortLibrary library;
        library.reportsDriver = reportsDriver;
        DriverFacts facts = GatherDriverFacts(windows, library, binding, attempts, program64);
        facts.library.portAnswersNothing = portAnswersNothing;
        return facts;
    }
    DriverCause Cause(PortBinding binding = PortBinding::DriverNotRunning) { return Diagnose(Facts(binding)); }
    // The panel's message, which is four short lines whatever the cause:
    // the driver's state, the cause, what to do and where to learn more.
    std::string Message() {
        const std::string message = DriverNotRunningMessage(Facts());
        EXPECT_EQ(message.rfind("inpout32.dll is loaded, but its port driver is not running.\n", 0), 0u) << message;
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 4) << message;
        EXPECT_LE(message.size(), 300u) << message;
        EXPECT_EQ(message.substr(message.size() - 32), "\nPortCheck --driver tells more.\n") << message;
        return message;
    }

    StandInWindows windows;
    bool reportsDriver = true;
    std::vector<LoadAttempt> attempts;
    Known<bool> portAnswersNothing;
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(Diagnosis, DriverNotInstalled) {
    EXPECT_EQ(Cause(), DriverCause::NotInstalled);
    EXPECT_TRUE(Has(Message(), "Run as administrator")) << Message();

    windows.elevated = KnownAs(true);  // the library could have installed it, and didn't
    EXPECT_EQ(Cause(), DriverCause::NotInstalledElevated);
    EXPECT_FALSE(Has(Message(), "administrator")) << Message();
    EXPECT_TRUE(Has(Message(), "Run the library's own installer; if that fails, Event Viewer: System log, event 7000")) << Message();
}

TEST_F(Diagnosis, DriverInstalledAndStopped) {
    windows.InstallDriver(wincode::kServiceStopped, ERROR_SERVICE_NEVER_STARTED);
    EXPECT_EQ(Cause(), DriverCause::InstalledNotStarted);
    EXPECT_TRUE(Has(Message(), "Run as administrator, then once more normally")) << Message();

    // Elevated, and still stopped with 1077: nothing tried to start it, and
    // nothing says it has been.
    windows.elevated = KnownAs(true);
    EXPECT_EQ(Cause(), DriverCause::NotStartedElevated);
    EXPECT_TRUE(Has(Message(), "(exit code 1077: nothing tried since boot)")) << Message();
    EXPECT_TRUE(Has(Message(), "In an elevated Command Prompt, sc start inpoutx64 tells why")) << Message();
    EXPECT_FALSE(Has(Message(), "started")) << Message();
    // Started only where the service manager says it runs: then the next start opens it.
    windows.services["inpoutx64"].state = wincode::kServiceRunning;
    windows.services["inpoutx64"].exitCode = 0;
    EXPECT_EQ(Cause(), DriverCause::RunningNow);
    EXPECT_TRUE(Has(Message(), "Start the program again")) << Message();
    EXPECT_FALSE(Has(Message(), "administrator")) << Message();

    // A start that failed for a reason of its own names it, and where Windows records why.
    windows.services["inpoutx64"] = {RegistryRead::Found, wincode::kServiceStopped, ERROR_ACCESS_DENIED, 0};
    EXPECT_EQ(Cause(), DriverCause::StartFailed);
    EXPECT_TRUE(Has(Message(), "its last start failed with error 5.\nEvent Viewer: System log, event 7000")) << Message();

    // The file a 32-bit program reaches only unredirected, shown as Explorer shows it.
    windows.unredirectedFiles.clear();
    windows.files.insert(L"C:\\Windows\\Sysnative\\drivers\\inpoutx64.sys");  // no one can open that
    EXPECT_EQ(Cause(), DriverCause::DriverFileMissing);
    EXPECT_TRUE(Has(Message(), "C:\\Windows\\System32\\drivers\\inpoutx64.sys (the 64-bit system folder) is missing"))
        << Message();
    EXPECT_TRUE(Has(FactLines(Facts()), "  file: C:\\Windows\\System32\\drivers\\inpoutx64.sys (the 64-bit system "
                                        "folder), missing ["));
}

TEST_F(Diagnosis, DisabledAndKernelLoadedDrivers) {
    windows.InstallDriver(wincode::kServiceStopped, ERROR_SERVICE_NEVER_STARTED, 4);
    EXPECT_EQ(Cause(), DriverCause::Disabled);
    EXPECT_TRUE(Has(Message(), "The driver inpoutx64 is disabled (error 1058): not even an administrator can start it.")) << Message();
    EXPECT_TRUE(Has(Message(), "Command Prompt as administrator: sc config inpoutx64 start= demand; then Run as")) << Message();
    windows.elevated = KnownAs(true);
    EXPECT_TRUE(Has(Message(), "Elevated Command Prompt: sc config inpoutx64 start= demand; then")) << Message();
    EXPECT_FALSE(Has(Message(), "as administrator")) << Message();

    // Boot and system start drivers are the kernel's: their exit code stays
    // 1077, and event 7026 says what failed.
    for (const DWORD start : {0ul, 1ul}) {
        windows.InstallDriver(wincode::kServiceStopped, ERROR_SERVICE_NEVER_STARTED, start);
        EXPECT_EQ(Cause(), DriverCause::NotLoadedAtBoot) << start;
        EXPECT_TRUE(Has(Message(), start ? "start type system" : "start type boot")) << Message();
        EXPECT_TRUE(Has(Message(), "event 7026")) << Message();
        EXPECT_FALSE(Has(Message(), "event 7000")) << Message();
    }
}

TEST_F(Diagnosis, AProtectionIsTheCauseOnlyWithEvidence) {
    // Every protection on, memory integrity switched on but not running:
    // none has refused the driver, so the install state is the cause, and
    // the protections that are on follow it.
    windows.build = KnownAs<DWORD>(22621);  // the blocklist on by Windows' default from here
    windows.SetDword(kPolicy, "VerifiedAndReputablePolicyState", 1);
    windows.SetDword(kMemoryIntegrity, "Enabled", 1);
    EXPECT_EQ(Cause(), DriverCause::NotInstalled);
    const std::string lines = CauseLines(Facts());
    EXPECT_TRUE(Has(lines, "\nif Windows then refuses the driver: memory integrity is switched on, and runs from the "
                           "next restart (Windows Security > Device security > Core isolation > Memory integrity); "
                           "Smart App Control is on (Windows Security > App & browser control > Smart App Control); "
                           "the vulnerable driver blocklist is on (Windows Security > Device security > Core isolation "
                           "> Microsoft Vulnerable Driver Blocklist).\n"))
        << lines;

    // Evidence: a start refused with Windows' own error, a Code Integrity
    // event naming the driver's file, or memory integrity running with a
    // start that failed. The protection named is the first that is on.
    windows.InstallDriver(wincode::kServiceStopped, 1275);
    EXPECT_EQ(Cause(), DriverCause::SmartAppControl);
    EXPECT_TRUE(Has(Message(), "Smart App Control refuses the driver: it is on, and its start failed with error 1275.")) << Message();
    windows.dwords.erase(std::string(kPolicy) + "\\VerifiedAndReputablePolicyState");
    EXPECT_EQ(Cause(), DriverCause::Blocklist);
    EXPECT_TRUE(Has(Message(), "The driver blocklist is on, and its start failed with error 1275.\nWindows Security > Device security > Core isolation: Microsoft Vulnerable Driver Blocklist off, restart")) << Message();
    windows.SetDword(kConfig, "VulnerableDriverBlocklistEnable", 0);
    EXPECT_EQ(Cause(), DriverCause::StartRefused) << "memory integrity switched on refuses nothing before it runs";
    EXPECT_TRUE(Has(Message(), "Windows refused the driver: its start failed with error 1275")) << Message();
    windows.options = KnownAs<DWORD>(0x401);
    EXPECT_EQ(Cause(), DriverCause::MemoryIntegrity);
    EXPECT_TRUE(Has(Message(), "Memory integrity refuses the driver: it runs, and its start failed with error 1275.")) << Message();
    EXPECT_TRUE(Has(Message(), "Core isolation: Memory integrity off, restart (this lowers the PC's protection).")) << Message();

    windows.services["inpoutx64"].exitCode = 31;  // a start that failed, memory integrity running
    EXPECT_EQ(Cause(), DriverCause::MemoryIntegrity);
    EXPECT_TRUE(Has(Message(), "it runs, and its last start failed (error 31).")) << Message();
    windows.services["inpoutx64"].exitCode = ERROR_SERVICE_NEVER_STARTED;  // nothing tried
    EXPECT_EQ(Cause(), DriverCause::InstalledNotStarted);

    windows.options = KnownAs<DWORD>(0x1);
    windows.refusalEvent = KnownAs<DWORD>(3077);
    EXPECT_EQ(Cause(), DriverCause::StartRefused);
    EXPECT_EQ(windows.eventFile, L"inpoutx64.sys");
    EXPECT_TRUE(Has(Message(), "Windows refused the driver: Code Integrity event 3077 names it.")) << Message();
    const std::string facts = FactLines(Facts());
    EXPECT_TRUE(Has(facts, "  Code Integrity events since boot naming its file: event 3077 "
                           "[Microsoft-Windows-CodeIntegrity/Operational, events 3033 and 3077]\n"))
        << facts;
    windows.refusalEvent = Unknown<DWORD>(ERROR_ACCESS_DENIED);  // a log this program may not read decides nothing
    EXPECT_EQ(Cause(), DriverCause::InstalledNotStarted);
}

TEST_F(Diagnosis, EachProtectionAsWindowsRecordsIt) {
    windows.options = KnownAs<DWORD>(0x401);  // memory integrity running, though not in the registry
    windows.SetDword(kPolicy, "VerifiedAndReputablePolicyState", 2);
    const std::string facts = FactLines(Facts());
    EXPECT_TRUE(Has(facts, "memory integrity, running: yes [system information class 103, code-integrity option "
                           "0x400]\n"))
        << facts;
    EXPECT_TRUE(Has(facts, "memory integrity, switched on: not set (off) [HKLM\\SYSTEM\\CurrentControlSet\\Control\\"
                           "DeviceGuard\\Scenarios\\HypervisorEnforcedCodeIntegrity, Enabled]\n"))
        << facts;
    EXPECT_TRUE(Has(facts, "Smart App Control: evaluation")) << facts;
    EXPECT_TRUE(Has(CauseLines(Facts()), "if Windows then refuses the driver: memory integrity runs (")) << CauseLines(Facts());
    EXPECT_FALSE(Has(CauseLines(Facts()), "Smart App Control")) << "evaluating, it blocks nothing";

    windows.SetDword(kConfig, "VulnerableDriverBlocklistEnable", 1);
    EXPECT_TRUE(BlocklistOn(Facts()).value) << "switched on before Windows' default";
    windows.build = KnownAs<DWORD>(22631);
    windows.SetDword(kConfig, "VulnerableDriverBlocklistEnable", 0);
    EXPECT_FALSE(BlocklistOn(Facts()).value) << "switched off";
}

TEST_F(Diagnosis, FactsWindowsDidNotTellAreUnknownAndDecideNothing) {
    windows.registryError = ERROR_ACCESS_DENIED;
    windows.services["inpoutx64"] = {RegistryRead::Failed, 0, 0, ERROR_ACCESS_DENIED};
    windows.elevated = Unknown<bool>(ERROR_ACCESS_DENIED);
    windows.options = Unknown<DWORD>(0xC0000003);
    windows.build = Unknown<DWORD>(ERROR_PROC_NOT_FOUND);
    windows.filesError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(Cause(), DriverCause::Unknown);
    const std::string facts = FactLines(Facts());
    EXPECT_TRUE(Has(facts, "driver service inpoutx64: unknown (error 5) [HKLM\\SYSTEM\\CurrentControlSet\\Services\\"
                           "inpoutx64]\n"))
        << facts;
    EXPECT_TRUE(Has(facts, "  state: unknown (error 5) [service manager, QueryServiceStatus]\n")) << facts;
    EXPECT_TRUE(Has(facts, "this program: unknown (error 5) [token elevation]\n")) << facts;
    EXPECT_TRUE(Has(facts, "memory integrity, running: unknown (error 3221225475)")) << facts;
    EXPECT_TRUE(Has(facts, "vulnerable driver blocklist: unknown (error 5)")) << facts;
    EXPECT_TRUE(Has(facts, "Windows build: unknown (error 127) [RtlGetVersion]\n")) << facts;
    EXPECT_TRUE(Has(CauseLines(Facts()), "CodeIntegrity > Operational log, events 3077 and 3033")) << CauseLines(Facts());

    // The blocklist unset on a Windows of unknown build: not known to be on.
    windows.registryError = 0;
    EXPECT_FALSE(BlocklistOn(Facts()).known);
}

TEST_F(Diagnosis, TheDriverOfWindowsBitness) {
    windows.machine = KnownAs(WindowsMachine::X86);
    windows.services["inpout32"] = {RegistryRead::Found, wincode::kServiceStopped, 1077, 0};
    windows.SetDword("SYSTEM\\CurrentControlSet\\Services\\inpout32", "Start", 3);
    windows.files.insert(L"C:\\Windows\\System32\\drivers\\inpout32.sys");  // no redirection on 32-bit Windows
    EXPECT_EQ(Cause(), DriverCause::InstalledNotStarted);
    const std::string facts = FactLines(Facts());
    EXPECT_TRUE(Has(facts, "Windows: 32-bit [IsWow64Process2]\n")) << facts;
    EXPECT_TRUE(Has(facts, "  start: on demand (3)")) << facts;
    EXPECT_TRUE(Has(facts, "  file: C:\\Windows\\System32\\drivers\\inpout32.sys, present")) << facts;
    EXPECT_TRUE(Has(facts, "  state: stopped, last exit code 1077")) << facts;
}

TEST_F(Diagnosis, WindowsOnArmLoadsNoX64Driver) {
    windows.machine = KnownAs(WindowsMachine::Arm64);
    windows.InstallDriver(wincode::kServiceStopped, ERROR_SERVICE_NEVER_STARTED);
    EXPECT_EQ(Cause(), DriverCause::ArmWindows);
    EXPECT_TRUE(Has(Message(), "this port library cannot work on ARM PCs")) << Message();
    EXPECT_TRUE(Has(FactLines(Facts()), "Windows: 64-bit, ARM [IsWow64Process2]\n"));
    reportsDriver = false;
    EXPECT_EQ(Cause(PortBinding::Bound), DriverCause::ArmWindows);
    portAnswersNothing = KnownAs(false);
    EXPECT_EQ(Cause(PortBinding::Bound), DriverCause::Working) << "the port answered";
}

TEST_F(Diagnosis, LibraryThatDidNotLoad) {
    attempts = {{L"C:\\Tarnwick\\inpout32.dll", ERROR_FILE_NOT_FOUND},
                {L"C:\\Windows\\system32\\inpout32.dll", ERROR_FILE_NOT_FOUND}};
    EXPECT_EQ(Cause(PortBinding::NoLibrary), DriverCause::LibraryNotFound);
    const std::string facts = FactLines(Facts(PortBinding::NoLibrary));
    EXPECT_TRUE(Has(facts, "port library: C:\\Tarnwick\\inpout32.dll: not there, not loaded, error 2 "
                           "[LoadLibrary, GetFileAttributes]\n"))
        << facts;
    EXPECT_TRUE(Has(facts, "inpout32.dll in the 64-bit system folder: no [C:\\Windows\\System32]\n")) << facts;
    // Windows gives a missing file by full path 126, as for a missing dependency.
    attempts[0].error = ERROR_MOD_NOT_FOUND;
    EXPECT_EQ(Cause(PortBinding::NoLibrary), DriverCause::LibraryNotFound);

    // Copied into System32 by a 64-bit Explorer: there only for 64-bit
    // programs; read unredirected, as XP x64 (which has no Sysnative) allows.
    windows.unredirectedFiles = {L"C:\\Windows\\System32\\inpout32.dll"};
    EXPECT_EQ(Cause(PortBinding::NoLibrary), DriverCause::LibraryInWrongFolder);
    EXPECT_TRUE(Has(CauseLines(Facts(PortBinding::NoLibrary)),
                    "cause: inpout32.dll is in the 64-bit system folder (C:\\Windows\\System32 as Explorer shows it), "
                    "which a 32-bit program never sees.\nwhat to do: Move it beside the program.\n"))
        << CauseLines(Facts(PortBinding::NoLibrary));
    // A 64-bit program sees that folder itself: nothing hidden from it.
    EXPECT_EQ(Diagnose(Facts(PortBinding::NoLibrary, true)), DriverCause::LibraryNotFound);

    // An error for a file that is there comes before where else it might be;
    // a policy's refusal is not mended by another copy.
    const std::pair<DWORD, DriverCause> errors[] = {
        {193, DriverCause::LibraryWrongBitness}, {126, DriverCause::LibraryNeedsDll},
        {225, DriverCause::LibraryVirus},        {1260, DriverCause::LibraryPolicy},
        {4580, DriverCause::LibraryReputation},  {4581, DriverCause::LibraryReputation},
        {4551, DriverCause::LibraryBlocked},     {4556, DriverCause::LibraryBlocked},
        {5, DriverCause::LibraryLoadError}};
    windows.files = {L"C:\\Windows\\system32\\inpout32.dll"};
    for (const auto& [error, cause] : errors) {
        attempts[1].error = error;
        EXPECT_EQ(Cause(PortBinding::NoLibrary), cause) << error;
        const std::string lines = CauseLines(Facts(PortBinding::NoLibrary));
        EXPECT_TRUE(Has(lines, "error " + std::to_string(error))) << lines;
        EXPECT_EQ(Has(lines, "fresh copy"), cause == DriverCause::LibraryLoadError) << lines;
    }
    attempts[1].error = 1260;
    EXPECT_TRUE(Has(CauseLines(Facts(PortBinding::NoLibrary)), "An administrator can allow it: a rule for this "
                                                               "program's folder in Local Security Policy"));
    attempts[1].error = 4581;
    EXPECT_TRUE(Has(CauseLines(Facts(PortBinding::NoLibrary)), "Smart App Control refused inpout32.dll: it could not "
                                                               "learn the file's reputation (error 4581)."));
}

TEST_F(Diagnosis, LibraryWithoutAnEntryPoint) {
    EXPECT_EQ(Cause(PortBinding::NoInp32), DriverCause::LibraryIncomplete);
    EXPECT_TRUE(Has(CauseLines(Facts(PortBinding::NoOut32)), "lacks the entry point Out32"));
    EXPECT_TRUE(Has(FactLines(Facts(PortBinding::NoOut32)), "entry points: Inp32; no Out32 [GetProcAddress]\n"));
}

TEST_F(Diagnosis, LibraryThatDoesNotReportItsDriver) {
    reportsDriver = true;
    EXPECT_EQ(Cause(PortBinding::Bound), DriverCause::Working);
    EXPECT_TRUE(Reaches(DriverCause::Working));

    reportsDriver = false;
    EXPECT_EQ(Cause(PortBinding::Bound), DriverCause::OldLibraryUnproven) << "the name alone proves nothing";
    EXPECT_FALSE(Reaches(DriverCause::OldLibraryUnproven));
    portAnswersNothing = KnownAs(true);
    EXPECT_EQ(Cause(PortBinding::Bound), DriverCause::OldLibrary);
    EXPECT_TRUE(Has(CauseLines(Facts(PortBinding::Bound)), "exports IsInpOutDriverOpen"));
    EXPECT_TRUE(Has(FactLines(Facts(PortBinding::Bound)), "entry points: Inp32, Out32; no IsInpOutDriverOpen"));
    portAnswersNothing = KnownAs(false);
    EXPECT_EQ(Cause(PortBinding::Bound), DriverCause::Working) << "another library of that name, which works";

    // On 32-bit Windows too, an old copy reads 0 until an elevated run has
    // installed its driver: working only once the port has answered.
    windows.machine = KnownAs(WindowsMachine::X86);
    portAnswersNothing = {};
    EXPECT_EQ(Cause(PortBinding::Bound), DriverCause::OldLibraryUnproven);
    EXPECT_FALSE(Has(CauseLines(Facts(PortBinding::Bound)), "64-bit")) << CauseLines(Facts(PortBinding::Bound));
    portAnswersNothing = KnownAs(true);
    EXPECT_EQ(Cause(PortBinding::Bound), DriverCause::OldLibrary);
    EXPECT_TRUE(Has(CauseLines(Facts(PortBinding::Bound)), "its driver is not running.")) << CauseLines(Facts(PortBinding::Bound));
    portAnswersNothing = KnownAs(false);
    EXPECT_EQ(Cause(PortBinding::Bound), DriverCause::Working);
}

}  // namespace
