// The standard parallel port as the panel sees it: three registers from a
// base address, and the seventeen lines it shows, each with its register bit
// and when its lamp is lit (the colours are the panel's: ui/LampColours.h).
#pragma once

#include <array>
#include <cstddef>

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

// A line of the panel on DB25 pin `pin`: its register bit comes from the
// pin's entry in the table of pins.
constexpr Line LineOn(const char* name, const char* label, int pin, bool litWhenSet) {
    return {name, label, pin, PinAt(pin).reg, PinAt(pin).mask, litWhenSet};
}

// All seventeen, in the order the lamps are read: DI1..DI5, DO1..DO12.
// Inputs are status lines, each lamp lit when its bit is clear: an input
// lamp lights when its pin is low, except BUSY, whose bit reads inverted, so
// its lamp lights when pin 11 is high. Outputs: the data lines and /STROBE,
// /LINE FEED, RESET, /SELECT PRINTER on the control register, where the
// hardware inverts all but RESET. The panel's other tables of lines (lamp
// colours, lamps, output writes) follow this order, checked by
// InLineOrder.
inline constexpr std::array<Line, 17> kLines = {{
    LineOn("DI1", "/ACK", 10, false),
    LineOn("DI2", "BUSY", 11, false),
    LineOn("DI3", "/Paper Out", 12, false),
    LineOn("DI4", "/Select", 13, false),
    LineOn("DI5", "/Error", 15, false),
    LineOn("DO1", "/STROBE", 1, false),
    LineOn("DO2", "D0", 2, true),
    LineOn("DO3", "D1", 3, true),
    LineOn("DO4", "D2", 4, true),
    LineOn("DO5", "D3", 5, true),
    LineOn("DO6", "D4", 6, true),
    LineOn("DO7", "D5", 7, true),
    LineOn("DO8", "D6", 8, true),
    LineOn("DO9", "D7", 9, true),
    LineOn("DO10", "/Line Feed", 14, false),
    LineOn("DO11", "Reset", 16, true),
    LineOn("DO12", "/Select PTR", 17, false),
}};
constexpr int kOutputs = 12;

// Whether `rows` name the lines of kLines from `first` to the last, in
// order, each by its `line` ("DO3"): the check of the panel's tables that
// follow kLines.
template <class Row, std::size_t N>
constexpr bool InLineOrder(const Row (&rows)[N], std::size_t first = 0) {
    if (first + N != kLines.size()) return false;
    for (std::size_t n = 0; n < N; ++n) {
        const char* own = kLines[first + n].name;
        const char* named = rows[n].line;
        for (; *own != '\0' && *own == *named; ++own, ++named) {
        }
        if (*own != *named) return false;
    }
    return true;
}

// Whether the line's lamp is lit for this register value.
bool Lit(const Line& line, int value);
