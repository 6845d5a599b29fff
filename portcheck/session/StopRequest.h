// Ctrl+C, Ctrl+Break and closing the console stop PortCheck between two
// patterns rather than in the middle, so that the port is put back as it
// was. The console runs its handler on a thread of its own: the handler only
// raises a flag, which the test loop checks, and then waits (a few seconds
// at most) until the loop reports the port restored, because for a closing
// console the process ends as soon as the handler returns.
#pragma once

#include "WinTypes.h"

namespace portcheck {

class StopRequest {
public:
    // Installs the console handler; call it once, before the port is touched.
    static void Install();
    // Whether a stop was asked for. Safe on any thread.
    static bool Requested();
    // The port is back as found (or was never touched): a waiting handler
    // may return.
    static void PortRestored();

    // Takes the console handler out again.
    static void Uninstall();
    // What the console handler does with `event` (CTRL_C_EVENT, ...): for a
    // stop, raises the flag and waits for PortRestored, then true; false
    // for an event left to others.
    static bool OnConsoleEvent(DWORD event);

    static constexpr DWORD kRestoreWaitMs = 3000;
};

}  // namespace portcheck
