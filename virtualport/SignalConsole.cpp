#include "SignalConsole.h"

#include <cstdio>
#include <vector>

#include "PinModel.h"

namespace vport {

namespace {

std::string PinName(int pin) { return "pin " + std::to_string(pin); }

// "10-13 and 15": the pins of `reg`, runs of three or more as ranges.
std::string PinNumbers(Register reg) {
    std::vector<std::string> parts;
    for (size_t i = 0; i < kPins.size();) {
        if (kPins[i].reg != reg) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end + 1 < kPins.size() && kPins[end + 1].reg == reg) ++end;
        const std::string first = std::to_string(kPins[i].number), last = std::to_string(kPins[end].number);
        if (end - i >= 2)
            parts.push_back(first + "-" + last);
        else
            for (size_t n = i; n <= end; ++n) parts.push_back(std::to_string(kPins[n].number));
        i = end + 1;
    }
    std::string text;
    for (size_t n = 0; n < parts.size(); ++n)
        text += (n == 0 ? "" : n + 1 == parts.size() ? " and " : ", ") + parts[n];
    return text;
}

// "S6", "C0", "data bit 1": the register bit that reads a pin.
std::string RegisterBit(const ::Pin& pin) {
    int bit = 0;
    while ((pin.mask >> bit) != 1) ++bit;
    if (pin.reg == Register::Data) return "data bit " + std::to_string(bit);
    return (pin.reg == Register::Status ? "S" : "C") + std::to_string(bit);
}

}  // namespace

std::string PulseText(const PulseSignal& pulse) {
    if (pulse.pin == 0) return "off";
    char hertz[32];
    std::snprintf(hertz, sizeof hertz, "%.6g", 1e6 / pulse.periodMicros);
    return PinName(pulse.pin) + ": high " + std::to_string(pulse.widthMicros) + " us every " +
           std::to_string(pulse.periodMicros) + " us (" + hertz + " Hz)";
}

std::string UartText(const UartSignal& uart) {
    if (uart.pin == 0) return "off";
    return PinName(uart.pin) + ": \"" + uart.text + "\" at " + std::to_string(uart.baud) +
           " baud 8N1, over and over";
}

LineReaders LineReadersOf(const PortState& port) {
    LineReaders readers;
    readers.readbackPins = port.Get(SettingId::Readback) != 0;
    readers.dataDrives = port.DataPinsDrive();
    readers.wiring = port.GetWiring();
    return readers;
}

namespace {

// The input the wiring connects to output pin `pin`, or 0.
int WiredInput(Wiring wiring, int pin) {
    for (int input : kInputPins)
        if (WiredSource(wiring, input) == pin) return input;
    return 0;
}

std::string Inverted(const ::Pin& pin) { return pin.inverted ? " inverted" : ""; }

}  // namespace

bool RegisterSeesPin(int pin, const LineReaders& readers) {
    if (IsInputPin(pin)) return true;
    return readers.readbackPins || (IsDataPin(pin) && !readers.dataDrives) || WiredInput(readers.wiring, pin) != 0;
}

std::string SignalSeenText(int pin, const LineReaders& readers) {
    if (!TakesSignal(pin)) return "";
    const ::Pin& at = PinAt(pin);
    if (IsInputPin(pin)) return RegisterBit(at) + " reads it" + Inverted(at);
    const char* reg = IsDataPin(pin) ? "data" : "control";
    const int input = WiredInput(readers.wiring, pin);
    const std::string plugged = input ? " through the plug to pin " + std::to_string(input) : "";
    const std::string plug = input ? RegisterBit(PinAt(input)) + Inverted(PinAt(input)) + plugged : "";
    if (IsDataPin(pin) && !readers.dataDrives)
        return RegisterBit(at) + " reads it: C5 makes the data pins inputs" + (plug.empty() ? "" : "; and " + plug);
    const std::string holds = ": low while the signal or the port holds it low";
    if (readers.readbackPins)
        return RegisterBit(at) + " reads the line" + Inverted(at) + (plug.empty() ? "" : ", and " + plug) + holds;
    if (input)
        return RegisterBit(PinAt(input)) + " reads the line" + Inverted(PinAt(input)) + plugged + " (" + reg +
               " reads its latch)" + holds;
    return std::string("not seen by any register: readback latch (") + reg +
           " reads its latch; `readback pins` reads the line)";
}

std::string SignalPinsText() {
    return "the inputs " + PinNumbers(Register::Status) + ", the data pins " + PinNumbers(Register::Data) +
           " and the control pins " + PinNumbers(Register::Control);
}

ConsoleOutcome ApplySignal(PortState& port, const ConsoleCommand& command) {
    const PortSignals& wanted = command.signals;
    const bool set = command.uart ? port.SetUart(wanted.uart) : port.SetPulse(wanted.pulse);
    const char* name = command.uart ? "uart" : "pulse";
    const int pin = command.uart ? wanted.uart.pin : wanted.pulse.pin;
    ConsoleOutcome outcome;
    if (!set) {
        // The values were checked when parsed: only the other signal's pin is left.
        outcome.exitCode = 2;
        outcome.err = std::string("PortConsole: ") + PinName(pin) + " carries the " + (command.uart ? "pulse" : "uart") +
                      " signal (`" + (command.uart ? "pulse" : "uart") + " off` first); nothing changed\n";
        return outcome;
    }
    const PortSignals now = port.Settings().signals;
    outcome.out = std::string(name) + " " + (command.uart ? UartText(now.uart) : PulseText(now.pulse)) + "\n";
    const LineReaders readers = LineReadersOf(port);
    if (pin != 0 && !RegisterSeesPin(pin, readers))
        outcome.err = "note: " + PinName(pin) + ": " + SignalSeenText(pin, readers) + "\n";
    return outcome;
}

std::string SignalUsage() {
    const std::string maxPeriod = std::to_string(kMaxPulsePeriodMicros);
    return "  pulse pin N every US width US\n"
           "                              a pulse train into pin N: high for the width at\n"
           "                              the start of every period (microseconds, " +
           std::to_string(kMinPulsePeriodMicros) + "-" + maxPeriod + "),\n" +
           "                              low for the rest; half the period gives a square wave\n"
           "  uart pin N BAUD TEXT        TEXT (up to " +
           std::to_string(kMaxUartText) + " characters) sent over and over into\n" +
           "                              pin N at BAUD (" + std::to_string(kMinBaud) + "-" +
           std::to_string(kMaxBaud) + ") as 8N1 characters, the line\n" +
           "                              idle high for a character's time between repetitions\n"
           "  pulse off, uart off         no signal (power-up). A read sees a signal's level\n"
           "                              at the read's own time; a pin held low stays low.\n"
           "                              Signals go on pins 1-17 (18-25 are ground): status\n"
           "                              reads an input (" + PinNumbers(Register::Status) + "); on a data pin (" +
           PinNumbers(Register::Data) + ")\n"
           "                              or a control pin (" + PinNumbers(Register::Control) + ") the device\n"
           "                              pulls against the port, the line low while either\n"
           "                              holds it low: data and C0-C3 read it with `readback\n"
           "                              pins`, data also while C5 makes the data pins\n"
           "                              inputs, and status an input wired to it by the\n"
           "                              plug; else no register sees it (`show` says which)\n";
}

}  // namespace vport
