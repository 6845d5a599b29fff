// The port console's signals: `pulse` and `uart` applied to the port, and
// how `show`, the console and --help describe them and what the registers
// read of them.
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

// What decides which registers read a pin's line.
struct LineReaders {
    bool readbackPins = false;  // data and control bits 0-3 read the pins
    bool dataDrives = true;     // false: the data pins are inputs
    Wiring wiring = Wiring::None;
};
LineReaders LineReadersOf(const PortState& port);

// Whether a register reads the line of pin `pin` (1-17), and so a signal
// on it: status an input's; data and control bits 0-3 with read-back from
// the pins; data while the data pins are inputs; status an output's that
// the wiring connects to an input.
bool RegisterSeesPin(int pin, const LineReaders& readers);
// What reads a signal on `pin`: "S6 reads it", "data bit 1 reads the line:
// low while the signal or the port holds it low", or "not seen by any
// register: readback latch (...)".
std::string SignalSeenText(int pin, const LineReaders& readers);
// "the inputs 10-13 and 15, the data pins 2-9 and the control pins 1, 14,
// 16 and 17": where a signal can go.
std::string SignalPinsText();

// The commands' lines of --help.
std::string SignalUsage();

}  // namespace vport
