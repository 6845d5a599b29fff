// Numbers as PortCheck writes them.
#pragma once

#include <string>

namespace portcheck {

// An address: 0x378, 0xD010.
std::string Hex(int value);
// A register value: 0x0B.
std::string HexByte(int value);
// Bits 7-5 of an ECR value as binary digits: 011.
std::string ModeBits(int mode);

}  // namespace portcheck
