// What each kind of chip does with the accesses at its addresses. Every
// chip has data, status and control at base..base+2; what the chips differ
// in, as real ones do:
//
//   ideal        control reads back all 8 bits as written; the data pins always drive.
//   spp          control reads back bits 0-4, bits 5-7 read 1.
//   ps2          control bit 5 set makes the data pins inputs: the data register
//                then reads the pins (0xFF from the pull-ups, less pins held low);
//                writes still go to the latch. Control reads bits 0-5, 6-7 read 1.
//   ecp          ps2 plus the extended block (base + 0x400, or a block of its own):
//                FIFO at +0, config B at +1, ECR at +2. The ECR's mode (bits 7-5)
//                decides what the data register does:
//                  000 standard: the data pins drive whatever bit 5 says;
//                  001 PS/2: bit 5 works as on ps2;
//                  010, 011 (FIFO modes): writes of base+0 or the FIFO go out to
//                    the pins at once with a strobe, or wait in the 16-byte FIFO
//                    while the peripheral holds the transfer up (ChipQuirks.h);
//                  110 (test): writes go into the FIFO, a read of it takes a byte out;
//                  100 EPP: as 000;
//                  111 configuration: as 000; the FIFO's address reads config A.
//                The ECR reads the mode, bits 4-2 as written and the FIFO flags in
//                bits 1-0 (01 empty, 10 full, 00 neither): 0x15 at power-up. A mode
//                change empties the FIFO. Bit 2 written as 0 fires the service
//                interrupt, and the chip sets it again.
//   fragile-ecr  ecp as a PCI part whose driver writes ECR bits 4-0 as 00001: a
//                write of the ECR with bit 2 set locks the chip up (every register
//                reads 0xFF and takes no write until reset); bit 2 as 0 raises nothing.
//   epp          spp plus the EPP registers at base+3..base+7, which read 0xFF
//                (there is no EPP device) and set the time-out flag, status bit
//                0, on every access. It stays set until a write to status with
//                bit 0 set clears it, or two status reads in a row, as chosen.
//   no-readback  spp whose control register reads 0xFF.
//   epp-blocking epp that drops every data and control write while its time-out
//                flag is set, as some chips ignore SPP cycles then.
//   ps2-zero     ps2 whose control bits 5-7 read 0: bit 5 turns the pins around
//                all the same, unseen.
//
// Status bits 1-2 read 1 (and bit 0, except on epp). Every other port
// reads 0xFF and drops writes. Called with the port's lock held.
#pragma once

#include <cstdint>

#include "PinModel.h"
#include "PortState.h"
#include "SharedLayout.h"

namespace vport {

bool HasEcr(Chip chip);
bool HasEppRegisters(Chip chip);  // base+3..+7 and the time-out flag
uint16_t ExtendedBlockStart(const SharedLayout& s);
// Whether the port's eight addresses from `base` and the extended block's
// three from `extended` share one (both multiples of 4).
bool BlocksOverlap(uint16_t base, uint16_t extended);

bool DataPinsDrive(const SharedLayout& s);
PinInputs PinInputsOf(const SharedLayout& s);

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
