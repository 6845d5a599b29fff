#include "SetModeCommand.h"

#include "EcrProbe.h"
#include "ExitCodes.h"
#include "TextFormat.h"

namespace portcheck {

CommandOutput SetModeCommand(PortSession& session, const CheckOptions& options) {
    CommandOutput output;
    const std::string ecr = "the extended control register at " + Hex(session.ecrPort());
    const EcrFinding found = FindEcr(session);
    if (!session.Holds()) return output;  // another writer: nothing more is written
    if (found.kind != EcrFinding::Present) {
        output.exitCode = kExitFault;
        output.err = "PortCheck: no extended control register answers at " + Hex(session.ecrPort()) +
                     ", so the port has no mode to set (a port without one works as it is); for a PCI card, "
                     "give its extended block with --ecr, as PortCheck --list shows it\n";
        return output;
    }
    const std::string port = "Port at " + Hex(options.base) + ": ";
    if (found.Mode() == options.mode) {
        output.out = port + ecr + " is in " + EcrModeText(options.mode) + " already; nothing changed\n";
        return output;
    }
    if (!session.SetEcrMode(options.mode)) {
        output.exitCode = kExitFault;
        output.err = "PortCheck: " + ecr + " did not take " + EcrModeText(options.mode) + " (it reads " +
                     HexByte(session.ReadEcr()) + "); its mode is put back\n";
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
    return "Setting the mode at " + Hex(base) + ": pin 14 (/AUTOFEED) changes for a moment; data and control "
           "are put back\n";
}

}  // namespace portcheck
