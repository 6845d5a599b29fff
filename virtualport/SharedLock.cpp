#include "SharedLock.h"

#include <windows.h>

namespace vport {

namespace {

bool ProcessHasEnded(DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) return GetLastError() != ERROR_ACCESS_DENIED;
    bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

}  // namespace

SharedLock::SharedLock(volatile LONG* word) : word_(word) {
    const LONG self = static_cast<LONG>(GetCurrentProcessId());
    const DWORD checkEveryMs = 50;
    DWORD lastCheck = 0;
    for (unsigned attempt = 0;; ++attempt) {
        LONG holder = InterlockedCompareExchange(word_, self, 0);
        if (holder == 0) return;
        if (attempt < 64) {
            YieldProcessor();
        } else if (attempt < 256) {
            SwitchToThread();
        } else {
            if (attempt == 256) lastCheck = GetTickCount();
            Sleep(1);
            DWORD now = GetTickCount();
            if (now - lastCheck >= checkEveryMs) {
                lastCheck = now;
                if (holder != self && ProcessHasEnded(static_cast<DWORD>(holder)) &&
                    InterlockedCompareExchange(word_, self, holder) == holder)
                    return;
            }
        }
    }
}

void SharedLock::ReleaseEnded(volatile LONG* word, LONG holder) {
    if (holder != 0) InterlockedCompareExchange(word, 0, holder);
}

SharedLock::~SharedLock() {
    InterlockedExchange(word_, 0);
}

}  // namespace vport
