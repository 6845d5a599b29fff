#include "ConsoleSettings.h"

#include <cstdio>

#include "ChipModel.h"
#include "ConsoleText.h"
#include "PinModel.h"
#include "SignalConsole.h"

namespace vport {

namespace {

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%03X", value);
    return text;
}

ConsoleOutcome Done(std::string out, std::string err = "") {
    ConsoleOutcome outcome;
    outcome.out = std::move(out) + "\n";
    outcome.err = std::move(err);
    return outcome;
}

ConsoleOutcome Refused(std::string why) {
    ConsoleOutcome outcome;
    outcome.exitCode = 2;
    outcome.err = "PortConsole: " + why + "; nothing changed\n";
    return outcome;
}

// A note for a setting that the chip at hand doesn't use.
std::string UnusedNote(const PortState& port, uint32_t used) {
    if (TraitsOf(port.Settings().chip).Has(used)) return "";
    return std::string("note: chip ") + ChipName(port.Settings().chip) + " doesn't use this; " + ChipNames(used) +
           " do (choose the chip first: choosing one puts its ECR and flags to power-up)\n";
}

ConsoleOutcome SetPin(PortState& port, const ConsoleCommand& command) {
    const int pin = command.pin;
    if (command.looseEvery != 0) {
        port.SetLoosePin(pin, command.looseEvery);
        return Done("pin " + std::to_string(pin) + " loose: low once in " +
                    std::to_string(command.looseEvery) + " status reads");
    }
    port.SetInputPin(pin, command.high);
    std::string note;
    const Wiring wiring = port.GetWiring();
    if (IsDataPin(pin)) {
        if (port.DataPinsDrive() && !port.Settings().Value(SettingId::Readback))
            note = "note: data pin " + std::to_string(pin) +
                   " counts only while the data pins are inputs (C5 set on a ps2 or ecp chip), or with "
                   "`readback pins`\n";
    } else if (IsControlPin(pin)) {
        if (!port.Settings().Value(SettingId::Readback))
            note = "note: control pin " + std::to_string(pin) + " counts only with `readback pins`\n";
    } else if (int source = WiredSource(wiring, pin)) {
        note = command.high ? "note: with " + std::string(WiringName(wiring)) + " wiring pin " +
                                  std::to_string(pin) + " follows pin " + std::to_string(source) + "\n"
                            : "note: pin " + std::to_string(pin) + " stays low whatever pin " +
                                  std::to_string(source) + " drives into it through the " +
                                  WiringName(wiring) + " wiring, like a line shorted to ground\n";
    }
    return Done("pin " + std::to_string(pin) + (command.high ? " high" : " pulled low"), note);
}

ConsoleOutcome SetBase(PortState& port, const ConsoleCommand& command) {
    if (!port.SetBase(command.address))
        return Refused("base " + Hex(command.address) + " would overlap the extended block at " +
                       Hex(port.Settings().extendedBase) + " (move it with `ecp`)");
    const unsigned base = command.address;
    return Done("base " + Hex(base) + ": data " + Hex(base) + ", status " + Hex(base + 1) + ", control " +
                Hex(base + 2));
}

ConsoleOutcome SetExtendedBlock(PortState& port, const ConsoleCommand& command) {
    if (command.extendedAuto)
        port.SetExtendedBlockAuto();
    else if (!port.SetExtendedBlock(command.address))
        return Refused("an extended block at " + Hex(command.address) + " would overlap the port at " +
                       Hex(port.Settings().base));
    const PortSettings settings = port.Settings();
    return Done("extended block at " + Hex(settings.extendedBase) + ": ECR at " +
                    Hex(settings.extendedBase + 2u),
                UnusedNote(port, kEcr));
}

ConsoleOutcome SetEcrMode(PortState& port, const ConsoleCommand& command) {
    port.SetEcrMode(command.ecrMode);
    return Done("ECR mode " + EcrModeText(static_cast<uint8_t>(command.ecrMode << 5)) + ", FIFO empty",
                UnusedNote(port, kEcr));
}

ConsoleOutcome HoldFifo(PortState& port, const ConsoleCommand& command) {
    if (!port.HoldFifo(command.fifoBytes))
        return Refused("the FIFO sends only in ECR mode 010 or 011 of an " + ChipNames(kEcr, " or ") + " chip");
    return Done(command.fifoBytes == 0 ? "the FIFO sends again"
                                       : std::to_string(command.fifoBytes) + " bytes held up in the FIFO");
}

// What reaches the serial port from outside, and what a read then does.
ConsoleOutcome SerialInput(PortState& port, const ConsoleCommand& command) {
    const SerialRegisters before = port.Settings().serial;
    const bool taken = command.action == ConsoleAction::SerialReceive ? port.SerialReceive(command.serialBytes)
                       : command.action == ConsoleAction::SerialErrors ? port.RaiseSerialErrors(command.serialBits)
                                                                       : port.SetSerialModemLines(command.serialBits);
    if (!taken) return Refused("there is no serial port (`serial ADDR` puts one there)");
    const SerialRegisters r = port.Settings().serial;
    const unsigned base = r.base;
    if (command.action == ConsoleAction::SerialReceive) {
        const bool overrun = (r.lineErrors & ~before.lineErrors & 0x02) != 0;
        return Done(Bytes(command.serialBytes.size()) + " received, " + std::to_string(r.received) +
                    " waiting (a read of " + Hex(base) + " takes one)" +
                    (overrun ? "; the FIFO was full: overrun (line status bit 1)" : ""));
    }
    if (command.action == ConsoleAction::SerialErrors)
        return Done("line errors " + SerialFlagWords(kSerialLineErrors, r.lineErrors) + " (a read of " +
                    Hex(base + 5) + " clears them)");
    const uint8_t changed = r.modemChanges & ~before.modemChanges;
    return Done("modem lines active: " + (command.serialBits ? SerialFlagWords(kSerialModemLines, command.serialBits)
                                                             : std::string("none")) +
                (changed ? "; changed: " + SerialFlagWords(kSerialModemLines, static_cast<uint8_t>(changed << 4)) +
                               " (a read of " + Hex(base + 6) + " clears the changes)"
                         : ""));
}

}  // namespace

