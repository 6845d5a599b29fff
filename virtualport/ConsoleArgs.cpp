#include "ConsoleArgs.h"

#include "PinModel.h"

namespace vport {

namespace {

ParsedCommand Fail(std::string error) {
    ParsedCommand parsed;
    parsed.error = std::move(error);
    return parsed;
}

ParsedCommand Succeed(const ConsoleCommand& command) {
    ParsedCommand parsed;
    parsed.ok = true;
    parsed.command = command;
    return parsed;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Reads the number `text` for `what`, within min..max, into *value; on
// failure *error says why.
bool ReadNumber(const std::string& text, const std::string& what, uint64_t min, uint64_t max,
                uint64_t* value, std::string* error) {
    if (ParseNumber(text, max, value) && *value >= min) return true;
    uint64_t unbounded;
    if (ParseNumber(text, UINT64_MAX, &unbounded))
        *error = what + " " + text + " is out of range (" + std::to_string(min) + ".." +
                 std::to_string(max) + ")";
    else
        *error = what + " '" + text + "' is not a number (use decimal or 0x hex)";
    return false;
}

ParsedCommand ParsePin(const std::vector<std::string>& args) {
    if (args.size() < 3) return Fail("pin: missing value; use: pin N high|low");
    if (args.size() > 3) return Fail("pin: unexpected argument '" + args[3] + "'");
    ConsoleCommand command;
    command.action = ConsoleAction::SetPin;
    uint64_t pin;
    std::string error;
    if (!ReadNumber(args[1], "pin", 1, 25, &pin, &error)) return Fail(error);
    if (!IsInputPin(static_cast<int>(pin)))
        return Fail("pin " + args[1] + " is not an input; inputs are pins 10, 11, 12, 13 and 15");
    command.pin = static_cast<int>(pin);
    if (args[2] == "high")
        command.high = true;
    else if (args[2] == "low")
        command.high = false;
    else
        return Fail("pin: level '" + args[2] + "' is neither high nor low");
    return Succeed(command);
}

ParsedCommand ParseStatus(const std::vector<std::string>& args) {
    if (args.size() < 2) return Fail("status: missing value; use: status VALUE|auto");
    if (args.size() > 2) return Fail("status: unexpected argument '" + args[2] + "'");
    ConsoleCommand command;
    if (args[1] == "auto") {
        command.action = ConsoleAction::AutoStatus;
        return Succeed(command);
    }
    uint64_t value;
    std::string error;
    if (!ReadNumber(args[1], "status value", 0, 255, &value, &error)) return Fail(error);
    command.action = ConsoleAction::ForceStatus;
    command.status = static_cast<uint8_t>(value);
    return Succeed(command);
}

ParsedCommand ParseWiring(const std::vector<std::string>& args) {
    if (args.size() < 2) return Fail("wiring: missing value; use: wiring none|data|control");
    if (args.size() > 2) return Fail("wiring: unexpected argument '" + args[2] + "'");
    ConsoleCommand command;
    command.action = ConsoleAction::SetWiring;
    if (args[1] == "none")
        command.wiring = Wiring::None;
    else if (args[1] == "data")
        command.wiring = Wiring::DataLoopback;
    else if (args[1] == "control")
        command.wiring = Wiring::ControlLoopback;
    else
        return Fail("wiring: '" + args[1] + "' is none of none, data, control");
    return Succeed(command);
}

ParsedCommand ParseDriver(const std::vector<std::string>& args) {
    if (args.size() < 2) return Fail("driver: missing state; use: driver stopped|running");
    if (args.size() > 2) return Fail("driver: unexpected argument '" + args[2] + "'");
    ConsoleCommand command;
    command.action = ConsoleAction::SetDriver;
    if (args[1] == "stopped")
        command.driverRunning = false;
    else if (args[1] == "running")
        command.driverRunning = true;
    else
        return Fail("driver: '" + args[1] + "' is neither stopped nor running");
    return Succeed(command);
}

// The options of `watch` and `log`: each takes a number, except the flag
// `--clear`.
ParsedCommand ParseOptions(const std::vector<std::string>& args, ConsoleCommand command) {
    const bool log = command.action == ConsoleAction::PrintLog;
    const bool watch = command.action == ConsoleAction::Watch;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (log && option == "--clear") {
            command.clearLog = true;
            continue;
        }
        uint64_t min = 0, max = 0;
        if (log && option == "--since") {
            max = UINT64_MAX;
        } else if (watch && option == "--count") {
            min = 1;
            max = UINT32_MAX;
        } else if (watch && option == "--interval") {
            min = 10;
            max = 60000;
        } else {
            return Fail(args[0] + ": unknown option '" + option + "'");
        }
        if (i + 1 == args.size()) return Fail(args[0] + ": " + option + ": missing value");
        uint64_t value;
        std::string error;
        if (!ReadNumber(args[++i], args[0] + ": " + option, min, max, &value, &error))
            return Fail(error);
        if (option == "--since")
            command.logSince = value;
        else if (option == "--count")
            command.watchCount = static_cast<uint32_t>(value);
        else
            command.watchIntervalMs = static_cast<uint32_t>(value);
    }
    return Succeed(command);
}

ParsedCommand ParseAlone(const std::vector<std::string>& args, ConsoleAction action) {
    if (args.size() > 1) return Fail(args[0] + ": unexpected argument '" + args[1] + "'");
    ConsoleCommand command;
    command.action = action;
    return Succeed(command);
}

}  // namespace

bool ParseNumber(const std::string& text, uint64_t max, uint64_t* value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const uint64_t base = hex ? 16 : 10;
    const size_t start = hex ? 2 : 0;
    if (text.size() == start) return false;
    uint64_t result = 0;
    for (size_t i = start; i < text.size(); ++i) {
        uint64_t digit = static_cast<uint64_t>(DigitValue(text[i]));
        if (digit >= base || digit > max || result > (max - digit) / base) return false;
        result = result * base + digit;
    }
    *value = result;
    return true;
}

ParsedCommand ParseConsoleArgs(const std::vector<std::string>& args) {
    if (args.empty()) return Fail("missing command; try --help");
    const std::string& name = args[0];
    ConsoleCommand command;
    if (name == "--help" || name == "-h" || name == "help") return ParseAlone(args, ConsoleAction::Help);
    if (name == "show") return ParseAlone(args, ConsoleAction::Show);
    if (name == "reset") return ParseAlone(args, ConsoleAction::Reset);
    if (name == "pin") return ParsePin(args);
    if (name == "status") return ParseStatus(args);
    if (name == "wiring") return ParseWiring(args);
    if (name == "driver") return ParseDriver(args);
    if (name == "watch") {
        command.action = ConsoleAction::Watch;
        return ParseOptions(args, command);
    }
    if (name == "log") {
        command.action = ConsoleAction::PrintLog;
        return ParseOptions(args, command);
    }
    return Fail("unknown command '" + name + "'; try --help");
}

const char* ConsoleUsage() {
    return "Usage: PortConsole COMMAND\n"
           "Drives the virtual parallel port that the panel uses.\n"
           "\n"
           "Commands:\n"
           "  show                        registers and the level of pins 1-17\n"
           "  watch [--count N] [--interval MS]\n"
           "                              show again every MS milliseconds (default 250),\n"
           "                              N times or until Ctrl+C\n"
           "  pin N high|low              set input pin N (10, 11, 12, 13 or 15)\n"
           "                              where the wiring leaves it unconnected\n"
           "  status VALUE                make the status register read VALUE\n"
           "  status auto                 status follows the pins again\n"
           "  wiring none|data|control    nothing, data loopback or control loopback\n"
           "  driver stopped|running      the library's port driver: stopped, the port\n"
           "                              reads 0 and takes no writes, as before the\n"
           "                              library has been run as administrator\n"
           "  log [--since N] [--clear]   the port accesses in order, from access N;\n"
           "                              --clear empties the log after printing\n"
           "  reset                       back to power-up state\n"
           "  --help                      this text\n"
           "\n"
           "Numbers are decimal or 0x hex. The port state is shared by name,\n"
           "TarnwickVirtualPort or the value of TARNWICK_VPORT.\n";
}

}  // namespace vport
