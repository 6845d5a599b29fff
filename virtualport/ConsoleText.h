// What the port console prints: a picture of the port at one moment, the
// lines of the access log, and the names of what it sets.
#pragma once

#include <cstdint>
#include <string>

#include "PortState.h"

namespace vport {

struct PortSnapshot {
    std::string name;  // the port's name
    std::string file;  // where its state is kept
    PortSettings settings;
    uint8_t data = 0;        // the latches
    uint8_t control = 0;
    uint8_t dataRead = 0;    // as reads of the port give them
    uint8_t statusRead = 0;
    uint8_t controlRead = 0;
    bool statusForced = false;
    bool dataDrives = true;
    Wiring wiring = Wiring::None;
    bool driverRunning = true;
    bool pinHigh[18] = {};   // index: DB25 pin 1..17
};

PortSnapshot TakeSnapshot(const PortState& port);

// The port, its chip and settings, the registers in hex and binary, then
// one line per pin 1..17: its name, direction, level and where the level
// comes from.
std::string FormatSnapshot(const PortSnapshot& snapshot);

// "R 0x0379 -> 0x7F" for a read, "W 0x0378 <- 0x08" for a write; an access
// made while the driver was stopped ends in "  (driver stopped)", one of
// another program's in "  (intruder)".
std::string FormatAccess(const Access& access);

const char* WiringName(Wiring wiring);  // "data loopback"
// What a setting's value means: "data and control bits 0-3 read the pins".
std::string SettingShown(const SettingRow& row, uint32_t value);

const char* ChipName(Chip chip);     // "fragile-ecr"
const char* ChipSummary(Chip chip);  // what it does, for --help and `chip`
bool ChipFromName(const std::string& name, Chip* chip);
// "ideal, spp, ..."; with `only`, the chips that have that ChipTrait, the
// last two joined by `lastJoin`: "epp and epp-blocking".
std::string ChipNames(uint32_t only = 0, const char* lastJoin = " and ");
// "1 byte", "2 bytes".
std::string Bytes(size_t count);
// The words of `flags` (kSerialLineErrors or kSerialModemLines) whose bit
// is in `bits`: "overrun, parity"; "" for none.
template <size_t N>
std::string SerialFlagWords(const SerialFlag (&flags)[N], uint8_t bits) {
    std::string words;
    for (const SerialFlag& flag : flags)
        if (bits & flag.bit) words += (words.empty() ? "" : ", ") + std::string(flag.word);
    return words;
}
// "011 ECP FIFO" for the mode bits of an ECR value.
std::string EcrModeText(uint8_t ecr);

}  // namespace vport
