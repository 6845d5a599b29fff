// The loopback plugs PortCheck knows: which output pin each of the five
// status inputs is wired to, and how each pin's level sits in its register.
#pragma once

#include <cstdint>
#include <string>

#include "ParallelPins.h"
#include "PortRegisters.h"

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

// The data lines D0-D4 to the five inputs, the test's default.
extern const LoopbackPlug kDataPlug;
// The four control lines to four inputs, and D0 as on the data plug.
extern const LoopbackPlug kControlPlug;

// Its wiring as the usage text gives it: "D0-/ERROR, ..., D4-BUSY (pins
// 2-15, ..., 6-11)".
std::string WiringText(const LoopbackPlug& plug);

// The plugs PortCheck knows, the default first.
extern const LoopbackPlug* const kPlugs[2];

// The plug of that --plug name, or null.
const LoopbackPlug* FindPlug(const char* name);

// Output levels of the plug's pairs as a bit set: bit i is pair i's output
// pin, set when high. Input levels use the same numbering.
using Levels = uint8_t;
constexpr Levels kAllHigh = (1u << kPairs) - 1;

// The data and control bits the plug's outputs are.
Registers DrivenBits(const LoopbackPlug& plug);

// The data and control values that put the plug's outputs at `levels`,
// every other bit as in `working`.
Registers RegistersFor(const LoopbackPlug& plug, Levels levels, Registers working);

// The plug's output levels that data and control values put them at.
Levels OutputLevels(const LoopbackPlug& plug, Registers values);

// The input pins' levels in a status register value.
Levels InputLevels(const LoopbackPlug& plug, uint8_t status);
// The inputs whose status bits are among `bits`.
Levels InputsAmong(const LoopbackPlug& plug, uint8_t bits);

}  // namespace portcheck
