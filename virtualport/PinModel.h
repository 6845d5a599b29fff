// The electrical side of the port: which level each DB25 pin has for given
// register contents and outside wiring, and what the status register reads
// back from those levels. Pure functions, shared by the port state and the
// console's display.
#pragma once

#include <cstdint>

#include "PortState.h"

namespace vport {

// What sets the pins: the two output latches, the wiring outside the port,
// the pins pulled low by hand (bit n set: pin n pulled low), whether the
// data pins drive, and the signals a device outside drives into them. An
// input pin pulled low reads low whatever the wiring drives into it; one
// with a signal follows the signal; the others follow their wired output,
// or float high. Data pins that don't drive (a bidirectional port's inputs)
// float high too, unless pulled low, and follow a signal. On a pin the port
// drives, a signal pulls against the port's driver: the line is low while
// either holds it low (wired-AND, as on open-collector control lines), and
// an input wired to it sees that line.
struct PinInputs {
    uint8_t data = 0;
    uint8_t control = 0;
    Wiring wiring = Wiring::None;
    uint32_t pulledLow = 0;
    bool dataDrives = true;
    bool outputsShortable = false;  // an output pin pulled low reads low too (weak or open-collector drivers)
    uint32_t signalPins = 0;  // bit n: a signal drives pin n (SignalGenerator.h)
    uint32_t signalHigh = 0;  // bit n: that signal is high now
};

bool IsInputPin(int pin);  // one of kInputPins
bool IsDataPin(int pin);   // 2..9
bool IsControlPin(int pin);  // 1, 14, 16, 17

// The output pin the wiring connects to input pin `pin`, or 0 when the
// wiring leaves that pin unconnected.
int WiredSource(Wiring wiring, int pin);

// Level (true = high) of DB25 pin 1..25; pins 18-25 are ground. Any other
// number reads low.
bool PinLevel(const PinInputs& inputs, int pin);

// The levels of the five input pins: bit i for kInputPins[i].
uint8_t InputLevels(const PinInputs& inputs);
// The levels of the data pins 2-9: bit i for D<i>.
uint8_t DataLevels(const PinInputs& inputs);

// The status register as the input pins make it: S0-S2 read 1, S3 /ERROR,
// S4 SELECT, S5 PAPER OUT, S6 /ACK, S7 BUSY inverted. `levels` as from
// InputLevels.
uint8_t StatusFromLevels(uint8_t levels);
uint8_t StatusFromPins(const PinInputs& inputs);

}  // namespace vport
