#include "LineStats.h"

#include "WatchLines.h"

namespace portcheck {

LineStats::LineStats(const std::vector<const Pin*>& pins, uint32_t firstSample) {
    for (const Pin* pin : pins) {
        LineRecord line;
        line.pin = pin;
        line.high = PinHigh(firstSample, *pin);
        lines_.push_back(line);
    }
}

void LineStats::Change(uint32_t sample, int64_t ns, bool certain) {
    for (LineRecord& line : lines_) {
        const bool high = PinHigh(sample, *line.pin);
        if (high == line.high) continue;
        ++(high ? line.rising : line.falling);
        if (certain && line.lastEdgeNs >= 0) {
            int64_t& shortest = high ? line.shortestLowNs : line.shortestHighNs;  // the pulse that ended here
            const int64_t length = ns - line.lastEdgeNs;
            if (shortest < 0 || length < shortest) shortest = length;
        }
        line.lastEdgeNs = certain ? ns : -1;
        line.high = high;
    }
}

}  // namespace portcheck
