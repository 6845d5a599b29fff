#include "RegisterMap.h"

int RegisterPort(int baseAddress, Register reg) {
    return static_cast<int>((static_cast<unsigned>(baseAddress) + static_cast<unsigned>(reg)) & 0xFFFFu);
}

// Inputs are status lines, each lamp lit when its bit is clear: an input
// lamp lights when its pin is low, except BUSY, whose bit reads inverted, so
// its lamp lights when pin 11 is high. Outputs: the data lines and /STROBE,
// /LINE FEED, RESET, /SELECT PRINTER on the control register, where the
// hardware inverts all but RESET.
const std::array<Line, 17> kLines = {{
    {"DI1", "/ACK", 10, Register::Status, 0x40, false, clRed},
    {"DI2", "BUSY", 11, Register::Status, 0x80, false, clRed},
    {"DI3", "/Paper Out", 12, Register::Status, 0x20, false, clRed},
    {"DI4", "/Select", 13, Register::Status, 0x10, false, clRed},
    {"DI5", "/Error", 15, Register::Status, 0x08, false, clRed},
    {"DO1", "/STROBE", 1, Register::Control, 0x01, false, clLime},
    {"DO2", "D0", 2, Register::Data, 0x01, true, clLime},
    {"DO3", "D1", 3, Register::Data, 0x02, true, clYellow},
    {"DO4", "D2", 4, Register::Data, 0x04, true, clYellow},
    {"DO5", "D3", 5, Register::Data, 0x08, true, clRed},
    {"DO6", "D4", 6, Register::Data, 0x10, true, clRed},
    {"DO7", "D5", 7, Register::Data, 0x20, true, clRed},
    {"DO8", "D6", 8, Register::Data, 0x40, true, clRed},
    {"DO9", "D7", 9, Register::Data, 0x80, true, clYellow},
    {"DO10", "/Line Feed", 14, Register::Control, 0x02, false, clYellow},
    {"DO11", "Reset", 16, Register::Control, 0x04, true, clLime},
    {"DO12", "/Select PTR", 17, Register::Control, 0x08, false, clLime},
}};

const Line& Input(int n) { return kLines.at(static_cast<size_t>(n - 1)); }

const Line& Output(int n) { return kLines.at(static_cast<size_t>(kInputs + n - 1)); }

bool Lit(const Line& line, int value) {
    const bool set = (static_cast<unsigned>(value) & line.mask) != 0;
    return set == line.litWhenSet;
}
