#include "LoopbackRun.h"

#include "SettledStatus.h"

namespace portcheck {

namespace {

RunEnd EndOf(DataWrite write) {
    switch (write) {
    case DataWrite::NotTaken: return RunEnd::DataNotTaken;
    case DataWrite::LineFault: return RunEnd::LineFault;
    default: return RunEnd::Disturbed;
    }
}

}  // namespace

RunRecord RunPatterns(PortSession& session, const LoopbackPlug& plug, const RunOptions& options,
                      bool (*stopRequested)()) {
    RunRecord record;
    const std::vector<Levels>& patterns = TestPatterns();
    std::vector<Observation> observations;
    observations.reserve(patterns.size());  // no allocation once the patterns run
    const Registers working = session.written();
    const Registers lines = DrivenBits(plug);
    for (int round = 0; round < options.rounds; ++round) {
        observations.clear();
        for (Levels levels : patterns) {
            if (stopRequested()) {
                record.end = RunEnd::Interrupted;
                return record;
            }
            // Only a register whose value changes is written.
            const Registers next = RegistersFor(plug, levels, working);
            if (next.data != session.written().data) {
                const DataWrite write = session.WriteDataChecked(next.data, lines.data);
                if (write != DataWrite::Held) {
                    record.end = EndOf(write);
                    record.dataWritten = next.data;
                    return record;
                }
            }
            if (next.control != session.written().control) session.WriteControl(next.control);
            const StatusSample status = ReadSettledStatus(session, options.settleMicros);
            const DataWrite held = session.Check(lines);
            if (held != DataWrite::Held) {
                record.end = EndOf(held);
                return record;
            }
            observations.push_back({levels, InputLevels(plug, status.value), InputsAmong(plug, status.unstable)});
        }
        AddRound(&record.completed, Evaluate(observations));
    }
    return record;
}

}  // namespace portcheck
