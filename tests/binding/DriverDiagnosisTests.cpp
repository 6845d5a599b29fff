// The diagnosis of a port library that can't reach the port, against
// stand-ins for the registry, the service manager, the system information
// and the token: each cause, the precedence between them, and facts Windows
// did not tell.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "DriverReport.h"
#include "WindowsCodes.h"

namespace {

constexpr wchar_t kService64[] = L"SYSTEM\\CurrentControlSet\\Services\\inpoutx64";
// Windows' answers the stand-ins give, beyond those the diagnosis itself names.
constexpr DWORD kAccessDenied = 5;      // ERROR_ACCESS_DENIED
constexpr DWORD kProcNotFound = 127;    // ERROR_PROC_NOT_FOUND

class StandInWindows : public WindowsReads {
public:
    std::map<std::wstring, RegistryDword> dwords;  // "key\value"
    std::map<std::wstring, RegistryText> texts;
    std::map<std::wstring, ServiceStatus> services;
    std::set<std::wstring> files;
    DWORD filesError = 0;  // when set, no file's presence is known
    Known<bool> windows64 = KnownAs(true);
    Known<bool> elevated = KnownAs(false);
    Known<DWORD> options = KnownAs<DWORD>(0x1);
    Known<DWORD> build = KnownAs<DWORD>(19045);
    DWORD registryError = 0;  // when set, every registry read fails

    RegistryDword Dword(const wchar_t* key, const wchar_t* value) const override {
        if (registryError) return {RegistryRead::Failed, 0, registryError};
        const auto found = dwords.find(std::wstring(key) + L"\\" + value);
        return found == dwords.end() ? RegistryDword{RegistryRead::Absent, 0, 2} : found->second;
    }
    RegistryText Text(const wchar_t* key, const wchar_t* value) const override {
        if (registryError) return {RegistryRead::Failed, L"", registryError};
        const auto found = texts.find(std::wstring(key) + L"\\" + value);
        return found == texts.end() ? RegistryText{RegistryRead::Absent, L"", 2} : found->second;
    }
    ServiceStatus Service(const wchar_t* name) const override {
        const auto found = services.find(name);
        return found == services.end() ? ServiceStatus{RegistryRead::Absent, 0, 0, 1060} : found->second;
    }
    Known<bool> FileExists(const std::wstring& path) const override {
        return filesError ? Unknown<bool>(filesError) : KnownAs(files.count(path) > 0);
    }
    Known<bool> Windows64(const char** source) const override {
        *source = "IsWow64Process";
        return windows64;
    }
    Known<bool> Elevated(const char** source) const override {
        *source = "token elevation";
        return elevated;
    }
    Known<DWORD> CodeIntegrityOptions() const override { return options; }
    Known<DWORD> WindowsBuild() const override { return build; }
    std::wstring WindowsFolder() const override { return L"C:\\Windows"; }

