// Signals fed into the input pins from outside the port, as a sensor, an
// encoder or a serial device would drive them: a pulse train on one pin and
// a UART line on another. Modelled lazily, on the accesses themselves, as
// the intruder is: the level a read sees is the signal's level at that
// read's time, so a program that reads faster sees more of it. A pin held
// low stays low under a signal, as a line shorted to ground does.
// Called with the port's lock held.
#pragma once

#include <cstdint>
#include <string>

#include "SharedLayout.h"

namespace vport {

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

// `levels` (bit i: kInputPins[i]) with the signals' pins at their levels now.
uint8_t GeneratedLevels(const SharedLayout& s, uint8_t levels);
// Inline, so that a read without signals costs a test only.
inline uint8_t WithSignals(const SharedLayout& s, uint8_t levels) {
    return (s.pulsePin | s.uartPin) != 0 ? GeneratedLevels(s, levels) : levels;
}

// Start a signal from now, or stop it (pin 0). False, changing nothing, for
// a pin that is no input or carries the other signal, or values out of range.
bool SetPulseSignal(SharedLayout& s, const PulseSignal& pulse);
bool SetUartSignal(SharedLayout& s, const UartSignal& uart);
PortSignals SignalsOf(const SharedLayout& s);
// Whether the signals of a state read from a file are ones the setters
// above could have made (a free input, values in range, a start time).
bool SignalsSound(const SharedLayout& s);

}  // namespace vport
