// The parallel port's registers as PortCheck handles them: offsets from the
// base, and the control bits it looks after itself. The pins the plugs use
// are in LoopbackPlug.
#pragma once

#include <cstdint>

namespace portcheck {

constexpr int kDataOffset = 0;
constexpr int kStatusOffset = 1;
constexpr int kControlOffset = 2;

constexpr uint8_t kControlLines = 0x0F;      // bits 0-3: /STROBE, /AUTOFEED, /INIT, /SELECT IN
constexpr uint8_t kControlInterrupt = 0x10;  // bit 4: an interrupt on each rising edge of /ACK
constexpr uint8_t kControlDirection = 0x20;  // bit 5: the data pins are inputs (bidirectional ports)

}  // namespace portcheck
