// The extended control register (ECR) of ECP ports: whether one answers at
// an address, and what its modes mean. A port without one often answers
// at base + 0x402 all the same, with its control register (10-bit address
// decoding), and an address with nothing on it reads 0xFF: the ECR is
// believed only when it does not follow a change of the control register
// and its FIFO bits make sense for its mode.
#pragma once

#include <cstdint>
#include <string>

#include "PortSession.h"

namespace portcheck {

struct EcrFinding {
    enum Kind {
        Present,
        Follows,  // it follows the control register: an alias, not an ECR
        NoFifo,   // its FIFO bits say neither "empty" nor anything the mode allows
    } kind = NoFifo;
    uint8_t value = 0;  // as first read
    uint8_t Mode() const;
};

// Probes the ECR at the session's ECR address; toggles control bit 1
// (/AUTOFEED, pin 14) for a moment and puts it back.
EcrFinding FindEcr(PortSession& session);

// "mode 011 ECP FIFO", and so on.
std::string EcrModeText(uint8_t mode);
// Whether the data register drives the pins in that mode: not in the FIFO
// modes, where writes go into the FIFO, nor in the configuration mode.
bool DataReachesPinsIn(uint8_t mode);

constexpr uint8_t kModeStandard = 0;
constexpr uint8_t kModePs2 = 1;

}  // namespace portcheck
