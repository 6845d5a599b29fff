#include "LoopbackPlug.h"

#include <cstring>

namespace portcheck {

namespace {

// Output pin `output` wired to input pin `input`.
constexpr WiredPair Wire(int output, int input) { return {PinAt(output), PinAt(input)}; }

}  // namespace

const LoopbackPlug kDataPlug = {"data", {Wire(2, 15), Wire(3, 13), Wire(4, 12), Wire(5, 10), Wire(6, 11)}};

const LoopbackPlug kControlPlug = {"control",
                                   {Wire(1, 13), Wire(14, 12), Wire(16, 10), Wire(17, 11), Wire(2, 15)}};

const LoopbackPlug* const kPlugs[2] = {&kDataPlug, &kControlPlug};

const LoopbackPlug* FindPlug(const char* name) {
    for (const LoopbackPlug* plug : kPlugs)
        if (std::strcmp(plug->name, name) == 0) return plug;
    return nullptr;
}

std::string WiringText(const LoopbackPlug& plug) {
    std::string signals, pins;
    for (const WiredPair& pair : plug.pairs) {
        const char* comma = signals.empty() ? "" : ", ";
        signals += comma + std::string(pair.output.signal) + "-" + pair.input.signal;
        pins += comma + std::to_string(pair.output.number) + "-" + std::to_string(pair.input.number);
    }
    return signals + " (pins " + pins + ")";
}

Registers DrivenBits(const LoopbackPlug& plug) {
    Registers bits;
    for (const WiredPair& pair : plug.pairs) (pair.output.reg == Register::Data ? bits.data : bits.control) |= pair.output.mask;
    return bits;
}

Registers RegistersFor(const LoopbackPlug& plug, Levels levels, Registers working) {
    Registers values = working;
    for (int i = 0; i < kPairs; ++i) {
        const Pin& out = plug.pairs[i].output;
        uint8_t& value = out.reg == Register::Data ? values.data : values.control;
        const bool high = (levels >> i) & 1;
        if (high != out.inverted)
            value |= out.mask;
        else
            value &= ~out.mask;
    }
    return values;
}

Levels OutputLevels(const LoopbackPlug& plug, Registers values) {
    Levels levels = 0;
    for (int i = 0; i < kPairs; ++i) {
        const Pin& out = plug.pairs[i].output;
        const uint8_t value = out.reg == Register::Data ? values.data : values.control;
        if (((value & out.mask) != 0) != out.inverted) levels |= 1u << i;
    }
    return levels;
}

Levels InputLevels(const LoopbackPlug& plug, uint8_t status) {
    Levels levels = 0;
    for (int i = 0; i < kPairs; ++i) {
        const Pin& in = plug.pairs[i].input;
        if (((status & in.mask) != 0) != in.inverted) levels |= 1u << i;
    }
    return levels;
}

Levels InputsAmong(const LoopbackPlug& plug, uint8_t bits) {
    Levels inputs = 0;
    for (int i = 0; i < kPairs; ++i)
        if (bits & plug.pairs[i].input.mask) inputs |= 1u << i;
    return inputs;
}

}  // namespace portcheck
