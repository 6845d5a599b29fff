#include "ConsoleText.h"

#include <cstdio>

#include "ChipModel.h"
#include "EcrModes.h"
#include "PinModel.h"
#include "SignalConsole.h"

namespace vport {

namespace {

struct PinInfo {
    const char* name;
    const char* role;  // the register bit behind the pin
};

// Pins 1-17 in order; pins 18-25 are ground.
const PinInfo kPins[17] = {
    {"/STROBE", "out  C0 inverted"},
    {"D0", "out  data bit 0"},
    {"D1", "out  data bit 1"},
    {"D2", "out  data bit 2"},
    {"D3", "out  data bit 3"},
    {"D4", "out  data bit 4"},
    {"D5", "out  data bit 5"},
    {"D6", "out  data bit 6"},
    {"D7", "out  data bit 7"},
    {"/ACK", "in   S6"},
    {"BUSY", "in   S7 inverted"},
    {"PAPER OUT", "in   S5"},
    {"SELECT", "in   S4"},
    {"/AUTOFEED", "out  C1 inverted"},
    {"/ERROR", "in   S3"},
    {"/INIT", "out  C2"},
    {"/SELECT IN", "out  C3 inverted"},
};

struct ChipInfo {
    Chip chip;
    const char* name;
    const char* summary;
};

constexpr ChipInfo kChips[] = {
    {Chip::Ideal, "ideal", "reads back all it was written; the data pins always drive"},
    {Chip::Spp, "spp", "control bits 5-7 read 1; the data pins always drive"},
    {Chip::Ps2, "ps2", "C5 set turns the data pins into inputs; C6 and C7 read 1"},
    {Chip::Ecp, "ecp", "ps2 with the extended block: FIFO, config B, ECR 0x15 (see ecr-mode)"},
    {Chip::FragileEcr, "fragile-ecr", "ecp as a PCI part written 00001 in ECR bits 4-0: bit 2 written as 1 locks it up"},
    {Chip::Epp, "epp", "spp; accesses of base+3..+7 set the EPP time-out, status bit 0"},
    {Chip::NoReadback, "no-readback", "spp whose control register reads 0xFF"},
    {Chip::EppBlocking, "epp-blocking", "epp that ignores data and control writes while its time-out is set"},
    {Chip::Ps2Zero, "ps2-zero", "ps2 whose control bits 5-7 read 0 (C5 still turns the pins around)"},
};

constexpr bool EveryChipInOrder() {
    if (sizeof kChips / sizeof kChips[0] != kChipCount) return false;
    for (int n = 0; n < kChipCount; ++n)
        if (kChips[n].chip != static_cast<Chip>(n)) return false;
    return true;
}
static_assert(EveryChipInOrder(), "a name for every chip, in the order of Chip");


std::string Binary(uint8_t value) {
    std::string bits;
    for (int bit = 7; bit >= 0; --bit) bits += (value >> bit & 1) ? '1' : '0';
    return bits;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string Line(const char* label, const std::string& text) {
    char start[16];
    std::snprintf(start, sizeof start, "%-9s", label);
    return start + text + "\n";
}

std::string RegisterLine(const char* name, uint8_t value, const std::string& note) {
    return Line(name, Hex(value, 2) + "  " + Binary(value) + note);
}

std::string LatchNote(uint8_t read, uint8_t latch) {
    return read == latch ? "" : "  latch " + Hex(latch, 2);
}

// The chip's lines of `show`: which chip, where, and its own state.
std::string ChipLines(const PortSettings& s) {
    std::string text = Line("chip", ChipName(s.chip));
    if (s.lockedUp) text += Line("locked", "ECR bit 2 was written as 1: every register reads 0xFF until reset");
    text += Line("base", Hex(s.base, 3) + ": data " + Hex(s.base, 3) + ", status " + Hex(s.base + 1u, 3) +
                             ", control " + Hex(s.base + 2u, 3));
    if (HasEcr(s.chip)) {
        const unsigned e = s.extendedBase;
        text += Line("extended", Hex(e, 3) + (s.extendedAuto ? " (base+0x400)" : "") + ": FIFO " + Hex(e, 3) +
                                     ", config B " + Hex(e + 1, 3) + ", ECR " + Hex(e + 2, 3));
        text += Line("ECR", Hex(s.ecr, 2) + "  " + Binary(s.ecr) + "  mode " + EcrModeText(s.ecr) + ", FIFO " +
                                std::to_string(s.fifoCount) + " of 16 bytes" +
                                (s.fifoHeld ? ", held up by the peripheral" : ""));
        text += Line("sent", std::to_string(s.strobesSent) + " bytes strobed out by the FIFO modes; " +
                                 std::to_string(s.serviceInterrupts) + " service interrupts (ECR bit 2 written as 0)");
    }
    if (HasEppRegisters(s.chip))
        text += Line("time-out", std::string(s.eppTimeout ? "set" : "clear") + " (status bit 0), cleared by " +
                                     EppClearText(EppClearOf(s)) +
                                     (s.chip == Chip::EppBlocking ? "; data and control writes ignored while set" : ""));
    if (s.readbackFromPins) text += Line("readback", "data and control bits 0-3 read the pins");
    if (s.serialOn)
        text += Line("serial", Hex(s.serialBase, 3) + "-" + Hex(s.serialBase + 7u, 3) + ": FIFOs " +
                                   (s.serialFcr & 0x01 ? "on" : "OFF") + ", FIFO control written " +
                                   std::to_string(s.serialFcrWrites) + " times, " + std::to_string(s.serialBytesSent) +
                                   " bytes sent");
    return text;
}

std::string TimingLines(const PortSettings& s) {
    std::string text = Line("settle", s.settleMicros == 0 ? "none: inputs follow their outputs at once"
                                                          : std::to_string(s.settleMicros) + " us" +
                                                                (s.settleRisingOnly ? ", rising edges only" : ""));
    text += Line("pulse", PulseText(s.signals.pulse)) + Line("uart", UartText(s.signals.uart));
    if (s.intruderPeriodMs == 0) return text + Line("intruder", "off");
    return text + Line("intruder", "every " + std::to_string(s.intruderPeriodMs) + " ms" +
                                       (s.intruderHolding ? ", holding the lines now" : ""));
}

// Where a pin's level comes from, after its role.
std::string PinNotes(const PortSnapshot& snapshot, int pin) {
    std::string notes;
    if (int source = WiredSource(snapshot.wiring, pin)) notes += ", wired to pin " + std::to_string(source);
    if (snapshot.settings.heldLow & (1u << pin))
        notes += IsDataPin(pin) && snapshot.dataDrives ? ", held low (counts only as an input)" : ", held low";
    for (int i = 0; i < 5; ++i)
        if (kInputPins[i] == pin && snapshot.settings.looseEvery[i] != 0)
            notes += ", loose: low once in " + std::to_string(snapshot.settings.looseEvery[i]) + " reads";
    return notes;
}

}  // namespace

const char* WiringName(Wiring wiring) {
    switch (wiring) {
    case Wiring::None: return "none";
    case Wiring::DataLoopback: return "data loopback";
    case Wiring::ControlLoopback: return "control loopback";
    }
    return "unknown";
}

const char* DriverStateName(bool running) { return running ? "running" : "stopped"; }

const char* ChipName(Chip chip) {
    const int n = static_cast<int>(chip);
    return n < kChipCount ? kChips[n].name : "unknown";
}

const char* ChipSummary(Chip chip) {
    const int n = static_cast<int>(chip);
    return n < kChipCount ? kChips[n].summary : "";
}

bool ChipFromName(const std::string& name, Chip* chip) {
    for (int n = 0; n < kChipCount; ++n)
        if (name == kChips[n].name) {
            *chip = static_cast<Chip>(n);
            return true;
        }
    return false;
}

std::string ChipNames() {
    std::string names;
    for (const ChipInfo& info : kChips) names += (names.empty() ? "" : ", ") + std::string(info.name);
    return names;
}

EppClear EppClearOf(const PortSettings& s) {
    return s.eppClearByReading ? EppClear::ReadTwice : s.eppClearByZero ? EppClear::WriteZero : EppClear::WriteOne;
}

const char* EppClearText(EppClear way) {
    switch (way) {
    case EppClear::WriteOne: return "writing it as 1";
    case EppClear::WriteZero: return "writing it as 0";
    case EppClear::ReadTwice: return "two status reads in a row";
    }
    return "";
}

std::string EcrModeText(uint8_t ecr) { return Binary(ecr).substr(0, 3) + " " + kEcrModeNames[ecr >> 5]; }

PortSnapshot TakeSnapshot(const PortState& port) {
    PortSnapshot snapshot;
    snapshot.name = PortState::Name();
    snapshot.file = PortState::FilePath();
    snapshot.settings = port.Settings();
    const uint16_t base = snapshot.settings.base;
    snapshot.data = port.Data();
    snapshot.control = port.Control();
    snapshot.dataRead = port.Peek(base);
    snapshot.statusRead = port.Peek(static_cast<uint16_t>(base + 1));
    snapshot.controlRead = port.Peek(static_cast<uint16_t>(base + 2));
    snapshot.statusForced = port.StatusForced();
    snapshot.dataDrives = port.DataPinsDrive();
    snapshot.wiring = port.GetWiring();
    snapshot.driverRunning = port.DriverRunning();
    for (int pin = 1; pin <= 17; ++pin) snapshot.pinHigh[pin] = port.PinLevel(pin);
    return snapshot;
}

std::string FormatSnapshot(const PortSnapshot& snapshot) {
    std::string text = Line("port", snapshot.name + ", kept in " + snapshot.file);
    text += ChipLines(snapshot.settings) + TimingLines(snapshot.settings);
    text += Line("wiring", WiringName(snapshot.wiring)) + Line("driver", DriverStateName(snapshot.driverRunning));
    text += RegisterLine("data", snapshot.dataRead,
                         (snapshot.dataDrives ? "" : "  the pins: C5 makes them inputs") +
                             LatchNote(snapshot.dataRead, snapshot.data));
    text += RegisterLine("status", snapshot.statusRead, snapshot.statusForced ? "  forced" : "");
    text += RegisterLine("control", snapshot.controlRead, LatchNote(snapshot.controlRead, snapshot.control));
    text += "pin  name        level  dir  register\n";
    for (int pin = 1; pin <= 17; ++pin) {
        const bool input = IsDataPin(pin) && !snapshot.dataDrives;
        char line[96];
        std::snprintf(line, sizeof line, "%3d  %-10s  %-5s  %s%s", pin, kPins[pin - 1].name,
                      snapshot.pinHigh[pin] ? "high" : "low", input ? "in " : "",
                      input ? kPins[pin - 1].role + 3 : kPins[pin - 1].role);
        text += line + PinNotes(snapshot, pin) + "\n";
    }
    return text;
}

std::string FormatAccess(const Access& access) {
    char line[48];
    std::snprintf(line, sizeof line, "%c 0x%04X %s 0x%02X%s", access.write ? 'W' : 'R', access.port,
                  access.write ? "<-" : "->", access.value,
                  access.driverStopped ? "  (driver stopped)" : access.intruder ? "  (intruder)" : "");
    return line;
}

}  // namespace vport
