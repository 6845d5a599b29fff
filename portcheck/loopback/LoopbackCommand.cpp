#include "LoopbackCommand.h"

#include "EcrProbe.h"
#include "ExitCodes.h"
#include "LoopbackReport.h"
#include "LoopbackRun.h"
#include "StopRequest.h"
#include "TextFormat.h"

namespace portcheck {

namespace {

bool NeverStop() { return false; }

// In the FIFO modes every data write is sent out with strobes (in 011 the
// port drives pins 1 and 14 itself), and a FIFO holding data is a transfer
// under way: the test does not start. The ECR is only read. "" to go on.
std::string ModeRefusal(const PortSession& session, const CheckOptions& options) {
    const EcrFinding ecr = ReadEcrOnly(session);
    const std::string at = "Port at " + Hex(options.base) + ": the extended control register at " + Hex(session.ecrPort());
    if (ecr.kind == EcrFinding::Busy) return at + ": " + kBusy + "; the test did not start\n";
    if (ecr.kind != EcrFinding::Present || DataReachesPinsIn(ecr.Mode())) return "";
    const std::string ecrOption = options.ecrBlock >= 0 ? " --ecr " + Hex(options.ecrBlock) : "";
    return at + " is in " + EcrModeText(ecr.Mode()) +
           ", where every data write is sent out with strobes: the test did not start (no data was written)\n"
           "Run \"PortCheck --set-mode ps2" + ecrOption + " " + Hex(options.base) +
           "\" first, or set the port to SPP/EPP+SPP/PS2 in the BIOS\n";
}

}  // namespace

CommandOutput LoopbackCommand(PortSession& session, const CheckOptions& options) {
    CommandOutput output;
    output.out = ModeRefusal(session, options);
    if (!output.out.empty()) {
        output.exitCode = kExitFault;
        return output;
    }
    session.TakeControl();
    RunRecord record = RunPatterns(session, *options.plug, {options.settleMicros, options.rounds},
                                   &StopRequest::Requested);
    if (record.end == RunEnd::Completed && record.completed.result.faulty > 0) {
        const RunRecord slow = RunPatterns(session, *options.plug, {kSlowEdgeSettleMicros, 1}, &NeverStop);
        if (slow.end == RunEnd::Completed) NameSlowEdges(&record.completed, slow.completed.result);
    }
    switch (record.end) {
    case RunEnd::Completed:
        output.out = Report(*options.plug, record.completed, options.base, options.settleMicros);
        output.exitCode = record.completed.result.faulty == 0 ? kExitOk : kExitFault;
        break;
    case RunEnd::Interrupted:
        output.err = "PortCheck: interrupted\n";
        output.exitCode = kExitInterrupted;
        break;
    case RunEnd::DataNotTaken:
        output.out = DataNotTakenReport(*options.plug, options.base, record.dataWritten, session.written().data);
        output.exitCode = kExitFault;
        break;
    case RunEnd::LineFault:
        output.out = LineFaultReport(*options.plug, options.base, session.lineFault());
        output.exitCode = kExitFault;
        break;
    case RunEnd::Disturbed: break;  // RunOnPort says so
    }
    return output;
}

}  // namespace portcheck
