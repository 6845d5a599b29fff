#include "CheckArgs.h"

#include "SysUtils.h"

namespace portcheck {

namespace {

ParsedArgs Fail(const std::string& error) {
    ParsedArgs parsed;
    parsed.error = error;
    return parsed;
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h" || arg == "/?"; }

}  // namespace

ParsedArgs ParseCheckArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    const std::string* baseText = nullptr;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelp(arg)) {
            parsed.options.help = true;
            parsed.ok = true;
            return parsed;
        }
        if (arg == "--list") {
            parsed.options.list = true;
        } else if (arg == "--plug") {
            if (++i == args.size()) return Fail("--plug needs a value: data or control");
            parsed.options.plug = FindPlug(args[i].c_str());
            if (!parsed.options.plug) return Fail("unknown plug '" + args[i] + "'; use data or control");
        } else if (arg.compare(0, 2, "--") == 0) {
            return Fail("unknown option '" + arg + "'");
        } else if (baseText) {
            return Fail("one BASE only, got '" + *baseText + "' and '" + arg + "'");
        } else {
            baseText = &arg;
        }
    }
    if (parsed.options.list) {
        if (args.size() != 1) return Fail("--list takes no other arguments");
        parsed.ok = true;
        return parsed;
    }
    if (!baseText) return Fail("missing BASE, the port's base address (e.g. 0x378)");
    try {
        parsed.options.base = StrToInt(*baseText);
    } catch (const EConvertError&) {
        return Fail("'" + *baseText + "' is not a valid port address; write it as 0x378, $378 or 888");
    }
    if (parsed.options.base < 0 || parsed.options.base > kHighestBase)
        return Fail("port address '" + *baseText +
                    "' is out of range: the base must be 0 to 0xFFFD, so that its three "
                    "registers lie below 0x10000");
    parsed.ok = true;
    return parsed;
}

const char* CheckUsage() {
    return "usage: PortCheck [--plug data|control] BASE\n"
           "       PortCheck --list\n"
           "\n"
           "Tests a parallel port and its cable with a loopback plug fitted: drives\n"
           "walking-one and walking-zero patterns on the plug's five outputs, checks\n"
           "the five status inputs after each, and names the faulty lines. The data\n"
           "and control registers are put back as they were at the end.\n"
           "\n"
           "  BASE            the port's base address: 0x378, 0X378, $378 or 888\n"
           "  --plug data     D0-/ERROR, D1-SELECT, D2-PAPER OUT, D3-/ACK, D4-BUSY\n"
           "                  (pins 2-15, 3-13, 4-12, 5-10, 6-11; the default)\n"
           "  --plug control  /STROBE-SELECT, /AUTOFEED-PAPER OUT, /INIT-/ACK,\n"
           "                  /SELECT IN-BUSY, D0-/ERROR (pins 1-13, 14-12, 16-10, 17-11, 2-15)\n"
           "  --list          the parallel ports Windows knows: name, base address, I/O\n"
           "                  ranges and extended (ECP) block; touches no port\n"
           "  --help          this text\n"
           "\n"
           "Exit codes: 0 all lines ok; 1 a fault found; 2 bad arguments; 3 the port\n"
           "library inpout32.dll is missing, lacks an entry point, or its driver is\n"
           "not running; 4 interrupted (the port was put back as it was); 7 Windows\n"
           "cannot list its ports here (--list).\n";
}

}  // namespace portcheck
