#include "LoopbackReport.h"

#include <cstdio>
#include <vector>

#include "SessionText.h"
#include "TextFormat.h"

namespace portcheck {

namespace {

std::string Outcome(const LoopbackPlug& plug, const PairResult& pair, int64_t settleMicros) {
    switch (pair.outcome) {
    case PairOutcome::Ok: return "ok";
    case PairOutcome::StuckHigh: return "stuck high";
    case PairOutcome::StuckLow: return "stuck low";
    case PairOutcome::FollowsOther: {
        const Pin& other = plug.pairs[pair.followedPair].output;
        return "follows pin " + std::to_string(other.number) + " (" + other.signal +
               "): crossed or shorted wires";
    }
    case PairOutcome::Erratic: return "moves with no single output: shorted outputs or a loose contact";
    case PairOutcome::NoPlug: return pair.level ? "no plug (always high)" : "no plug (always low)";
    case PairOutcome::SlowRise: return "slow rising edge (weak pull-up or long cable): raise --settle";
    case PairOutcome::SlowFall: return "slow falling edge: raise --settle";
    case PairOutcome::SlowBoth: return "slow edges both ways (an RC filter or an opto-isolated input): raise --settle";
    case PairOutcome::Intermittent: return "intermittent: it dropped out once (a loose contact)";
    case PairOutcome::Unstable:
        return "unstable: it changed while being read (a loose contact, or a line slower than the " +
               std::to_string(settleMicros) + " us settling time)";
    }
    return "";
}

std::string Heading(const LoopbackPlug& plug, int base, int rounds) {
    std::string heading = "Testing the port at " + Hex(base) + " with the " + plug.name + " loopback plug";
    return rounds > 1 ? heading + ", " + std::to_string(rounds) + " rounds" : heading;
}

std::string PairLine(const LoopbackPlug& plug, const RoundsResult& result, int pair, int64_t settleMicros) {
    const WiredPair& wired = plug.pairs[pair];
    char line[96];
    std::snprintf(line, sizeof line, "  pin %2d %-10s -> pin %2d %-10s ", wired.output.number,
                  wired.output.signal, wired.input.number, wired.input.signal);
    std::string text = line + Outcome(plug, result.result.pairs[pair], settleMicros);
    const int failed = result.failedRounds[pair];
    if (result.rounds > 1 && failed > 0 && !result.result.noPlug)
        text += " (in " + std::to_string(failed) + " of " + std::to_string(result.rounds) + " rounds)";
    return text;
}

// The data pins the plug leaves out, runs of neighbouring pins by their
// ends: " (not tested: pins 7-9, D5-D7)".
std::string NotTested(const LoopbackPlug& plug) {
    unsigned tested = 0;
    for (const WiredPair& pair : plug.pairs)
        if (pair.output.reg == Register::Data) tested |= pair.output.mask;
    std::vector<const Pin*> untested;
    for (const Pin& pin : kPins)
        if (pin.reg == Register::Data && !(pin.mask & tested)) untested.push_back(&pin);
    if (untested.empty()) return "";
    std::string pins, names;
    for (size_t first = 0; first < untested.size();) {
        size_t last = first;
        while (last + 1 < untested.size() && untested[last + 1]->number == untested[last]->number + 1) ++last;
        const std::string comma = pins.empty() ? "" : ", ";
        pins += comma + std::to_string(untested[first]->number);
        names += comma + untested[first]->signal;
        if (last > first) {
            pins += "-" + std::to_string(untested[last]->number);
            names += std::string("-") + untested[last]->signal;
        }
        first = last + 1;
    }
    return std::string(" (not tested: ") + (untested.size() > 1 ? "pins " : "pin ") + pins + ", " + names + ")";
}

std::string Verdict(const LoopbackPlug& plug, const RoundsResult& rounds, int base) {
    const CheckResult& result = rounds.result;
    if (result.noPlug)
        return "FAIL: no plug: no input follows any output (is the plug fitted, and is " + Hex(base) +
               " the port's address?)";
    if (result.faulty == 0) {
        const std::string in = rounds.rounds > 1 ? " in " + std::to_string(rounds.rounds) + " rounds" : "";
        return "PASS: all " + std::to_string(kPairs) + " lines ok" + in + NotTested(plug);
    }
    return "FAIL: " + std::to_string(result.faulty) + " of " + std::to_string(kPairs) + " lines faulty" +
           NotTested(plug);
}

}  // namespace

std::string Report(const LoopbackPlug& plug, const RoundsResult& result, int base, int64_t settleMicros) {
    std::string text = Heading(plug, base, result.rounds) + "\n";
    for (int pair = 0; pair < kPairs; ++pair) text += PairLine(plug, result, pair, settleMicros) + "\n";
    return text + Verdict(plug, result, base) + "\n";
}

std::string LineFaultReport(const LoopbackPlug& plug, int base, const LineFault& fault) {
    return Heading(plug, base, 1) + "\nFAIL: " + LineFaultText(fault) +
           ", the same on every rewrite: a fault of that line (shorted, in the port, the cable or the plug), not "
           "another program\n";
}

std::string DataNotTakenReport(const LoopbackPlug& plug, int base, uint8_t written, uint8_t read) {
    return Heading(plug, base, 1) + "\nFAIL: the data register does not take what is written (" + HexByte(written) + " written, " +
           HexByte(read) + " read back, twice): the port may be in an ECP FIFO mode; \"PortCheck --probe " +
           Hex(base) + "\" tells\n";
}

}  // namespace portcheck