ConsoleOutcome ApplySetting(PortState& port, const ConsoleCommand& command) {
    switch (command.action) {
    case ConsoleAction::SetPin: return SetPin(port, command);
    case ConsoleAction::ForceStatus: {
        port.ForceStatus(command.status);
        char text[32];
        std::snprintf(text, sizeof text, "status forced to 0x%02X", command.status);
        return Done(text);
    }
    case ConsoleAction::AutoStatus: port.ClearForcedStatus(); return Done("status follows the pins");
    case ConsoleAction::SetSetting: {
        const SettingRow& row = RowOf(command.setting);
        if (!port.Set(command.setting, command.settingValue)) return Refused(std::string(row.command) + ": out of range");
        return Done(row.setPrefix + SettingShown(row, command.settingValue),
                    row.usedBy == 0 ? "" : UnusedNote(port, row.usedBy));
    }
    case ConsoleAction::SetBase: return SetBase(port, command);
    case ConsoleAction::SetExtendedBlock: return SetExtendedBlock(port, command);
    case ConsoleAction::SetChip:
        port.SetChip(command.chip);
        return Done(std::string("chip ") + ChipName(command.chip) + ": " + ChipSummary(command.chip));
    case ConsoleAction::SetEcrMode: return SetEcrMode(port, command);
    case ConsoleAction::SetSettle:
        port.SetSettleMicros(command.settleMicros, command.settleRising);
        return Done(command.settleMicros == 0 ? "inputs follow their outputs at once"
                                              : std::string(command.settleRising ? "rising " : "") +
                                                    "inputs show an output's change " +
                                                    std::to_string(command.settleMicros) + " us later");
    case ConsoleAction::HoldFifo: return HoldFifo(port, command);
    case ConsoleAction::SetSerial:
        port.SetSerialPort(command.serialOn, command.address);
        return Done(command.serialOn ? "serial port at " + Hex(command.address) + "-" + Hex(command.address + 7u)
                                     : "no serial port");
    case ConsoleAction::SerialReceive:
    case ConsoleAction::SerialErrors:
    case ConsoleAction::SerialModem: return SerialInput(port, command);
    case ConsoleAction::SetIntruder:
        port.SetIntruderPeriod(command.intruderMs);
        return Done(command.intruderMs == 0
                        ? "intruder off"
                        : "intruder drives the port every " + std::to_string(command.intruderMs) + " ms");
    case ConsoleAction::SetSignal: return ApplySignal(port, command);
    case ConsoleAction::ReadPort:
        return Done(FormatAccess(Access{false, command.address, port.Read(command.address)}));
    case ConsoleAction::WritePort:
        port.Write(command.address, command.value);
        return Done(FormatAccess(Access{true, command.address, command.value}));
    default: break;
    }
    return Refused("not a setting");
}

}  // namespace vport
