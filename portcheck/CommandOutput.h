// What one run of a PortCheck command ends with: its exit code and what it
// prints, kept apart from the printing so that tests can read it.
#pragma once

#include <string>

namespace portcheck {

struct CommandOutput {
    int exitCode = 0;
    std::string out;  // for standard output
    std::string err;  // for standard error
};

// Prints `output` (standard output first) and returns its exit code.
int Print(const CommandOutput& output);

}  // namespace portcheck
