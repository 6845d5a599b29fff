// PortCheck's command line: the input's lines are the arguments. Whatever
// they are, the parser gives either options a command can act on, each
// within its range and no register among the PC's own addresses, or a
// message saying what is wrong, never both and never neither; and it
// gives the same again for the same words.
#include <cstdlib>
#include <string>
#include <vector>

#include "CheckArgs.h"
#include "PortRegisters.h"
#include "SystemAddresses.h"

using namespace portcheck;

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

std::vector<std::string> Lines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size; ++i)
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back() += static_cast<char>(data[i]);
    return lines;
}

void CheckAddresses(const CheckOptions& o) {
    Check(o.base >= 0 && o.base <= kHighestBase && o.base % 4 == 0);
    Check(SystemRangeAmong(o.base, o.base + kControlOffset).empty());
    if (o.ecrBlock >= 0) {
        Check(o.ecrBlock <= kHighestBase && o.ecrBlock % 4 == 0);
        Check(o.ecrBlock + 3 < o.base || o.ecrBlock >= o.base + 8);
        Check(SystemRangeAmong(o.ecrBlock, o.ecrBlock + kEcrInBlock).empty());
    } else {
        Check(o.ecrBlock == -1);
    }
    const int ecr = o.EcrPort();
    Check(ecr == -1 || (ecr >= 0 && ecr <= 0xFFFF));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> args = Lines(data, size);
    const ParsedArgs parsed = ParseCheckArgs(args);
    const ParsedArgs again = ParseCheckArgs(args);
    Check(again.ok == parsed.ok && again.error == parsed.error && again.options.base == parsed.options.base);
    if (!parsed.ok) {
        Check(!parsed.error.empty());
        return 0;
    }
    Check(parsed.error.empty());
    const CheckOptions& o = parsed.options;
    switch (o.command) {
    case Command::Help: return 0;
    case Command::List:
    case Command::Driver: Check(args.size() == 1); return 0;
    case Command::Test:
        Check(o.plug != nullptr && o.settleMicros >= 0 && o.settleMicros <= kLongestSettleMicros);
        Check(o.rounds >= 1 && o.rounds <= kMostRounds);
        break;
    case Command::SetMode: Check(o.mode == kEcrStandard || o.mode == kEcrPs2); break;
    case Command::Watch:
        Check(o.seconds >= 0 && o.seconds <= kLongestWatchSeconds && o.ecrBlock == -1);
        break;
    case Command::Probe: break;
    }
    CheckAddresses(o);
    return 0;
}
