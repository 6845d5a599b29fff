#include "PortSession.h"

#include "AddressProof.h"
#include "MicroClock.h"
#include "PortRegisters.h"

namespace portcheck {

namespace {

// How long data and control must read the same before the first write. A
// writer holding the lines for less is gone before PortCheck writes; one
// holding them longer is caught by Holds and reported.
constexpr int64_t kQuietCheckMicros = 2000;
// After another writer, the restore is written again whenever it does not
// hold, until it has held this long, for this long at most, looking at it
// every poll.
constexpr int64_t kRestoreQuietMicros = 50000;
constexpr int64_t kRestoreLongestMicros = 300000;
constexpr int64_t kRestorePollMicros = 100;

// Control bits 5-7 are written as 1 once to learn which of them read 0
// whatever is written; bit 4 never (it enables the interrupt).
constexpr uint8_t kControlLearnt = 0xE0;

bool ControlMatches(uint8_t read, uint8_t expected, uint8_t readBack) {
    return ((read ^ expected) & readBack) == 0;
}

bool Within(uint8_t bits, uint8_t allowed) { return (bits & ~allowed) == 0; }

}  // namespace

PortSession::PortSession(const PortLibrary& library, int base) : library_(library), base_(base) {}

PortSession::~PortSession() {
    if (!begun_ || restored_) return;
    const Registers target = RestoreTarget();
    if (dataTakesWrites_) WriteAt(base_ + kDataOffset, target.data);
    if (RestoresControl()) WriteAt(base_ + kControlOffset, target.control);
    if (ecrTouched_) WriteEcrMode(ecrTargetMode_);
}

uint8_t PortSession::ReadAt(int port) const {
    return static_cast<uint8_t>(library_.read(static_cast<short>(port)));
}

void PortSession::WriteAt(int port, uint8_t value) const {
    library_.write(static_cast<short>(port), value);
}

uint8_t PortSession::Read(int offset) const { return ReadAt(base_ + offset); }

void PortSession::WriteStatus(uint8_t value) const { WriteAt(base_ + kStatusOffset, value); }

void PortSession::WriteData(uint8_t value) {
    WriteAt(base_ + kDataOffset, value);
    written_.data = value;
}

void PortSession::WriteControl(uint8_t value) {
    WriteAt(base_ + kControlOffset, value);
    written_.control = value;
    controlWritten_ = true;
}

SessionStart PortSession::Begin(BeginRules rules) {
    // Status and control first: on a serial port their reads change nothing.
    foundStatus_ = Read(kStatusOffset);
    found_.control = Read(kControlOffset);
    if (rules.fingerprint && LooksLikeSerialPort(foundStatus_, found_.control) && !rules.force)
        return SessionStart::LooksSerial;
    found_.data = Read(kDataOffset);
    // A control register reading 0xFF tells nothing until the check shows it reads back.
    controlUnreadable_ = found_.control == 0xFF;
    written_ = {found_.data, controlUnreadable_ ? kControlIdle : found_.control};

    WaitMicros(kQuietCheckMicros);
    seen_ = {Read(kDataOffset), Read(kControlOffset)};
    if (seen_.data != found_.data || seen_.control != found_.control) {
        disturbed_ = true;
        expected_ = found_;
        return SessionStart::Disturbed;
    }
    begun_ = true;
    if (rules.beforeFirstWrite) rules.beforeFirstWrite();
    ClearEppTimeout();
    if (PortAnswers()) return SessionStart::Ready;
    restored_ = true;  // the check put back what it wrote; nothing more is written here
    return SessionStart::NoPort;
}

uint8_t PortSession::WriteControlAndRead(uint8_t value) {
    WriteControl(value);
    return Read(kControlOffset);
}

// Control lines that read `read` whatever is written: not read back, and
// named by the level they read.
void PortSession::NotReadBack(uint8_t lines, uint8_t read) {
    linesNotReadBack_ |= lines;
    readsOne_ = static_cast<uint8_t>((readsOne_ & ~lines) | (read & lines));
    readsZero_ = static_cast<uint8_t>((readsZero_ & ~lines) | (~read & lines));
    readBack_ &= static_cast<uint8_t>(~lines);
}

// The kernel's check: control's low nibble must read back 0x0C and 0x0E;
// failing that, the data latch 0xAA and 0x55 (with control bit 5 clear,
// the latch drives the pins). What it wrote goes back, but never a
// control value of 0xFF: bits 0-5 set, as read, go back without bits 6-7.
bool PortSession::PortAnswers() {
    // Data pins found as inputs stay inputs while control is tried.
    const uint8_t direction = controlUnreadable_ ? 0 : found_.control & kControlDirection;
    spp_.control0C = WriteControlAndRead(0x0C | direction);
    if ((spp_.control0C & kControlLines) == 0x0C) spp_.control0E = WriteControlAndRead(0x0E | direction);
    // Bits 4-7 written 0 (bit 5 where it was) that read 1: not written back as 1.
    if (!controlUnreadable_ || spp_.ControlAnswers()) {
        readsOne_ = spp_.control0C & static_cast<uint8_t>(~kControlLines & ~direction);
        readBack_ &= static_cast<uint8_t>(~readsOne_);
    }
    if (!spp_.ControlAnswers()) {
        // Lines that read wrong after 0x0C, or else after 0x0E (written only
        // where 0x0C read back), read back no value.
        const uint8_t wrong0C = static_cast<uint8_t>((spp_.control0C ^ 0x0C) & kControlLines);
        if (controlUnreadable_)
            readBack_ = 0;
        else if (wrong0C)
            NotReadBack(wrong0C, spp_.control0C);
        else
            NotReadBack(static_cast<uint8_t>((spp_.control0E ^ 0x0E) & kControlLines), spp_.control0E);
        // Lines that read right may be fixed at that level too: none is believed.
        linesNotReadBack_ = kControlLines;
        readBack_ &= static_cast<uint8_t>(~kControlLines);
        spp_.dataTested = true;
        if (direction) WriteControl(0x0C);
        const uint8_t latch = Read(kDataOffset);
        WriteAt(base_ + kDataOffset, 0xAA);
        spp_.readAA = Read(kDataOffset);
        WriteAt(base_ + kDataOffset, 0x55);
        spp_.read55 = Read(kDataOffset);
        WriteAt(base_ + kDataOffset, latch);
        written_.data = latch;
        if (controlUnreadable_) found_.data = latch;  // control left idle: the pins drive the latch
    } else if (controlUnreadable_) {
        controlUnreadable_ = false;  // it reads back: 0xFF was bits 0-5 set
        found_.control = kControlAllButUnused;
    }
    WriteControl(controlUnreadable_ ? kControlIdle : static_cast<uint8_t>(found_.control & ~readsOne_));
    return spp_.Passed();
}

// Chips clear the flag in one of three ways: two status reads in a row, a
// write of 1 to it, or a write of 0 (the kernel's parport driver does all three).
void PortSession::ClearEppTimeout() {
    if (!(foundStatus_ & kStatusEppTimeout)) return;
    Read(kStatusOffset);
    const uint8_t status = Read(kStatusOffset);
    WriteStatus(status | kStatusEppTimeout);
    WriteStatus(status & ~kStatusEppTimeout);
    eppTimeout_ = Read(kStatusOffset) & kStatusEppTimeout ? EppTimeout::NotAFlag : EppTimeout::Cleared;
}

void PortSession::TakeControl() {
    if (controlTaken_) return;
    controlTaken_ = true;
    // Unknown, it is written only where a test needs a line of it: it stays
    // as it is, taken to be idle.
    if (controlUnreadable_) return;
    const uint8_t working = found_.control & kControlLines;
    // A bit that reads 0 after being written 1 is not read back either: a
    // set bit 5 would be lost unseen.
    WriteControl(working | kControlLearnt);
    const uint8_t high = Read(kControlOffset);
    WriteControl(working);
    const uint8_t low = Read(kControlOffset);
    // Lines 0-3 keep what the check learnt of them.
    const uint8_t lines = linesNotReadBack_;
    readsOne_ = static_cast<uint8_t>((readsOne_ & lines) | (low & ~kControlLines));
    readsZero_ = static_cast<uint8_t>((readsZero_ & lines) | (~high & kControlLearnt & ~readsOne_));
    readBack_ = static_cast<uint8_t>(~(readsOne_ | readsZero_ | lines));
    // With bit 5 set (or maybe set, where it is not read back) a
    // bidirectional port's data register read the pins; with it clear, the
    // latch, whose value is the one to put back.
    if ((found_.control & kControlDirection) || !(readBack_ & kControlDirection))
        found_.data = written_.data = Read(kDataOffset);
}


LatchTest PortSession::TestDataLatch() {
    const uint8_t before = written_.data;
    LatchTest test;
    WriteAt(base_ + kDataOffset, 0x55);
    test.read55 = Read(kDataOffset);
    WriteAt(base_ + kDataOffset, 0xAA);
    test.readAA = Read(kDataOffset);
    WriteAt(base_ + kDataOffset, before);
    return test;
}

DataWrite PortSession::WriteDataChecked(uint8_t value) {
    const uint8_t before = written_.data;
    WriteData(value);
    const uint8_t read = Read(kDataOffset);
    if (read == value) {
        dataHeldOnce_ = true;
        return DataWrite::Held;
    }
    WriteData(value);
    const uint8_t again = Read(kDataOffset);
    if (again != read) {
        disturbed_ = true;
        expected_ = {value, written_.control};
        seen_ = {again, Read(kControlOffset)};
        return DataWrite::Overwritten;
    }
    uint8_t follows = static_cast<uint8_t>(~(read ^ value));
    if (read == before && !dataHeldOnce_) {
        // Nothing moved: a value that differs in every bit tells a register
        // that takes no write from lines held where they are.
        WriteAt(base_ + kDataOffset, static_cast<uint8_t>(~before));
        follows = static_cast<uint8_t>(Read(kDataOffset) ^ before);
        WriteAt(base_ + kDataOffset, before);
        written_.data = before;
        if (follows == 0) {
            dataTakesWrites_ = false;
            return DataWrite::NotTaken;
        }
    }
    lineFault_ = {{value, written_.control}, {read, Read(kControlOffset)}, {static_cast<uint8_t>(~follows & (read ^ value)), 0}};
    if (lineFault_.bits.data == 0) lineFault_.bits.data = read ^ value;
    return DataWrite::LineFault;
}

bool PortSession::Holds() {
    seen_ = {Read(kDataOffset), Read(kControlOffset)};
    if (seen_.data == written_.data && ControlMatches(seen_.control, written_.control, readBack_)) return true;
    disturbed_ = true;
    expected_ = written_;
    return false;
}

DataWrite PortSession::Check() {
    Registers first = {Read(kDataOffset), Read(kControlOffset)};
    if (first.data == written_.data && ControlMatches(first.control, written_.control, readBack_))
        return DataWrite::Held;
    // Written again: another writer's value goes, a shorted line stays.
    if (first.data != written_.data) WriteAt(base_ + kDataOffset, written_.data);
    WriteAt(base_ + kControlOffset, written_.control);
    seen_ = {Read(kDataOffset), Read(kControlOffset)};
    const uint8_t dataBits = seen_.data ^ written_.data;
    const uint8_t controlBits = (seen_.control ^ written_.control) & readBack_;
    const bool same = seen_.data == first.data && ((seen_.control ^ first.control) & readBack_) == 0;
    if (same && Within(controlBits, kControlLines)) {
        if (controlBits) NotReadBack(controlBits, seen_.control);
        if (!dataBits) return DataWrite::Held;
        lineFault_ = {written_, seen_, {dataBits, 0}};
        return DataWrite::LineFault;
    }
    seen_ = first;  // another writer's values, as first seen
    disturbed_ = true;
    expected_ = written_;
    return DataWrite::Overwritten;
}

uint8_t PortSession::ReadEcr() const { return ReadAt(ecrPort_); }

uint8_t PortSession::EcrValueFor(uint8_t mode) const {
    const uint8_t low = oxford_ ? kEcrOxfordLowBits : static_cast<uint8_t>(ecrFound_ & kEcrChipBits);
    return static_cast<uint8_t>(mode << kEcrModeShift | low);
}

void PortSession::WriteEcrMode(uint8_t mode) const { WriteAt(ecrPort_, EcrValueFor(mode)); }

bool PortSession::EcrReadsBack(uint8_t read, uint8_t written) {
    const uint8_t expected = static_cast<uint8_t>((written & ~kEcrFifoFlags) | kEcrFifoEmpty);
    return read == expected || read == (expected | kEcrService);
}

bool PortSession::SetEcrMode(uint8_t mode) {
    const bool first = !ecrTouched_;
    if (first) {
        ecrFound_ = ReadEcr();
        ecrTargetMode_ = ecrFound_ >> kEcrModeShift;
        if (oxford_) ecrCompared_ = kEcrModeBits;  // bits 4-3 are the pattern's, not as found
    }
    WriteEcrMode(mode);
    const uint8_t read = ReadEcr();
    if (first && !EcrReadsBack(read, EcrValueFor(mode))) {
        WriteEcrMode(ecrTargetMode_);  // not an ECR to trust: back off
        return false;
    }
    ecrTouched_ = true;
    ecrWrittenMode_ = mode;
    // A chip that changes bit 3 itself (DMA ended) is compared on the mode alone.
    if ((read ^ EcrValueFor(mode)) & kEcrDmaEnable) ecrCompared_ = kEcrModeBits;
    return read >> kEcrModeShift == mode;
}

void PortSession::KeepEcrMode() {
    ecrKept_ = true;
    ecrTargetMode_ = ecrWrittenMode_;
}

// A control register that reads 0xFF is put back only where PortCheck wrote it.
bool PortSession::RestoresControl() const { return controlWritten_ || !controlUnreadable_; }

Registers PortSession::RestoreTarget() const {
    const uint8_t upper = found_.control & readBack_ & ~kControlLines;
    // Lines whose value found is unknown go back idle.
    const uint8_t lines = (found_.control & kControlLines & ~linesNotReadBack_) | (kControlIdle & linesNotReadBack_);
    const uint8_t control = controlUnreadable_ ? kControlIdle : lines | upper;
    return {found_.data, static_cast<uint8_t>(control)};
}

bool PortSession::ReadBack(RestoreOutcome* outcome) const {
    outcome->seen = {Read(kDataOffset), Read(kControlOffset)};
    // With bit 5 put back set, data reads the pins: the latch was checked before.
    if (!(outcome->target.control & readBack_ & kControlDirection))
        outcome->dataHeld = outcome->seen.data == outcome->target.data;
    outcome->controlHeld = ControlMatches(outcome->seen.control, outcome->target.control, readBack_);
    if (ecrTouched_ && !outcome->ecrChanged) {
        outcome->ecrSeen = ReadEcr();
        outcome->ecrHeld = ((outcome->ecrSeen ^ outcome->ecrTarget) & ecrCompared_) == 0;
    }
    return outcome->Held();
}

void PortSession::WriteWhatDiffers(const RestoreOutcome& outcome) const {
    if (!outcome.dataHeld && dataTakesWrites_) WriteAt(base_ + kDataOffset, outcome.target.data);
    if (!outcome.controlHeld && RestoresControl()) WriteAt(base_ + kControlOffset, outcome.target.control);
    if (!outcome.ecrHeld) WriteEcrMode(ecrTargetMode_);
}

RestoreOutcome PortSession::Restore() {
    RestoreOutcome outcome;
    if (!begun_ || restored_) return outcome;
    restored_ = true;
    outcome.touched = true;
    outcome.target = RestoreTarget();
    outcome.controlChecked = readBack_;
    outcome.controlUnknown = found_.control & readsOne_ & (kControlInterrupt | kControlDirection);
    outcome.controlReadsOne = readsOne_;
    outcome.controlReadsZero = readsZero_;
    outcome.controlUnreadable = controlUnreadable_;
    outcome.controlLinesUnread = linesNotReadBack_;
    outcome.controlWritten = controlWritten_;
    outcome.ecrTouched = ecrTouched_;
    outcome.ecrTarget = EcrValueFor(ecrTargetMode_);
    outcome.ecrWritten = EcrValueFor(ecrWrittenMode_);
    outcome.ecrKept = ecrKept_;

    // An ECR that no longer holds what PortCheck wrote has another writer:
    // what it set stays.
    if (ecrTouched_) {
        outcome.ecrSeen = ReadEcr();
        outcome.ecrChanged = ((outcome.ecrSeen ^ outcome.ecrWritten) & ecrCompared_) != 0;
        if (outcome.ecrChanged) disturbed_ = true;
    }
    // First what PortCheck changed (a control register that reads back
    // nothing can't be compared), then whatever does not read back as put
    // back. After another writer, it is watched for a while, and written
    // again whenever it changes.
    if (dataTakesWrites_ && written_.data != outcome.target.data) WriteAt(base_ + kDataOffset, outcome.target.data);
    // While the data pins still drive; inputs all along, the latch was not written.
    outcome.dataHeld = (written_.control & readBack_ & kControlDirection) || Read(kDataOffset) == outcome.target.data;
    if (RestoresControl() && written_.control != outcome.target.control)
        WriteAt(base_ + kControlOffset, outcome.target.control);
    if (ecrTouched_ && !outcome.ecrChanged && ((outcome.ecrSeen ^ outcome.ecrTarget) & ecrCompared_) != 0)
        WriteEcrMode(ecrTargetMode_);
    written_ = outcome.target;
    if (!controlWritten_) outcome.target.control = found_.control;
    if (ReadBack(&outcome) && !disturbed_) return outcome;

    const int64_t end = NowMicros() + kRestoreLongestMicros;
    int64_t quietSince = NowMicros();
    for (int64_t now = quietSince; now < end && now - quietSince < kRestoreQuietMicros; now = NowMicros()) {
        if (!outcome.Held()) {
            WriteWhatDiffers(outcome);
            ++outcome.rewrites;
            quietSince = NowMicros();
        }
        WaitMicros(kRestorePollMicros);
        ReadBack(&outcome);
    }
    if (!outcome.Held()) {
        WriteWhatDiffers(outcome);
        ++outcome.rewrites;
        ReadBack(&outcome);
    }
    return outcome;
}

}  // namespace portcheck
