// What --watch is asked to do: which port, which lines, for how long, and
// where the VCD goes.
#pragma once

#include <string>

#include "WatchLines.h"

namespace portcheck {

constexpr int kLongestWatchSeconds = 7 * 24 * 3600;

struct WatchOptions {
    int base = 0;
    WatchedLines lines = WatchedLines::Inputs;
    int seconds = 0;      // --for; 0: until Ctrl+C
    std::string vcdPath;  // --vcd; empty: none
};

}  // namespace portcheck
