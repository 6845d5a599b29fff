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

std::string Counted(uint64_t count, const char* what) {
    return Grouped(count) + " " + what + (count == 1 ? "" : "s");
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
    const bool changesFolded = folding_ || changes_ > budget_;
    if (changesFolded || blind_ > blindBudget_) {
        text = Counted(changes_, "change") + " in the last second, ";
        text += blind_ == 0 ? "recording all\n"
                            : Counted(blind_, "blind interval") + ", " + Micros(blindNs_) + " in all: " +
                                  MayBeMissedText(rule_) + " there\n";
    }
    folding_ = changes_ > budget_;
    changes_ = 0;
    blind_ = 0;
    blindNs_ = 0;
    ++second_;
    return text;
}

std::string LiveOutput::Reached(int64_t ns) {
    std::string text;
    while (ns / kNsPerSecond > second_) text += CloseSecond();
    return text;
}

std::string LiveOutput::Change(uint32_t before, uint32_t after, int64_t ns, bool uncertain) {
    std::string text = Reached(ns);
    if (++changes_ > budget_ || folding_) return text;
    return text + TimeColumn(ns) + Levels(before ^ after, after) +
           (uncertain ? " (came during the blind interval before)" : "") + "\n";
}

std::string LiveOutput::Blind(int64_t startNs, int64_t endNs) {
    std::string text = Reached(startNs);
    blindNs_ += static_cast<double>(endNs - startNs);
    if (++blind_ > blindBudget_) return text;
    return text + TimeColumn(startNs) + "blind for " + Micros(static_cast<double>(endNs - startNs)) +
           ": a pulse narrower than " + Micros(rule_.trustedNs) + " may be missing here\n";
}

}  // namespace portcheck
