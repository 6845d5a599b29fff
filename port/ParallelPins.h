// The signal pins of a standard parallel port's DB25: each one's register
// bit, and whether the port inverts it. The panel's lamps and PortCheck's
// loopback plugs both take their pins from this one table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

enum class Register { Data = 0, Status = 1, Control = 2 };  // value: offset from the base

struct Pin {
    int number;          // DB25 pin
    const char* signal;  // the signal's name on the connector
    Register reg;
    uint8_t mask;        // the pin's bit in its register
    // Inverted by the port: a set control bit puts the pin low (/STROBE,
    // /AUTOFEED, /SELECT IN), a set status bit means the pin is low (BUSY).
    bool inverted;
};

// Pins 1 to 17, in pin order; 18 to 25 are ground.
inline constexpr std::array<Pin, 17> kPins = {{
    {1, "/STROBE", Register::Control, 0x01, true},
    {2, "D0", Register::Data, 0x01, false},
    {3, "D1", Register::Data, 0x02, false},
    {4, "D2", Register::Data, 0x04, false},
    {5, "D3", Register::Data, 0x08, false},
    {6, "D4", Register::Data, 0x10, false},
    {7, "D5", Register::Data, 0x20, false},
    {8, "D6", Register::Data, 0x40, false},
    {9, "D7", Register::Data, 0x80, false},
    {10, "/ACK", Register::Status, 0x40, false},
    {11, "BUSY", Register::Status, 0x80, true},
    {12, "PAPER OUT", Register::Status, 0x20, false},
    {13, "SELECT", Register::Status, 0x10, false},
    {14, "/AUTOFEED", Register::Control, 0x02, true},
    {15, "/ERROR", Register::Status, 0x08, false},
    {16, "/INIT", Register::Control, 0x04, false},
    {17, "/SELECT IN", Register::Control, 0x08, true},
}};

// Pin `number`, 1 to 17.
constexpr const Pin& PinAt(int number) { return kPins[static_cast<std::size_t>(number - 1)]; }

// The pin of bit `bit` (0-7) of register `reg`; 0 where no pin has it.
constexpr int PinOfBit(Register reg, int bit) {
    for (const Pin& pin : kPins)
        if (pin.reg == reg && pin.mask == 1u << bit) return pin.number;
    return 0;
}
