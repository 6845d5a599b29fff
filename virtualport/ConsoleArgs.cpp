#include "ConsoleArgs.h"

#include <algorithm>
#include <cstdio>

#include "ConsoleText.h"
#include "PinModel.h"
#include "SignalConsole.h"

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

// Empty when `args` is the command and `count` more; else what is wrong,
// with `usage` for a missing `what`.
std::string ArityError(const std::vector<std::string>& args, size_t count, const char* what,
                       const char* usage) {
    if (args.size() < count + 1) return args[0] + ": missing " + what + "; use: " + usage;
    if (args.size() > count + 1) return args[0] + ": unexpected argument '" + args[count + 1] + "'";
    return "";
}

ParsedCommand ParsePin(const std::vector<std::string>& args) {
    const bool loose = args.size() >= 3 && args[2] == "loose";
    std::string error = ArityError(args, loose ? 3 : 2, "value", "pin N high|low|loose K");
    if (!error.empty()) return Fail(error);
    ConsoleCommand command;
    command.action = ConsoleAction::SetPin;
    uint64_t pin;
    if (!ReadNumber(args[1], "pin", 1, 25, &pin, &error)) return Fail(error);
    command.pin = static_cast<int>(pin);
    const bool output = IsDataPin(command.pin) || IsControlPin(command.pin);
    if (!IsInputPin(command.pin) && !(output && !loose))
        return Fail("pin " + args[1] +
                    " is not an input; inputs are pins 10, 11, 12, 13 and 15" +
                    (loose ? "" : ", data pins 2-9 while the data pins are inputs, and pins 1-9, 14, 16 "
                                  "and 17 with `readback pins`"));
    if (loose) {
        uint64_t every;
        if (!ReadNumber(args[3], "pin: loose", 2, 1000000, &every, &error)) return Fail(error);
        command.looseEvery = static_cast<uint32_t>(every);
    } else if (args[2] == "high" || args[2] == "low") {
        command.high = args[2] == "high";
    } else {
        return Fail("pin: level '" + args[2] + "' is neither high nor low");
    }
    return Succeed(command);
}

ParsedCommand ParseStatus(const std::vector<std::string>& args) {
    std::string error = ArityError(args, 1, "value", "status VALUE|auto");
    if (!error.empty()) return Fail(error);
    ConsoleCommand command;
    if (args[1] == "auto") {
        command.action = ConsoleAction::AutoStatus;
        return Succeed(command);
    }
    uint64_t value;
    if (!ReadNumber(args[1], "status value", 0, 255, &value, &error)) return Fail(error);
    command.action = ConsoleAction::ForceStatus;
    command.status = static_cast<uint8_t>(value);
    return Succeed(command);
}

// What a setting's words are, for its usage: "latch|pins".
std::string WordsOf(const SettingRow& row, const char* between) {
    std::string words;
    for (int n = 0; n < WordCount(row); ++n) words += (n == 0 ? "" : between) + std::string(row.words[n].word);
    return words;
}

// "readback latch|pins", or "settle-cost N" for a number.
std::string SettingUsage(const SettingRow& row) {
    return std::string(row.command) + " " + (WordCount(row) > 0 ? WordsOf(row, "|") : "N");
}

// A setting of kSettingRows: one of its words, or a number in its range.
ParsedCommand ParseSetting(const std::vector<std::string>& args, const SettingRow& row) {
    std::string error = ArityError(args, 1, row.what, SettingUsage(row).c_str());
    if (!error.empty()) return Fail(error);
    ConsoleCommand command;
    command.action = ConsoleAction::SetSetting;
    command.setting = row.id;
    const int words = WordCount(row);
    if (words == 0) {
        uint64_t value;
        if (!ReadNumber(args[1], args[0], row.least, row.most, &value, &error)) return Fail(error);
        command.settingValue = static_cast<uint32_t>(value);
        return Succeed(command);
    }
    int choice = 0;
    while (choice < words && args[1] != row.words[choice].word) ++choice;
    if (choice == words) {
        const std::string refusal =
            words == 2 ? std::string("neither ") + row.words[0].word + " nor " + row.words[1].word
                       : "none of " + WordsOf(row, ", ");
        return Fail(args[0] + ": '" + args[1] + "' is " + refusal);
    }
    command.settingValue = static_cast<uint32_t>(choice);
    return Succeed(command);
}

