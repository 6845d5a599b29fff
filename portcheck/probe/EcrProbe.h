// The extended control register (ECR) of ECP ports: whether one answers at
// an address, and what its modes mean. A port without one often answers
// at base + 0x402 all the same, with its control register (10-bit address
// decoding), and an address with nothing on it reads 0xFF. As the kernel's
// parport driver has it: the FIFO flags must read exactly 01 (empty) as
// found, and where the ECR's low bits match control's, setting control bit
// 1 (from 0 only) must not move them; its first write must read back whole
// (PortSession::SetEcrMode), also where it is in the mode wanted already. A
// FIFO holding data means a transfer is under way: busy, not touched. Modes
// 101, 110 and 111 are not trusted: a serial port's interrupt
// identification (0xC1 idle with its FIFOs on) reads as mode 110.
#pragma once

#include <cstdint>
#include <string>

#include "EcrModes.h"
#include "PortSession.h"

namespace portcheck {

struct EcrFinding {
    enum Kind {
        Present,
        Follows,      // it follows the control register: an alias, not an ECR
        NoFifo,       // its FIFO flags read 11: both full and empty
        Busy,         // its FIFO holds data (flags 00 or 10): a transfer under way
        NotLookedFor, // no ECR address known: a base at 0x400 or above without --ecr
        Suspect,      // flags 01, but mode 101, 110 or 111: not written
    } kind = NoFifo;
    uint8_t value = 0;  // as first read
    uint8_t Mode() const;
};

// Probes the ECR at the session's ECR address; where its low bits match
// control's, sets control bit 1 (/AUTOFEED, pin 14) for a moment.
EcrFinding FindEcr(PortSession& session);
// The ECR read only, against control as found: for a test that must not
// start in a FIFO mode. Follows where it reads as control does.
EcrFinding ReadEcrOnly(const PortSession& session);

// What PortCheck says of an ECR whose FIFO holds data, and where no ECR
// address is known.
inline constexpr const char* kBusy = "busy (the FIFO holds data): not touched";
inline constexpr const char* kNotLookedFor = "not looked for (give --ecr with the extended block's address)";
// The same of one in a mode PortCheck does not trust, e.g. "it reads 0xC1 (mode 110 ...) ...".
std::string SuspectText(const EcrFinding& ecr);

// "mode 011 ECP FIFO", and so on.
std::string EcrModeText(uint8_t mode);
// Whether the data register drives the pins in that mode: not in the FIFO
// modes, where writes go into the FIFO, nor in the configuration mode.
bool DataReachesPinsIn(uint8_t mode);

}  // namespace portcheck
