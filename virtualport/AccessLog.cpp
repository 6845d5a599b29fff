#include "AccessLog.h"

namespace vport {

namespace {

Access UnpackAccess(uint32_t packed) {
    return Access{(packed >> 24 & 1) != 0, uint16_t(packed >> 8), uint8_t(packed),
                  (packed >> 25 & 1) != 0, (packed >> 26 & 1) != 0};
}

}  // namespace

void CopyLog(const SharedLayout& s, uint64_t from, uint64_t* first, std::vector<Access>* out) {
    const uint64_t total = s.totalAccesses;
    const uint64_t oldestKept = total > kLogCapacity ? total - kLogCapacity : 0;
    const uint64_t start = from > oldestKept ? from : oldestKept;
    for (uint64_t n = start; n < total; ++n)
        out->push_back(UnpackAccess(s.log[n % kLogCapacity]));
    if (first != nullptr) *first = start < total ? start : total;
}

}  // namespace vport
