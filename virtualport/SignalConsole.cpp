#include "SignalConsole.h"

#include <cstdio>

namespace vport {

namespace {

std::string Pin(int pin) { return "pin " + std::to_string(pin); }

}  // namespace

std::string PulseText(const PulseSignal& pulse) {
    if (pulse.pin == 0) return "off";
    char hertz[32];
    std::snprintf(hertz, sizeof hertz, "%.6g", 1e6 / pulse.periodMicros);
    return Pin(pulse.pin) + ": high " + std::to_string(pulse.widthMicros) + " us every " +
           std::to_string(pulse.periodMicros) + " us (" + hertz + " Hz)";
}

std::string UartText(const UartSignal& uart) {
    if (uart.pin == 0) return "off";
    return Pin(uart.pin) + ": \"" + uart.text + "\" at " + std::to_string(uart.baud) +
           " baud 8N1, over and over";
}

ConsoleOutcome ApplySignal(PortState& port, const ConsoleCommand& command) {
    const PortSignals& wanted = command.signals;
    const bool set = command.uart ? port.SetUart(wanted.uart) : port.SetPulse(wanted.pulse);
    const char* name = command.uart ? "uart" : "pulse";
    ConsoleOutcome outcome;
    if (!set) {
        // The values were checked when parsed: only the other signal's pin is left.
        outcome.exitCode = 2;
        outcome.err = std::string("PortConsole: ") + Pin(command.uart ? wanted.uart.pin : wanted.pulse.pin) +
                      " carries the " + (command.uart ? "pulse" : "uart") + " signal (`" +
                      (command.uart ? "pulse" : "uart") + " off` first); nothing changed\n";
        return outcome;
    }
    const PortSignals now = port.Settings().signals;
    outcome.out = std::string(name) + " " + (command.uart ? UartText(now.uart) : PulseText(now.pulse)) + "\n";
    return outcome;
}

std::string SignalUsage() {
    const std::string maxPeriod = std::to_string(kMaxPulsePeriodMicros);
    return "  pulse pin N every US width US\n"
           "                              a pulse train into input pin N: high for the width\n"
           "                              at the start of every period (microseconds, " +
           std::to_string(kMinPulsePeriodMicros) + "-" + maxPeriod + "),\n" +
           "                              low for the rest; half the period gives a square wave\n"
           "  uart pin N BAUD TEXT        TEXT (up to " +
           std::to_string(kMaxUartText) + " characters) sent over and over into\n" +
           "                              input pin N at BAUD (" + std::to_string(kMinBaud) + "-" +
           std::to_string(kMaxBaud) + ") as 8N1 characters, the line\n" +
           "                              idle high for a character's time between repetitions\n"
           "  pulse off, uart off         no signal (power-up). A read sees a signal's level\n"
           "                              at the read's own time; a pin held low stays low\n";
}

}  // namespace vport
