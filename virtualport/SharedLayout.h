// The layout of the port state in the shared file mapping. Every process
// that opens the port maps this same block, and the block is kept in a file
// between runs, so its layout is versioned: a process finding another
// version leaves it alone.
#pragma once

#include <cstddef>
#include <cstdint>

#include "SerialPort.h"
#include "Settings.h"
#include "WinTypes.h"

namespace vport {

inline constexpr uint32_t kSharedMagic = 0x54505654;  // "TVPT"
// The layout's own number, and the settings it holds (each is a word of
// `settings`): a new setting makes another version.
inline constexpr uint32_t kSharedVersion = 7 * 100 + kSettingCount;
inline constexpr uint32_t kLogCapacity = 65536;
inline constexpr uint32_t kFifoSize = 16;
inline constexpr int kInputCount = 5;
inline constexpr uint32_t kMaxUartText = 64;

struct SharedLayout {
    // magic, version and lockOwner stay first in every version, so that a
    // process can tell a foreign block without touching the rest.
    uint32_t magic;
    uint32_t version;
    // Process id of the lock's holder, 0 when free (see SharedLock).
    volatile LONG lockOwner;
    uint32_t size;

    // The output latches and the outside world.
    uint8_t data;
    uint8_t control;
    uint8_t statusForced;
    uint8_t forcedStatus;
    uint32_t pulledLow;  // bit n: pin n held low (inputs, and data pins 2-9)

    uint32_t armedReads;  // reads left before the armed change; 0: none armed
    uint32_t armedOffset;
    uint32_t armedValue;

    // The chip: its kind, where it answers, its extended registers.
    uint16_t base;
    uint16_t extendedBase;  // used when extendedAuto is 0
    uint8_t chip;           // a Chip
    uint8_t extendedAuto;   // non-zero: the extended block is at base + 0x400
    uint8_t ecr;            // bits 7-2 as last written; bits 1-0 are computed
    uint8_t fifoCount;
    uint8_t fifoHead;
    uint8_t lockedUp;       // fragile-ecr after a write of ECR bit 2
    uint8_t eppTimeout;
    uint8_t statusReadsInRow;
    uint8_t settling;       // bit i: input kInputPins[i] still shows settleOld's level
    uint8_t settleOld;
    uint8_t reserved1[2];

    // The lines: settling time, loose contacts.
    uint32_t settleMicros;
    uint32_t statusReads;           // counted while any pin is loose
    uint32_t looseEvery[kInputCount];  // per input pin: every K-th status read low; 0: firm

    // Another program polling the port (see Intruder.h).
    uint32_t intruderPeriodMs;  // 0: off
    uint8_t intruderHolding;
    uint8_t intruderSavedData;
    uint8_t intruderSavedControl;
    uint8_t reserved2;

    uint8_t fifo[kFifoSize];

    // Times in microseconds of the performance counter, which processes share.
    int64_t intruderStart;
    int64_t intruderPeriod;     // the latest period the intruder has acted in; -1: none yet
    int64_t intruderHoldEnd;
    int64_t settleSince[kInputCount];

    // The quirks of real chips and of what sits beside them (see ChipQuirks.h).
    uint32_t serviceInterrupts;  // ECR bit 2 written as 0: each arms the chip's interrupt (or DMA)
    uint32_t strobesSent;        // bytes a FIFO mode sent to the pins with a strobe
    uint8_t fifoHeld;            // non-zero: the peripheral holds the FIFO's transfer up
    uint8_t settleRisingOnly;    // non-zero: only rising inputs take the settling time
    uint8_t reserved3[14];

    uint64_t totalAccesses;

    // Signals fed into pins from outside (see SignalGenerator.h).
    int64_t pulseStart;  // nanoseconds on the same clock: edges fall anywhere, not on whole microseconds
    int64_t uartStart;
    uint32_t pulsePeriodMicros;
    uint32_t pulseWidthMicros;
    uint32_t uartBaud;
    uint8_t pulsePin;    // 0: no pulse
    uint8_t uartPin;     // 0: no UART line
    uint8_t uartLength;
    uint8_t reserved4;
    char uartText[kMaxUartText];

    // A serial port at addresses of its own (see SerialPort.h).
    SerialRegisters serial;

    // The settings of Settings.h, by SettingId.
    uint32_t settings[kSettingCount];

    // Ring of packed accesses (see AccessLog), oldest overwritten first.
    uint32_t log[kLogCapacity];
};

// 32-bit and 64-bit processes share one block (a native console beside an
// emulated panel), so the layout has the same offsets in both builds.
static_assert(offsetof(SharedLayout, intruderStart) == 104, "64-bit times on an 8-byte boundary");
static_assert(offsetof(SharedLayout, totalAccesses) == 192, "64-bit counter on an 8-byte boundary");
static_assert(offsetof(SharedLayout, pulseStart) == 200, "64-bit times on an 8-byte boundary");
static_assert(offsetof(SharedLayout, settings) == 336, "the settings after the signals and the serial port");
static_assert(sizeof(SharedLayout) == (336 + 4 * (kSettingCount + kLogCapacity) + 7) / 8 * 8,
              "no padding that differs between builds");

inline uint32_t SettingOf(const SharedLayout& s, SettingId id) { return s.settings[static_cast<int>(id)]; }

}  // namespace vport
