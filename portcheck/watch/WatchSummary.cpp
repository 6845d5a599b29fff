#include "WatchSummary.h"

#include <cstdio>

#include "WatchText.h"

namespace portcheck {

namespace {

std::string Pulse(int64_t ns) { return ns < 0 ? "-" : Micros(static_cast<double>(ns)); }

}  // namespace

std::string BlindText(const BlindTally& blind) {
    return "blind intervals: " +
           (blind.count == 0 ? std::string("none")
                             : Grouped(blind.count) + ", the longest " + Micros(blind.longestNs) + ", " +
                                   Micros(blind.totalNs) + " in all");
}

std::string WatchSummary(const WatchTotals& t, const std::vector<LineRecord>& lines, const std::string& leftOut) {
    char head[64];
    std::snprintf(head, sizeof head, "Recorded %.3f s: ", t.seconds);
    const uint64_t rate = t.seconds > 0 ? static_cast<uint64_t>(t.samples / t.seconds + 0.5) : 0;
    std::string text = head + Grouped(t.samples) + " samples, " + Grouped(rate) + " a second\n";
    text += "  between samples: median " + Micros(t.medianNs) + ", longest " + Micros(t.longestNs) + "\n";
    text += "  " + BlindRuleText(t.rule) + "\n";
    text += "  " + BlindText(t.blind) + "\n";
    text += "  pin  signal       rising  falling  shortest high  shortest low  at the end\n";
    for (const LineRecord& line : lines) {
        char row[128];
        std::snprintf(row, sizeof row, "  %3d  %-10s  %7s  %7s  %13s  %12s  %s\n", line.pin->number, line.pin->signal,
                      Grouped(line.rising).c_str(), Grouped(line.falling).c_str(), Pulse(line.shortestHighNs).c_str(),
                      Pulse(line.shortestLowNs).c_str(), line.high ? "high" : "low");
        text += row;
    }
    return text + leftOut;
}

bool ReadZeroThroughout(const std::vector<LineRecord>& lines) {
    for (const LineRecord& line : lines)
        if (line.rising || line.falling || line.high != line.pin->inverted) return false;
    return true;
}

}  // namespace portcheck
