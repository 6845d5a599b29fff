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
std::string BaseProblem(const std::string& text, int base) {
    if (base < 0 || base > kHighestBase)
        return "port address '" + text + "' is out of range: the base must be 0 to " + Hex(kHighestBase) +
               ", so that its registers lie below 0x10000";
    if (base % 4 != 0)
        return Hex(base) + " is not a port base (bases are multiples of 4); did you mean " + Hex(base & ~3) + "?";
    return InSystemRange(base, base + kControlOffset, "the registers of a port at " + Hex(base));
}

}  // namespace

ParsedArgs ParseCheckArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    CheckOptions& options = parsed.options;
    const std::string* baseText = nullptr;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelp(arg)) {
            options.command = Command::Help;
            parsed.ok = true;
            return parsed;
        }
        const bool takesValue = arg == "--plug" || arg == "--settle" || arg == "--repeat";
        if (takesValue && i + 1 == args.size())
            return Fail(arg + " needs " + (arg == "--plug" ? "a value: data or control" : "a number"));
        const std::string& value = takesValue ? args[++i] : arg;
        if (arg == "--list") {
            options.command = Command::List;
        } else if (arg == "--plug") {
            options.plug = FindPlug(value.c_str());
            if (!options.plug) return Fail("unknown plug '" + value + "'; use data or control");
        } else if (arg == "--settle") {
            int micros = 0;
            if (!ReadNumber(value, &micros) || micros < 0 || micros > kLongestSettleMicros)
                return Fail("--settle takes microseconds from 0 to " + std::to_string(kLongestSettleMicros) +
                            ", not '" + value + "'");
            options.settleMicros = micros;
        } else if (arg == "--repeat") {
            if (!ReadNumber(value, &options.rounds) || options.rounds < 1 || options.rounds > kMostRounds)
                return Fail("--repeat takes a number of rounds from 1 to " + std::to_string(kMostRounds) +
                            ", not '" + value + "'");
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
    if (!baseText) return Fail("missing BASE, the port's base address (e.g. 0x378)");
    if (!ReadNumber(*baseText, &options.base))
        return Fail("'" + *baseText + "' is not a valid port address; write it as 0x378, $378 or 888");
    const std::string problem = BaseProblem(*baseText, options.base);
    if (!problem.empty()) return Fail(problem);
    parsed.ok = true;
    return parsed;
}

const char* CheckUsage() {
    return "usage: PortCheck [--plug data|control] [--settle US] [--repeat N] BASE\n"
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
           "  --list          the parallel ports Windows knows: name, base address, I/O\n"
           "                  ranges and extended (ECP) block; touches no port\n"
           "  --help          this text\n"
           "\n"
           "Exit codes: 0 all lines ok; 1 a fault found; 2 bad arguments; 3 the port\n"
           "library inpout32.dll is missing, lacks an entry point, or its driver is\n"
           "not running; 4 interrupted (the port was put back); 5 no port answers at\n"
           "that address; 6 another program or Windows' printer polling wrote to the\n"
           "port meanwhile; 7 Windows cannot list its ports here (--list).\n";
}

}  // namespace portcheck
