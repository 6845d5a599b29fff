#include "WatchLines.h"

#include "EcrModes.h"

namespace portcheck {

const LineChoice kLineChoices[2] = {
    {"inputs", WatchedLines::Inputs, "the 5 status inputs, one read a sample"},
    {"all", WatchedLines::All, "all 17 lines: data, status and control, three reads a sample"},
};

const LineChoice& ChoiceOf(WatchedLines lines) { return kLineChoices[lines == WatchedLines::All ? 1 : 0]; }

const LineChoice* FindLineChoice(const std::string& word) {
    for (const LineChoice& choice : kLineChoices)
        if (word == choice.word) return &choice;
    return nullptr;
}

std::string LineWords() { return std::string(kLineChoices[0].word) + " or " + kLineChoices[1].word; }

std::vector<const Pin*> WatchedPins(WatchedLines lines) {
    std::vector<const Pin*> pins;
    for (const Pin& pin : kPins)
        if (lines == WatchedLines::All || pin.reg == Register::Status) pins.push_back(&pin);
    return pins;
}

uint32_t SampleMask(WatchedLines lines) {
    uint32_t mask = 0;
    for (const Pin* pin : WatchedPins(lines)) mask |= SampleBit(*pin);
    return mask;
}

std::string WireName(const Pin& pin) {
    std::string name = "pin" + std::to_string(pin.number) + "_";
    for (const char* c = pin.signal; *c; ++c) name += *c == '/' ? 'n' : *c == ' ' ? '_' : *c;
    return name;
}

}  // namespace portcheck

namespace portcheck {

namespace {

// "pins 1, 14, 16, 17".
std::string PinList(const std::vector<const Pin*>& pins) {
    std::string text;
    for (const Pin* pin : pins) text += (text.empty() ? "pins " : ", ") + std::to_string(pin->number);
    return text;
}

bool FifoMode(int ecrMode) { return ecrMode == kEcrParallelFifo || ecrMode == kEcrEcpFifo; }

}  // namespace

ShownLines LinesShown(WatchedLines lines, uint8_t control, int ecrMode, const std::string& ecrModeText) {
    ShownLines shown;
    std::vector<const Pin*> noReadBack, fromFifo;
    for (const Pin* pin : WatchedPins(lines)) {
        const bool strobe = pin == &PinAt(1);
        if (FifoMode(ecrMode) && (pin->reg == Register::Data || strobe))
            fromFifo.push_back(pin);
        else if (pin->reg == Register::Control && control == 0xFF)
            noReadBack.push_back(pin);
        else
            shown.pins.push_back(pin);
    }
    for (const Pin* pin : shown.pins) shown.mask |= SampleBit(*pin);
    if (!fromFifo.empty())
        shown.leftOut += "  data lines and /STROBE (" + PinList(fromFifo) + "): not seen: the port is in ECR " + ecrModeText + ", where it drives them from its FIFO\n";
    if (!noReadBack.empty())
        shown.leftOut += "  control lines (" + PinList(noReadBack) +
                         ") left out: the control register reads 0xFF, so this port does not show them\n";
    return shown;
}

}  // namespace portcheck
