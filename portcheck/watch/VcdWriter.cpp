#include "VcdWriter.h"

#include "WatchLines.h"

namespace portcheck {

namespace {

const size_t kBufferBytes = 1 << 16;
const char kFirstId = '!';  // wires are named by one printable character each

std::string Id(int wire) { return std::string(1, static_cast<char>(kFirstId + wire)); }

}  // namespace

bool VcdWriter::Open(const std::string& path) {
    path_ = path;
    std::string why;
    if (!file_.Create(path, &why)) {
        error_ = "cannot write the VCD file \"" + path + "\": " + why;
        return false;
    }
    buffer_.reserve(kBufferBytes + 4096);
    return true;
}

void VcdWriter::Append(const std::string& text) {
    buffer_ += text;
    if (buffer_.size() >= kBufferBytes) Flush();
}

void VcdWriter::Begin(const std::vector<const Pin*>& pins, uint32_t sample, const std::string& comment) {
    pins_ = pins;
    blindWire_ = static_cast<int>(pins.size());
    changedNow_.assign(pins.size() + 1, true);  // the levels at 0 are set: a change at 0 goes to 1
    std::string header = "$comment " + comment +
                         "; the wire blind is 1 where no sample was taken for longer than 10 times the median "
                         "interval: a pulse shorter than that may be missing there $end\n"
                         "$timescale 1 us $end\n$scope module port $end\n";
    for (size_t wire = 0; wire < pins.size(); ++wire)
        header += "$var wire 1 " + Id(static_cast<int>(wire)) + " " + WireName(*pins[wire]) + " $end\n";
    header += "$var wire 1 " + Id(blindWire_) + " blind $end\n$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n";
    for (size_t wire = 0; wire < pins.size(); ++wire)
        header += (PinHigh(sample, *pins[wire]) ? "1" : "0") + Id(static_cast<int>(wire)) + "\n";
    Append(header + "0" + Id(blindWire_) + "\n$end\n");
}

void VcdWriter::At(int64_t micros, int wire) {
    if (micros < time_ || (micros == time_ && changedNow_[static_cast<size_t>(wire)]))
        micros = changedNow_[static_cast<size_t>(wire)] ? time_ + 1 : time_;
    if (micros != time_) {
        time_ = micros;
        changedNow_.assign(changedNow_.size(), false);
        Append("#" + std::to_string(micros) + "\n");
    }
    changedNow_[static_cast<size_t>(wire)] = true;
}

void VcdWriter::Value(int wire, bool high) { Append((high ? "1" : "0") + Id(wire) + "\n"); }

void VcdWriter::Change(int64_t micros, uint32_t before, uint32_t after) {
    for (size_t wire = 0; wire < pins_.size(); ++wire) {
        const Pin& pin = *pins_[wire];
        if (!((before ^ after) & SampleBit(pin))) continue;
        At(micros, static_cast<int>(wire));
        Value(static_cast<int>(wire), PinHigh(after, pin));
    }
}

void VcdWriter::Blind(int64_t startMicros, int64_t endMicros) {
    At(startMicros, blindWire_);
    Value(blindWire_, true);
    At(endMicros, blindWire_);
    Value(blindWire_, false);
}

bool VcdWriter::Flush() {
    if (!open() || buffer_.empty()) return open();
    std::string why;
    if (!file_.Write(buffer_, &why)) {
        error_ = "cannot write the VCD file \"" + path_ + "\": " + why;
        return false;
    }
    buffer_.clear();
    return true;
}

void VcdWriter::Discard() {
    file_.Delete();
}

bool VcdWriter::Close(int64_t endMicros, const std::string& comment) {
    if (!open()) return false;
    if (endMicros > time_) Append("#" + std::to_string(endMicros) + "\n");
    if (!comment.empty()) Append("$comment " + comment + " $end\n");
    const bool flushed = Flush();
    file_.Close();
    return flushed;
}

}  // namespace portcheck
