// The layout of the port state in the shared file mapping. Every process
// that opens the port maps this same block, so its layout is versioned:
// a process finding another version leaves it alone.
#pragma once

#include <cstdint>

namespace vport {

inline constexpr uint32_t kSharedMagic = 0x54505654;  // "TVPT"
inline constexpr uint32_t kSharedVersion = 2;
inline constexpr uint32_t kLogCapacity = 65536;

struct SharedLayout {
    // magic, version and lockOwner stay first in every version, so that a
    // process can tell a foreign block without touching the rest.
    uint32_t magic;
    uint32_t version;
    // Process id of the lock's holder, 0 when free (see SharedLock).
    volatile long lockOwner;
    uint32_t size;

    uint8_t data;
    uint8_t control;
    uint8_t statusForced;
    uint8_t forcedStatus;
    uint32_t wiring;
    uint32_t pulledLow;  // bit n: input pin n pulled low

    uint32_t armedReads;  // reads left before the armed change; 0: none armed
    uint32_t armedOffset;
    uint32_t armedValue;

    // Non-zero: the library's kernel driver is not running, as before the
    // library has been run once as administrator (see PortState).
    uint32_t driverStopped;

    uint64_t totalAccesses;
    // Ring of packed accesses (see PackAccess), oldest overwritten first.
    uint32_t log[kLogCapacity];
};

}  // namespace vport
