#include "TextFormat.h"

#include <cstdio>

namespace portcheck {

namespace {

std::string Format(const char* format, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string Hex(int value) { return Format("0x%X", static_cast<unsigned>(value)); }

std::string HexByte(int value) { return Format("0x%02X", static_cast<unsigned>(value) & 0xFF); }

std::string ModeBits(int mode) {
    std::string bits;
    for (int bit = 2; bit >= 0; --bit) bits += (mode >> bit) & 1 ? '1' : '0';
    return bits;
}

}  // namespace portcheck
