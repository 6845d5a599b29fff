#include "CheckArgs.h"

#include <algorithm>

#include "EcrModes.h"
#include "ExitCodes.h"

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

// What is wrong with BASE, or "". (Its ECR at base + 0x402, below 0x400,
// lies among none of the PC's own addresses.)
std::string BaseProblem(const std::string& text, int base) {
    if (base < 0 || base > kHighestBase)
        return "port address '" + text + "' is out of range: the base must be 0 to " + Hex(kHighestBase) +
               ", so that its registers lie below 0x10000";
    if (base % 4 != 0)
        return Hex(base) + " is not a port base (bases are multiples of 4); did you mean " + Hex(base & ~3) + "?";
    return InSystemRange(base, base + kControlOffset, "the registers of a port at " + Hex(base));
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
    if (ecrBlock >= 0) return ecrBlock + kEcrInBlock;
    // A PCI card's base + 0x402 belongs to whatever else is there (another card's serial port, say).
    return base < kLowestPciBase ? base + kIsaExtendedOffset + kEcrInBlock : -1;
}

ParsedArgs ParseCheckArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    CheckOptions& options = parsed.options;
    const std::string* baseText = nullptr;
    const std::string* ecrText = nullptr;
    const char* commandOption = nullptr;  // --list, --probe or --set-mode
    const char* testOption = nullptr;     // the last option given that only the loopback test takes
    const char* watchOption = nullptr;    // the same for --watch
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelp(arg)) {
            options.command = Command::Help;
            parsed.ok = true;
            return parsed;
        }
        const bool takesValue = arg == "--plug" || arg == "--settle" || arg == "--repeat" || arg == "--ecr" ||
                                arg == "--set-mode" || arg == "--lines" || arg == "--for" || arg == "--vcd" ||
                                arg == "--max-size";
        if (takesValue && i + 1 == args.size()) {
            if (arg == "--lines") return Fail("--lines needs a value: " + LineWords());
            const char* needs = arg == "--plug"       ? "a value: data or control"
                                : arg == "--set-mode" ? "a mode: spp or ps2"
                                : arg == "--ecr"      ? "the extended block's address, as --list shows it"
                                : arg == "--vcd"      ? "a file name"
                                                      : "a number";
            return Fail(arg + " needs " + needs);
        }
        const std::string& value = takesValue ? args[++i] : arg;
        const Command command = arg == "--list"       ? Command::List
                                : arg == "--driver"   ? Command::Driver
                                : arg == "--probe"    ? Command::Probe
                                : arg == "--set-mode" ? Command::SetMode
                                : arg == "--watch"    ? Command::Watch
                                                      : Command::Test;
        if (command != Command::Test) {
            if (commandOption) return Fail(std::string(commandOption) + " and " + arg + ": one at a time");
            commandOption = arg.c_str();
            options.command = command;
            if (command == Command::SetMode) {
                if (value != "spp" && value != "ps2") return Fail("unknown mode '" + value + "'; use spp or ps2");
                options.mode = value == "spp" ? kEcrStandard : kEcrPs2;
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
        } else if (arg == "--lines") {
            watchOption = "--lines";
            const LineChoice* choice = FindLineChoice(value);
            if (!choice) return Fail("unknown lines '" + value + "'; use " + LineWords());
            options.lines = choice->lines;
        } else if (arg == "--for") {
            watchOption = "--for";
            if (!ReadNumber(value, &options.seconds) || options.seconds < 1 || options.seconds > kLongestWatchSeconds)
                return Fail("--for takes seconds from 1 to " + std::to_string(kLongestWatchSeconds) + ", not '" +
                            value + "'");
        } else if (arg == "--max-size") {
            watchOption = "--max-size";
            if (!ReadNumber(value, &options.maxSizeMb) || options.maxSizeMb < 1 || options.maxSizeMb > kLargestVcdMb)
                return Fail("--max-size takes megabytes from 1 to " + std::to_string(kLargestVcdMb) + ", not '" +
                            value + "'");
        } else if (arg == "--vcd") {
            watchOption = "--vcd";
            if (value.empty()) return Fail("--vcd needs a file name");
            options.vcdPath = value;
        } else if (arg == "--ecr") {
            ecrText = &value;
        } else if (arg == "--force") {
            options.force = true;
        } else if (arg.compare(0, 2, "--") == 0) {
            return Fail("unknown option '" + arg + "'");
        } else if (baseText) {
            return Fail("one BASE only, got '" + *baseText + "' and '" + arg + "'");
        } else {
            baseText = &arg;
        }
    }
    if (options.command == Command::List || options.command == Command::Driver) {
        if (args.size() != 1) return Fail(std::string(commandOption) + " takes no other arguments");
        parsed.ok = true;
        return parsed;
    }
    if (testOption && options.command != Command::Test)
        return Fail(std::string(testOption) + " is for the loopback test, not for " + commandOption);
    if (watchOption && options.command != Command::Watch) return Fail(std::string(watchOption) + " goes with --watch");
    if (options.maxSizeMb > 0 && options.vcdPath.empty()) return Fail("--max-size goes with --vcd");
    if (ecrText && options.command == Command::Watch) return Fail("--ecr goes with the loopback test, --probe or --set-mode");
    if (!baseText) return Fail("missing BASE, the port's base address (e.g. 0x378)");
    if (!ReadNumber(*baseText, &options.base))
        return Fail("'" + *baseText + "' is not a valid port address; write it as 0x378, $378 or 888");
    std::string problem = BaseProblem(*baseText, options.base);
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

