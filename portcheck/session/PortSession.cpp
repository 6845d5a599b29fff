#include "PortSession.h"

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
    if (ecrTouched_) WriteAt(ecrPort_, ecrTarget_);
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

SessionStart PortSession::Begin() {
    found_.data = Read(kDataOffset);
    foundStatus_ = Read(kStatusOffset);
    found_.control = Read(kControlOffset);
    // A control register reading 0xFF tells nothing: it is taken to be idle.
    controlUnreadable_ = found_.control == 0xFF;
    if (controlUnreadable_) readBack_ = 0;
    written_ = {found_.data, controlUnreadable_ ? kControlIdle : found_.control};
    if (found_.data == 0xFF && foundStatus_ == 0xFF && controlUnreadable_) {
        if (!LatchAnswers()) return SessionStart::NoPort;
        if (controlUnreadable_) found_.data = written_.data;  // control left idle: the pins drive the latch
    }

    WaitMicros(kQuietCheckMicros);
    seen_ = {Read(kDataOffset), Read(kControlOffset)};
    if (seen_.data != found_.data || seen_.control != found_.control) {
        disturbed_ = true;
        expected_ = found_;
        return SessionStart::Disturbed;
    }
    begun_ = true;
    ClearEppTimeout();
    return SessionStart::Ready;
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
    readsOne_ = low & static_cast<uint8_t>(~kControlLines);
    readsZero_ = static_cast<uint8_t>(~high & kControlLearnt & ~readsOne_);
    readBack_ = static_cast<uint8_t>(~(readsOne_ | readsZero_));
    // With bit 5 set (or maybe set, where it reads 0 whatever is written) a
    // bidirectional port's data register read the pins; with it clear, the
    // latch, whose value is the one to put back.
    if ((found_.control & readBack_ & kControlDirection) || (readsZero_ & kControlDirection))
        found_.data = written_.data = Read(kDataOffset);
}

