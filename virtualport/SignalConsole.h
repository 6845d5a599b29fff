// The port console's signals on input pins: `pulse` and `uart` applied to
// the port, and how `show` and the console describe them.
#pragma once

#include <string>

#include "ConsoleSettings.h"

namespace vport {

// Starts or stops the pulse or the UART line of a SetSignal command.
ConsoleOutcome ApplySignal(PortState& port, const ConsoleCommand& command);

// "pin 10: high 500 us every 1000 us (1000 Hz)", or "off".
std::string PulseText(const PulseSignal& pulse);
// "pin 11: \"Tarnwick\" at 9600 baud 8N1, over and over", or "off".
std::string UartText(const UartSignal& uart);

// The commands' lines of --help.
std::string SignalUsage();

}  // namespace vport
