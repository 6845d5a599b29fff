#include "LoopbackPlug.h"

#include <cstring>
#include <initializer_list>

namespace portcheck {

namespace {

// The status inputs; BUSY reaches S7 through an inverter.
constexpr InputPin kError{15, "/ERROR", 0x08, false};
constexpr InputPin kSelect{13, "SELECT", 0x10, false};
constexpr InputPin kPaperOut{12, "PAPER OUT", 0x20, false};
constexpr InputPin kAck{10, "/ACK", 0x40, false};
constexpr InputPin kBusy{11, "BUSY", 0x80, true};

constexpr OutputPin DataPin(int bit) {
    constexpr const char* names[] = {"D0", "D1", "D2", "D3", "D4"};
    return OutputPin{2 + bit, names[bit], OutputRegister::Data, static_cast<uint8_t>(1u << bit),
                     false};
}

}  // namespace

const LoopbackPlug kDataPlug = {
    "data",
    {{DataPin(0), kError},
     {DataPin(1), kSelect},
     {DataPin(2), kPaperOut},
     {DataPin(3), kAck},
     {DataPin(4), kBusy}},
};

const LoopbackPlug kControlPlug = {
    "control",
    {{{1, "/STROBE", OutputRegister::Control, 0x01, true}, kSelect},
     {{14, "/AUTOFEED", OutputRegister::Control, 0x02, true}, kPaperOut},
     {{16, "/INIT", OutputRegister::Control, 0x04, false}, kAck},
     {{17, "/SELECT IN", OutputRegister::Control, 0x08, true}, kBusy},
     {DataPin(0), kError}},
};

const LoopbackPlug* FindPlug(const char* name) {
    for (const LoopbackPlug* plug : {&kDataPlug, &kControlPlug})
        if (std::strcmp(plug->name, name) == 0) return plug;
    return nullptr;
}

Registers RegistersFor(const LoopbackPlug& plug, Levels levels, Registers working) {
    Registers values = working;
    for (int i = 0; i < kPairs; ++i) {
        const OutputPin& out = plug.pairs[i].output;
        uint8_t& value = out.reg == OutputRegister::Data ? values.data : values.control;
        const bool high = (levels >> i) & 1;
        if (high != out.inverted)
            value |= out.mask;
        else
            value &= ~out.mask;
    }
    return values;
}

Levels InputLevels(const LoopbackPlug& plug, uint8_t status) {
    Levels levels = 0;
    for (int i = 0; i < kPairs; ++i) {
        const InputPin& in = plug.pairs[i].input;
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