namespace {

// The commands, the loopback test first: --help lists them, a bad argument
// names the first and the options of the others.
const char* const kSynopses[] = {
    "[--plug data|control] [--settle US] [--repeat N] [--ecr ADDR] [--force] BASE",
    "--probe [--ecr ADDR] [--force] BASE",
    "--set-mode spp|ps2 [--ecr ADDR] [--force] BASE",
    "--watch [--lines inputs|all] [--for SECONDS] [--vcd FILE [--max-size MB]] [--force] BASE",  // the words of kLineChoices
    "--list",
    "--driver",
};

struct OptionHelp {
    std::string name;
    std::string help;
};

std::vector<OptionHelp> Options() {
    std::vector<OptionHelp> options = {{"BASE", "the port's base address, a multiple of 4: 0x378, 0X378, $378 or 888"}};
    for (const LoopbackPlug* plug : kPlugs)
        options.push_back({std::string("--plug ") + plug->name,
                           WiringText(*plug) + (plug == kPlugs[0] ? "; the default" : "")});
    options.push_back({"--settle US", "microseconds to let the inputs settle after each pattern, 0 to " +
                                          std::to_string(kLongestSettleMicros) + " (default " +
                                          std::to_string(kDefaultSettleMicros) + "); raise it for a long cable"});
    options.push_back({"--repeat N", "run the patterns N times (1 to " + std::to_string(kMostRounds) +
                                         "); a line that fails in any round is named: intermittent contacts"});
    options.push_back({"--probe", "what answers at BASE: a port, bidirectional or not, its extended control "
                                  "register (ECR) and mode, the EPP time-out flag, and whether the panel's "
                                  "outputs reach the pins"});
    options.push_back({"--set-mode spp|ps2", "set the ECR's mode to 000 (standard) or 001 (PS/2, "
                                             "bidirectional); it stays until the PC restarts"});
    options.push_back({"--ecr ADDR", "the extended block where a PCI card puts it, as --list shows it after "
                                     "\"extended\" (default BASE + 0x400 for a base below 0x400; above, none is "
                                     "guessed). The loopback test reads its ECR only, and does not start in a FIFO "
                                     "mode"});
    options.push_back({"--force", "go on where BASE + 1 and BASE + 2 read as a serial port's registers do (a "
                                  "parallel port can read so), or where Windows lists no parallel port at BASE "
                                  "(one it has no driver for); never where Windows gives BASE to another device"});
    options.push_back({"--watch", "record every change of the port's lines at the port's own speed, with its "
                                  "time, until Ctrl+C: a line per change, a count per second when they come "
                                  "faster, a summary at the end. It only reads the port, and keeps one "
                                  "processor core busy meanwhile"});
    for (const LineChoice& choice : kLineChoices)
        options.push_back({std::string("--lines ") + choice.word,
                           choice.what + std::string(choice.lines == WatchedLines::Inputs ? "; the default" : "")});
    options.push_back({"--for SECONDS", "stop recording after SECONDS (1 to " + std::to_string(kLongestWatchSeconds) +
                                            ") rather than at Ctrl+C"});
    options.push_back({"--vcd FILE", "write the recording to FILE as a Value Change Dump (a timescale as fine "
                                     "as the samples, a wire per line and one \"blind\" where a pulse of the "
                                     "trusted width could be missed), for a logic viewer. A file already there is "
                                     "replaced only once the recording is complete"});
    options.push_back({"--max-size MB", "stop recording when the VCD file reaches MB megabytes (1 to " +
                                            std::to_string(kLargestVcdMb) + "); the file is complete up to then"});
    options.push_back({"--list", "the parallel ports Windows knows: name, base address, I/O ranges and "
                                 "extended (ECP) block; touches no port"});
    options.push_back({"--driver", "why the port library can't reach the port: what Windows tells about the "
                                   "library, its driver and the protections that can refuse it, each with "
                                   "its source; then the cause and what to do; touches no port"});
    options.push_back({"--help", "this text"});
    return options;
}

constexpr size_t kLineWidth = 78;
constexpr size_t kHelpColumn = 18;

// `text` after `lead`, broken at spaces so that no line passes
// kLineWidth, each further line indented by `indent`.
std::string Wrapped(const std::string& lead, const std::string& text, size_t indent) {
    std::string out, line = lead;
    bool lineEmpty = true;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        at = end + 1;
        if (!lineEmpty && line.size() + 1 + word.size() > kLineWidth) {
            out += line + "\n";
            line.assign(indent, ' ');
            lineEmpty = true;
        }
        line += (lineEmpty ? "" : " ") + word;
        lineEmpty = false;
    }
    return out + line + "\n";
}

