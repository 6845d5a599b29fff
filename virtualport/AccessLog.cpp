#include "AccessLog.h"

namespace vport {

namespace {

// One log entry in 32 bits: bit 26 intruder, bit 25 driver stopped, bit 24
// write, bits 8-23 port, bits 0-7 value.
uint32_t PackAccess(const Access& a) {
    return (a.intruder ? 1u << 26 : 0u) | (a.driverStopped ? 1u << 25 : 0u) |
           (a.write ? 1u << 24 : 0u) | uint32_t(a.port) << 8 | a.value;
}

Access UnpackAccess(uint32_t packed) {
    return Access{(packed >> 24 & 1) != 0, uint16_t(packed >> 8), uint8_t(packed),
                  (packed >> 25 & 1) != 0, (packed >> 26 & 1) != 0};
}

}  // namespace

void Record(SharedLayout& s, const Access& access) {
    s.log[s.totalAccesses % kLogCapacity] = PackAccess(access);
    ++s.totalAccesses;
}

void CopyLog(const SharedLayout& s, uint64_t from, uint64_t* first, std::vector<Access>* out) {
    const uint64_t total = s.totalAccesses;
    const uint64_t oldestKept = total > kLogCapacity ? total - kLogCapacity : 0;
    const uint64_t start = from > oldestKept ? from : oldestKept;
    for (uint64_t n = start; n < total; ++n)
        out->push_back(UnpackAccess(s.log[n % kLogCapacity]));
    if (first != nullptr) *first = start < total ? start : total;
}

}  // namespace vport
