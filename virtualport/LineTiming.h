// The input lines between the plug and the status register: a change of an
// output that takes a while to reach the input wired to it (a long cable
// with weak pull-ups), and loose contacts. Called with the port's lock held.
#pragma once

#include <cstdint>

#include "ChipModel.h"
#include "PinModel.h"
#include "SharedLayout.h"

namespace vport {

// `levels`, the five inputs' (bit i: kInputPins[i]), as they show now: a
// pin still settling shows its old level. A counted read is one of the
// program's status reads: it counts for loose contacts.
uint8_t TimedInputLevels(SharedLayout& s, uint8_t levels, bool countedRead);
// The same for the levels the pins have now; inline, so that a read of
// lines without timing or loose contacts costs a test only.
inline uint8_t ShownInputLevels(SharedLayout& s, bool countedRead) {
    const uint8_t levels = InputLevels(PinInputsNow(s));
    const uint32_t loose = s.looseEvery[0] | s.looseEvery[1] | s.looseEvery[2] | s.looseEvery[3] | s.looseEvery[4];
    return s.settling || (countedRead && loose) ? TimedInputLevels(s, levels, countedRead) : levels;
}

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
