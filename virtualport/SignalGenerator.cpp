#include "SignalGenerator.h"

#include <cstring>

#include "Clock.h"
#include "PinModel.h"

namespace vport {

namespace {

const int64_t kMicrosPerSecond = 1000000;
const int64_t kBitsPerCharacter = 10;  // start, eight data bits, stop
const int64_t kIdleBits = kBitsPerCharacter;

// `elapsed` into 0..length-1, also for a time before the start (a counter
// restarted with the machine).
int64_t Wrapped(int64_t elapsed, int64_t length) {
    const int64_t wrapped = elapsed % length;
    return wrapped < 0 ? wrapped + length : wrapped;
}

const int64_t kNanosPerMicro = 1000;

// Whether `phase` nanoseconds into a level that began at 0 (and, for the
// edge at `otherEdge`, there too) falls in a bounce: the middle third of
// the `bounce` nanoseconds after an edge, where the line is back at its
// old level.
bool Bouncing(int64_t phase, int64_t otherEdge, int64_t bounce) {
    for (int64_t edge : {int64_t(0), otherEdge}) {
        const int64_t since = phase - edge;
        if (since >= bounce / 3 && since < 2 * bounce / 3) return true;
    }
    return false;
}

bool PulseHigh(const SharedLayout& s, int64_t nowNs) {
    const int64_t width = int64_t(s.pulseWidthMicros) * kNanosPerMicro;
    const int64_t phase = Wrapped(nowNs - s.pulseStart, int64_t(s.pulsePeriodMicros) * kNanosPerMicro);
    bool high = phase < width;
    const int64_t glitch = SettingOf(s, SettingId::Glitch);
    if (high && glitch > 0 && phase >= (width - glitch) / 2 && phase < (width + glitch) / 2) high = false;
    return Bouncing(phase, width, SettingOf(s, SettingId::Bounce)) ? !high : high;
}

bool UartHigh(const SharedLayout& s, int64_t nowNs) {
    const int64_t frameBits = s.uartLength * kBitsPerCharacter + kIdleBits;
    // frameBits seconds hold exactly `baud` repetitions; within them the
    // bit number fits 64 bits.
    const int64_t micros = Wrapped((nowNs - s.uartStart) / kNanosPerMicro, frameBits * kMicrosPerSecond);
    const int64_t bit = micros * s.uartBaud / kMicrosPerSecond % frameBits;
    const int64_t character = bit / kBitsPerCharacter;
    if (character >= s.uartLength) return true;  // idle between repetitions
    const int64_t inCharacter = bit % kBitsPerCharacter;
    if (inCharacter == 0) return false;                      // start bit
    if (inCharacter == kBitsPerCharacter - 1) return true;   // stop bit
    const uint8_t byte = static_cast<uint8_t>(s.uartText[character]);
    return (byte >> (inCharacter - 1)) & 1;
}

void Drive(PinInputs* inputs, int pin, bool high) {
    inputs->signalPins |= 1u << pin;
    if (high) inputs->signalHigh |= 1u << pin;
}

// Whether `pin` can take a signal whose other signal is on `otherPin`.
bool FreePin(int pin, int otherPin) { return pin == 0 || (TakesSignal(pin) && pin != otherPin); }

// A signal on a free pin (or none) with values in range.
bool PulseAllowed(const PulseSignal& pulse, int otherPin) {
    return FreePin(pulse.pin, otherPin) &&
           (pulse.pin == 0 || (pulse.periodMicros >= kMinPulsePeriodMicros && pulse.periodMicros <= kMaxPulsePeriodMicros &&
                               pulse.widthMicros != 0 && pulse.widthMicros < pulse.periodMicros));
}

bool UartAllowed(const UartSignal& uart, int otherPin) {
    return FreePin(uart.pin, otherPin) &&
           (uart.pin == 0 || (uart.baud >= kMinBaud && uart.baud <= kMaxBaud && !uart.text.empty() &&
                              uart.text.size() <= kMaxUartText));
}

}  // namespace

void AddSignalLevels(const SharedLayout& s, PinInputs* inputs) {
    const int64_t now = NowNanos();
    if (s.pulsePin) Drive(inputs, s.pulsePin, PulseHigh(s, now));
    if (s.uartPin) Drive(inputs, s.uartPin, UartHigh(s, now));
}

bool SetPulseSignal(SharedLayout& s, const PulseSignal& pulse) {
    if (!PulseAllowed(pulse, s.uartPin)) return false;
    s.pulsePin = static_cast<uint8_t>(pulse.pin);
    s.pulsePeriodMicros = pulse.pin ? pulse.periodMicros : 0;
    s.pulseWidthMicros = pulse.pin ? pulse.widthMicros : 0;
    s.pulseStart = NowNanos();
    return true;
}

bool SetUartSignal(SharedLayout& s, const UartSignal& uart) {
    if (!UartAllowed(uart, s.pulsePin)) return false;
    const size_t length = uart.pin ? uart.text.size() : 0;
    s.uartPin = static_cast<uint8_t>(uart.pin);
    s.uartBaud = uart.pin ? uart.baud : 0;
    s.uartLength = static_cast<uint8_t>(length);
    std::memset(s.uartText, 0, sizeof s.uartText);
    std::memcpy(s.uartText, uart.text.data(), length);
    s.uartStart = NowNanos();
    return true;
}

bool SignalsSound(const SharedLayout& s) {
    if (s.uartLength > kMaxUartText || s.pulseStart < 0 || s.uartStart < 0) return false;
    const PortSignals signals = SignalsOf(s);
    return PulseAllowed(signals.pulse, s.uartPin) && UartAllowed(signals.uart, s.pulsePin);
}

PortSignals SignalsOf(const SharedLayout& s) {
    PortSignals signals;
    signals.pulse = {s.pulsePin, s.pulsePeriodMicros, s.pulseWidthMicros};
    signals.uart.pin = s.uartPin;
    signals.uart.baud = s.uartBaud;
    signals.uart.text.assign(s.uartText, s.uartLength);
    return signals;
}

}  // namespace vport
