#include "SessionText.h"

#include <vector>

#include "PortRegisters.h"
#include "TextFormat.h"

namespace portcheck {

namespace {

// Control bits by number, every run of them: "bit 3", "bits 5-7",
// "bits 0-1 and 3", "bits 0, 2 and 4-5".
std::string Bits(uint8_t mask) {
    std::vector<std::string> runs;
    for (int low = 0; low < 8; ++low) {
        if (!((mask >> low) & 1)) continue;
        int high = low;
        while (high < 7 && ((mask >> (high + 1)) & 1)) ++high;
        runs.push_back(std::to_string(low) + (high > low ? "-" + std::to_string(high) : ""));
        low = high;
    }
    std::string text = runs.size() == 1 && runs[0].size() == 1 ? "bit " : "bits ";
    for (size_t n = 0; n < runs.size(); ++n)
        text += (n == 0 ? "" : n + 1 == runs.size() ? " and " : ", ") + runs[n];
    return text;
}

std::string ControlPutBack(const RestoreOutcome& outcome) {
    const std::string unread = "it reads 0xFF, so the value found could not be read";
    if (outcome.controlUnreadable && !outcome.controlWritten) return "; control not written: " + unread;
    if (outcome.controlUnreadable)
        return "; control " + HexByte(kControlIdle) + " (the idle value: all four lines inactive), unchecked: " + unread;
    std::string notes;
    if (outcome.controlReadsOne) notes += Bits(outcome.controlReadsOne) + " read 1";
    if (outcome.controlReadsZero) notes += (notes.empty() ? "" : ", ") + Bits(outcome.controlReadsZero) + " read 0";
    std::string value = ", control " + HexByte(outcome.target.control);
    if (!notes.empty()) value += " (" + notes + " on this chip)";
    if (outcome.controlLinesUnread)
        value += "; control " + Bits(outcome.controlLinesUnread) + " idle, unchecked: they read a fixed value, so "
                 "the value found could not be read";
    return value;
}

std::string PutBack(const RestoreOutcome& outcome) {
    std::string line = "Put back as found and read back: data " + HexByte(outcome.target.data) + ControlPutBack(outcome);
    if (outcome.ecrTouched)
        line += ", ECR mode " + ModeBits(outcome.ecrTarget >> kEcrModeShift) + (outcome.ecrKept ? " as set" : "");
    if (outcome.rewrites > 0)
        line += "; written " + std::to_string(outcome.rewrites) + " more times, as another program changed it";
    return line + "\n";
}

std::string NotPutBack(const RestoreOutcome& outcome) {
    std::string line = "NOT put back:";
    const char* separator = " ";
    const auto differs = [&](const std::string& what, int seen, int target) {
        line += separator + what + " reads " + HexByte(seen) + " (" + HexByte(target) + " written back)";
        separator = ", ";
    };
    if (!outcome.dataHeld) differs("data", outcome.seen.data, outcome.target.data);
    if (!outcome.controlHeld) differs("control", outcome.seen.control, outcome.target.control);
    if (!outcome.ecrHeld) differs("ECR", outcome.ecrSeen, outcome.ecrTarget);
    if (outcome.rewrites > 0) line += ", though written again " + std::to_string(outcome.rewrites) + " times";
    return line + "\n";
}

// Control bits 4 and 5 read as 1 that the chip doesn't read back: set
// before, or not, nobody can tell, so they stay cleared.
std::string LeftCleared(uint8_t unknown) {
    if (!unknown) return "";
    const bool both = unknown == (kControlInterrupt | kControlDirection);
    const std::string what = both ? "bits 4 and 5" : unknown == kControlInterrupt ? "bit 4" : "bit 5";
    const std::string effect = both ? "interrupts off, data lines driving"
                               : unknown == kControlInterrupt ? "interrupts off"
                                                              : "data lines driving";
    return "Control " + what + " read as 1, but this chip reads " + (both ? "them" : "it") +
           " as 1 whatever is written: left cleared (" + effect + ")\n";
}

// A direction bit that reads 0 whatever is written may have been set.
std::string HiddenDirection(const RestoreOutcome& outcome) {
    if (!(outcome.controlReadsZero & kControlDirection) || !outcome.controlWritten) return "";
    return "Control bit 5 reads 0 on this chip whatever is written: whether it was set (data lines as inputs) is "
           "unknown; left cleared (data lines driving)\n";
}

}  // namespace

std::string LineFaultText(const LineFault& fault) {
    std::string lines;
    for (const Pin& pin : kPins) {
        if (pin.reg == Register::Status) continue;
        const bool data = pin.reg == Register::Data;
        if (!((data ? fault.bits.data : fault.bits.control) & pin.mask)) continue;
        const auto level = [&](const Registers& values) {
            return (((data ? values.data : values.control) & pin.mask) != 0) != pin.inverted ? "high" : "low";
        };
        lines += std::string(lines.empty() ? "" : "; ") + "pin " + std::to_string(pin.number) + " (" + pin.signal +
                 ") reads back " + level(fault.read) + " where PortCheck drives it " + level(fault.written);
    }
    return lines;
}

std::string NoPortMessage(int base, bool latchTested) {
    return "PortCheck: no parallel port answers at " + Hex(base) + ": data, status and control read 0xFF" +
           (latchTested ? " and the data register holds nothing written to it" : "") +
           " (PortCheck --list shows the ports Windows knows)\n";
}

std::string NoPortMessage(const PortSession& session) {
    const SppCheck& check = session.sppCheck();
    if (session.foundData() == 0xFF && session.foundStatus() == 0xFF && session.foundControl() == 0xFF &&
        check.readAA == 0xFF && check.read55 == 0xFF)
        return NoPortMessage(session.base());
    std::string text = "PortCheck: no parallel port answers at " + Hex(session.base()) + ": control written 0x0C read back " +
                       HexByte(check.control0C);
    if ((check.control0C & kControlLines) == 0x0C) text += ", 0x0E read back " + HexByte(check.control0E);
    return text + " (the low four bits should follow), and the data register written 0xAA and 0x55 read back " +
           HexByte(check.readAA) + " and " + HexByte(check.read55) +
           "; what was written is put back (PortCheck --list shows the ports Windows knows)\n";
}

std::string DisturbedMessage(const PortSession& session, const char* during) {
    const Registers& expected = session.expected();
    const Registers& seen = session.seen();
    // Before its first write PortCheck expects what it found.
    const char* had = session.begun() ? " where PortCheck had written " : " where it had read ";
    std::string message = std::string("PortCheck: another program or Windows' printer-port polling wrote to the port during ") +
                          during + ":";
    const char* separator = " ";
    if (seen.data != expected.data) {
        message += separator + ("data read " + HexByte(seen.data)) + had + HexByte(expected.data);
        separator = ", ";
    }
    if ((seen.control ^ expected.control) & session.controlReadBack())
        message += separator + ("control read " + HexByte(seen.control)) + had + HexByte(expected.control);
    if (!session.begun()) message += "; PortCheck wrote nothing";
    return message +
           "\nClose other programs that use the port. Windows' polling stops once the DWORD DisableWarmPoll is 1 "
           "under HKLM\\SYSTEM\\CurrentControlSet\\Services\\Parport\\Parameters and Windows has restarted.\n";
}

std::string RestoreLines(const RestoreOutcome& outcome) {
    if (!outcome.touched) return "";
    std::string text = outcome.Held() ? PutBack(outcome) : NotPutBack(outcome);
    text += LeftCleared(outcome.controlUnknown) + HiddenDirection(outcome);
    if (outcome.ecrChanged)
        text += "The extended control register changed under PortCheck (it reads " + HexByte(outcome.ecrSeen) +
                ", PortCheck had written " + HexByte(outcome.ecrWritten) + "): another writer's; left as it is\n";
    return text;
}

}  // namespace portcheck
