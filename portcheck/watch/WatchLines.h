// The lines --watch records: the five status inputs (one read a sample), or
// all seventeen signal lines the panel shows (data, status and control:
// three reads a sample). A sample packs the three registers into one word,
// data | status << 8 | control << 16, each masked to its signal lines, so
// that comparing two words tells whether any watched line changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ParallelPins.h"

namespace portcheck {

enum class WatchedLines { Inputs, All };

// The words of --lines, with what each records (for --help and the first line).
struct LineChoice {
    const char* word;
    WatchedLines lines;
    const char* what;
};
extern const LineChoice kLineChoices[2];
const LineChoice& ChoiceOf(WatchedLines lines);
// The choice named `word`, or null.
const LineChoice* FindLineChoice(const std::string& word);
// "inputs or all".
std::string LineWords();

// A pin's bit in a sample.
constexpr uint32_t SampleBit(const Pin& pin) { return uint32_t(pin.mask) << (8 * static_cast<int>(pin.reg)); }

uint32_t SampleMask(WatchedLines lines);
// The watched pins, in pin order.
std::vector<const Pin*> WatchedPins(WatchedLines lines);
// The watched lines the port really shows. Control lines only where the
// control register reads back: one that reads 0xFF shows nothing. Data and
// /STROBE not in the ECR's FIFO modes, where hardware drives them from the
// FIFO and the data register does not show them.
struct ShownLines {
    std::vector<const Pin*> pins;
    uint32_t mask = 0;
    std::string leftOut;  // a line per group left out, saying why
};
// `ecrMode`: the ECR's mode bits, or -1 where no ECR is known; `ecrModeText`
// names it ("mode 010 parallel-port FIFO").
ShownLines LinesShown(WatchedLines lines, uint8_t control, int ecrMode, const std::string& ecrModeText);

// The pin's level (true: high) in `sample`: the port inverts some lines.
inline bool PinHigh(uint32_t sample, const Pin& pin) { return ((sample & SampleBit(pin)) != 0) != pin.inverted; }

// The pin's name as a wire of a logic viewer: "pin11_BUSY", "pin10_nACK"
// (an active-low "/" as "n"), "pin12_PAPER_OUT".
std::string WireName(const Pin& pin);

}  // namespace portcheck
