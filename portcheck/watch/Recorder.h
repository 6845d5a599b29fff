// The recording loop: samples the port as fast as it answers, compares
// each sample with the one before, and reads the counter only at a change
// or once a stride of samples (SampleTiming). Changes and blind intervals
// go to the event queue; nothing is allocated, nothing is called through a
// pointer but the port library itself. Should the writer fall so far
// behind that the queue is full, the loop waits for room, asking whether to
// stop as it waits: the wait is in the next block, which is blind.
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

struct NoIdle {
    void operator()() const {}
};

// `readSample()` gives a sample, `readCounter()` the counter; `stop()` is
// asked at each counter read and while the queue is full, `idle()` called
// between those asks. Returns the counter at the end.
template <class ReadSample, class ReadCounter, class Stop, class Idle = NoIdle>
int64_t Record(ReadSample& readSample, ReadCounter& readCounter, Stop& stop, const RecordStart& start,
               SampleTiming& timing, EventQueue& queue, Idle idle = Idle()) {
    // False: stopped while the queue was full.
    auto push = [&](const WatchEvent& event) {
        while (!queue.TryPush(event)) {
            if (stop()) return false;
            idle();
        }
        return true;
    };
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
        if (blind && !push({tick, lastTick, 0, WatchEvent::Blind})) return lastTick;
        // The last sample of a blind block may have been read before its
        // gap: a change in the first sample after it came somewhere in the gap.
        const bool uncertain = blind || (lastBlind && samples == 1);
        if (sample != last &&
            !push({tick, lastTick, sample, uncertain ? WatchEvent::UncertainChange : WatchEvent::Change}))
            return lastTick;
        lastBlind = blind;
        last = sample;
        lastTick = tick;
        samples = 0;
        if (tick >= start.endTick || stop()) return tick;
    }
}

}  // namespace portcheck