// `base ADDR` and `ecp ADDR|auto`: a multiple of 4 from 0 to 0xFFFC.
ParsedCommand ParseAddress(const std::vector<std::string>& args, ConsoleAction action) {
    const bool extended = action == ConsoleAction::SetExtendedBlock;
    std::string error = ArityError(args, 1, "address", extended ? "ecp ADDR|auto" : "base ADDR");
    if (!error.empty()) return Fail(error);
    ConsoleCommand command;
    command.action = action;
    if (extended && args[1] == "auto") {
        command.extendedAuto = true;
        return Succeed(command);
    }
    uint64_t address;
    if (!ReadNumber(args[1], args[0], 0, 0xFFFC, &address, &error)) return Fail(error);
    if (!IsValidBase(static_cast<uint32_t>(address)))
        return Fail(args[0] + " " + args[1] + " is not a multiple of 4");
    command.address = static_cast<uint16_t>(address);
    return Succeed(command);
}

ParsedCommand ParseChip(const std::vector<std::string>& args) {
    const std::string error = ArityError(args, 1, "name", "chip NAME (see --help)");
    if (!error.empty()) return Fail(error);
    ConsoleCommand command;
    command.action = ConsoleAction::SetChip;
    if (!ChipFromName(args[1], &command.chip))
        return Fail("chip: '" + args[1] + "' is none of " + ChipNames());
    return Succeed(command);
}

ParsedCommand ParseEcrMode(const std::vector<std::string>& args) {
    const std::string error = ArityError(args, 1, "mode", "ecr-mode BBB (three binary digits)");
    if (!error.empty()) return Fail(error);
    const std::string& bits = args[1];
    ConsoleCommand command;
    command.action = ConsoleAction::SetEcrMode;
    for (char bit : bits) command.ecrMode = static_cast<uint8_t>(command.ecrMode << 1 | (bit == '1'));
    if (bits.size() != 3 || bits.find_first_not_of("01") != std::string::npos)
        return Fail("ecr-mode: '" + bits + "' is not three binary digits such as 011");
    return Succeed(command);
}

ParsedCommand ParseSettle(const std::vector<std::string>& args) {
    const bool rising = args.size() == 3 && args[2] == "rising";
    std::string error = ArityError(args, rising ? 2 : 1, "time", "settle MICROSECONDS [rising]");
    if (!error.empty()) return Fail(error);
    ConsoleCommand command;
    command.action = ConsoleAction::SetSettle;
    command.settleRising = rising;
    uint64_t micros;
    if (!ReadNumber(args[1], "settle", 0, kMaxSettleMicros, &micros, &error)) return Fail(error);
    command.settleMicros = static_cast<uint32_t>(micros);
    return Succeed(command);
}

ParsedCommand ParseIntruder(const std::vector<std::string>& args) {
    const char* usage = "intruder every N ms|off";
    ConsoleCommand command;
    command.action = ConsoleAction::SetIntruder;
    if (args.size() >= 2 && args[1] == "off") {
        const std::string error = ArityError(args, 1, "period", usage);
        return error.empty() ? Succeed(command) : Fail(error);
    }
    std::string error = ArityError(args, 3, "period", usage);
    if (!error.empty()) return Fail(error);
    if (args[1] != "every" || args[3] != "ms") return Fail(std::string("intruder: use: ") + usage);
    uint64_t ms;
    if (!ReadNumber(args[2], "intruder: period", 1, kMaxIntruderPeriodMs, &ms, &error)) return Fail(error);
    command.intruderMs = static_cast<uint32_t>(ms);
    return Succeed(command);
}

// `pulse pin N every US width US`, `uart pin N BAUD TEXT` (the rest of the
// line, spaces kept) and `pulse off`, `uart off`.
ParsedCommand ParseSignal(const std::vector<std::string>& args) {
    const bool uart = args[0] == "uart";
    const char* usage = uart ? "uart pin N BAUD TEXT|off" : "pulse pin N every US width US|off";
    ConsoleCommand command;
    command.action = ConsoleAction::SetSignal;
    command.uart = uart;
    const bool off = args.size() >= 2 && args[1] == "off";
    std::string error = ArityError(args, off ? 1 : uart ? std::max<size_t>(args.size() - 1, 4) : 6, "signal", usage);
    if (!error.empty() || off) return error.empty() ? Succeed(command) : Fail(error);
    if (args[1] != "pin" || (!uart && (args[3] != "every" || args[5] != "width")))
        return Fail(args[0] + ": use: " + usage);
    uint64_t pin, rate, width = 0;
    if (ParseNumber(args[2], 25, &pin) && !TakesSignal(static_cast<int>(pin)) && pin != 0)
        return Fail(args[0] + ": pin " + args[2] + " is ground; a signal goes on " + SignalPinsText());
    if (!ReadNumber(args[2], args[0] + ": pin", 1, 17, &pin, &error)) return Fail(error);
    if (uart) {
        if (!ReadNumber(args[3], "uart: baud", kMinBaud, kMaxBaud, &rate, &error)) return Fail(error);
        std::string text = args[4];
        for (size_t i = 5; i < args.size(); ++i) text += " " + args[i];
        if (text.size() > kMaxUartText)
            return Fail("uart: the text has " + std::to_string(text.size()) + " characters, more than " +
                        std::to_string(kMaxUartText));
        command.signals.uart = {static_cast<int>(pin), static_cast<uint32_t>(rate), text};
        return Succeed(command);
    }
    if (!ReadNumber(args[4], "pulse: period", kMinPulsePeriodMicros, kMaxPulsePeriodMicros, &rate, &error) ||
        !ReadNumber(args[6], "pulse: width", 1, rate - 1, &width, &error))
        return Fail(error);
    command.signals.pulse = {static_cast<int>(pin), static_cast<uint32_t>(rate), static_cast<uint32_t>(width)};
    return Succeed(command);
}

