#include "StopRequest.h"

#include <windows.h>

#include <atomic>

namespace portcheck {

namespace {

std::atomic<bool> g_requested{false};
HANDLE g_restored = nullptr;  // manual-reset event, set once the port is back

// The handler as the console calls it, on a thread of its own.
BOOL WINAPI OnConsoleControl(DWORD event) { return StopRequest::OnConsoleEvent(event) ? TRUE : FALSE; }

}  // namespace

void StopRequest::Install() {
    if (!g_restored) g_restored = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

void StopRequest::Uninstall() { SetConsoleCtrlHandler(OnConsoleControl, FALSE); }

bool StopRequest::Requested() { return g_requested.load(); }

void StopRequest::PortRestored() {
    if (g_restored) SetEvent(g_restored);
}

bool StopRequest::OnConsoleEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        break;
    default:
        return false;
    }
    g_requested.store(true);
    // Bounded: should the port library hang, the process must still end.
    if (g_restored) WaitForSingleObject(g_restored, kRestoreWaitMs);
    return true;
}

}  // namespace portcheck
