#include "PortCommand.h"

#include <cstdio>

#include "ExitCodes.h"
#include "DriverCheck.h"
#include "PortIdentity.h"
#include "PortLibrary.h"
#include "PortRegisters.h"
#include "SessionText.h"
#include "StopRequest.h"

namespace portcheck {

CommandOutput Finish(CommandOutput output, const PortSession& session, const RestoreOutcome& restored,
                     const char* during) {
    if (session.disturbed()) {
        output.exitCode = kExitDisturbed;
        output.out.clear();  // what was seen then is not the port's own doing
        output.err = DisturbedMessage(session, during);
    } else if (!restored.Held() && output.exitCode == kExitOk) {
        output.exitCode = kExitFault;
    }
    (output.err.empty() ? output.out : output.err) += RestoreLines(restored);
    return output;
}

int RunOnPort(const CheckOptions& options, const PortCommand& command) {
    PortLibrary library;
    if (const std::string unreachable = BindForPort(&library, options.base); !unreachable.empty()) {
        std::fputs(unreachable.c_str(), stderr);
        return kExitNoPortLibrary;
    }
    std::fputs(command.warning.c_str(), stdout);
    std::fflush(stdout);
    StopRequest::Install();
    PortSession session(library, options.base);
    session.UseEcrAt(options.EcrPort());
    // A PCI card's extended block and vendor, where Windows names them.
    if (options.base >= kLowestPciBase) {
        const PortIdentity named = AskWindowsAbout(options.base);
        if (options.ecrBlock < 0 && named.extendedBlock >= 0) session.UseEcrAt(named.extendedBlock + kEcrInBlock);
        if (named.pciVendor == kOxfordVendor) session.UseOxfordEcrPattern();
    }
    CommandOutput output;
    switch (session.Begin()) {
    case SessionStart::NoPort:
        output.exitCode = kExitNoPort;
        output.err = NoPortMessage(options.base);
        break;
    case SessionStart::Disturbed:
        output.exitCode = kExitDisturbed;
        output.err = DisturbedMessage(session, command.during);
        break;
    case SessionStart::Ready: {
        output = command.work(session, options);
        const RestoreOutcome restored = session.Restore();
        output = Finish(output, session, restored, command.during);
        break;
    }
    }
    StopRequest::PortRestored();
    return Print(output);
}

}  // namespace portcheck
