// PortCheck --watch: the port's lines recorded at the port's own speed.
// One thread reads the port in a tight loop at above-normal priority (it
// keeps one processor core busy); the program's own thread prints each
// change, writes the VCD and, at the end (--for, or Ctrl+C), the summary.
// It only ever reads the port.
#pragma once

#include <string>

#include "CheckArgs.h"

namespace portcheck {

// The exit code: 0 recorded (until --for or Ctrl+C), 1 the VCD could not
// be written, 3 no port library, 5 no port answers.
int RunWatch(const CheckOptions& options);

// The first lines: what is watched, and that nothing is written.
std::string WatchHeadline(const CheckOptions& options);

}  // namespace portcheck
