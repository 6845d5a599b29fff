#include "ProbeCommand.h"

#include "ExitCodes.h"
#include "PortRegisters.h"
#include "SessionText.h"
#include "TextFormat.h"

namespace portcheck {

namespace {

// With bit 5 set, a bidirectional port's data register reads the pins, not
// the latch: if it reads back both values written, nothing turned around.
bool TestDirection(PortSession& session) {
    const Registers before = session.written();
    session.WriteControl(before.control | kControlDirection);
    session.WriteData(0x55);
    const uint8_t read55 = session.Read(kDataOffset);
    session.WriteData(0xAA);
    const uint8_t readAA = session.Read(kDataOffset);
    // The latch back first, so that the pins drive their own value again.
    session.WriteData(before.data);
    session.WriteControl(before.control);
    return read55 != 0x55 || readAA != 0xAA;
}

std::string AnswersLine(const ProbeResult& result, int base) {
    const std::string port = "Port at " + Hex(base) + ": answers";
    if (result.ecr.kind == EcrFinding::Busy) return port + " (data latch not tested: the FIFO holds data)\n";
    if (!result.latchTested) return port + " (data latch not tested: the ECR did not take mode 001)\n";
    if (result.latch.Found()) return port + " (data latch ok)\n";
    if (result.latch.LinesStuck())
        return port + " (data latch: 0x55 read back as " + HexByte(result.latch.read55) + ", 0xAA as " +
               HexByte(result.latch.readAA) + ")\n";
    return port + ", but its data register does not hold what is written (0x55 read back as " +
           HexByte(result.latch.read55) + ", 0xAA as " + HexByte(result.latch.readAA) + ")\n";
}

std::string BidirectionalLine(const ProbeResult& result) {
    if (!result.latchTested || !result.latch.Found()) return "  bidirectional: not tested\n";
    if (!result.directionTested)
        return "  bidirectional: not tested (the port's mode is unknown, and control bit 5 is changed in mode 001 "
               "only)\n";
    if (!result.bidirectional) return "  bidirectional: no (control bit 5 does not turn the data pins around)\n";
    return "  bidirectional: yes\n";
}

std::string EcrLine(const ProbeResult& result, int ecrPort) {
    const std::string at = " at " + Hex(ecrPort);
    switch (result.ecr.kind) {
    case EcrFinding::Present:
        return "  extended control register" + at + ": " + EcrModeText(result.ecr.Mode()) + "\n";
    case EcrFinding::Follows:
        return "  extended control register: none" + at + " (that address follows the control register)\n";
    case EcrFinding::Busy: return "  extended control register" + at + ": " + kBusy + "\n";
    case EcrFinding::NotLookedFor: return "  extended control register: " + std::string(kNotLookedFor) + "\n";
    case EcrFinding::Suspect: return "  extended control register" + at + ": " + SuspectText(result.ecr) + "\n";
    case EcrFinding::NoFifo: break;
    }
    return "  extended control register: none" + at + " (it reads " + HexByte(result.ecr.value) + ")\n";
}

// How a user gives the ECR's place again: "" or " --ecr 0xD000".
std::string EcrOption(const CheckOptions& options) {
    return options.ecrBlock >= 0 ? " --ecr " + Hex(options.ecrBlock) : "";
}

std::string EppLine(EppTimeout epp) {
    switch (epp) {
    case EppTimeout::NotSet: return "  EPP time-out flag: not set\n";
    case EppTimeout::Cleared: return "  EPP time-out flag: was set (an EPP access went unanswered); cleared now\n";
    case EppTimeout::NotAFlag: break;
    }
    return "  EPP time-out flag: none (status bit 0 reads 1 and does not clear)\n";
}

}  // namespace

ProbeResult ProbePort(PortSession& session) {
    ProbeResult result;
    result.epp = session.eppTimeout();
    result.ecrPort = session.ecrPort();
    result.ecr = FindEcr(session);
    if (result.ecr.kind == EcrFinding::Busy) {
        result.ecrTookPs2 = false;  // a data write would join the transfer
        return result;
    }
    const bool hasEcr = result.ecr.kind == EcrFinding::Present;
    // With an ECR, the data register drives the pins and the direction bit
    // works in mode 001 for sure: the tests run there, the ECR's write
    // tested also where it is in 001 already. Control is taken only then:
    // in 011 its bit 5 turns the FIFO around.
    if (hasEcr) result.ecrTookPs2 = session.SetEcrMode(kEcrPs2);
    if (!result.ecrTookPs2) return result;
    session.TakeControl();
    result.latchTested = true;
    result.latch = session.TestDataLatch();
    if (!result.latch.Found()) return result;
    // Without an ECR the port has its one mode; with one not known or not
    // trusted, a FIFO mode's direction could turn.
    result.directionTested = hasEcr || result.ecr.kind == EcrFinding::Follows || result.ecr.kind == EcrFinding::NoFifo;
    if (result.directionTested) result.bidirectional = TestDirection(session);
    const bool directionWorks = !hasEcr || result.ecr.Mode() == kEcrPs2;
    result.pinsAreInputs = result.bidirectional && directionWorks && session.FoundControlBit(kControlDirection);
    return result;
}

CommandOutput ProbeReport(const ProbeResult& result, const CheckOptions& options) {
    CommandOutput output;
    output.out = AnswersLine(result, options.base) + BidirectionalLine(result) + EcrLine(result, result.ecrPort) +
                 EppLine(result.epp);
    const bool hasEcr = result.ecr.kind == EcrFinding::Present;
    std::string verdict;
    if (result.ecr.kind == EcrFinding::Busy) {
        verdict = "the port is in the middle of a transfer: nothing was tested; run the probe again once it is done";
    } else if (hasEcr && !DataReachesPinsIn(result.ecr.Mode()) && !result.ecrTookPs2) {
        // A mode its card sets: --set-mode would be refused the same way.
        verdict = "the panel's data outputs do NOT reach the pins in this mode, and its ECR keeps it: set the port "
                  "to SPP/EPP+SPP/PS2 in the BIOS or the card's settings";
    } else if (hasEcr && !DataReachesPinsIn(result.ecr.Mode())) {
        verdict = "the panel's data outputs do NOT reach the pins in this mode: run \"PortCheck --set-mode ps2" +
                  EcrOption(options) + " " + Hex(options.base) +
                  "\", or set the port to SPP/EPP+SPP/PS2 in the BIOS";
    } else if (!result.latchTested) {
        verdict = "whether the panel's outputs reach the pins is not known: the data register was not tested";
    } else if (result.latch.LinesStuck()) {
        verdict = LineFaultText(result.latch.Fault()) +
                  ", after both 0x55 and 0xAA: a fault of that line (shorted, in the port, the cable or the plug); "
                  "the other data lines reach the pins";
    } else if (!result.latch.Found()) {
        verdict = "the panel's data outputs do NOT reach the pins: the data register does not hold what is written";
        if (!hasEcr)
            verdict += " (a PCI card in an ECP FIFO mode does that: give its extended block with --ecr, as "
                       "PortCheck --list shows it)";
    } else {
        verdict = "the panel's outputs reach the pins in this mode";
        if (result.pinsAreInputs)
            verdict += "; control bit 5 is set now, so the data pins are inputs until the panel switches on "
                       "DO1, DO2 or one of DO10 to DO12, which clears it";
        output.out += "  " + verdict + "\n";
        return output;
    }
    output.exitCode = kExitFault;
    output.out += "  " + verdict + "\n";
    return output;
}

CommandOutput ProbeCommand(PortSession& session, const CheckOptions& options) {
    const ProbeResult result = ProbePort(session);
    session.Holds();  // all PortCheck changed is back but the ECR: another writer shows here
    return ProbeReport(result, options);
}

std::string ProbeWarning(int base) {
    return "Probing " + Hex(base) +
           ": the data pins and the control pins change for a moment; all is put back\n";
}

}  // namespace portcheck
