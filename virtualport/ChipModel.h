// What the port's chips do with the accesses at their addresses. What each
// kind has (Chips.h): data, status and control at base..base+2 (and again
// every 0x400 on a chip decoding 10 address bits); control as its row reads
// it back; with a direction bit, control bit 5 set makes the data pins
// inputs (the data register then reads the pins: 0xFF from the pull-ups,
// less pins held low or a signal holds low; writes still go to the latch).
//
// With an ECR, the extended block (base + 0x400, or a block of its own)
// holds the FIFO at +0, config B at +1, the ECR at +2. The ECR's mode (bits
// 7-5) decides what the data register does:
//   000 standard: the data pins drive whatever bit 5 says;
//   001 PS/2: bit 5 works as on a chip with a direction bit;
//   010 (parallel-port FIFO, forward only): writes of base+0 or the FIFO go
//     out to the pins at once with a strobe, or wait in the 16-byte FIFO
//     while the peripheral holds the transfer up (ChipQuirks.h);
//   011 (ECP FIFO): as 010, but bit 5 set turns it around: the data pins
//     are inputs, the data register reads them, and nothing written is sent;
//   110 (test): writes go into the FIFO, a read of it takes a byte out;
//   100 EPP: as 000;
//   111 configuration: as 000; the FIFO's address reads config A.
// The ECR reads the mode, bits 4-2 as written and the FIFO flags in bits
// 1-0 (01 empty, 10 full, 00 neither): 0x15 at power-up. From a mode above
// 001 it takes 000 or 001 only (ChipQuirks.h). A mode change empties the
// FIFO. Bit 2 written as 0 fires the service interrupt, and the chip sets
// it again (not on a chip that locks up on bit 2).
//
// With EPP registers, base+3..base+7 read 0xFF (there is no EPP device) and
// set the time-out flag, status bit 0, on every access. It stays set until
// a write to status clears it (bit 0 as 1, or as 0), or two status reads in
// a row, as chosen.
//
// Status bits 1-2 read 1 (and bit 0, but for EPP registers). Every other port
// reads 0xFF and drops writes. Called with the port's lock held.
#pragma once

#include <cstdint>

#include "PinModel.h"
#include "PortState.h"
#include "SharedLayout.h"
#include "SignalGenerator.h"

namespace vport {

uint16_t ExtendedBlockStart(const SharedLayout& s);
// Whether the port's eight addresses from `base` and the extended block's
// three from `extended` share one (both multiples of 4).
bool BlocksOverlap(uint16_t base, uint16_t extended);

bool DataPinsDrive(const SharedLayout& s);
// What sets the pins, but the signals.
PinInputs PinInputsOf(const SharedLayout& s);
// And with the signals at their levels now, as a read sees them; inline,
// so that without signals it costs a test only.
inline PinInputs PinInputsNow(const SharedLayout& s) {
    PinInputs inputs = PinInputsOf(s);
    if (HasSignals(s)) AddSignalLevels(s, &inputs);
    return inputs;
}

// The chip's own state at power-up: ECR 0x15 (mode 000), FIFO empty, counts at 0, time-out
// clear, not locked up.
void ChipPowerUp(SharedLayout& s);
// The ECR as a read of it gives.
uint8_t EcrValue(const SharedLayout& s);
void SetEcr(SharedLayout& s, uint8_t value);

// A read of `port`; with `effects`, it also does to the chip what a read
// does (the time-out flag, the FIFO in test mode, loose contacts).
uint8_t ChipRead(SharedLayout& s, uint16_t port, bool effects);
void ChipWrite(SharedLayout& s, uint16_t port, uint8_t value);
// A latch written as the port's outputs see it, with settling (offset 0
// data, 2 control).
void SetLatch(SharedLayout& s, int offset, uint8_t value);

}  // namespace vport
