// A lock shared by every process that maps the port state: a word in the
// mapping holding the holder's process id. It is held for a few register
// operations only, so waiters spin, then yield, then sleep. A process that
// dies holding it (killed mid-access) must not freeze the panel, so a long
// waiter checks that the holder still runs and takes the lock over if not.
#pragma once

#include "WinTypes.h"

namespace vport {

class SharedLock {
public:
    explicit SharedLock(volatile LONG* word);
    // Frees the lock if `holder`, a process known to have ended, still
    // holds it.
    static void ReleaseEnded(volatile LONG* word, LONG holder);
    ~SharedLock();
    SharedLock(const SharedLock&) = delete;
    SharedLock& operator=(const SharedLock&) = delete;

private:
    volatile LONG* word_;
};

}  // namespace vport
