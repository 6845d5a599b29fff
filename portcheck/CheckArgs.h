// PortCheck's command line:
//   PortCheck [--plug data|control] [--settle US] [--repeat N] BASE
//   PortCheck --list
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "LoopbackPlug.h"

namespace portcheck {

// The highest base whose registers all lie below 0x10000 (bases are
// multiples of 4).
constexpr int kHighestBase = 0xFFFC;
constexpr int64_t kDefaultSettleMicros = 100;
constexpr int64_t kLongestSettleMicros = 100000;
constexpr int kMostRounds = 10000;

enum class Command {
    Test,     // the loopback test
    List,     // the ports Windows knows
    Help,
};

struct CheckOptions {
    Command command = Command::Test;
    int base = 0;
    const LoopbackPlug* plug = &kDataPlug;
    int64_t settleMicros = kDefaultSettleMicros;
    int rounds = 1;
};

struct ParsedArgs {
    bool ok = false;
    std::string error;  // when !ok: what is wrong, without the program's name
    CheckOptions options;
};

// The arguments after the program name. BASE is written as the panel takes
// it (decimal, or hex as 0x378, 0X378 or $378). BASE must be a
// multiple of 4 from 0 to kHighestBase, none of whose registers is among the
// PC's own addresses (SystemAddresses.h).
ParsedArgs ParseCheckArgs(const std::vector<std::string>& args);

// The text of --help, ending in a line feed.
const char* CheckUsage();

}  // namespace portcheck