// `fifo N`: bytes the peripheral holds up in the FIFO.
ParsedCommand ParseFifo(const std::vector<std::string>& args) {
    std::string error = ArityError(args, 1, "count", "fifo BYTES (0-16)");
    if (!error.empty()) return Fail(error);
    ConsoleCommand command;
    command.action = ConsoleAction::HoldFifo;
    uint64_t bytes;
    if (!ReadNumber(args[1], "fifo", 0, 16, &bytes, &error)) return Fail(error);
    command.fifoBytes = static_cast<uint32_t>(bytes);
    return Succeed(command);
}

// `serial error overrun parity` and `serial modem cts dsr|none`: words of
// a table of SerialPort.h, each naming a bit.
template <size_t N>
ParsedCommand ParseSerialFlags(const std::vector<std::string>& args, const SerialFlag (&flags)[N],
                               ConsoleAction action, const char* what, const char* usage) {
    if (args.size() < 3) return Fail("serial " + args[1] + ": missing " + what + "; use: " + usage);
    ConsoleCommand command;
    command.action = action;
    if (action == ConsoleAction::SerialModem && args[2] == "none" && args.size() == 3) return Succeed(command);
    for (size_t i = 2; i < args.size(); ++i) {
        size_t n = 0;
        while (n < N && args[i] != flags[n].word) ++n;
        if (n == N)
            return Fail("serial " + args[1] + ": '" + args[i] + "' is none of " + SerialFlagWords(flags, 0xFF));
        command.serialBits |= flags[n].bit;
    }
    return Succeed(command);
}

// `serial receive BYTE...`: bytes arriving at the serial port.
ParsedCommand ParseSerialReceive(const std::vector<std::string>& args) {
    if (args.size() < 3) return Fail("serial receive: missing bytes; use: serial receive BYTE...");
    ConsoleCommand command;
    command.action = ConsoleAction::SerialReceive;
    std::string error;
    for (size_t i = 2; i < args.size(); ++i) {
        uint64_t byte;
        if (!ReadNumber(args[i], "serial receive: byte", 0, 255, &byte, &error)) return Fail(error);
        command.serialBytes.push_back(static_cast<uint8_t>(byte));
    }
    return Succeed(command);
}

// `serial ADDR|off`: a multiple of 8; or what reaches the serial port.
ParsedCommand ParseSerial(const std::vector<std::string>& args) {
    if (args.size() >= 2 && args[1] == "receive") return ParseSerialReceive(args);
    if (args.size() >= 2 && args[1] == "error")
        return ParseSerialFlags(args, kSerialLineErrors, ConsoleAction::SerialErrors, "errors",
                                "serial error overrun|parity|framing|break...");
    if (args.size() >= 2 && args[1] == "modem")
        return ParseSerialFlags(args, kSerialModemLines, ConsoleAction::SerialModem, "lines",
                                "serial modem cts|dsr|ri|dcd...|none");
    std::string error = ArityError(args, 1, "address", "serial ADDR|off");
    if (!error.empty()) return Fail(error);
    ConsoleCommand command;
    command.action = ConsoleAction::SetSerial;
    if (args[1] == "off") return Succeed(command);
    uint64_t address;
    if (!ReadNumber(args[1], "serial", 0, 0xFFF8, &address, &error)) return Fail(error);
    if (address % 8 != 0) return Fail("serial " + args[1] + " is not a multiple of 8");
    command.serialOn = true;
    command.address = static_cast<uint16_t>(address);
    return Succeed(command);
}

