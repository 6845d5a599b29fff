#include "CheckReport.h"

#include <cstdio>

namespace portcheck {

namespace {

std::string Hex(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

std::string Outcome(const LoopbackPlug& plug, const PairResult& pair) {
    switch (pair.outcome) {
    case PairOutcome::Ok: return "ok";
    case PairOutcome::StuckHigh: return "stuck high";
    case PairOutcome::StuckLow: return "stuck low";
    case PairOutcome::FollowsOther: {
        const OutputPin& other = plug.pairs[pair.followedPair].output;
        return "follows pin " + std::to_string(other.pin) + " (" + other.name +
               "): crossed or shorted wires";
    }
    case PairOutcome::Erratic: return "moves with no single output: shorted outputs or a loose contact";
    case PairOutcome::NoPlug: return pair.level ? "no plug (always high)" : "no plug (always low)";
    }
    return "";
}

std::string Heading(const LoopbackPlug& plug, int base) {
    return "Testing the port at " + Hex(base) + " with the " + plug.name + " loopback plug";
}

std::string PairLine(const LoopbackPlug& plug, const CheckResult& result, int pair) {
    const WiredPair& wired = plug.pairs[pair];
    char line[96];
    std::snprintf(line, sizeof line, "  pin %2d %-10s -> pin %2d %-10s ", wired.output.pin,
                  wired.output.name, wired.input.pin, wired.input.name);
    return line + Outcome(plug, result.pairs[pair]);
}

std::string Verdict(const CheckResult& result, int base) {
    if (result.noPlug)
        return "FAIL: no plug: no input follows any output (is the plug fitted, and is " + Hex(base) +
               " the port's address?)";
    if (result.faulty == 0) return "PASS: all " + std::to_string(kPairs) + " lines ok";
    return "FAIL: " + std::to_string(result.faulty) + " of " + std::to_string(kPairs) +
           " lines faulty";
}

}  // namespace

std::string Report(const LoopbackPlug& plug, const CheckResult& result, int base) {
    std::string text = Heading(plug, base) + "\n";
    for (int pair = 0; pair < kPairs; ++pair) text += PairLine(plug, result, pair) + "\n";
    return text + Verdict(result, base) + "\n";
}

}  // namespace portcheck
