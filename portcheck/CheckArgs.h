// PortCheck's command line: `PortCheck [--plug data|control] BASE` or
// `PortCheck --list`.
#pragma once

#include <string>
#include <vector>

#include "LoopbackPlug.h"

namespace portcheck {

// The highest base whose three registers (base to base + 2) all lie below
// 0x10000; above it the control register would wrap round to port 0 or 1.
constexpr int kHighestBase = 0xFFFD;

struct CheckOptions {
    bool help = false;
    bool list = false;  // list the ports Windows knows instead of testing one
    int base = 0;
    const LoopbackPlug* plug = &kDataPlug;
};

struct ParsedArgs {
    bool ok = false;
    std::string error;  // when !ok: what is wrong, without the program's name
    CheckOptions options;
};

// The arguments after the program name. BASE is written as the panel takes
// it (decimal, or hex as 0x378, 0X378 or $378) and must lie in 0..kHighestBase.
ParsedArgs ParseCheckArgs(const std::vector<std::string>& args);

// The text of --help, ending in a line feed.
const char* CheckUsage();

}  // namespace portcheck
