// What the port console prints: a picture of the port at one moment and the
// lines of the access log.
#pragma once

#include <cstdint>
#include <string>

#include "PortState.h"

namespace vport {

struct PortSnapshot {
    std::string name;  // the shared mapping's name
    uint8_t data = 0;
    uint8_t status = 0;
    uint8_t control = 0;
    bool statusForced = false;
    Wiring wiring = Wiring::None;
    bool driverRunning = true;
    bool pinHigh[18] = {};  // index: DB25 pin 1..17
};

PortSnapshot TakeSnapshot(const PortState& port);

// Registers in hex and binary, then one line per pin 1..17: its name,
// direction, level and where the level comes from.
std::string FormatSnapshot(const PortSnapshot& snapshot);

// "R 0x0379 -> 0x7F" for a read, "W 0x0378 <- 0x08" for a write; an access
// made while the driver was stopped ends in "  (driver stopped)".
std::string FormatAccess(const Access& access);

const char* WiringName(Wiring wiring);
const char* DriverStateName(bool running);  // "running" or "stopped"

}  // namespace vport
