// What real chips do beyond a plain register file (what can sit at an
// address a program takes for the port's own: SerialPort.h). Called with
// the port's lock held, from ChipModel.
//
//  - An ECR's service interrupt: writing ECR bit 2 as 0 arms the chip's
//    interrupt (and with bit 3 set its DMA); the forward FIFO is empty, so
//    it fires at once and the chip sets bit 2 again itself. Each is counted.
//  - The FIFO modes 010 and 011 send every byte written to the pins with a
//    strobe, unless the peripheral holds the transfer up (the FIFO then
//    keeps its bytes).
//  - An ECR in a mode above 001 takes only 000 or 001: a change between
//    two of the others (from one FIFO mode to another) goes through them,
//    and a direct one leaves the mode as it is. A card that sets the mode
//    from its EEPROM keeps it whatever is written.
//  - Read-back from the pins: data and control bits 0-3 read the lines, so
//    a line shorted low reads low even while the port drives it high (open
//    collector control lines, and the data register of many ports).
#pragma once

#include <cstdint>

#include "SharedLayout.h"

namespace vport {

// ECR bit 2 written as 0: the interrupt it arms fires and sets it again.
void ServiceInterrupt(SharedLayout& s);

// What a write of `value` to the ECR leaves in it: the mode it has where
// the chip refuses the one written, bits 4-0 as written.
uint8_t EcrWriteTaken(const SharedLayout& s, uint8_t value);

// A byte of the FIFO of mode 010 or 011 sent out: on the pins, with a strobe.
void StrobeOut(SharedLayout& s, uint8_t value);

// With read-back from the pins: the data register and control bits 0-3 as
// the lines are; `chipRead` is what the chip would read otherwise.
uint8_t DataFromPins(const SharedLayout& s, uint8_t chipRead);
uint8_t ControlFromPins(const SharedLayout& s, uint8_t chipRead);

}  // namespace vport
