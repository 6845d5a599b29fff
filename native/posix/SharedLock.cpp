// The port state's lock on a POSIX system, for the native build: the same
// word holding the holder's process id, taken over from a holder that has
// ended.
#include "SharedLock.h"

#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace vport {

namespace {

bool Swap(volatile LONG* word, LONG expected, LONG desired) {
    return __atomic_compare_exchange_n(word, &expected, desired, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED);
}

bool ProcessHasEnded(LONG pid) { return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

}  // namespace

SharedLock::SharedLock(volatile LONG* word) : word_(word) {
    static const LONG self = static_cast<LONG>(getpid());
    for (unsigned attempt = 0;; ++attempt) {
        if (Swap(word_, 0, self)) return;
        if (attempt < 64) continue;
        if (attempt < 256) {
            sched_yield();
            continue;
        }
        usleep(1000);
        const LONG holder = __atomic_load_n(word_, __ATOMIC_RELAXED);
        if (holder != 0 && holder != self && ProcessHasEnded(holder) && Swap(word_, holder, self)) return;
    }
}

void SharedLock::ReleaseEnded(volatile LONG* word, LONG holder) {
    if (holder != 0) Swap(word, holder, 0);
}

SharedLock::~SharedLock() { __atomic_store_n(word_, 0, __ATOMIC_RELEASE); }

}  // namespace vport
