#include "LoopbackCommand.h"

#include "ExitCodes.h"
#include "LoopbackReport.h"
#include "LoopbackRun.h"
#include "StopRequest.h"

namespace portcheck {

CommandOutput LoopbackCommand(PortSession& session, const CheckOptions& options) {
    const RunRecord record = RunPatterns(session, *options.plug, {options.settleMicros, options.rounds},
                                         &StopRequest::Requested);
    CommandOutput output;
    switch (record.end) {
    case RunEnd::Completed:
        output.out = Report(*options.plug, record.result, options.base, options.settleMicros);
        output.exitCode = record.result.result.faulty == 0 ? kExitOk : kExitFault;
        break;
    case RunEnd::Interrupted:
        output.err = "PortCheck: interrupted\n";
        output.exitCode = kExitInterrupted;
        break;
    case RunEnd::DataNotTaken:
        output.out = DataNotTakenReport(*options.plug, options.base, record.dataWritten, session.written().data);
        output.exitCode = kExitFault;
        break;
    case RunEnd::Disturbed: break;  // RunOnPort says so
    }
    return output;
}

}  // namespace portcheck
