#include "SetModeCommand.h"

#include "EcrProbe.h"
#include "ExitCodes.h"
#include "TextFormat.h"

namespace portcheck {

namespace {

CommandOutput Refused(const std::string& why) {
    CommandOutput output;
    output.exitCode = kExitFault;
    output.err = "PortCheck: " + why + "\n";
    return output;
}

}  // namespace

// Control is not taken: only bit 1 moves for a moment, where the ECR's
// alias test needs it, and the data pins stay as found.
CommandOutput SetModeCommand(PortSession& session, const CheckOptions& options) {
    const std::string ecr = "the extended control register at " + Hex(session.ecrPort());
    const EcrFinding found = FindEcr(session);
    if (!session.Holds()) return {};  // another writer: nothing more is written
    switch (found.kind) {
    case EcrFinding::NotLookedFor:
        return Refused("the extended control register of a port at " + Hex(options.base) + " (a PCI card's: its "
                       "base + 0x402 belongs to something else) was " + kNotLookedFor + ", as PortCheck --list "
                       "shows it");
    case EcrFinding::Busy: return Refused(ecr + ": " + kBusy + "; run it again once the transfer is done");
    case EcrFinding::Suspect: return Refused(ecr + ": " + SuspectText(found));
    case EcrFinding::Follows:
    case EcrFinding::NoFifo:
        return Refused("no extended control register answers at " + Hex(session.ecrPort()) +
                       ", so the port has no mode to set (a port without one works as it is); for a PCI card, give "
                       "its extended block with --ecr, as PortCheck --list shows it");
    case EcrFinding::Present: break;
    }
    const std::string port = "Port at " + Hex(options.base) + ": ";
    CommandOutput output;
    // Written also where it is in that mode already: an ECR is believed once it reads back.
    if (!session.SetEcrMode(options.mode))
        return Refused(ecr + " did not take " + EcrModeText(options.mode) + " (it reads " +
                       HexByte(session.ReadEcr()) + "); its mode is put back");
    if (found.Mode() == options.mode) {
        output.out = port + ecr + " is in " + EcrModeText(options.mode) + " already (written again, it reads back "
                     "as written); nothing changed\n";
        return output;
    }
    session.KeepEcrMode();
    output.out = port + ecr + " set to " + EcrModeText(options.mode) + ", was " + EcrModeText(found.Mode()) +
                 "; read back to check\n"
                 "The mode stays until the PC restarts or something else (the BIOS, a driver, another program) "
                 "changes it.\n";
    return output;
}

std::string SetModeWarning(int base) {
    return "Setting the mode at " + Hex(base) + ": the control pins may change for a moment; data and control "
           "are put back\n";
}

}  // namespace portcheck
