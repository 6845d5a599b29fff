// The loopback plugs PortCheck knows: which output pin each of the five
// status inputs is wired to, and how each pin's level sits in its register.
#pragma once

#include <cstdint>

#include "ParallelPins.h"

namespace portcheck {

// An output pin joined to a status input; both as in the table of pins.
struct WiredPair {
    Pin output;
    Pin input;
};

constexpr int kPairs = 5;

struct LoopbackPlug {
    const char* name;     // as given after --plug
    WiredPair pairs[kPairs];
};

// D0-/ERROR, D1-SELECT, D2-PAPER OUT, D3-/ACK, D4-BUSY (pins 2-15, 3-13,
// 4-12, 5-10, 6-11).
extern const LoopbackPlug kDataPlug;
// /STROBE-SELECT, /AUTOFEED-PAPER OUT, /INIT-/ACK, /SELECT IN-BUSY, and
// D0-/ERROR as on the data plug (pins 1-13, 14-12, 16-10, 17-11, 2-15).
extern const LoopbackPlug kControlPlug;

// The plug of that --plug name, or null.
const LoopbackPlug* FindPlug(const char* name);

// Output levels of the plug's pairs as a bit set: bit i is pair i's output
// pin, set when high. Input levels use the same numbering.
using Levels = uint8_t;
constexpr Levels kAllHigh = (1u << kPairs) - 1;

struct Registers {
    uint8_t data;
    uint8_t control;
};

// The data and control values that put the plug's outputs at `levels`,
// every other bit as in `working`.
Registers RegistersFor(const LoopbackPlug& plug, Levels levels, Registers working);

// The input pins' levels in a status register value.
Levels InputLevels(const LoopbackPlug& plug, uint8_t status);
// The inputs whose status bits are among `bits`.
Levels InputsAmong(const LoopbackPlug& plug, uint8_t bits);

}  // namespace portcheck