// On a bidirectional port left with its data pins as inputs, the data
// register reads the pins, not the latch: the test turns them around first,
// with control at its idle value. Where control then reads back other than
// 0xFF, it did read 0xFF at the start (bits 0-5 set): that goes back.
bool PortSession::LatchAnswers() {
    WriteControl(kControlIdle);
    controlUnreadable_ = Read(kControlOffset) == 0xFF;
    written_.data = Read(kDataOffset);  // the latch, to be put back
    const LatchTest test = TestDataLatch();
    if (!test.Found()) return false;
    if (!controlUnreadable_) {
        readBack_ = 0xFF;
        WriteControl(found_.control);
    }
    return true;
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

DataWrite PortSession::WriteDataChecked(uint8_t value, uint8_t lines) {
    const uint8_t before = written_.data;
    WriteData(value);
    const uint8_t read = Read(kDataOffset);
    if (read == value) {
        dataHeldOnce_ = true;
        return DataWrite::Held;
    }
    WriteData(value);
    const uint8_t again = Read(kDataOffset);
    if (again == read && read == before && !dataHeldOnce_) {
        written_.data = before;  // the latch never changed
        dataTakesWrites_ = false;
        return DataWrite::NotTaken;
    }
    if (again == read && Within(read ^ value, lines)) {
        lineFault_ = {{value, written_.control}, {read, Read(kControlOffset)}, {static_cast<uint8_t>(read ^ value), 0}};
        return DataWrite::LineFault;
    }
    disturbed_ = true;
    expected_ = {value, written_.control};
    seen_ = {again, Read(kControlOffset)};
    return DataWrite::Overwritten;
}

bool PortSession::Holds() {
    seen_ = {Read(kDataOffset), Read(kControlOffset)};
    if (seen_.data == written_.data && ControlMatches(seen_.control, written_.control, readBack_)) return true;
    disturbed_ = true;
    expected_ = written_;
    return false;
}

DataWrite PortSession::Check(const Registers& lines) {
    Registers first = {Read(kDataOffset), Read(kControlOffset)};
    if (first.data == written_.data && ControlMatches(first.control, written_.control, readBack_))
        return DataWrite::Held;
    // Written again: another writer's value goes, a shorted line stays.
    if (first.data != written_.data) WriteAt(base_ + kDataOffset, written_.data);
    WriteAt(base_ + kControlOffset, written_.control);
    seen_ = {Read(kDataOffset), Read(kControlOffset)};
    const Registers bits = {static_cast<uint8_t>(seen_.data ^ written_.data),
                            static_cast<uint8_t>((seen_.control ^ written_.control) & readBack_)};
    if (seen_.data == first.data && ((seen_.control ^ first.control) & readBack_) == 0 &&
        Within(bits.data, lines.data) && Within(bits.control, lines.control)) {
        lineFault_ = {written_, seen_, bits};
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

bool PortSession::EcrReadsBack(uint8_t read, uint8_t written) {
    const uint8_t expected = static_cast<uint8_t>((written & ~kEcrFifoFlags) | kEcrFifoEmpty);
    return read == expected || read == (expected | kEcrService);
}

bool PortSession::SetEcrMode(uint8_t mode) {
    const bool first = !ecrTouched_;
    if (first) {
        ecrFound_ = ReadEcr();
        ecrTarget_ = EcrValueFor(ecrFound_ >> kEcrModeShift);
        if (oxford_) ecrCompared_ = kEcrModeBits;  // bits 4-3 are the pattern's, not as found
    }
    const uint8_t value = EcrValueFor(mode);
    WriteAt(ecrPort_, value);
    const uint8_t read = ReadEcr();
    if (first && !EcrReadsBack(read, value)) {
        WriteAt(ecrPort_, static_cast<uint8_t>(ecrFound_ & ~kEcrFifoFlags));  // not an ECR to trust: back off
        return false;
    }
    ecrTouched_ = true;
    ecrWritten_ = value;
    // A chip that changes bit 3 itself (DMA ended) is compared on the mode alone.
    if ((read ^ value) & kEcrDmaEnable) ecrCompared_ = kEcrModeBits;
    return read >> kEcrModeShift == mode;
}

void PortSession::KeepEcrMode() {
    ecrKept_ = true;
    ecrTarget_ = ecrWritten_;
}

// A control register that reads 0xFF is put back only where PortCheck wrote it.
bool PortSession::RestoresControl() const { return controlWritten_ || !controlUnreadable_; }

Registers PortSession::RestoreTarget() const {
    const uint8_t upper = found_.control & readBack_ & ~kControlLines;
    const uint8_t control = controlUnreadable_ ? kControlIdle : (found_.control & kControlLines) | upper;
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
        outcome->ecrHeld = ((outcome->ecrSeen ^ ecrTarget_) & ecrCompared_) == 0;
    }
    return outcome->Held();
}

void PortSession::WriteWhatDiffers(const RestoreOutcome& outcome) const {
    if (!outcome.dataHeld && dataTakesWrites_) WriteAt(base_ + kDataOffset, outcome.target.data);
    if (!outcome.controlHeld && RestoresControl()) WriteAt(base_ + kControlOffset, outcome.target.control);
    if (!outcome.ecrHeld) WriteAt(ecrPort_, ecrTarget_);
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
    outcome.controlWritten = controlWritten_;
    outcome.ecrTouched = ecrTouched_;
    outcome.ecrTarget = ecrTarget_;
    outcome.ecrWritten = ecrWritten_;
    outcome.ecrKept = ecrKept_;

    // An ECR that no longer holds what PortCheck wrote has another writer:
    // what it set stays.
    if (ecrTouched_) {
        outcome.ecrSeen = ReadEcr();
        outcome.ecrChanged = ((outcome.ecrSeen ^ ecrWritten_) & ecrCompared_) != 0;
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
    if (ecrTouched_ && !outcome.ecrChanged && ((outcome.ecrSeen ^ ecrTarget_) & ecrCompared_) != 0)
        WriteAt(ecrPort_, ecrTarget_);
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