// `read ADDR` and `write ADDR VALUE`: an access as a program makes it.
ParsedCommand ParseAccess(const std::vector<std::string>& args, ConsoleAction action) {
    const bool write = action == ConsoleAction::WritePort;
    std::string error = ArityError(args, write ? 2 : 1, write ? "port and value" : "port",
                                   write ? "write ADDR VALUE" : "read ADDR");
    if (!error.empty()) return Fail(error);
    ConsoleCommand command;
    command.action = action;
    uint64_t address, value = 0;
    if (!ReadNumber(args[1], args[0] + ": port", 0, 0xFFFF, &address, &error) ||
        (write && !ReadNumber(args[2], "write: value", 0, 255, &value, &error)))
        return Fail(error);
    command.address = static_cast<uint16_t>(address);
    command.value = static_cast<uint8_t>(value);
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
    const std::string error = ArityError(args, 0, "", "");
    if (!error.empty()) return Fail(error);
    ConsoleCommand command;
    command.action = action;
    return Succeed(command);
}

// The settings' lines of --help: the usage, then the help text from the
// 31st column (on a line of its own after a usage that reaches it).
std::string SettingsUsage() {
    const std::string indent(30, ' ');
    std::string text;
    for (const SettingRow& row : kSettingRows) {
        std::string usage = "  " + SettingUsage(row);
        text += usage.size() < indent.size() ? usage + std::string(indent.size() - usage.size(), ' ') : usage + "\n" + indent;
        for (const char* c = row.help; *c != '\0'; ++c) text += *c == '\n' ? "\n" + indent : std::string(1, *c);
        text += "\n";
    }
    return text;
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
    for (const SettingRow& row : kSettingRows)
        if (name == row.command) return ParseSetting(args, row);
    if (name == "base") return ParseAddress(args, ConsoleAction::SetBase);
    if (name == "ecp") return ParseAddress(args, ConsoleAction::SetExtendedBlock);
    if (name == "chip") return ParseChip(args);
    if (name == "ecr-mode") return ParseEcrMode(args);
    if (name == "settle") return ParseSettle(args);
    if (name == "intruder") return ParseIntruder(args);
    if (name == "pulse" || name == "uart") return ParseSignal(args);
    if (name == "read") return ParseAccess(args, ConsoleAction::ReadPort);
    if (name == "write") return ParseAccess(args, ConsoleAction::WritePort);
    if (name == "fifo") return ParseFifo(args);
    if (name == "serial") return ParseSerial(args);
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

std::string ConsoleUsage() {
    std::string chips;
    for (int n = 0; n < kChipCount; ++n) {
        char line[160];
        std::snprintf(line, sizeof line, "    %-12s %s\n", ChipName(static_cast<Chip>(n)),
                      ChipSummary(static_cast<Chip>(n)));
        chips += line;
    }
    return "Usage: PortConsole COMMAND\n"
           "Drives the virtual parallel port that the panel and PortCheck use. Its state\n"
           "is kept in a file until `reset`, also while no program has the port open.\n"
           "\n"
           "Commands:\n"
           "  show                        the chip, the settings, the registers as a read\n"
           "                              gives them, and the level of pins 1-17\n"
           "  watch [--count N] [--interval MS]\n"
           "                              show again every MS milliseconds (default 250),\n"
           "                              N times or until Ctrl+C\n"
           "  pin N high|low              hold pin N low, or let it go: an input pin (10, 11,\n"
           "                              12, 13, 15) stays low even against the plug; a data\n"
           "                              pin (2-9) matters only while the data pins are inputs.\n"
           "                              To short a line: `readback pins`, then `pin N low`\n"
           "                              on a data pin (2-9) or a control pin (1, 14, 16, 17):\n"
           "                              shorted to ground, it reads low (and so does the\n"
           "                              plug's input it feeds) while the port drives it high\n"
           "  pin N loose K               every K-th status read (K >= 2) reads input pin N\n"
           "                              low, as a loose contact does; `pin N high` undoes it\n"
           "  status VALUE                make the status register read VALUE\n"
           "  status auto                 status follows the pins again\n" +
           SettingsUsage() +
           "  base ADDR                   where the port answers (power-up 0x378; a multiple\n"
           "                              of 4): data ADDR, status ADDR+1, control ADDR+2;\n"
           "                              every other port reads 0xFF and drops writes\n"
           "  chip NAME                   the kind of chip (power-up ideal); choosing one puts\n"
           "                              its ECR, FIFO and flags to power-up:\n" +
           chips +
           "  ecp ADDR|auto               the extended block at ADDR, a multiple of 4 (FIFO\n"
           "                              ADDR, config B ADDR+1, ECR ADDR+2), as PCI cards\n"
           "                              have it; auto (power-up): at base+0x400, as on ISA\n"
           "  ecr-mode BBB                the ECR's mode bits as the BIOS left them:\n"
           "                              000 standard: the data pins drive, whatever C5 says\n"
           "                              001 PS/2: C5 set makes the data pins inputs\n"
           "                              010, 011 FIFO modes: each data write goes out to the\n"
           "                                  pins at once with a strobe (counted), unless `fifo`\n"
           "                                  holds the transfer up: then it waits in the FIFO;\n"
           "                                  010 sends whatever C5 says, 011 with C5 set runs in\n"
           "                                  reverse: the data pins are inputs, data reads\n"
           "                                  them, and nothing written is sent\n"
           "                              100 EPP: as 000\n"
           "                              110 test: as 010; a read of the FIFO takes a byte out\n"
           "                              111 configuration: as 000; the FIFO address reads\n"
           "                                  config A (0x10)\n"
           "                              The ECR reads the mode, bits 4-2 as written (101 at\n"
           "                              power-up: 0x15 as most are found) and the FIFO flags\n"
           "                              in bits 1-0 (01 empty, 10 full, 00 neither); a mode\n"
           "                              change empties the FIFO. From a mode above 001 a write\n"
           "                              of the ECR changes it to 000 or 001 only: a direct\n"
           "                              change to another (011 to 010) keeps the mode. Writing\n"
           "                              bit 2 as 0 fires the service interrupt at once\n"
           "                              (counted) and the chip sets bit 2 again\n"
           "  fifo N                      the peripheral holds the transfer up with N bytes\n"
           "                              (1-16) in the FIFO of mode 010 or 011; 0: it takes\n"
           "                              bytes again\n"
           "  settle N [rising]           an input fed through the plug shows a change of its\n"
           "                              output N microseconds later (0-1000000, power-up 0),\n"
           "                              as on a long cable with weak pull-ups; with rising,\n"
           "                              only a rising input waits (falling edges are fast)\n"
           "  serial ADDR|off             a 16550 serial port at ADDR..ADDR+7 (a multiple of\n"
           "                              8), as another card's beside a PCI port, just reset\n"
           "                              with its FIFOs on, as its driver leaves it. Its reads\n"
           "                              change it: ADDR takes a received byte (none waiting:\n"
           "                              the last again, or 0); ADDR+5, line status (0x60\n"
           "                              idle, bit 0 a byte waiting), clears its errors;\n"
           "                              ADDR+6, modem status, clears its changes (bits 3-0).\n"
           "                              ADDR+2 reads 0xC1 (0x01 with the FIFOs off; 0xC4\n"
           "                              with a byte waiting and IER bit 0). IER (bits 3-0),\n"
           "                              FIFO control, LCR, MCR (bits 4-0) and scratch keep\n"
           "                              what is written; LCR bit 7 makes ADDR and ADDR+1 the\n"
           "                              divisor latch. Bytes written to ADDR and FIFO control\n"
           "                              writes are counted\n"
           "  serial receive BYTE...      bytes arrive at the serial port and wait to be read;\n"
           "                              one beyond its FIFO's 16 (1 with the FIFOs off) raises\n"
           "                              overrun\n"
           "  serial error overrun|parity|framing|break...\n"
           "                              raise line errors: line status bits 1-4 until read\n"
           "  serial modem cts|dsr|ri|dcd...|none\n"
           "                              the modem lines now active, modem status bits 4-7;\n"
           "                              each change raises its change bit (0-3; RI's as it\n"
           "                              goes inactive) until read\n"
           "  intruder every N ms         another program drives the port every N ms (1-60000),\n"
           "                              as Windows' printer polling does: it writes data 0x04,\n"
           "                              control 0x06, 0x07, 0x06, leaves them 1 ms (N/4 when\n"
           "                              shorter), then writes back what it found; the log\n"
           "                              marks its writes \"(intruder)\"\n"
           "  intruder off                no other program on the port (power-up)\n" +
           SignalUsage() +
           "  read ADDR                   read port ADDR as a program does through the library\n"
           "  write ADDR VALUE            write VALUE to port ADDR the same way; both are\n"
           "                              logged and do to the chip what a program's access does\n"
           "  log [--since N] [--clear]   the port accesses in order, from access N;\n"
           "                              --clear empties the log after printing\n"
           "  reset                       back to power-up; also replaces a state file of\n"
           "                              another version\n"
           "  --help                      this text\n"
           "\n"
           "Numbers are decimal or 0x hex. The port is named TarnwickVirtualPort, or the\n"
           "value of TARNWICK_VPORT, and kept in the temp folder as NAME.vport.\n";
}

}  // namespace vport
