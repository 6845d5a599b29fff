// --watch's VCD text, built from generated changes and blind intervals at
// a generated timescale and read back by the strict reader
// (tests/support/VcdReader.h), which shares no code with the writer. The
// text must be a VCD; it must declare a wire per watched pin by its name
// and one "blind", all starting at the first sample's levels; and it must give back every change of every wire in the
// order made, each at its time, or where two came within one time unit
// (or a time went back) at most one unit after the time before it, never
// earlier than it happened; times rise strictly, and end at the end given
// or just after the last change.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "VcdReader.h"
#include "VcdText.h"
#include "WatchLines.h"

using namespace portcheck;

namespace {

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "round trip: %s\n", what);
    std::abort();
}

// One value a wire takes, in the order the writer was told.
struct WireValue {
    size_t wire;  // index in the watched pins; the pins' count: blind
    bool high;
    int64_t ns;
};

// The timescales the writer chooses from, as the file names them.
const std::pair<int64_t, const char*> kUnits[] = {{1000, "1 us"}, {100, "100 ns"}, {10, "10 ns"}, {1, "1 ns"}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const WatchedLines lines = in.ConsumeBool() ? WatchedLines::All : WatchedLines::Inputs;
    const std::vector<const Pin*> pins = WatchedPins(lines);
    uint32_t sample = in.ConsumeIntegral<uint32_t>() & SampleMask(lines);
    const uint32_t first = sample;
    const auto& unit = kUnits[in.ConsumeIntegralInRange<size_t>(0, 3)];

    VcdText writer;
    writer.Begin(pins, sample, "fuzzed", unit.first);
    std::vector<WireValue> made;
    int64_t now = 0;
    while (in.remaining_bytes() > 0 && made.size() < 4000) {
        now += in.ConsumeIntegralInRange<int64_t>(-2000, 2000000);  // within one unit, or even before, at times
        if (in.ConsumeIntegralInRange(0, 6) == 6) {
            const int64_t end = now + in.ConsumeIntegralInRange<int64_t>(0, 500000);
            writer.Blind(now, end);
            made.push_back({pins.size(), true, now});
            made.push_back({pins.size(), false, end});
            now = end;
        } else {
            const uint32_t after = (sample ^ in.ConsumeIntegral<uint32_t>()) & SampleMask(lines);
            writer.Change(now, sample, after);
            for (size_t wire = 0; wire < pins.size(); ++wire)
                if ((sample ^ after) & SampleBit(*pins[wire])) made.push_back({wire, PinHigh(after, *pins[wire]), now});
            sample = after;
        }
    }
    const int64_t end = now + in.ConsumeIntegralInRange<int64_t>(0, 10000);
    writer.End(end, "closed");

    vcd::Dump dump;
    std::string error;
    if (!vcd::ReadVcd(writer.pending(), &dump, &error)) {
        std::fprintf(stderr, "round trip: not a VCD: %s\n", error.c_str());
        std::abort();
    }
    Check(dump.timescale == unit.second, "the timescale asked for");
    const int64_t unitNs = unit.first;

    // The wires: one per pin by its name, then "blind"; codes all different.
    Check(dump.variables.size() == pins.size() + 1, "a wire per watched pin and one blind");
    std::set<std::string> codes;
    for (size_t wire = 0; wire <= pins.size(); ++wire) {
        const vcd::Variable& v = dump.variables[wire];
        Check(v.size == 1 && v.reference == (wire < pins.size() ? WireName(*pins[wire]) : "blind"), "wire names");
        codes.insert(v.code);
    }
    Check(codes.size() == dump.variables.size(), "a code per wire");
    auto wireOf = [&](const std::string& code) {
        for (size_t wire = 0; wire < dump.variables.size(); ++wire)
            if (dump.variables[wire].code == code) return wire;
        return dump.variables.size();
    };

    // The levels at 0: the first sample's, not blind.
    Check(dump.changes.size() >= dump.variables.size(), "the levels at the start");
    for (size_t wire = 0; wire < dump.variables.size(); ++wire) {
        const vcd::Change& start = dump.changes[wire];
        const bool high = wire < pins.size() && PinHigh(first, *pins[wire]);
        Check(start.time == 0 && wireOf(start.code) == wire && start.value == (high ? "1" : "0"), "levels at 0");
    }

    // Every change, in order, at its time or just after the time before.
    Check(dump.changes.size() == dump.variables.size() + made.size(), "every change, and nothing else");
    int64_t before = 0;
    std::vector<int64_t> lastOfWire(dump.variables.size(), 0);  // their levels at 0
    for (size_t n = 0; n < made.size(); ++n) {
        const vcd::Change& read = dump.changes[dump.variables.size() + n];
        const WireValue& m = made[n];
        Check(wireOf(read.code) == m.wire && read.value == (m.high ? "1" : "0"), "the same wire and level");
        const int64_t at = std::max<int64_t>(m.ns / unitNs, 0);
        Check(read.time >= at, "a change no earlier than it happened");
        Check(read.time <= std::max(at, before) + 1, "a change at most one unit after the time before");
        Check(read.time > lastOfWire[m.wire], "no wire changes twice at one time");
        lastOfWire[m.wire] = read.time;
        before = read.time;
    }
    for (size_t n = 1; n < dump.times.size(); ++n) Check(dump.times[n] > dump.times[n - 1], "times rise strictly");
    Check(dump.times.back() == (end / unitNs > before ? end / unitNs : before + 1), "the end, after every change");
    Check(!dump.comments.empty() && dump.comments.back() == "closed", "the closing comment");
    return 0;
}
