// The recording loop: samples the port as fast as it answers, compares
// each sample with the one before, and reads the counter only at a change
// or once a stride of samples (SampleTiming). Changes and blind intervals
// go to the event queue; nothing is allocated, nothing is called through a
// pointer but the port library itself.
#pragma once

#include <cstdint>

#include "EventQueue.h"
#include "SampleTiming.h"

namespace portcheck {

struct RecordStart {
    uint32_t sample = 0;  // the first sample, masked
    int64_t tick = 0;     // when it was read
    uint32_t mask = 0;    // the watched lines' bits
    uint32_t stride = 1;  // samples between counter reads when nothing changes
    int64_t endTick = INT64_MAX;  // stop at this counter value (--for)
};

// `readSample()` gives a sample, `readCounter()` the counter; `stop()` is
// asked at each counter read. Returns the counter at the end.
template <class ReadSample, class ReadCounter, class Stop>
int64_t Record(ReadSample& readSample, ReadCounter& readCounter, Stop& stop, const RecordStart& start,
               SampleTiming& timing, EventQueue& queue) {
    uint32_t last = start.sample;
    int64_t lastTick = start.tick;
    uint32_t samples = 0;
    bool lastBlind = false;
    for (;;) {
        const uint32_t sample = readSample() & start.mask;
        ++samples;
        if (sample == last && samples < start.stride) continue;
        const int64_t tick = readCounter();
        const bool blind = timing.Block(lastTick, tick, samples);
        if (blind) queue.Push({tick, lastTick, 0, WatchEvent::Blind});
        // The last sample of a blind block may have been read before its
        // gap: a change in the first sample after it came somewhere in the gap.
        const bool uncertain = blind || (lastBlind && samples == 1);
        if (sample != last) queue.Push({tick, lastTick, sample, uncertain ? WatchEvent::UncertainChange : WatchEvent::Change});
        lastBlind = blind;
        last = sample;
        lastTick = tick;
        samples = 0;
        if (tick >= start.endTick || stop()) return tick;
    }
}

}  // namespace portcheck
