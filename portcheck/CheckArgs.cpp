#include "CheckArgs.h"

#include "PortRegisters.h"
#include "SysUtils.h"
#include "SystemAddresses.h"
#include "TextFormat.h"

namespace portcheck {

namespace {

ParsedArgs Fail(const std::string& error) {
    ParsedArgs parsed;
    parsed.error = error;
    return parsed;
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h" || arg == "/?"; }

// A number written as the panel takes it; false when the text is none.
bool ReadNumber(const std::string& text, int* value) {
    try {
        *value = StrToInt(text);
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

std::string InSystemRange(int first, int last, const std::string& what) {
    const std::string range = SystemRangeAmong(first, last);
    if (range.empty()) return "";
    return what + " would lie among the PC's own addresses (" + range + "), where PortCheck writes nothing";
}

// What is wrong with BASE, or "".
std::string BaseProblem(const std::string& text, int base, bool withEcr) {
    if (base < 0 || base > kHighestBase)
        return "port address '" + text + "' is out of range: the base must be 0 to " + Hex(kHighestBase) +
               ", so that its registers lie below 0x10000";
    if (base % 4 != 0)
        return Hex(base) + " is not a port base (bases are multiples of 4); did you mean " + Hex(base & ~3) + "?";
    const std::string registers = InSystemRange(base, base + kControlOffset, "the registers of a port at " + Hex(base));
    if (!registers.empty() || !withEcr) return registers;
    const int ecr = base + kIsaExtendedOffset + kEcrInBlock;
    if (ecr > 0xFFFF)
        return "a port at " + Hex(base) + " has no extended block at base + 0x400 (" + Hex(ecr) +
               " is beyond the I/O addresses): give the card's with --ecr, as PortCheck --list shows it";
    return InSystemRange(ecr, ecr, "its extended control register at " + Hex(ecr) + " (base + 0x402)");
}

// What is wrong with the --ecr block for a port at `base`, or "".
std::string EcrProblem(const std::string& text, int block, int base) {
    if (block < 0 || block > kHighestBase)
        return "--ecr address '" + text + "' is out of range: it must be 0 to " + Hex(kHighestBase);
    if (block % 4 != 0)
        return "--ecr takes the extended block's address as --list shows it after \"extended\", a multiple of 4; "
               "did you mean " + Hex(block & ~3) + " (its ECR is " + Hex((block & ~3) + kEcrInBlock) + ")?";
    if (block >= base && block < base + 8)
        return "the extended block at " + Hex(block) + " would overlap the port's registers at " + Hex(base) +
               "-" + Hex(base + 7);
    return InSystemRange(block, block + kEcrInBlock, "the extended block at " + Hex(block));
}

}  // namespace

int CheckOptions::EcrPort() const {
    return (ecrBlock >= 0 ? ecrBlock : base + kIsaExtendedOffset) + kEcrInBlock;
}

ParsedArgs ParseCheckArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    CheckOptions& options = parsed.options;
    const std::string* baseText = nullptr;
    const std::string* ecrText = nullptr;
    const char* commandOption = nullptr;  // --list, --probe or --set-mode
    const char* testOption = nullptr;     // the last option given that only the loopback test takes
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelp(arg)) {
            options.command = Command::Help;
            parsed.ok = true;
            return parsed;
        }
        const bool takesValue = arg == "--plug" || arg == "--settle" || arg == "--repeat" || arg == "--ecr" ||
                                arg == "--set-mode";
        if (takesValue && i + 1 == args.size()) {
            const char* needs = arg == "--plug"       ? "a value: data or control"
                                : arg == "--set-mode" ? "a mode: spp or ps2"
                                : arg == "--ecr"      ? "the extended block's address, as --list shows it"
                                                      : "a number";
            return Fail(arg + " needs " + needs);
        }
        const std::string& value = takesValue ? args[++i] : arg;
        const Command command = arg == "--list"       ? Command::List
                                : arg == "--probe"    ? Command::Probe
                                : arg == "--set-mode" ? Command::SetMode
                                                      : Command::Test;
        if (command != Command::Test) {
            if (commandOption) return Fail(std::string(commandOption) + " and " + arg + ": one at a time");
            commandOption = arg.c_str();
            options.command = command;
            if (command == Command::SetMode) {
                if (value != "spp" && value != "ps2") return Fail("unknown mode '" + value + "'; use spp or ps2");
                options.mode = value == "spp" ? 0 : 1;
            }
        } else if (arg == "--plug") {
            testOption = "--plug";
            options.plug = FindPlug(value.c_str());
            if (!options.plug) return Fail("unknown plug '" + value + "'; use data or control");
        } else if (arg == "--settle") {
            testOption = "--settle";
            int micros = 0;
            if (!ReadNumber(value, &micros) || micros < 0 || micros > kLongestSettleMicros)
                return Fail("--settle takes microseconds from 0 to " + std::to_string(kLongestSettleMicros) +
                            ", not '" + value + "'");
            options.settleMicros = micros;
        } else if (arg == "--repeat") {
            testOption = "--repeat";
            if (!ReadNumber(value, &options.rounds) || options.rounds < 1 || options.rounds > kMostRounds)
                return Fail("--repeat takes a number of rounds from 1 to " + std::to_string(kMostRounds) +
                            ", not '" + value + "'");
        } else if (arg == "--ecr") {
            ecrText = &value;
        } else if (arg.compare(0, 2, "--") == 0) {
            return Fail("unknown option '" + arg + "'");
        } else if (baseText) {
            return Fail("one BASE only, got '" + *baseText + "' and '" + arg + "'");
        } else {
            baseText = &arg;
        }
    }
    if (options.command == Command::List) {
        if (args.size() != 1) return Fail("--list takes no other arguments");
        parsed.ok = true;
        return parsed;
    }
    if (testOption && options.command != Command::Test)
        return Fail(std::string(testOption) + " is for the loopback test, not for " + commandOption);
    if (ecrText && options.command == Command::Test) return Fail("--ecr goes with --probe or --set-mode");
    if (!baseText) return Fail("missing BASE, the port's base address (e.g. 0x378)");
    if (!ReadNumber(*baseText, &options.base))
        return Fail("'" + *baseText + "' is not a valid port address; write it as 0x378, $378 or 888");
    std::string problem = BaseProblem(*baseText, options.base, options.command != Command::Test && !ecrText);
    if (!problem.empty()) return Fail(problem);
    if (ecrText) {
        if (!ReadNumber(*ecrText, &options.ecrBlock))
            return Fail("'" + *ecrText + "' is not a valid address for --ecr; write it as 0xD880, $D880 or 55424");
        problem = EcrProblem(*ecrText, options.ecrBlock, options.base);
        if (!problem.empty()) return Fail(problem);
    }
    parsed.ok = true;
    return parsed;
}

const char* CheckUsage() {
    return "usage: PortCheck [--plug data|control] [--settle US] [--repeat N] BASE\n"
           "       PortCheck --probe [--ecr ADDR] BASE\n"
           "       PortCheck --set-mode spp|ps2 [--ecr ADDR] BASE\n"
           "       PortCheck --list\n"
           "\n"
           "Tests a parallel port and its cable with a loopback plug fitted: drives\n"
           "walking-one and walking-zero patterns on the plug's five outputs, checks\n"
           "the five status inputs after each, and names the faulty lines. Interrupts\n"
           "are off and the data lines drive during the test; the data and control\n"
           "registers are put back as they were at the end, and read back to check.\n"
           "\n"
           "  BASE            the port's base address, a multiple of 4: 0x378, 0X378,\n"
           "                  $378 or 888\n"
           "  --plug data     D0-/ERROR, D1-SELECT, D2-PAPER OUT, D3-/ACK, D4-BUSY\n"
           "                  (pins 2-15, 3-13, 4-12, 5-10, 6-11; the default)\n"
           "  --plug control  /STROBE-SELECT, /AUTOFEED-PAPER OUT, /INIT-/ACK,\n"
           "                  /SELECT IN-BUSY, D0-/ERROR (pins 1-13, 14-12, 16-10, 17-11, 2-15)\n"
           "  --settle US     microseconds to let the inputs settle after each pattern,\n"
           "                  0 to 100000 (default 100); raise it for a long cable\n"
           "  --repeat N      run the patterns N times (1 to 10000); a line that fails\n"
           "                  in any round is named: intermittent contacts\n"
           "  --probe         what answers at BASE: a port, bidirectional or not, its\n"
           "                  extended control register (ECR) and mode, the EPP time-out\n"
           "                  flag, and whether the panel's outputs reach the pins\n"
           "  --set-mode spp|ps2\n"
           "                  set the ECR's mode to 000 (standard) or 001 (PS/2,\n"
           "                  bidirectional); it stays until the PC restarts\n"
           "  --ecr ADDR      the extended block where a PCI card puts it, as --list\n"
           "                  shows it after \"extended\" (default BASE + 0x400)\n"
           "  --list          the parallel ports Windows knows: name, base address, I/O\n"
           "                  ranges and extended (ECP) block; touches no port\n"
           "  --help          this text\n"
           "\n"
           "Exit codes: 0 all lines ok (--probe: the panel's outputs reach the pins);\n"
           "1 a fault found (--probe: the outputs do not reach the pins in this mode);\n"
           "2 bad arguments; 3 the port library inpout32.dll is missing, lacks an entry\n"
           "point, or its driver is not running; 4 interrupted (the port was put back);\n"
           "5 no port answers at that address; 6 another program or Windows' printer\n"
           "polling wrote to the port meanwhile; 7 Windows cannot list its ports here\n"
           "(--list).\n";
}

}  // namespace portcheck
