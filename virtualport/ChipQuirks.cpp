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

enum SerialRegister { kTransmit = 0, kInterruptId = 2, kLineControl = 3, kLineStatus = 5 };

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

bool IsSerialAddress(const SharedLayout& s, uint16_t port) {
    return s.serialOn && static_cast<uint16_t>(port - s.serialBase) < 8;
}

uint8_t SerialRead(const SharedLayout& s, uint16_t port) {
    switch (port - s.serialBase) {
    case kInterruptId: return s.serialFcr & kSerialFifosOn ? 0xC1 : 0x01;
    case kLineControl: return 0x03;  // 8 data bits, no parity, 1 stop bit
    case kLineStatus: return 0x60;   // transmitter empty
    default: return 0x00;
    }
}

void SerialWrite(SharedLayout& s, uint16_t port, uint8_t value) {
    switch (port - s.serialBase) {
    case kTransmit: ++s.serialBytesSent; break;
    case kInterruptId:
        s.serialFcr = value;
        if (s.serialFcrWrites < 255) ++s.serialFcrWrites;
        break;
    default: break;
    }
}

}  // namespace vport
