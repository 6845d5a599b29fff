// The parallel port's registers as PortCheck handles them: offsets from the
// base, the control and status bits it looks after itself, and the extended
// control register (ECR) of ECP ports. The pins the plugs use are in
// LoopbackPlug.
#pragma once

#include <cstdint>

namespace portcheck {

constexpr int kDataOffset = 0;
constexpr int kStatusOffset = 1;
constexpr int kControlOffset = 2;

constexpr uint8_t kControlLines = 0x0F;      // bits 0-3: /STROBE, /AUTOFEED, /INIT, /SELECT IN
constexpr uint8_t kControlAutofeed = 0x02;   // pin 14
constexpr uint8_t kControlInterrupt = 0x10;  // bit 4: an interrupt on each rising edge of /ACK
constexpr uint8_t kControlDirection = 0x20;  // bit 5: the data pins are inputs (bidirectional ports)

constexpr uint8_t kStatusEppTimeout = 0x01;  // bit 0 on EPP-capable chips; undefined on others

// ISA ports have their extended block at base + 0x400; PCI cards put it in
// a range of their own. Its ECR is its third register.
constexpr int kIsaExtendedOffset = 0x400;
constexpr int kEcrInBlock = 2;

constexpr int kEcrModeShift = 5;            // bits 7-5: the mode
constexpr uint8_t kEcrModeBits = 0xE0;
constexpr uint8_t kEcrService = 0x04;       // never written as 1: that locks up some PCI chips
constexpr uint8_t kEcrKept = 0x18;          // bits 4-3, written back as read with a new mode
constexpr uint8_t kEcrFifoFlags = 0x03;     // bit 1 full, bit 0 empty
constexpr uint8_t kEcrFifoEmpty = 0x01;

}  // namespace portcheck
