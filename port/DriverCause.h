// The likeliest reason the port library can't reach the port, from the facts
// Windows gave, and what to do about it.
//
// The precedence, first match wins:
//  1. The library didn't load: an error Windows gave for a file it found
//     (193 wrong bitness, 126 a DLL it needs, 225 antivirus, 1260 a policy,
//     4580/4581 Smart App Control's reputation verdicts, 4550-4559
//     application control, any other) before "only in the 64-bit system
//     folder", before "not found".
//  2. The library lacks "Inp32" or "Out32".
//  3. Windows on ARM, where no x64 driver loads: unless the library says
//     its driver is open, or the port answered.
//  4. Bound: working only after a check, the library's own
//     (IsInpOutDriverOpen) or the port's (its data latch holds what was
//     written); a port that reads 0 everywhere and holds nothing is a copy
//     without IsInpOutDriverOpen whose driver does not run; unchecked, that
//     is what can't be told.
//  5. The driver not running, with evidence that Windows refused it: a
//     start that failed with 577 or 1275, or a Code Integrity event naming
//     its file. The protection named is the first on of memory integrity
//     (running), Smart App Control and the vulnerable driver blocklist;
//     with none on, the refusal itself. A protection that is merely on is
//     no evidence: the blocklist blocks only the drivers on its list, memory
//     integrity only those it finds incompatible, and switched on it refuses
//     nothing until it runs.
//  6. The install state: not installed; its file missing; disabled (start
//     4); running now (the library found it stopped); then memory integrity
//     running with a start that failed is evidence too; a boot or system
//     start driver the kernel did not load; a start that failed; stopped,
//     with nothing that tried to start it.
//  7. Anything else: unknown, and where Windows records why.
// An elevated process is never told to run as administrator, and the
// protections that are on, without evidence, follow the install state in a
// line of their own (CauseText::ifRefused).
#pragma once

#include <string>
#include <utility>

#include "DriverFacts.h"

enum class DriverCause {
    Working,
    LibraryNotFound,
    LibraryInWrongFolder,
    LibraryWrongBitness,  // 193
    LibraryNeedsDll,      // 126
    LibraryVirus,         // 225
    LibraryPolicy,        // 1260: AppLocker or a Software Restriction Policy
    LibraryReputation,    // 4580/4581: Smart App Control
    LibraryBlocked,       // 4550-4559: application control
    LibraryLoadError,
    LibraryIncomplete,
    ArmWindows,
    OldLibrary,           // proven by the port
    OldLibraryUnproven,
    MemoryIntegrity,      // each protection: only with evidence
    SmartAppControl,
    Blocklist,
    StartRefused,         // evidence, and no protection known to be on
    NotInstalled,
    NotInstalledElevated,
    DriverFileMissing,
    Disabled,
    RunningNow,           // started after the library loaded
    NotLoadedAtBoot,      // boot or system start
    StartFailed,
    InstalledNotStarted,  // not elevated
    NotStartedElevated,
    Unknown,
};

DriverCause Diagnose(const DriverFacts& facts);

// Whether, for this cause, the library and its driver reach the port.
bool Reaches(DriverCause cause);

// The cause in one sentence, what to do in one more (empty when nothing is
// to be done), and, where the install state is the cause, the protections
// that are on as the next thing to look at (empty when none is); each
// without a line feed.
struct CauseText {
    CauseText(std::string cause, std::string action, std::string ifRefused = "")
        : cause(std::move(cause)), action(std::move(action)), ifRefused(std::move(ifRefused)) {}
    std::string cause;
    std::string action;
    std::string ifRefused;
};
CauseText TextOf(DriverCause cause, const DriverFacts& facts);
