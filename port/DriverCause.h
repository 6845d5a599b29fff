// The likeliest reason the port library can't reach the port, from the facts
// Windows gave, and what to do about it.
//
// The precedence, first match wins:
//  1. The library didn't load: an error Windows gave for a file it found
//     (193 wrong bitness, 126 a DLL it needs, 225 antivirus, 4550-4559
//     application control, any other) before "only in the 64-bit system
//     folder", before "not found".
//  2. The library lacks "Inp32" or "Out32".
//  3. Bound, without "IsInpOutDriverOpen", on 64-bit Windows: an old version,
//     proven where the port read 0 everywhere and its latch held nothing.
//  4. Bound and working: nothing to do.
//  5. The driver not running: a protection that refuses it even to an
//     administrator (memory integrity, Smart App Control, the vulnerable
//     driver blocklist, in that order), or else a start Windows refused
//     (577, 1275), comes first: every other fix is futile while it holds.
//  6. Installed, with its file missing.
//  7. Installed, and this run elevated: the library has just started it.
//  8. Installed and stopped, not elevated: an administrator's run starts it.
//  9. Not installed, not elevated: an administrator's run installs it.
// 10. Anything else: unknown, and where Windows records why.
// An elevated process is never told to run as administrator (7 and 10 come
// before anything that would).
#pragma once

#include <string>

#include "DriverFacts.h"

enum class DriverCause {
    Working,
    WorkingUnreported,    // no IsInpOutDriverOpen, on 32-bit Windows
    LibraryNotFound,
    LibraryInWrongFolder,
    LibraryWrongBitness,  // 193
    LibraryNeedsDll,      // 126
    LibraryVirus,         // 225
    LibraryBlocked,       // application control
    LibraryLoadError,
    LibraryIncomplete,
    OldLibrary,           // proven by the port
    OldLibraryUnproven,
    MemoryIntegrity,
    SmartAppControl,
    Blocklist,
    StartRefused,
    DriverFileMissing,
    StartedJustNow,
    InstalledNotStarted,
    NotInstalled,
    Unknown,
};

DriverCause Diagnose(const DriverFacts& facts);

// Whether, for this cause, the library and its driver reach the port.
bool Reaches(DriverCause cause);

// The cause in one sentence, and what to do in one more (empty when nothing
// is to be done); each without a line feed.
struct CauseText {
    std::string cause;
    std::string action;
};
CauseText TextOf(DriverCause cause, const DriverFacts& facts);
