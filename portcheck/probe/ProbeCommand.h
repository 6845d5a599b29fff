// `PortCheck --probe BASE`: what answers at an address, in lines a user
// understands: a port or not (the three registers and a data latch test),
// bidirectional or not (control bit 5 turning the data pins around), its
// ECR and mode, the EPP time-out flag (cleared where set), and whether the
// panel's outputs reach the pins in the port's present mode.
#pragma once

#include <string>

#include "EcrProbe.h"
#include "PortCommand.h"

namespace portcheck {

struct ProbeResult {
    EcrFinding ecr;
    bool ecrTookPs2 = true;     // where the ECR was in another mode: it took 001 for the tests
    bool latchTested = false;
    LatchTest latch;
    bool directionTested = false;  // in mode 001, or on a port without an ECR
    bool bidirectional = false;  // control bit 5 turned the data pins around
    bool pinsAreInputs = false;  // ... and was set at the start, where the mode lets it work
    EppTimeout epp = EppTimeout::NotSet;
    int ecrPort = -1;            // where the ECR was looked for; -1: nowhere
};

// The probe's accesses, on a begun session; the ECR is left for Restore to
// put back.
ProbeResult ProbePort(PortSession& session);

// The report and the exit code: 0 the outputs reach the pins, 1 not.
CommandOutput ProbeReport(const ProbeResult& result, const CheckOptions& options);

CommandOutput ProbeCommand(PortSession& session, const CheckOptions& options);
std::string ProbeWarning(int base);

}  // namespace portcheck
