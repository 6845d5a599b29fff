#include "CommandOutput.h"

#include <cstdio>

namespace portcheck {

int Print(const CommandOutput& output) {
    std::fputs(output.out.c_str(), stdout);
    std::fflush(stdout);
    std::fputs(output.err.c_str(), stderr);
    return output.exitCode;
}

}  // namespace portcheck
