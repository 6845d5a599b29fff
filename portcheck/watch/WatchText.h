// Numbers and times as --watch writes them.
#pragma once

#include <cstdint>
#include <string>

namespace portcheck {

// 1234567 as "1,234,567".
std::string Grouped(uint64_t value);
// A time given in nanoseconds, in microseconds: "0.081 us" below 10 us,
// "500.0 us" below 10 ms, "12,345 us" from there.
std::string Micros(double nanoseconds);

// A file's size: "31.6 MB", "12.3 GB" from 10 GB.
std::string Megabytes(double bytes);

// Counter ticks since the start of the recording as nanoseconds.
class TickScale {
public:
    TickScale(int64_t frequency, int64_t startTick) : frequency_(frequency), start_(startTick) {}
    int64_t Ns(int64_t tick) const;
    int64_t Micros(int64_t tick) const { return Ns(tick) / 1000; }
    double NsPerTick() const { return 1e9 / static_cast<double>(frequency_); }
    int64_t TicksIn(double seconds) const { return static_cast<int64_t>(seconds * static_cast<double>(frequency_)); }
    int64_t start() const { return start_; }

private:
    int64_t frequency_;
    int64_t start_;
};

}  // namespace portcheck
