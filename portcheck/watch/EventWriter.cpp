#include "EventWriter.h"

namespace portcheck {

EventWriter::EventWriter(const std::vector<const Pin*>& pins, uint32_t firstSample, const BlindRule& rule,
                         const TickScale& scale, VcdText* vcd)
    : pins_(pins), rule_(rule), scale_(scale), vcd_(vcd), live_(pins, rule), stats_(pins, firstSample),
      last_(firstSample) {}

std::string EventWriter::Begin(const std::string& what, int64_t unitNs) {
    if (vcd_) vcd_->Begin(pins_, last_, what + "; " + BlindRuleText(rule_) + ": the wire blind is 1 there", unitNs);
    return live_.Start(last_);
}

std::string EventWriter::Take(const WatchEvent& event) {
    const int64_t ns = scale_.Ns(event.tick);
    if (event.kind == WatchEvent::Blind) {
        const int64_t since = scale_.Ns(event.since);
        if (vcd_) vcd_->Blind(since, ns);
        return live_.Blind(since, ns);
    }
    const bool certain = event.kind == WatchEvent::Change;
    const std::string text = live_.Change(last_, event.sample, ns, !certain);
    if (vcd_) vcd_->Change(ns, last_, event.sample);
    stats_.Change(event.sample, ns, certain);
    last_ = event.sample;
    ++changes_;
    return text;
}

std::string EventWriter::End(int64_t tick, const std::string& tally) {
    const int64_t ns = scale_.Ns(tick);
    if (vcd_) vcd_->End(ns, tally);
    return live_.Reached(ns);
}

}  // namespace portcheck
