#include "WatchText.h"

#include <cstdio>

namespace portcheck {

std::string Grouped(uint64_t value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

std::string Micros(double nanoseconds) {
    const double micros = nanoseconds / 1000;
    if (micros >= 10000) return Grouped(static_cast<uint64_t>(micros + 0.5)) + " us";
    char text[32];
    std::snprintf(text, sizeof text, micros < 10 ? "%.3f us" : "%.1f us", micros);
    return text;
}

std::string Megabytes(double bytes) {
    char text[32];
    const double mb = bytes / 1e6;
    if (mb >= 10000)
        std::snprintf(text, sizeof text, "%.1f GB", mb / 1000);
    else
        std::snprintf(text, sizeof text, "%.1f MB", mb);
    return text;
}

int64_t TickScale::Ns(int64_t tick) const {
    const int64_t ticks = tick - start_;
    // In two steps, so that hours of a fast counter don't overflow.
    return ticks / frequency_ * 1000000000 + ticks % frequency_ * 1000000000 / frequency_;
}

}  // namespace portcheck
