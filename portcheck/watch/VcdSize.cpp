#include "VcdSize.h"

#include <cstdio>

#include "WatchText.h"

namespace portcheck {

SizeStop SizeLimit::Check(uint64_t fileBytes, bool freeKnown, uint64_t freeBytes) const {
    if (maxBytes > 0 && fileBytes >= maxBytes) return SizeStop::MaxSize;
    if (freeKnown && freeBytes < kDiskReserveBytes) return SizeStop::DiskFull;
    return SizeStop::None;
}

std::string MinuteText(uint64_t bytesInFirstSecond) {
    return "the VCD file grows about " + Megabytes(60.0 * static_cast<double>(bytesInFirstSecond)) +
           " a minute at the first second's rate";
}

std::string SizeStopText(SizeStop stop, const std::string& path, uint64_t maxBytes, double seconds) {
    char at[32];
    std::snprintf(at, sizeof at, "%.3f s", seconds);
    if (stop == SizeStop::MaxSize)
        return "the VCD file \"" + path + "\" reached --max-size " + Megabytes(static_cast<double>(maxBytes)) +
               ": the recording stopped at " + at + ", and the file is complete up to then";
    return "the disk of \"" + path + "\" is about to fill (less than " +
           Megabytes(static_cast<double>(kDiskReserveBytes)) + " free): the recording stopped at " + at +
           ", and the file is complete up to then";
}

}  // namespace portcheck
