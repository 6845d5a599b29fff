// The input lines between the plug and the status register: a change of an
// output that takes a while to reach the input wired to it (a long cable
// with weak pull-ups), and loose contacts. Called with the port's lock held.
#pragma once

#include <cstdint>

#include "SharedLayout.h"

namespace vport {

// The levels the five inputs show now (bit i: kInputPins[i]): the pins'
// levels, except that a pin still settling shows its old level. A counted
// read is one of the program's status reads: it counts for loose contacts.
uint8_t ShownInputLevels(SharedLayout& s, bool countedRead);

// Bracket a change of the latches or of the data pins' direction:
//   OutputChange change = BeginOutputChange(s); ...; EndOutputChange(s, change);
// Each input whose level the change moves starts settling from the level it
// showed. Without a settling time both do nothing.
struct OutputChange {
    int64_t now = 0;
    uint8_t shown = 0;
    uint8_t levels = 0;
};
OutputChange BeginOutputChange(SharedLayout& s);
void EndOutputChange(SharedLayout& s, const OutputChange& change);

}  // namespace vport
