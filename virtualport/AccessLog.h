// The access log in the shared block: a ring of packed accesses, numbered
// from the last clear. Called with the port's lock held.
#pragma once

#include <cstdint>
#include <vector>

#include "PortState.h"
#include "SharedLayout.h"

namespace vport {

// One log entry in 32 bits: bit 26 intruder, bit 25 driver stopped, bit 24
// write, bits 8-23 port, bits 0-7 value.
inline uint32_t PackAccess(const Access& a) {
    return (a.intruder ? 1u << 26 : 0u) | (a.driverStopped ? 1u << 25 : 0u) |
           (a.write ? 1u << 24 : 0u) | uint32_t(a.port) << 8 | a.value;
}

// Inline: every access of the port records itself.
inline void Record(SharedLayout& s, const Access& access) {
    s.log[s.totalAccesses % kLogCapacity] = PackAccess(access);
    ++s.totalAccesses;
}

// Appends the retained accesses numbered `from` on to *out; *first (when
// given) gets the number of the first one appended.
void CopyLog(const SharedLayout& s, uint64_t from, uint64_t* first, std::vector<Access>* out);

}  // namespace vport
