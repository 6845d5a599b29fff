// A 16550 serial port at eight addresses of its own, as a card's lies beside
// its parallel port, or where base + 0x402 of a PCI port points. Its register
// file is a real one's, reads that change it included:
//   +0 read: takes a received byte out of the receive FIFO (16 bytes; one
//      without FIFOs); empty, it reads the last byte taken again (0 before
//      any). Write: sends a byte (counted). In loopback (MCR bit 4) the byte
//      comes back into the receive FIFO instead.
//   +1 interrupt enable: keeps bits 3-0, bits 7-4 read 0.
//   +2 read: interrupt identification, bits 7-6 11 with the FIFOs on; the
//      most urgent of: line status (0x06), received data (0x04, or the
//      character time-out 0x0C below the FIFO's trigger level), transmitter
//      empty (0x02: this read clears it), modem status (0x00); idle 0x01.
//      Write: FIFO control (bit 0 FIFOs on, and with it off the rest is
//      ignored; a change of it, or bit 1, empties the receive FIFO).
//   +3 line control: keeps all bits; bit 7 (DLAB) puts the divisor latch at
//      +0 and +1.
//   +4 modem control: keeps bits 4-0.
//   +5 line status: 0x60 (transmitter idle), bit 0 while a byte waits, bits
//      4-1 (break, framing, parity, overrun) raised until this read clears
//      them; bit 7 with the FIFOs on while parity, framing or break is.
//   +6 modem status: bits 7-4 the modem lines (DCD, RI, DSR, CTS; in
//      loopback, MCR bits 3-0), bits 3-0 their changes (RI's as it goes
//      inactive) until this read clears them.
//   +7 scratch: keeps all bits.
// Pure functions of the registers below; the port's lock is held by callers.
#pragma once

#include <cstdint>

namespace vport {

inline constexpr uint32_t kSerialFifoSize = 16;
inline constexpr uint8_t kSerialFifosOn = 0x01;  // FIFO control bit 0

// The serial port's state in the shared block: fixed sizes, the same offsets
// in 32-bit and 64-bit processes.
struct SerialRegisters {
    uint32_t bytesSent;     // bytes written to the transmitter
    uint16_t base;          // its first address, while on
    uint8_t on;
    uint8_t fcr;            // last written to its FIFO control (bit 0: FIFOs on)
    uint8_t fcrWrites;      // writes of its FIFO control (up to 255)
    uint8_t ier;            // interrupt enable, bits 3-0
    uint8_t lcr;            // line control
    uint8_t mcr;            // modem control, bits 4-0
    uint8_t divisorLow;
    uint8_t divisorHigh;
    uint8_t scratch;
    uint8_t lineErrors;     // line status bits 4-1 raised and not yet read
    uint8_t modemLines;     // modem status bits 7-4 from outside (loopback aside)
    uint8_t modemChanges;   // modem status bits 3-0 raised and not yet read
    uint8_t transmitterInterrupt;  // non-zero: "transmitter empty" pending
    uint8_t received;       // bytes waiting in the receive FIFO
    uint8_t receiveHead;
    uint8_t lastReceived;   // what +0 reads with nothing waiting
    uint8_t reserved[2];
    uint8_t receive[kSerialFifoSize];
};
static_assert(sizeof(SerialRegisters) == 40, "no padding that differs between builds");

// What can be named of it: the line errors of line status bits 4-1, the
// modem lines of modem status bits 7-4 (the console's words and `show`'s).
struct SerialFlag {
    const char* word;  // "overrun"
    uint8_t bit;
};
inline constexpr SerialFlag kSerialLineErrors[] = {
    {"overrun", 0x02}, {"parity", 0x04}, {"framing", 0x08}, {"break", 0x10}};
inline constexpr SerialFlag kSerialModemLines[] = {{"cts", 0x10}, {"dsr", 0x20}, {"ri", 0x40}, {"dcd", 0x80}};

// `on`: a 16550 at `start` as just reset, its FIFOs turned on (FIFO control
// 0x01) as a serial driver leaves one it has started, nothing waiting,
// counts at 0. Off: none.
void SerialPowerUp(SerialRegisters& r, bool on, uint16_t start);

bool IsSerialAddress(const SerialRegisters& r, uint16_t port);
// A read of the register at `offset` (0-7); with `effects`, it also does
// what the read does to the chip.
uint8_t SerialRead(SerialRegisters& r, int offset, bool effects);
void SerialWrite(SerialRegisters& r, int offset, uint8_t value);

// What comes from outside: a byte arriving (one that finds the FIFO full is
// lost, or with the FIFOs off takes the waiting one's place, and raises
// overrun), line errors (line status bits 4-1), the modem lines now active
// (modem status bits 7-4; each change raises its change bit).
void SerialReceive(SerialRegisters& r, uint8_t byte);
void SerialRaiseErrors(SerialRegisters& r, uint8_t bits);
void SerialSetModemLines(SerialRegisters& r, uint8_t lines);

// The registers as reads give them now, without their effects.
uint8_t SerialInterruptId(const SerialRegisters& r);
uint8_t SerialLineStatus(const SerialRegisters& r);
uint8_t SerialModemStatus(const SerialRegisters& r);
uint16_t SerialDivisor(const SerialRegisters& r);
// The byte waiting `n`-th (0: the next a read takes).
uint8_t SerialWaiting(const SerialRegisters& r, uint32_t n);

}  // namespace vport
