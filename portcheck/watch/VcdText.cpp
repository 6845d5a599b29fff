#include "VcdText.h"

#include "WatchLines.h"

namespace portcheck {

namespace {

const char kFirstId = '!';  // wires are named by one printable character each

std::string Id(int wire) { return std::string(1, static_cast<char>(kFirstId + wire)); }

std::string Timescale(int64_t unitNs) {
    return unitNs >= 1000 ? "1 us" : std::to_string(unitNs) + " ns";
}

}  // namespace

int64_t VcdUnitNs(double sampleNs) {
    int64_t unit = 1000;
    while (unit > 1 && unit > sampleNs) unit /= 10;
    return unit;
}

void VcdText::Begin(const std::vector<const Pin*>& pins, uint32_t sample, const std::string& comment,
                    int64_t unitNs) {
    pins_ = pins;
    unitNs_ = unitNs;
    blindWire_ = static_cast<int>(pins.size());
    changedNow_.assign(pins.size() + 1, true);  // the levels at 0 are set: a change at 0 goes to 1
    std::string header = "$comment " + comment + " $end\n$timescale " + Timescale(unitNs) +
                         " $end\n$scope module port $end\n";
    for (size_t wire = 0; wire < pins.size(); ++wire)
        header += "$var wire 1 " + Id(static_cast<int>(wire)) + " " + WireName(*pins[wire]) + " $end\n";
    header += "$var wire 1 " + Id(blindWire_) + " blind $end\n$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n";
    for (size_t wire = 0; wire < pins.size(); ++wire)
        header += (PinHigh(sample, *pins[wire]) ? "1" : "0") + Id(static_cast<int>(wire)) + "\n";
    text_ += header + "0" + Id(blindWire_) + "\n$end\n";
}

void VcdText::At(int64_t ns, int wire) {
    int64_t units = ns / unitNs_;
    const bool again = changedNow_[static_cast<size_t>(wire)];
    if (units < time_ || (units == time_ && again)) units = again ? time_ + 1 : time_;
    if (units != time_) {
        time_ = units;
        changedNow_.assign(changedNow_.size(), false);
        text_ += "#" + std::to_string(units) + "\n";
    }
    changedNow_[static_cast<size_t>(wire)] = true;
}

void VcdText::Value(int wire, bool high) {
    text_ += high ? '1' : '0';
    text_ += Id(wire);
    text_ += '\n';
}

void VcdText::Change(int64_t ns, uint32_t before, uint32_t after) {
    for (size_t wire = 0; wire < pins_.size(); ++wire) {
        const Pin& pin = *pins_[wire];
        if (!((before ^ after) & SampleBit(pin))) continue;
        At(ns, static_cast<int>(wire));
        Value(static_cast<int>(wire), PinHigh(after, pin));
    }
}

void VcdText::Blind(int64_t startNs, int64_t endNs) {
    At(startNs, blindWire_);
    Value(blindWire_, true);
    At(endNs, blindWire_);
    Value(blindWire_, false);
}

void VcdText::End(int64_t endNs, const std::string& comment) {
    const int64_t units = endNs / unitNs_;
    text_ += "#" + std::to_string(units > time_ ? units : time_ + 1) + "\n";
    if (!comment.empty()) text_ += "$comment " + comment + " $end\n";
}

}  // namespace portcheck
