// PortCheck's command line, and its usage text (CheckUsage) built from the
// commands, the options, the plugs and the exit codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "LoopbackPlug.h"
#include "LoopbackRun.h"
#include "WatchLines.h"

namespace portcheck {

// The highest base whose registers all lie below 0x10000 (bases are
// multiples of 4).
constexpr int kHighestBase = 0xFFFC;
constexpr int kLongestWatchSeconds = 7 * 24 * 3600;
constexpr int kLargestVcdMb = 1000000;

enum class Command {
    Test,     // the loopback test
    List,     // the ports Windows knows
    Probe,    // what answers at BASE
    SetMode,  // the ECR's mode
    Driver,   // the port library and its driver
    Watch,    // the lines recorded, reading only
    Help,
};

struct CheckOptions {
    Command command = Command::Test;
    int base = 0;
    const LoopbackPlug* plug = &kDataPlug;
    int64_t settleMicros = kDefaultSettleMicros;
    int rounds = 1;
    int ecrBlock = -1;  // --ecr: the extended block's first address; -1: base + 0x400 below 0x400, else none
    uint8_t mode = 0;   // SetMode: the ECR mode, 0 (spp) or 1 (ps2)
    WatchedLines lines = WatchedLines::Inputs;  // Watch: --lines
    int seconds = 0;      // Watch: --for; 0: until Ctrl+C
    std::string vcdPath;  // Watch: --vcd; empty: no file
    int maxSizeMb = 0;    // Watch: --max-size; 0: until the disk is nearly full
    bool force = false;   // --force: on where base+1 and base+2 look like a serial port's, or Windows lists no port
    // The ECR's address: the third of the extended block; -1 where none is known.
    int EcrPort() const;
};

struct ParsedArgs {
    bool ok = false;
    std::string error;  // when !ok: what is wrong, without the program's name
    CheckOptions options;
};

// The arguments after the program name. Addresses are written as the panel
// takes them (decimal, or hex as 0x378, 0X378 or $378). BASE must be a
// multiple of 4 from 0 to kHighestBase, none of whose registers is among the
// PC's own addresses (SystemAddresses.h).
ParsedArgs ParseCheckArgs(const std::vector<std::string>& args);

// The text of --help, ending in a line feed.
const char* CheckUsage();
// The line that follows a bad argument's message: the loopback test's
// usage and the other commands' names.
std::string ShortUsage();

}  // namespace portcheck
