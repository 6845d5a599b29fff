// The recording's events made into what the user gets: the live lines, the
// VCD's text and the per-line record. The same events give all three, so
// the summary's edges are the VCD's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EventQueue.h"
#include "LineStats.h"
#include "LiveOutput.h"
#include "SampleTiming.h"
#include "VcdText.h"
#include "WatchText.h"

namespace portcheck {

class EventWriter {
public:
    // `vcd` may be null: no file.
    EventWriter(const std::vector<const Pin*>& pins, uint32_t firstSample, const BlindRule& rule,
                const TickScale& scale, VcdText* vcd);

    // The live levels at the start; the VCD's header, with `what` was recorded where.
    std::string Begin(const std::string& what, int64_t unitNs);
    // The live text of one event.
    std::string Take(const WatchEvent& event);
    // The live text due at `tick` (a second's count).
    std::string Reached(int64_t tick) { return live_.Reached(scale_.Ns(tick)); }
    // The end at `tick`: the live text left, and the VCD's end with `tally`.
    std::string End(int64_t tick, const std::string& tally);

    const std::vector<LineRecord>& lines() const { return stats_.lines(); }
    uint64_t changes() const { return changes_; }

private:
    std::vector<const Pin*> pins_;
    BlindRule rule_;
    TickScale scale_;
    VcdText* vcd_;
    LiveOutput live_;
    LineStats stats_;
    uint32_t last_;
    uint64_t changes_ = 0;
};

}  // namespace portcheck
