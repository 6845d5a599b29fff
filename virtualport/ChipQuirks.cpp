#include "ChipQuirks.h"

#include "ChipModel.h"
#include "LineTiming.h"
#include "ParallelPins.h"
#include "PinModel.h"

namespace vport {

namespace {

const uint8_t kEcrServiceBit = 0x04;
const uint8_t kEcrBelowMode = 0x1F;
const uint8_t kControlLineBits = 0x0F;

}  // namespace

void ServiceInterrupt(SharedLayout& s) {
    ++s.serviceInterrupts;
    s.ecr |= kEcrServiceBit;
}

uint8_t EcrWriteTaken(const SharedLayout& s, uint8_t value) {
    const uint8_t mode = s.ecr >> 5, asked = value >> 5;
    const bool refused = TraitsOf(static_cast<Chip>(s.chip)).Has(kEcrModeFixed) || (mode > kEcrPs2 && asked > kEcrPs2);
    return refused ? static_cast<uint8_t>(mode << 5 | (value & kEcrBelowMode)) : value;
}

void StrobeOut(SharedLayout& s, uint8_t value) {
    SetLatch(s, 0, value);
    ++s.strobesSent;
}

uint8_t DataFromPins(const SharedLayout& s, uint8_t chipRead) {
    return SettingOf(s, SettingId::Readback) ? DataLevels(PinInputsNow(s)) : chipRead;
}

uint8_t ControlFromPins(const SharedLayout& s, uint8_t chipRead) {
    if (!SettingOf(s, SettingId::Readback)) return chipRead;
    const PinInputs inputs = PinInputsNow(s);
    uint8_t lines = 0;
    for (int bit = 0; bit < 4; ++bit) {
        const Pin& pin = PinAt(PinOfBit(Register::Control, bit));
        if (PinLevel(inputs, pin.number) != pin.inverted) lines |= static_cast<uint8_t>(1u << bit);
    }
    return static_cast<uint8_t>((chipRead & ~kControlLineBits) | lines);
}

}  // namespace vport
