// The resource list of Windows' resource map, as the registry hands it over:
// whatever the bytes, the reading stays inside them, refuses without
// touching the caller's ranges, and gives only ranges an x86 I/O address can
// hold. What follows a sound list is not part of it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ResourceList.h"

using portcheck::IoRange;
using portcheck::IoRangesInResourceList;

namespace {

constexpr size_t kPartialDescriptorBytes = 20;

void Check(bool holds) {
    if (!holds) std::abort();
}

// The ranges read; a refusal must leave the caller's as they were.
std::vector<IoRange> Read(const uint8_t* data, size_t size, bool* sound) {
    const IoRange sentinel{0x1234, 1};
    std::vector<IoRange> ranges = {sentinel};
    *sound = IoRangesInResourceList(data, size, &ranges);
    if (!*sound) Check(ranges.size() == 1 && ranges[0].start == sentinel.start && ranges[0].length == sentinel.length);
    return ranges;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bool sound = false;
    const std::vector<IoRange> ranges = Read(data, size, &sound);
    if (!sound) return 0;
    Check(size >= 4);
    Check(ranges.size() <= (size - 4) / kPartialDescriptorBytes);
    for (const IoRange& range : ranges)
        Check(range.length != 0 && range.start <= 0xFFFF && range.start + range.length - 1 <= 0xFFFF);

    std::vector<uint8_t> longer(data, data + size);
    longer.insert(longer.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00});
    bool stillSound = false;
    const std::vector<IoRange> again = Read(longer.data(), longer.size(), &stillSound);
    Check(stillSound && again.size() == ranges.size());
    for (size_t i = 0; i < ranges.size(); ++i)
        Check(again[i].start == ranges[i].start && again[i].length == ranges[i].length);
    return 0;
}
