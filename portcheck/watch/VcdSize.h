// How big the VCD file may grow. A signal of 10 kHz writes some 30 MB a
// minute, and --for allows a week: so the run says before it records how
// much is free, after its first second how much a minute takes at that
// rate, and stops, with the file complete, at --max-size or when the disk
// is about to fill.
#pragma once

#include <cstdint>
#include <string>

namespace portcheck {

// Less free than this on the file's disk stops the recording: Windows and
// other programs need room too.
constexpr uint64_t kDiskReserveBytes = 64ull * 1000 * 1000;

enum class SizeStop { None, MaxSize, DiskFull };

struct SizeLimit {
    uint64_t maxBytes = 0;  // 0: none
    // `fileBytes` written or about to be; `freeBytes` on the disk, when known.
    SizeStop Check(uint64_t fileBytes, bool freeKnown, uint64_t freeBytes) const;
};

// "the VCD file grows about 31.6 MB a minute at the first second's rate".
std::string MinuteText(uint64_t bytesInFirstSecond);
// Why the recording stopped at `seconds`, for `path`.
std::string SizeStopText(SizeStop stop, const std::string& path, uint64_t maxBytes, double seconds);

}  // namespace portcheck
