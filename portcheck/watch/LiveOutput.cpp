#include "LiveOutput.h"

#include "WatchLines.h"
#include "WatchText.h"

namespace portcheck {

namespace {

const int64_t kNsPerSecond = 1000000000;

std::string TimeColumn(int64_t ns) {
    std::string time = Grouped(static_cast<uint64_t>(ns / 1000)) + " us";
    return std::string(time.size() < 14 ? 14 - time.size() : 0, ' ') + time + "  ";
}

}  // namespace

std::string LiveOutput::Levels(uint32_t changed, uint32_t sample) const {
    std::string text;
    for (const Pin* pin : pins_) {
        if (!(changed & SampleBit(*pin))) continue;
        text += (text.empty() ? "" : ", ") + std::string("pin ") + std::to_string(pin->number) + " " + pin->signal +
                (PinHigh(sample, *pin) ? " high" : " low");
    }
    return text;
}

std::string LiveOutput::Start(uint32_t sample) const {
    uint32_t all = 0;
    for (const Pin* pin : pins_) all |= SampleBit(*pin);
    return TimeColumn(0) + Levels(all, sample) + "\n";
}

std::string LiveOutput::CloseSecond() {
    std::string text;
    if (folding_ || changes_ > budget_)
        text = Grouped(changes_) + " change" + (changes_ == 1 ? "" : "s") + " in the last second, recording all\n";
    folding_ = changes_ > budget_;
    changes_ = 0;
    ++second_;
    return text;
}

std::string LiveOutput::Reached(int64_t ns) {
    std::string text;
    while (ns / kNsPerSecond > second_) text += CloseSecond();
    return text;
}

std::string LiveOutput::Change(uint32_t before, uint32_t after, int64_t ns) {
    std::string text = Reached(ns);
    if (++changes_ > budget_ || folding_) return text;
    return text + TimeColumn(ns) + Levels(before ^ after, after) + "\n";
}

}  // namespace portcheck
