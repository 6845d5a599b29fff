#include "PortCommand.h"

#include <cstdio>

#include "ExitCodes.h"
#include "DriverCheck.h"
#include "AddressProof.h"
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
    const AddressVerdict address = CheckAddress(options.base, options.force);
    if (!address.refusal.empty()) {
        std::fputs(address.refusal.c_str(), stderr);
        return kExitNoPort;
    }
    StopRequest::Install();
    PortSession session(library, options.base);
    session.UseEcrAt(options.EcrPort());
    // A PCI card's extended block and vendor, where Windows names them.
    if (options.ecrBlock < 0 && address.extendedBlock >= 0) session.UseEcrAt(address.extendedBlock + kEcrInBlock);
    if (address.oxford) session.UseOxfordEcrPattern();
    CommandOutput output;
    const auto warn = [&command] {
        std::fputs(command.warning.c_str(), stdout);
        std::fflush(stdout);
    };
    const SessionStart start = session.Begin({address.fingerprint, options.force, warn});
    if (start != SessionStart::LooksSerial && address.fingerprint &&
        LooksLikeSerialPort(session.foundStatus(), session.foundControl()))
        std::fputs(SerialPortMessage(options.base, session.foundStatus(), session.foundControl(), true).c_str(), stderr);
    switch (start) {
    case SessionStart::LooksSerial:
        output.exitCode = kExitNoPort;
        output.err = SerialPortMessage(options.base, session.foundStatus(), session.foundControl(), false);
        break;
    case SessionStart::NoPort:
        output.exitCode = kExitNoPort;
        output.err = NoPortMessage(session);
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
