// The parallel port's registers as PortCheck handles them: offsets from the
// base, the control and status bits it looks after itself, and the extended
// control register (ECR) of ECP ports. The pins themselves are in the table
// of pins.
#pragma once

#include <cstdint>

#include "EcrModes.h"
#include "ParallelPins.h"

namespace portcheck {

// The two registers PortCheck writes, as found, written or read back.
struct Registers {
    uint8_t data = 0;
    uint8_t control = 0;
};

constexpr int kDataOffset = static_cast<int>(Register::Data);
constexpr int kStatusOffset = static_cast<int>(Register::Status);
constexpr int kControlOffset = static_cast<int>(Register::Control);

// Bits 0-3: /STROBE, /AUTOFEED, /INIT, /SELECT IN.
constexpr uint8_t kControlLines = PinAt(1).mask | PinAt(14).mask | PinAt(16).mask | PinAt(17).mask;
constexpr uint8_t kControlAutofeed = PinAt(14).mask;
constexpr uint8_t kControlInterrupt = 0x10;  // bit 4: an interrupt on each rising edge of /ACK
constexpr uint8_t kControlDirection = 0x20;  // bit 5: the data pins are inputs (bidirectional ports)

constexpr uint8_t kStatusEppTimeout = 0x01;  // bit 0 on EPP-capable chips; undefined on others

// The extended block's third register is its ECR (the block's start:
// EcrModes.h).
constexpr int kEcrInBlock = 2;

constexpr int kEcrModeShift = 5;            // bits 7-5: the mode
constexpr uint8_t kEcrModeBits = 0xE0;
constexpr uint8_t kEcrService = 0x04;       // bit 2: 1 = DMA and service interrupts off; the chip sets it itself
constexpr uint8_t kEcrChipBits = 0x1C;      // bits 4-2: the chip's, written back as found
constexpr uint8_t kEcrDmaEnable = 0x08;     // bit 3
constexpr uint8_t kEcrOxfordLowBits = 0x01; // bits 4-0 on Oxford Semiconductor PCI parts: one locks up on bit 2 = 1
constexpr uint8_t kEcrRestoreCompared = 0xF8;  // bits 7-3: hardware sets bit 2
constexpr uint8_t kEcrFifoFlags = 0x03;     // bit 1 full, bit 0 empty
constexpr uint8_t kEcrFifoEmpty = 0x01;

// Below this base a port's ECR is at base + 0x402 (ISA); above, wherever
// the card puts its extended block: never guessed.
constexpr int kLowestPciBase = 0x400;

constexpr uint8_t kControlIdle = 0x04;  // all four lines inactive: /INIT high, the others released

}  // namespace portcheck
