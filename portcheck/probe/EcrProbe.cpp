#include "EcrProbe.h"

#include "PortRegisters.h"
#include "TextFormat.h"

namespace portcheck {

namespace {

bool IsFifoMode(uint8_t mode) { return mode == 2 || mode == 3 || mode == 6; }

}  // namespace

uint8_t EcrFinding::Mode() const { return value >> kEcrModeShift; }

EcrFinding FindEcr(PortSession& session) {
    EcrFinding finding;
    const uint8_t working = session.written().control;
    const uint8_t controlBefore = session.Read(kControlOffset);
    finding.value = session.ReadEcr();
    session.WriteControl(working ^ kControlAutofeed);
    const uint8_t controlToggled = session.Read(kControlOffset);
    const uint8_t ecrAfter = session.ReadEcr();
    session.WriteControl(working);

    const uint8_t flags = finding.value & kEcrFifoFlags;
    if ((controlBefore ^ controlToggled) & (finding.value ^ ecrAfter) & kControlAutofeed)
        finding.kind = EcrFinding::Follows;
    else if (flags == kEcrFifoFlags || (!IsFifoMode(finding.Mode()) && flags != kEcrFifoEmpty))
        finding.kind = EcrFinding::NoFifo;  // a FIFO both full and empty, or one not emptied by a plain mode
    else
        finding.kind = EcrFinding::Present;
    return finding;
}

std::string EcrModeText(uint8_t mode) {
    static const char* const kNames[] = {
        "standard (SPP)", "PS/2 (bidirectional)", "parallel-port FIFO", "ECP FIFO",
        "EPP",            "reserved",             "test FIFO",          "configuration",
    };
    return "mode " + ModeBits(mode) + " " + kNames[mode & 7];
}

bool DataReachesPinsIn(uint8_t mode) { return mode == kModeStandard || mode == kModePs2 || mode == 4; }

}  // namespace portcheck
