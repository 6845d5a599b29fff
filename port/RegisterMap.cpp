#include "RegisterMap.h"

int RegisterPort(int baseAddress, Register reg) {
    return static_cast<int>((static_cast<unsigned>(baseAddress) + static_cast<unsigned>(reg)) & 0xFFFFu);
}

namespace {

// A line of the panel on DB25 pin `pin`: its register bit comes from the
// pin's entry in the table of pins.
constexpr Line LineOn(const char* name, const char* label, int pin, bool litWhenSet) {
    return {name, label, pin, PinAt(pin).reg, PinAt(pin).mask, litWhenSet};
}

}  // namespace

// Inputs are status lines, each lamp lit when its bit is clear: an input
// lamp lights when its pin is low, except BUSY, whose bit reads inverted, so
// its lamp lights when pin 11 is high. Outputs: the data lines and /STROBE,
// /LINE FEED, RESET, /SELECT PRINTER on the control register, where the
// hardware inverts all but RESET.
const std::array<Line, 17> kLines = {{
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

bool Lit(const Line& line, int value) {
    const bool set = (static_cast<unsigned>(value) & line.mask) != 0;
    return set == line.litWhenSet;
}
