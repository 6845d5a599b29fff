#include "WatchLines.h"

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
