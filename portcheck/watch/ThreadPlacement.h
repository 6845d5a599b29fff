// Where the recording's threads run. The recording loop stays on one
// processor: on PCs whose processors' time-stamp counters differ, a thread
// moving between them can see the performance counter go backwards. It
// runs above normal priority only where there is another processor for
// the rest; on a single processor it shares at normal priority, or the
// watched program would starve. The writer runs above the loop either
// way: it sleeps most of the time, and must never wait for the loop.
#pragma once

#include <cstdint>

namespace portcheck {

struct ThreadPlacement {
    uint64_t recorderProcessor = 0;  // an affinity mask of one processor; 0: unknown
    int recorderPriority = 0;        // Windows' THREAD_PRIORITY_ numbers: 0 normal,
    int writerPriority = 0;          // 1 above normal, 2 highest
};

// For a process that may run on the processors of `processMask`: the
// highest of them for the loop (the first takes most of the interrupts).
inline ThreadPlacement PlaceThreads(uint64_t processMask) {
    ThreadPlacement placement;
    int processors = 0;
    for (uint64_t bit = 1; bit != 0; bit <<= 1) {
        if (!(processMask & bit)) continue;
        ++processors;
        placement.recorderProcessor = bit;
    }
    placement.recorderPriority = processors > 1 ? 1 : 0;
    placement.writerPriority = placement.recorderPriority + 1;
    return placement;
}

}  // namespace portcheck
