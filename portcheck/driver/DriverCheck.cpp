#include "DriverCheck.h"

#include <cstdio>

#include "BindingMessage.h"
#include "DriverReport.h"
#include "ReadDriverFacts.h"
#include "ExitCodes.h"
#include "ParallelPins.h"

namespace portcheck {

namespace {

// Each line of `text` after "PortCheck: ", as the program's errors are.
std::string AsErrors(const std::string& text) {
    std::string lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        lines += "PortCheck: " + text.substr(start, end - start + 1);
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// Whether the port at `base` reads 0 in all three registers and keeps
// nothing written to its data latch: what a library whose driver never
// loaded gives. Real ports read some status or control bits as 1, and a
// latch holds 0x55. The data register, read as 0, is left at 0.
bool AnswersNothing(const PortLibrary& library, int base) {
    const auto read = [&](Register reg) { return library.read(static_cast<short>(base + static_cast<int>(reg))) & 0xFF; };
    if (read(Register::Data) || read(Register::Status) || read(Register::Control)) return false;
    library.write(static_cast<short>(base), 0x55);
    const int held = read(Register::Data);
    library.write(static_cast<short>(base), 0x00);
    return held == 0;
}

}  // namespace

int CheckDriver() {
    PortLibrary library;
    std::vector<LoadAttempt> attempts;
    const PortBinding binding = LoadPortLibrary(&library, &attempts);
    const DriverFacts facts = GatherDriverFacts(ThisWindows(), library, binding, attempts);
    std::fputs((FactLines(facts) + CauseLines(facts)).c_str(), stdout);
    return Reaches(Diagnose(facts)) ? kExitOk : kExitNoPortLibrary;
}

std::string BindForPort(PortLibrary* library, int base, bool readsOnly) {
    std::vector<LoadAttempt> attempts;
    const PortBinding binding = LoadPortLibrary(library, &attempts);
    if (readsOnly && (binding == PortBinding::Bound || binding == PortBinding::NoOut32)) return "";
    if (binding != PortBinding::Bound) {
        const DriverFacts facts = GatherDriverFacts(ThisWindows(), *library, binding, attempts);
        // The panel's driver message already names the cause: its first line only.
        const std::string message =
            binding == PortBinding::DriverNotRunning ? kDriverNotRunningLine : PortBindingMessage(binding, *library);
        return AsErrors(message + CauseLines(facts));
    }
    // Only a library that can't say whether its driver runs is tried, on
    // any Windows: an old copy reads 0 on 32-bit Windows too until an
    // elevated run has installed its driver.
    if (library->reportsDriver) return "";
    DriverFacts facts = GatherDriverFacts(ThisWindows(), *library, binding, attempts);
    facts.library.portAnswersNothing = KnownAs(AnswersNothing(*library, base));
    return Reaches(Diagnose(facts)) ? "" : AsErrors(CauseLines(facts));
}

std::string UnreportedDriverNote(const PortLibrary& library) {
    return library.reportsDriver ? ""
                                 : "PortCheck: this inpout32.dll cannot tell whether its driver runs (no "
                                   "IsInpOutDriverOpen): a port reading 0 on every line is the sign that it does "
                                   "not.\n";
}

}  // namespace portcheck
