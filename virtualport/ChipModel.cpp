#include "ChipModel.h"

#include "ChipQuirks.h"
#include "EcrModes.h"
#include "LineTiming.h"
#include "SerialPort.h"

namespace vport {

namespace {

// Which of the chip's registers (or the serial port's) an address reaches.
enum class Target { None, Data, Status, Control, Epp, Fifo, ConfigB, Ecr, Serial };

const uint8_t kControlDirection = 0x20;  // control bit 5
const uint16_t kTenBitAddresses = 0x3FF;
const uint8_t kEcrServiceBit = 0x04;
const uint8_t kConfigA = 0x10;  // an 8-bit FIFO, no interrupt pending
const uint8_t kConfigB = 0x00;  // IRQ and DMA set by jumpers

Chip ChipOf(const SharedLayout& s) { return static_cast<Chip>(s.chip); }
uint8_t ModeOf(const SharedLayout& s) { return s.ecr >> 5; }
EppClear EppClearOf(const SharedLayout& s) { return static_cast<EppClear>(SettingOf(s, SettingId::EppClear)); }

bool IgnoresSppCycles(const SharedLayout& s) { return TraitsOf(ChipOf(s)).Has(kIgnoresSppWhileTimedOut) && s.eppTimeout; }

bool InFifoMode(const SharedLayout& s) {
    const uint8_t mode = ModeOf(s);
    return HasEcr(ChipOf(s)) && (mode == kEcrParallelFifo || mode == kEcrEcpFifo || mode == kEcrTestFifo);
}

Target Decode(const SharedLayout& s, uint16_t port) {
    if (s.lockedUp) return Target::None;
    const Chip chip = ChipOf(s);
    uint16_t offset = static_cast<uint16_t>(port - s.base);
    if (TraitsOf(chip).Has(kTenBitDecode)) offset &= kTenBitAddresses;  // bits 10-15 not decoded
    if (offset < 3) return static_cast<Target>(offset + 1);
    if (offset < 8 && HasEppRegisters(chip)) return Target::Epp;
    if (HasEcr(chip)) {
        const uint16_t extended = static_cast<uint16_t>(port - ExtendedBlockStart(s));
        if (extended < 3) return static_cast<Target>(static_cast<int>(Target::Fifo) + extended);
    }
    return IsSerialAddress(s.serial, port) ? Target::Serial : Target::None;
}

uint8_t StatusRead(SharedLayout& s, bool effects) {
    if (s.statusForced) return s.forcedStatus;
    uint8_t status = StatusFromLevels(ShownInputLevels(s, effects));
    if (!HasEppRegisters(ChipOf(s))) return status;
    status = static_cast<uint8_t>((status & 0xFE) | s.eppTimeout);
    if (effects && EppClearOf(s) == EppClear::ReadTwice && ++s.statusReadsInRow >= 2) s.eppTimeout = 0;
    return status;
}

uint8_t FifoRead(SharedLayout& s, bool effects) {
    const uint8_t mode = ModeOf(s);
    if (mode == kEcrConfiguration) return kConfigA;
    if (mode != kEcrTestFifo || s.fifoCount == 0) return 0xFF;  // no peripheral sends anything
    const uint8_t value = s.fifo[s.fifoHead];
    if (effects) {
        s.fifoHead = static_cast<uint8_t>((s.fifoHead + 1) % kFifoSize);
        --s.fifoCount;
    }
    return value;
}

void FifoWrite(SharedLayout& s, uint8_t value) {
    // 011 turned around by C5 fills from the peripheral: nothing written goes out.
    if (!DataPinsDrive(s)) return;
    // 010 and 011 send it out at once, unless the peripheral holds the transfer up.
    if (ModeOf(s) != kEcrTestFifo && !s.fifoHeld) {
        StrobeOut(s, value);
        return;
    }
    if (s.fifoCount == kFifoSize) return;  // full: the byte is lost
    s.fifo[(s.fifoHead + s.fifoCount) % kFifoSize] = value;
    ++s.fifoCount;
}

}  // namespace

uint16_t ExtendedBlockStart(const SharedLayout& s) {
    return s.extendedAuto ? static_cast<uint16_t>(s.base + kIsaExtendedOffset) : s.extendedBase;
}

bool BlocksOverlap(uint16_t base, uint16_t extended) {
    // Both start at multiples of 4, so the block's three addresses overlap
    // the port's eight only by starting among them.
    return static_cast<uint16_t>(extended - base) < 8;
}

bool DataPinsDrive(const SharedLayout& s) {
    const Chip chip = ChipOf(s);
    if (!HasDirectionBit(chip) || !(s.control & kControlDirection)) return true;
    // Of the ECR's modes, 001 and the ECP FIFO's 011 turn around; the others drive.
    return HasEcr(chip) && ModeOf(s) != kEcrPs2 && ModeOf(s) != kEcrEcpFifo;
}

PinInputs PinInputsOf(const SharedLayout& s) {
    PinInputs inputs;
    inputs.data = s.data;
    inputs.control = s.control;
    inputs.wiring = static_cast<Wiring>(SettingOf(s, SettingId::Wiring));
    inputs.pulledLow = s.pulledLow;
    inputs.dataDrives = DataPinsDrive(s);
    inputs.outputsShortable = SettingOf(s, SettingId::Readback) != 0;
    return inputs;
}

void ChipPowerUp(SharedLayout& s) {
    s.ecr = 0x14;  // as most are found: error and service interrupts off
    s.fifoCount = 0;
    s.fifoHeld = 0;
    s.fifoHead = 0;
    s.serviceInterrupts = 0;
    s.strobesSent = 0;
    s.lockedUp = 0;
    s.eppTimeout = 0;
    s.statusReadsInRow = 0;
}

uint8_t EcrValue(const SharedLayout& s) {
    const uint8_t flags = s.fifoCount == 0 ? 0x01 : s.fifoCount == kFifoSize ? 0x02 : 0x00;
    return static_cast<uint8_t>(s.ecr | flags);
}

void SetEcr(SharedLayout& s, uint8_t value) {
    const OutputChange change = BeginOutputChange(s);  // the mode can turn the data pins around
    if (value >> 5 != ModeOf(s)) s.fifoCount = s.fifoHeld = 0;  // a transfer under way is abandoned
    s.ecr = value & 0xFC;
    EndOutputChange(s, change);
}

void SetLatch(SharedLayout& s, int offset, uint8_t value) {
    const OutputChange change = BeginOutputChange(s);
    (offset == 0 ? s.data : s.control) = value;
    EndOutputChange(s, change);
}

uint8_t ChipRead(SharedLayout& s, uint16_t port, bool effects) {
    const Target target = Decode(s, port);
    if (effects && target != Target::Status) s.statusReadsInRow = 0;
    switch (target) {
    case Target::Data:
        if (DataPinsDrive(s)) return DataFromPins(s, s.data);
        // Inputs: the pull-ups, less pins held low (and what signals drive).
        return HasSignals(s) ? DataLevels(PinInputsNow(s)) : static_cast<uint8_t>(~(s.pulledLow >> 2));
    case Target::Status: return StatusRead(s, effects);
    case Target::Control: return ControlFromPins(s, ControlReadBack(ChipOf(s), s.control));
    case Target::Serial: return SerialRead(s.serial, port - s.serial.base, effects);
    case Target::Epp:
        if (effects) s.eppTimeout = 1;
        return 0xFF;
    case Target::Fifo: return FifoRead(s, effects);
    case Target::ConfigB: return kConfigB;
    case Target::Ecr: return EcrValue(s);
    case Target::None: break;
    }
    return 0xFF;
}

void ChipWrite(SharedLayout& s, uint16_t port, uint8_t value) {
    const Target target = Decode(s, port);
    s.statusReadsInRow = 0;
    if (IgnoresSppCycles(s) && (target == Target::Data || target == Target::Control)) return;
    switch (target) {
    case Target::Data:
        if (InFifoMode(s))
            FifoWrite(s, value);
        else
            SetLatch(s, 0, value);
        break;
    case Target::Status:
        // Chips clear the flag by a write of 1, of 0, or not at all (by reads).
        if (HasEppRegisters(ChipOf(s)) && EppClearOf(s) != EppClear::ReadTwice &&
            (value & 0x01) == (EppClearOf(s) == EppClear::WriteZero ? 0 : 1))
            s.eppTimeout = 0;
        break;
    case Target::Control: SetLatch(s, 2, value); break;
    case Target::Epp: s.eppTimeout = 1; break;
    case Target::Fifo:
        if (InFifoMode(s)) FifoWrite(s, value);
        break;
    case Target::Ecr:
        if (TraitsOf(ChipOf(s)).Has(kLocksUpOnEcrBit2) && (value & kEcrServiceBit)) {
            s.lockedUp = 1;
            break;
        }
        SetEcr(s, EcrWriteTaken(s, value));
        // The locking chip's own pattern writes bit 2 as 0 and raises nothing.
        if (!(value & kEcrServiceBit) && !TraitsOf(ChipOf(s)).Has(kLocksUpOnEcrBit2)) ServiceInterrupt(s);
        break;
    case Target::Serial: SerialWrite(s.serial, port - s.serial.base, value); break;
    case Target::ConfigB:
    case Target::None: break;
    }
}

}  // namespace vport