    void SetDword(const wchar_t* key, const wchar_t* value, DWORD data) {
        dwords[std::wstring(key) + L"\\" + value] = {RegistryRead::Found, data, 0};
    }
    // The driver installed as the library installs it, its file in place.
    void InstallDriver(DWORD state, DWORD exitCode) {
        SetDword(kService64, L"Start", 2);
        texts[std::wstring(kService64) + L"\\ImagePath"] = {RegistryRead::Found, L"System32\\drivers\\inpoutx64.sys", 0};
        files.insert(L"C:\\Windows\\Sysnative\\drivers\\inpoutx64.sys");  // as a 32-bit program reaches it
        services[L"inpoutx64"] = {RegistryRead::Found, state, exitCode, 0};
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
        EXPECT_LE(message.size(), 276u) << message;
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
    EXPECT_EQ(Cause(), DriverCause::Unknown);
    EXPECT_FALSE(Has(Message(), "administrator")) << Message();
    EXPECT_TRUE(Has(Message(), "event 7000")) << Message();
}

TEST_F(Diagnosis, DriverInstalledAndStopped) {
    windows.InstallDriver(wincode::kServiceStopped, wincode::kServiceNeverStarted);
    EXPECT_EQ(Cause(), DriverCause::InstalledNotStarted);
    EXPECT_TRUE(Has(Message(), "Run as administrator, then once more normally")) << Message();

    // An elevated run has started it without opening it: the next start works.
    windows.elevated = KnownAs(true);
    EXPECT_EQ(Cause(), DriverCause::StartedJustNow);
    windows.services[L"inpoutx64"].state = wincode::kServiceRunning;
    windows.services[L"inpoutx64"].exitCode = 0;
    EXPECT_EQ(Cause(), DriverCause::StartedJustNow);
    EXPECT_TRUE(Has(Message(), "Start the program again")) << Message();
    EXPECT_FALSE(Has(Message(), "administrator")) << Message();

    // A start that failed for a reason of its own is not "started".
    windows.services[L"inpoutx64"] = {RegistryRead::Found, wincode::kServiceStopped, kAccessDenied, 0};
    EXPECT_EQ(Cause(), DriverCause::Unknown);

    windows.files.clear();
    EXPECT_EQ(Cause(), DriverCause::DriverFileMissing);
    EXPECT_TRUE(Has(Message(), "C:\\Windows\\Sysnative\\drivers\\inpoutx64.sys is missing")) << Message();
}

TEST_F(Diagnosis, ProtectionsThatRefuseTheDriverEvenToAnAdministrator) {
    windows.InstallDriver(wincode::kServiceStopped, 577);
    EXPECT_EQ(Cause(), DriverCause::StartRefused);
    EXPECT_TRUE(Has(Message(), "error 577")) << Message();
    windows.services[L"inpoutx64"].exitCode = 1275;
    EXPECT_EQ(Cause(), DriverCause::StartRefused);

    windows.build = KnownAs<DWORD>(22621);  // the blocklist on by Windows' default from here
    EXPECT_EQ(Cause(), DriverCause::Blocklist);
    EXPECT_TRUE(Has(Message(), "turn Microsoft Vulnerable Driver Blocklist off, restart")) << Message();
    windows.SetDword(L"SYSTEM\\CurrentControlSet\\Control\\CI\\Policy", L"VerifiedAndReputablePolicyState", 1);
    EXPECT_EQ(Cause(), DriverCause::SmartAppControl);
    EXPECT_TRUE(Has(Message(), "Smart App Control: Off (this lowers the PC's protection")) << Message();
    windows.SetDword(L"SYSTEM\\CurrentControlSet\\Control\\DeviceGuard\\Scenarios\\HypervisorEnforcedCodeIntegrity",
                     L"Enabled", 1);
    EXPECT_EQ(Cause(), DriverCause::MemoryIntegrity);
    const std::string message = Message();
    EXPECT_TRUE(Has(message, "memory integrity is on")) << message;
    EXPECT_TRUE(Has(message, "lowers the PC's protection")) << message;

    // Before any install, and not elevated: still the protection, since an
    // administrator's run would be refused too.
    windows.services.clear();
    windows.dwords.erase(std::wstring(kService64) + L"\\Start");
    windows.texts.clear();
    EXPECT_EQ(Cause(), DriverCause::MemoryIntegrity);
}

TEST_F(Diagnosis, EachProtectionAsWindowsRecordsIt) {
    const wchar_t* const config = L"SYSTEM\\CurrentControlSet\\Control\\CI\\Config";
    windows.SetDword(config, L"VulnerableDriverBlocklistEnable", 1);
    EXPECT_EQ(Cause(), DriverCause::Blocklist) << "switched on before Windows' default";
    windows.build = KnownAs<DWORD>(22631);
    windows.SetDword(config, L"VulnerableDriverBlocklistEnable", 0);
    EXPECT_EQ(Cause(), DriverCause::NotInstalled) << "switched off";

    windows.SetDword(L"SYSTEM\\CurrentControlSet\\Control\\CI\\Policy", L"VerifiedAndReputablePolicyState", 2);
    EXPECT_EQ(Cause(), DriverCause::NotInstalled) << "Smart App Control evaluating blocks nothing";

    windows.options = KnownAs<DWORD>(0x401);  // memory integrity running, though not in the registry
    EXPECT_EQ(Cause(), DriverCause::MemoryIntegrity);
    const std::string facts = FactLines(Facts());
    EXPECT_TRUE(Has(facts, "memory integrity, running: yes [system information class 103, code-integrity option "
                           "0x400]\n"))
        << facts;
    EXPECT_TRUE(Has(facts, "memory integrity, switched on: not set (off) [HKLM\\SYSTEM\\CurrentControlSet\\Control\\"
                           "DeviceGuard\\Scenarios\\HypervisorEnforcedCodeIntegrity, Enabled]\n"))
        << facts;
    EXPECT_TRUE(Has(facts, "Smart App Control: evaluation")) << facts;
}

TEST_F(Diagnosis, FactsWindowsDidNotTellAreUnknownAndDecideNothing) {
    windows.registryError = kAccessDenied;
    windows.services[L"inpoutx64"] = {RegistryRead::Failed, 0, 0, kAccessDenied};
    windows.elevated = Unknown<bool>(kAccessDenied);
    windows.options = Unknown<DWORD>(0xC0000003);
    windows.build = Unknown<DWORD>(kProcNotFound);
    windows.filesError = kAccessDenied;
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
    windows.windows64 = KnownAs(false);
    windows.services[L"inpout32"] = {RegistryRead::Found, wincode::kServiceStopped, 1077, 0};
    windows.SetDword(L"SYSTEM\\CurrentControlSet\\Services\\inpout32", L"Start", 3);
    windows.files.insert(L"C:\\Windows\\System32\\drivers\\inpout32.sys");  // no redirection on 32-bit Windows
    EXPECT_EQ(Cause(), DriverCause::InstalledNotStarted);
    const std::string facts = FactLines(Facts());
    EXPECT_TRUE(Has(facts, "Windows: 32-bit [IsWow64Process]\n")) << facts;
    EXPECT_TRUE(Has(facts, "  start: on demand (3)")) << facts;
    EXPECT_TRUE(Has(facts, "  file: C:\\Windows\\System32\\drivers\\inpout32.sys, present")) << facts;
    EXPECT_TRUE(Has(facts, "  state: stopped, last exit code 1077")) << facts;
}

TEST_F(Diagnosis, LibraryThatDidNotLoad) {
    attempts = {{L"C:\\Tarnwick\\inpout32.dll", wincode::kFileNotFound},
                {L"C:\\Windows\\system32\\inpout32.dll", wincode::kFileNotFound}};
    windows.files = {L"C:\\Windows\\Sysnative"};
    EXPECT_EQ(Cause(PortBinding::NoLibrary), DriverCause::LibraryNotFound);
    const std::string facts = FactLines(Facts(PortBinding::NoLibrary));
    EXPECT_TRUE(Has(facts, "port library: C:\\Tarnwick\\inpout32.dll: not there, not loaded, error 2 "
                           "[LoadLibrary, GetFileAttributes]\n"))
        << facts;
    // Windows gives a missing file by full path 126, as for a missing dependency.
    attempts[0].error = wincode::kModuleNotFound;
    EXPECT_EQ(Cause(PortBinding::NoLibrary), DriverCause::LibraryNotFound);
    EXPECT_TRUE(Has(facts, "inpout32.dll in the 64-bit system folder: no [C:\\Windows\\Sysnative]\n")) << facts;

    // Copied into System32 by a 64-bit Explorer: there only for 64-bit programs.
    windows.files = {L"C:\\Windows\\Sysnative", L"C:\\Windows\\Sysnative\\inpout32.dll"};
    EXPECT_EQ(Cause(PortBinding::NoLibrary), DriverCause::LibraryInWrongFolder);
    EXPECT_TRUE(Has(CauseLines(Facts(PortBinding::NoLibrary)), "what to do: Move it beside the program.\n"));
    // A 64-bit program sees that folder itself: nothing hidden from it.
    EXPECT_EQ(Diagnose(Facts(PortBinding::NoLibrary, true)), DriverCause::LibraryNotFound);
    // Without Sysnative (XP) the folder can't be looked into: unknown.
    windows.files.clear();
    EXPECT_FALSE(Facts(PortBinding::NoLibrary).library.inNativeSystemFolder.known);

    // An error for a file that is there comes before where else it might be.
    const std::pair<DWORD, DriverCause> errors[] = {
        {193, DriverCause::LibraryWrongBitness}, {126, DriverCause::LibraryNeedsDll},
        {225, DriverCause::LibraryVirus},        {4551, DriverCause::LibraryBlocked},
        {4556, DriverCause::LibraryBlocked},     {5, DriverCause::LibraryLoadError}};
    windows.files = {L"C:\\Windows\\Sysnative", L"C:\\Windows\\Sysnative\\inpout32.dll",
                     L"C:\\Windows\\system32\\inpout32.dll"};
    for (const auto& [error, cause] : errors) {
        attempts[1].error = error;
        EXPECT_EQ(Cause(PortBinding::NoLibrary), cause) << error;
        EXPECT_TRUE(Has(CauseLines(Facts(PortBinding::NoLibrary)), "error " + std::to_string(error))) << error;
    }
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

    windows.windows64 = KnownAs(false);  // old copies work on 32-bit Windows
    portAnswersNothing = {};
    EXPECT_EQ(Cause(PortBinding::Bound), DriverCause::WorkingUnreported);
    EXPECT_TRUE(Reaches(DriverCause::WorkingUnreported));
}

}  // namespace
