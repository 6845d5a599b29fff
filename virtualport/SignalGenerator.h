// Signals fed into the port's pins from outside, as a sensor, an encoder or
// a serial device would drive them: a pulse train on one pin and a UART
// line on another. Any signal pin of the DB25 takes one (1-17: the inputs,
// the data pins and the control pins); what the pin and the registers then
// show is the pin model's (PinModel.h): an input follows the signal, a pin
// the port drives is low while the signal or the port holds it low. Modelled
// lazily, on the accesses themselves, as the intruder is: the level a read
// sees is the signal's level at that read's time, so a program that reads
// faster sees more of it. A pin held low stays low under a signal, as a
// line shorted to ground does. Called with the port's lock held.
#pragma once

#include <cstdint>
#include <string>

#include "SharedLayout.h"

namespace vport {

struct PinInputs;

// High for `widthMicros` at the start of every `periodMicros`, low for the
// rest: a square wave when the width is half the period. Pin 0: none.
struct PulseSignal {
    int pin = 0;
    uint32_t periodMicros = 0;
    uint32_t widthMicros = 0;
};

// `text` sent over and over at `baud` as 8N1 characters (a low start bit,
// the eight data bits from bit 0, a high stop bit), the line idle high for
// one character's time between repetitions. Pin 0: none.
struct UartSignal {
    int pin = 0;
    uint32_t baud = 0;
    std::string text;
};

struct PortSignals {
    PulseSignal pulse;
    UartSignal uart;
};

inline constexpr uint32_t kMinPulsePeriodMicros = 2;
inline constexpr uint32_t kMaxPulsePeriodMicros = 60000000;
inline constexpr uint32_t kMinBaud = 50;
inline constexpr uint32_t kMaxBaud = 115200;  // bits of 8.7 us: the clock counts whole microseconds

// Whether a signal can be on DB25 pin `pin`: pins 1-17 (18-25 are ground).
constexpr bool TakesSignal(int pin) { return pin >= 1 && pin <= 17; }

// Inline, so that a read without signals costs a test only.
inline bool HasSignals(const SharedLayout& s) { return (s.pulsePin | s.uartPin) != 0; }
// `inputs` with the signals' pins at their levels now.
void AddSignalLevels(const SharedLayout& s, PinInputs* inputs);

// Start a signal from now, or stop it (pin 0). False, changing nothing, for
// a pin no signal can be on or that carries the other signal, or values out
// of range.
bool SetPulseSignal(SharedLayout& s, const PulseSignal& pulse);
bool SetUartSignal(SharedLayout& s, const UartSignal& uart);
PortSignals SignalsOf(const SharedLayout& s);
// Whether the signals of a state read from a file are ones the setters
// above could have made (a free pin, values in range, a start time).
bool SignalsSound(const SharedLayout& s);

}  // namespace vport
