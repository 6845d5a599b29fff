#include "SerialPort.h"

#include <cstring>

namespace vport {

namespace {

enum SerialRegister {
    kData = 0,  // receive / transmit; with DLAB the divisor's low byte
    kInterruptEnable = 1,  // with DLAB the divisor's high byte
    kInterruptId = 2,   // read; FIFO control on write
    kLineControl = 3,
    kModemControl = 4,
    kLineStatus = 5,
    kModemStatus = 6,
    kScratch = 7,
};

const uint8_t kDlab = 0x80;              // line control bit 7
const uint8_t kLoopback = 0x10;          // modem control bit 4
const uint8_t kClearReceive = 0x02;      // FIFO control bit 1
const uint8_t kFifoControlKept = 0xC9;   // trigger level, DMA mode, FIFOs on; bits 1-2 clear themselves
const uint8_t kIirFifos = 0xC0;

// Interrupt enable bits.
const uint8_t kReceiveInterrupt = 0x01;
const uint8_t kTransmitInterrupt = 0x02;
const uint8_t kLineInterrupt = 0x04;
const uint8_t kModemInterrupt = 0x08;

// Line status.
const uint8_t kDataReady = 0x01;
const uint8_t kTransmitterIdle = 0x60;  // holding register and shift register empty
const uint8_t kFrameErrors = 0x1C;      // parity, framing, break
const uint8_t kFifoError = 0x80;

const uint8_t kTriggerLevels[] = {1, 4, 8, 14};  // by FIFO control bits 7-6

bool FifosOn(const SerialRegisters& r) { return (r.fcr & kSerialFifosOn) != 0; }
bool Dlab(const SerialRegisters& r) { return (r.lcr & kDlab) != 0; }
bool Loopback(const SerialRegisters& r) { return (r.mcr & kLoopback) != 0; }

// Modem status bits 7-4: in loopback DCD, RI, DSR, CTS are OUT2, OUT1,
// DTR, RTS (modem control bits 3, 2, 0, 1).
uint8_t ModemLines(const SerialRegisters& r) {
    if (!Loopback(r)) return r.modemLines;
    const uint8_t m = r.mcr;
    return static_cast<uint8_t>((m & 0x02) << 3 | (m & 0x01) << 5 | (m & 0x04) << 4 | (m & 0x08) << 4);
}

// From the modem lines as they were to as they are: DCTS, DDSR and DDCD on
// any change, TERI as RI goes inactive.
void NoteModemChange(SerialRegisters& r, uint8_t before) {
    const uint8_t after = ModemLines(r);
    r.modemChanges |= static_cast<uint8_t>(((before ^ after) >> 4) & 0x0B);
    if ((before & 0x40) && !(after & 0x40)) r.modemChanges |= 0x04;
}

uint8_t TakeReceived(SerialRegisters& r, bool effects) {
    if (r.received == 0) return r.lastReceived;
    const uint8_t byte = r.receive[r.receiveHead];
    if (effects) {
        r.receiveHead = static_cast<uint8_t>((r.receiveHead + 1) % kSerialFifoSize);
        --r.received;
        r.lastReceived = byte;
    }
    return byte;
}

void WriteFifoControl(SerialRegisters& r, uint8_t value) {
    // With bit 0 clear the chip ignores the other bits: FIFOs off, all cleared.
    const uint8_t kept = value & kSerialFifosOn ? static_cast<uint8_t>(value & kFifoControlKept) : 0;
    if (((kept ^ r.fcr) & kSerialFifosOn) || (value & kClearReceive)) r.received = r.receiveHead = 0;
    r.fcr = kept;
    if (r.fcrWrites < 255) ++r.fcrWrites;
}

}  // namespace

void SerialPowerUp(SerialRegisters& r, bool on, uint16_t start) {
    std::memset(&r, 0, sizeof r);
    if (!on) return;
    r.on = 1;
    r.base = start;
    r.fcr = kSerialFifosOn;
}

bool IsSerialAddress(const SerialRegisters& r, uint16_t port) {
    return r.on && static_cast<uint16_t>(port - r.base) < 8;
}

uint8_t SerialInterruptId(const SerialRegisters& r) {
    const uint8_t fifos = FifosOn(r) ? kIirFifos : 0;
    if ((r.ier & kLineInterrupt) && r.lineErrors) return fifos | 0x06;
    if ((r.ier & kReceiveInterrupt) && r.received) {
        // Below the trigger level the bytes have waited longer than four
        // characters' time by the time anyone reads: a time-out.
        const bool belowTrigger = FifosOn(r) && r.received < kTriggerLevels[r.fcr >> 6];
        return fifos | (belowTrigger ? 0x0C : 0x04);
    }
    if ((r.ier & kTransmitInterrupt) && r.transmitterInterrupt) return fifos | 0x02;
    if ((r.ier & kModemInterrupt) && r.modemChanges) return fifos;
    return fifos | 0x01;
}

uint8_t SerialLineStatus(const SerialRegisters& r) {
    uint8_t status = static_cast<uint8_t>(kTransmitterIdle | r.lineErrors | (r.received ? kDataReady : 0));
    if (FifosOn(r) && (r.lineErrors & kFrameErrors)) status |= kFifoError;
    return status;
}

uint8_t SerialModemStatus(const SerialRegisters& r) { return static_cast<uint8_t>(ModemLines(r) | r.modemChanges); }

uint16_t SerialDivisor(const SerialRegisters& r) { return static_cast<uint16_t>(r.divisorHigh << 8 | r.divisorLow); }

uint8_t SerialWaiting(const SerialRegisters& r, uint32_t n) {
    return r.receive[(r.receiveHead + n) % kSerialFifoSize];
}

uint8_t SerialRead(SerialRegisters& r, int offset, bool effects) {
    switch (offset) {
    case kData: return Dlab(r) ? r.divisorLow : TakeReceived(r, effects);
    case kInterruptEnable: return Dlab(r) ? r.divisorHigh : r.ier;
    case kInterruptId: {
        const uint8_t id = SerialInterruptId(r);
        if (effects && (id & 0x0F) == 0x02) r.transmitterInterrupt = 0;
        return id;
    }
    case kLineControl: return r.lcr;
    case kModemControl: return r.mcr;
    case kLineStatus: {
        const uint8_t status = SerialLineStatus(r);
        if (effects) r.lineErrors = 0;
        return status;
    }
    case kModemStatus: {
        const uint8_t status = SerialModemStatus(r);
        if (effects) r.modemChanges = 0;
        return status;
    }
    default: return r.scratch;
    }
}

void SerialWrite(SerialRegisters& r, int offset, uint8_t value) {
    switch (offset) {
    case kData:
        if (Dlab(r)) {
            r.divisorLow = value;
        } else if (Loopback(r)) {
            SerialReceive(r, value);  // the line out is held idle: nothing leaves the chip
            r.transmitterInterrupt = 1;
        } else {
            ++r.bytesSent;
            r.transmitterInterrupt = 1;  // sent at once: the holding register is empty again
        }
        break;
    case kInterruptEnable:
        if (Dlab(r)) {
            r.divisorHigh = value;
            break;
        }
        // Enabling it with the holding register empty raises it at once.
        if ((value & ~r.ier) & kTransmitInterrupt) r.transmitterInterrupt = 1;
        r.ier = value & 0x0F;
        break;
    case kInterruptId: WriteFifoControl(r, value); break;
    case kLineControl: r.lcr = value; break;
    case kModemControl: {
        const uint8_t before = ModemLines(r);
        r.mcr = value & 0x1F;
        NoteModemChange(r, before);
        break;
    }
    case kScratch: r.scratch = value; break;
    default: break;  // line and modem status take no write
    }
}

void SerialReceive(SerialRegisters& r, uint8_t byte) {
    const uint32_t room = FifosOn(r) ? kSerialFifoSize : 1;
    if (r.received < room) {
        r.receive[(r.receiveHead + r.received) % kSerialFifoSize] = byte;
        ++r.received;
        return;
    }
    r.lineErrors |= 0x02;  // overrun
    // Without FIFOs the holding register takes the new byte; a full FIFO keeps its own.
    if (!FifosOn(r)) r.receive[r.receiveHead] = byte;
}

void SerialRaiseErrors(SerialRegisters& r, uint8_t bits) { r.lineErrors |= bits & 0x1E; }

void SerialSetModemLines(SerialRegisters& r, uint8_t lines) {
    const uint8_t before = ModemLines(r);
    r.modemLines = lines & 0xF0;
    NoteModemChange(r, before);
}

}  // namespace vport
