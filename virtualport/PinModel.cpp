#include "PinModel.h"

#include <iterator>

namespace vport {

namespace {

struct Jumper {
    int output;
    int input;
};

const Jumper kDataLoopback[] = {{2, 15}, {3, 13}, {4, 12}, {5, 10}, {6, 11}};
const Jumper kControlLoopback[] = {{1, 13}, {14, 12}, {16, 10}, {17, 11}, {2, 15}};

bool IsPinOf(int pin, Register reg) { return pin >= 1 && pin <= 17 && PinAt(pin).reg == reg; }

// Pins 1, 14 and 17 are driven through inverters, so a 1 in C0, C1 or C3
// puts the pin low; C2 (pin 16) is not inverted.
bool ControlPinLevel(uint8_t control, int pin) {
    if (!IsControlPin(pin)) return false;
    return ((control & PinAt(pin).mask) != 0) != PinAt(pin).inverted;
}

bool OutputPinLevel(const PinInputs& inputs, int pin) {
    if (inputs.outputsShortable && (inputs.pulledLow & (1u << pin))) return false;  // the short wins
    if (inputs.signalPins & ~inputs.signalHigh & (1u << pin)) return false;          // so does a device pulling it low
    if (!IsDataPin(pin)) return ControlPinLevel(inputs.control, pin);
    if (!inputs.dataDrives) return !(inputs.pulledLow & (1u << pin));
    return (inputs.data & PinAt(pin).mask) != 0;
}

}  // namespace

bool IsInputPin(int pin) { return IsPinOf(pin, Register::Status); }

bool IsDataPin(int pin) { return IsPinOf(pin, Register::Data); }

bool IsControlPin(int pin) { return IsPinOf(pin, Register::Control); }

int WiredSource(Wiring wiring, int pin) {
    const Jumper* begin = nullptr;
    const Jumper* end = nullptr;
    if (wiring == Wiring::DataLoopback) {
        begin = std::begin(kDataLoopback);
        end = std::end(kDataLoopback);
    } else if (wiring == Wiring::ControlLoopback) {
        begin = std::begin(kControlLoopback);
        end = std::end(kControlLoopback);
    }
    for (const Jumper* j = begin; j != end; ++j)
        if (j->input == pin) return j->output;
    return 0;
}

bool PinLevel(const PinInputs& inputs, int pin) {
    if (IsInputPin(pin)) {
        // A pin held low is shorted to ground: that wins over an output
        // driving it through the plug, as a stuck line does on real cables.
        if (inputs.pulledLow & (1u << pin)) return false;
        if (inputs.signalPins & (1u << pin)) return (inputs.signalHigh & (1u << pin)) != 0;
        int source = WiredSource(inputs.wiring, pin);
        return source == 0 || OutputPinLevel(inputs, source);
    }
    return OutputPinLevel(inputs, pin);
}

uint8_t InputLevels(const PinInputs& inputs) {
    uint8_t levels = 0;
    for (int i = 0; i < 5; ++i)
        if (PinLevel(inputs, kInputPins[i])) levels |= 1u << i;
    return levels;
}

uint8_t DataLevels(const PinInputs& inputs) {
    uint8_t levels = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (PinLevel(inputs, PinOfBit(Register::Data, bit))) levels |= static_cast<uint8_t>(1u << bit);
    return levels;
}

uint8_t StatusFromLevels(uint8_t levels) {
    // kInputPins is in the order of S3..S7; BUSY reaches S7 through an inverter.
    return static_cast<uint8_t>((levels << 3 | 0x07) ^ 0x80);
}

uint8_t StatusFromPins(const PinInputs& inputs) { return StatusFromLevels(InputLevels(inputs)); }

}  // namespace vport
