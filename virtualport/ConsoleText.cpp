#include "ConsoleText.h"

#include <cstdio>

#include "ChipModel.h"
#include "EcrModes.h"
#include "PinModel.h"
#include "SignalConsole.h"

namespace vport {

namespace {

// A pin's direction and register bit: "out  C0 inverted", "in   S6",
// "out  data bit 0"; a data pin read as an input "in   data bit 0".
std::string PinRole(const Pin& pin, bool input) {
    int bit = 0;
    while ((pin.mask >> bit) != 1) ++bit;
    const std::string direction = input || pin.reg == Register::Status ? "in   " : "out  ";
    if (pin.reg == Register::Data) return direction + "data bit " + std::to_string(bit);
    return direction + (pin.reg == Register::Status ? "S" : "C") + std::to_string(bit) +
           (pin.inverted ? " inverted" : "");
}

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

// The serial port's lines of `show`: where, what was written, and what its
// reads would take or clear.
std::string SerialLines(const SerialRegisters& r) {
    const unsigned base = r.base;
    std::string text = Line("serial", Hex(base, 3) + "-" + Hex(base + 7u, 3) + ": FIFOs " +
                                          (r.fcr & kSerialFifosOn ? "on" : "OFF") + ", FIFO control written " +
                                          std::to_string(r.fcrWrites) + " times, " + std::to_string(r.bytesSent) +
                                          " bytes sent");
    std::string waiting;
    for (uint32_t n = 0; n < r.received; ++n) waiting += " " + Hex(SerialWaiting(r, n), 2);
    text += Line("received", r.received == 0 ? "nothing waiting: " + Hex(base, 3) + " reads " + Hex(r.lastReceived, 2) +
                                                   " again"
                                             : Bytes(r.received) + " waiting," + waiting +
                                                   ": a read of " + Hex(base, 3) + " takes one");
    const std::string errors = SerialFlagWords(kSerialLineErrors, r.lineErrors);
    text += Line("errors", (errors.empty() ? "none" : errors + ": a read of " + Hex(base + 5u, 3) + " clears them") +
                               " (line status " + Hex(SerialLineStatus(r), 2) + ")");
    const std::string lines = SerialFlagWords(kSerialModemLines, SerialModemStatus(r) & 0xF0);
    const std::string changes = SerialFlagWords(kSerialModemLines, static_cast<uint8_t>(r.modemChanges << 4));
    text += Line("modem", (lines.empty() ? "no line active" : lines + " active") +
                              (changes.empty() ? ", no change" : "; changed " + changes + ": a read of " +
                                                                     Hex(base + 6u, 3) + " clears the changes") +
                              " (modem status " + Hex(SerialModemStatus(r), 2) + ")");
    return text + Line("16550", "IER " + Hex(r.ier, 2) + ", IIR " + Hex(SerialInterruptId(r), 2) + ", LCR " +
                                    Hex(r.lcr, 2) + (r.lcr & 0x80 ? " (divisor latch at +0, +1)" : "") + ", MCR " +
                                    Hex(r.mcr, 2) + (r.mcr & 0x10 ? " (loopback)" : "") + ", divisor " +
                                    Hex(SerialDivisor(r), 4) + ", scratch " + Hex(r.scratch, 2));
}

// The chip's lines of `show`: which chip, where, and its own state.
std::string ChipLines(const PortSettings& s) {
    const ChipTraits& chip = TraitsOf(s.chip);
    std::string text = Line("chip", chip.name) + Line("", chip.summary);
    if (s.lockedUp) text += Line("locked", "ECR bit 2 was written as 1: every register reads 0xFF until reset");
    text += Line("base", Hex(s.base, 3) + ": data " + Hex(s.base, 3) + ", status " + Hex(s.base + 1u, 3) +
                             ", control " + Hex(s.base + 2u, 3));
    if (chip.Has(kTenBitDecode))
        text += Line("aliases", Hex((s.base + 0x400u) & 0xFFFF, 3) + "-" + Hex((s.base + 0x402u) & 0xFFFF, 3) +
                                    " and so on every 0x400: data, status and control again (10 address bits)");
    if (chip.Has(kEcr)) {
        const unsigned e = s.extendedBase;
        text += Line("extended", Hex(e, 3) + (s.extendedAuto ? " (base+0x400)" : "") + ": FIFO " + Hex(e, 3) +
                                     ", config B " + Hex(e + 1, 3) + ", ECR " + Hex(e + 2, 3));
        text += Line("ECR", Hex(s.ecr, 2) + "  " + Binary(s.ecr) + "  mode " + EcrModeText(s.ecr) +
                                (chip.Has(kEcrModeFixed) ? " (set by the card: writes keep it)" : "") + ", FIFO " +
                                std::to_string(s.fifoCount) + " of 16 bytes" +
                                (s.fifoHeld ? ", held up by the peripheral" : ""));
        text += Line("sent", std::to_string(s.strobesSent) + " bytes strobed out by the FIFO modes; " +
                                 std::to_string(s.serviceInterrupts) + " service interrupts (ECR bit 2 written as 0)");
    }
    if (chip.Has(kEppRegisters))
        text += Line("time-out", std::string(s.eppTimeout ? "set" : "clear") + " (status bit 0), cleared by " +
                                     SettingShown(RowOf(SettingId::EppClear), s.Value(SettingId::EppClear)) +
                                     (chip.Has(kIgnoresSppWhileTimedOut) ? "; data and control writes ignored while set" : ""));
    if (s.serial.on) text += SerialLines(s.serial);
    return text;
}

// A signal's line: what it is, and what reads it.
std::string SignalLine(const char* label, int pin, const std::string& what, const PortSnapshot& snapshot) {
    LineReaders readers;
    readers.readbackPins = snapshot.settings.Value(SettingId::Readback) != 0;
    readers.dataDrives = snapshot.dataDrives;
    readers.wiring = snapshot.wiring;
    return Line(label, pin == 0 ? what : what + "; " + SignalSeenText(pin, readers));
}

std::string TimingLines(const PortSnapshot& snapshot) {
    const PortSettings& s = snapshot.settings;
    std::string text = Line("settle", s.settleMicros == 0 ? "none: inputs follow their outputs at once"
                                                          : std::to_string(s.settleMicros) + " us" +
                                                                (s.settleRisingOnly ? ", rising edges only" : ""));
    text += SignalLine("pulse", s.signals.pulse.pin, PulseText(s.signals.pulse), snapshot) +
            SignalLine("uart", s.signals.uart.pin, UartText(s.signals.uart), snapshot);
    if (s.intruderPeriodMs == 0) return text + Line("intruder", "off");
    return text + Line("intruder", "every " + std::to_string(s.intruderPeriodMs) + " ms" +
                                       (s.intruderHolding ? ", holding the lines now" : ""));
}

// Where a pin's level comes from, after its role.
std::string PinNotes(const PortSnapshot& snapshot, int pin) {
    std::string notes;
    if (int source = WiredSource(snapshot.wiring, pin)) notes += ", wired to pin " + std::to_string(source);
    if (snapshot.settings.heldLow & (1u << pin)) {
        // An output held low is a short where read-back comes from the pins.
        const bool output = IsControlPin(pin) || (IsDataPin(pin) && snapshot.dataDrives);
        if (output && snapshot.settings.Value(SettingId::Readback))
            notes += ", shorted to ground: low while driven high";
        else if (output)
            notes += IsDataPin(pin) ? ", held low (counts only as an input)" : ", held low (counts only with `readback pins`)";
        else
            notes += ", held low";
    }
    const PortSignals& signals = snapshot.settings.signals;
    if (pin == signals.pulse.pin) notes += ", pulse signal";
    if (pin == signals.uart.pin) notes += ", uart signal";
    for (int i = 0; i < 5; ++i)
        if (kInputPins[i] == pin && snapshot.settings.looseEvery[i] != 0)
            notes += ", loose: low once in " + std::to_string(snapshot.settings.looseEvery[i]) + " reads";
    return notes;
}

}  // namespace

std::string Bytes(size_t count) { return std::to_string(count) + (count == 1 ? " byte" : " bytes"); }

const char* WiringName(Wiring wiring) {
    const SettingRow& row = RowOf(SettingId::Wiring);
    const uint32_t value = static_cast<uint32_t>(wiring);
    return value <= MostOf(row) ? row.words[value].shown : "unknown";
}

std::string SettingShown(const SettingRow& row, uint32_t value) {
    if (WordCount(row) == 0) return std::to_string(value) + row.unit;
    return value <= MostOf(row) ? row.words[value].shown : "unknown";
}

const char* ChipName(Chip chip) { return IsChip(chip) ? TraitsOf(chip).name : "unknown"; }

const char* ChipSummary(Chip chip) { return IsChip(chip) ? TraitsOf(chip).summary : ""; }

bool ChipFromName(const std::string& name, Chip* chip) {
    for (const ChipTraits& traits : kChipTraits)
        if (name == traits.name) {
            *chip = traits.chip;
            return true;
        }
    return false;
}

std::string ChipNames(uint32_t only, const char* lastJoin) {
    std::string names;
    for (const ChipTraits& traits : kChipTraits)
        if (only == 0 || traits.Has(only)) names += (names.empty() ? "" : ", ") + std::string(traits.name);
    const size_t last = names.rfind(", ");
    if (only != 0 && last != std::string::npos) names.replace(last, 2, lastJoin);
    return names;
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
    text += ChipLines(snapshot.settings) + TimingLines(snapshot);
    for (const SettingRow& row : kSettingRows) {
        const uint32_t value = snapshot.settings.Value(row.id);
        if (row.label != nullptr && (row.shownAlways || value != row.powerUp))
            text += Line(row.label, SettingShown(row, value));
    }
    text += RegisterLine("data", snapshot.dataRead,
                         (snapshot.dataDrives ? "" : "  the pins: C5 makes them inputs") +
                             LatchNote(snapshot.dataRead, snapshot.data));
    text += RegisterLine("status", snapshot.statusRead, snapshot.statusForced ? "  forced" : "");
    text += RegisterLine("control", snapshot.controlRead, LatchNote(snapshot.controlRead, snapshot.control));
    text += "pin  name        level  dir  register\n";
    for (int pin = 1; pin <= 17; ++pin) {
        const bool input = IsDataPin(pin) && !snapshot.dataDrives;
        char line[96];
        std::snprintf(line, sizeof line, "%3d  %-10s  %-5s  %s", pin, PinAt(pin).signal,
                      snapshot.pinHigh[pin] ? "high" : "low", PinRole(PinAt(pin), input).c_str());
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