std::string OptionLine(const OptionHelp& option) {
    const std::string name = "  " + option.name;
    if (name.size() >= kHelpColumn) return name + "\n" + Wrapped(std::string(kHelpColumn, ' '), option.help, kHelpColumn);
    return Wrapped(name + std::string(kHelpColumn - name.size(), ' '), option.help, kHelpColumn);
}

std::string UsageText() {
    std::string text;
    for (const char* synopsis : kSynopses)
        text += std::string(text.empty() ? "usage: " : "       ") + "PortCheck " + synopsis + "\n";
    text += "\n" + Wrapped("", "Tests a parallel port and its cable with a loopback plug fitted: drives walking-one "
                           "and walking-zero patterns on the plug's five outputs, checks the five status inputs "
                           "after each, and names the faulty lines. Interrupts are off and the data lines drive "
                           "during the test; the data and control registers are put back as they were at the "
                           "end, and read back to check.", 0) + "\n";
    for (const OptionHelp& option : Options()) text += OptionLine(option);
    text += "\nExit codes:\n";
    for (const ExitCodeMeaning& exit : kExitCodeMeanings)
        text += Wrapped("  " + std::to_string(exit.code) + " ", exit.meaning, 4);
    return text;
}

}  // namespace

const char* CheckUsage() {
    static const std::string text = UsageText();
    return text.c_str();
}

std::string ShortUsage() {
    std::string others;
    for (size_t i = 1; i < sizeof kSynopses / sizeof kSynopses[0]; ++i)
        others += std::string(kSynopses[i]).substr(0, std::string(kSynopses[i]).find(' ')) + ", ";
    return std::string("usage: PortCheck ") + kSynopses[0] + " (or " + others + "--help)\n";
}

}  // namespace portcheck
