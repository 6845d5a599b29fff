#include "RegisterMap.h"

int RegisterPort(int baseAddress, Register reg) {
    return static_cast<int>((static_cast<unsigned>(baseAddress) + static_cast<unsigned>(reg)) & 0xFFFFu);
}

bool Lit(const Line& line, int value) {
    const bool set = (static_cast<unsigned>(value) & line.mask) != 0;
    return set == line.litWhenSet;
}
