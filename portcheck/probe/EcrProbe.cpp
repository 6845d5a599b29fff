#include "EcrProbe.h"

#include "PortRegisters.h"
#include "TextFormat.h"

namespace portcheck {

namespace {

// The modes no port is left in for long; a serial port's idle 0xC1 reads as 110.
constexpr uint8_t kFirstSuspectMode = 5;

EcrFinding::Kind KindOfFlags(uint8_t value) {
    switch (value & kEcrFifoFlags) {
    case kEcrFifoEmpty: return value >> kEcrModeShift >= kFirstSuspectMode ? EcrFinding::Suspect : EcrFinding::Present;
    case kEcrFifoFlags: return EcrFinding::NoFifo;
    default: return EcrFinding::Busy;
    }
}

}  // namespace

uint8_t EcrFinding::Mode() const { return value >> kEcrModeShift; }

EcrFinding FindEcr(PortSession& session) {
    EcrFinding finding;
    if (session.ecrPort() < 0) {
        finding.kind = EcrFinding::NotLookedFor;
        return finding;
    }
    const uint8_t working = session.written().control;
    const uint8_t control = session.Read(kControlOffset);
    finding.value = session.ReadEcr();
    if (((finding.value ^ control) & kEcrFifoFlags) == 0) {
        // Bit 1 from 0 to 1 only: a released open-collector line may not show at once.
        if (control & kControlAutofeed) {
            finding.kind = EcrFinding::Follows;
            return finding;
        }
        session.WriteControl(working | kControlAutofeed);
        const uint8_t controlSet = session.Read(kControlOffset);
        const uint8_t ecrAfter = session.ReadEcr();
        session.WriteControl(working);
        if (((ecrAfter ^ controlSet) & kControlAutofeed) == 0) {
            finding.kind = EcrFinding::Follows;
            return finding;
        }
    }
    finding.kind = KindOfFlags(finding.value);
    return finding;
}

EcrFinding ReadEcrOnly(const PortSession& session) {
    EcrFinding finding;
    if (session.ecrPort() < 0) {
        finding.kind = EcrFinding::NotLookedFor;
        return finding;
    }
    finding.value = session.ReadEcr();
    finding.kind = finding.value == session.foundControl() ? EcrFinding::Follows : KindOfFlags(finding.value);
    return finding;
}

std::string EcrModeText(uint8_t mode) {
    return "mode " + ModeBits(mode) + " " + kEcrModeNames[mode & 7];
}

std::string SuspectText(const EcrFinding& ecr) {
    return "not trusted: it reads " + HexByte(ecr.value) + " (" + EcrModeText(ecr.Mode()) +
           "), as a serial port's interrupt identification can: not written";
}

bool DataReachesPinsIn(uint8_t mode) { return mode == kEcrStandard || mode == kEcrPs2 || mode == kEcrEpp; }

}  // namespace portcheck
