// The standard parallel port as the panel sees it: three registers from a
// base address, and the seventeen lines it shows, each with its register bit
// and when its lamp is lit (the colours are the panel's: ui/LampColours.h).
#pragma once

#include <array>

#include "ParallelPins.h"

// The register's I/O port: base address plus offset, in 16-bit port
// arithmetic (wraps at 0x10000).
int RegisterPort(int baseAddress, Register reg);

struct Line {
    const char* name;   // panel number: "DI1".."DI5", "DO1".."DO12"
    const char* label;  // as written under the lamp
    int pin;            // DB25 pin
    Register reg;       // the pin's register and bit, from its entry in kPins
    unsigned mask;
    bool litWhenSet;    // lamp lit when the bit is set (else when it is clear)
};

// All seventeen, in the order the lamps are read: DI1..DI5, DO1..DO12.
extern const std::array<Line, 17> kLines;
constexpr int kOutputs = 12;

// Whether the line's lamp is lit for this register value.
bool Lit(const Line& line, int value);
