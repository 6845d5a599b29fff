// How `PortCheck --list` runs its second copy: the child's output and exit
// code, a child that hangs, one that cannot start, and what the first copy
// prints for each way the second can end.
#include <gtest/gtest.h>

#include <string>

#include "ChildProcess.h"
#include "ListCommand.h"
#include "WindowsError.h"

using namespace portcheck;

namespace {

constexpr size_t kMuchOutput = 200000;  // far more than a pipe holds

// This test program, run again with only one of the helpers below.
ChildRun RunHelper(const char* helper, DWORD timeoutMs) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring filter = L"--gtest_also_run_disabled_tests --gtest_filter=ListHelper.DISABLED_";
    for (const char* c = helper; *c; ++c) filter += static_cast<wchar_t>(*c);
    return RunChild(self, filter, timeoutMs);
}

}  // namespace

// Helpers, run only as the child of the tests below.
TEST(ListHelper, DISABLED_WritesMuchAndExits42) {
    std::fputs(std::string(kMuchOutput, 'x').c_str(), stdout);
    std::fflush(stdout);
    ExitProcess(42);
}

TEST(ListHelper, DISABLED_Hangs) { Sleep(60000); }

TEST(ChildProcess, CollectsAllItsOutputAndItsExitCode) {
    const ChildRun run = RunHelper("WritesMuchAndExits42", 60000);
    EXPECT_EQ(run.outcome, ChildRun::Exited);
    EXPECT_EQ(run.exitCode, 42u);
    EXPECT_NE(run.output.find(std::string(kMuchOutput, 'x')), std::string::npos) << run.output.size();
}

TEST(ChildProcess, EndsAChildThatOutlivesItsTimeAndSaysWhenOneCannotStart) {
    const ChildRun hung = RunHelper("Hangs", 500);
    EXPECT_EQ(hung.outcome, ChildRun::TimedOut);
    EXPECT_NE(hung.exitCode, static_cast<DWORD>(STILL_ACTIVE));  // ended, not left running

    const ChildRun missing = RunChild(L"C:\\no such folder\\PortCheck.exe", L"--list-worker", 60000);
    EXPECT_EQ(missing.outcome, ChildRun::NotStarted);
    EXPECT_NE(missing.startError, 0u);
}

TEST(ListRun, TheListGoesToStdoutAndEachFailureIsOneLineWithExitSeven) {
    ChildRun listed;
    listed.outcome = ChildRun::Exited;
    listed.output = "LPT1  ECP Printer Port  base 0x378   ranges 0378-037F\n";
    const CommandOutput ok = JudgeListRun(listed);
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(ok.out, listed.output);
    EXPECT_EQ(ok.err, "");

    ChildRun refused = listed;
    refused.exitCode = 7;
    refused.output = "Windows' configuration manager does not answer (error 0x13)";
    ChildRun crashed = listed;
    crashed.exitCode = 0x80000100;
    ChildRun hung;
    hung.outcome = ChildRun::TimedOut;
    ChildRun notStarted;
    notStarted.startError = ERROR_ACCESS_DENIED;
    const struct {
        const ChildRun& run;
        std::string err;
    } failures[] = {
        {refused, "Windows' configuration manager does not answer (error 0x13)\n"},
        {crashed, "asking Windows' device configuration ended PortCheck's second copy (code 0x80000100)\n"},
        {hung, "Windows' device configuration did not answer within 10 s\n"},
        // The system's own words for the error follow its number, in the PC's language.
        {notStarted, "PortCheck could not start its second copy, which asks Windows: " +
                         WindowsErrorText(ERROR_ACCESS_DENIED) + "\n"},
    };
    for (const auto& failure : failures) {
        const CommandOutput outcome = JudgeListRun(failure.run);
        EXPECT_EQ(outcome.exitCode, 7);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "PortCheck: cannot list the ports here: " + failure.err);
    }
}
