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

constexpr uint8_t kEcrCompared = static_cast<uint8_t>(~kEcrFifoFlags);

bool ControlMatches(uint8_t read, uint8_t expected, uint8_t readBack) {
    return ((read ^ expected) & readBack) == 0;
}

}  // namespace

PortSession::PortSession(const PortLibrary& library, int base) : library_(library), base_(base) {}

PortSession::~PortSession() {
    if (!begun_ || restored_) return;
    const Registers target = RestoreTarget();
    if (dataTakesWrites_) WriteAt(base_ + kDataOffset, target.data);
    WriteAt(base_ + kControlOffset, target.control);
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
}

SessionStart PortSession::Begin() {
    found_.data = Read(kDataOffset);
    foundStatus_ = Read(kStatusOffset);
    found_.control = Read(kControlOffset);
    written_ = found_;
    if (found_.data == 0xFF && foundStatus_ == 0xFF && found_.control == 0xFF && !LatchAnswers())
        return SessionStart::NoPort;

    WaitMicros(kQuietCheckMicros);
    seen_ = {Read(kDataOffset), Read(kControlOffset)};
    if (seen_.data != found_.data || seen_.control != found_.control) {
        disturbed_ = true;
        expected_ = found_;
        return SessionStart::Disturbed;
    }

    begun_ = true;
    const uint8_t working = found_.control & kControlLines;
    if (working != found_.control) {
        WriteControl(working);
        // A bit that reads 1 after being written 0 is not read back. A
        // register reading 0xFF even so reads back nothing at all.
        const uint8_t back = Read(kControlOffset);
        readBack_ = back == 0xFF ? 0 : static_cast<uint8_t>(kControlLines | (~back & ~kControlLines));
    }
    // With bit 5 set a bidirectional port's data register read the pins;
    // with it clear, the latch, whose value is the one to put back.
    if (found_.control & readBack_ & kControlDirection) found_.data = written_.data = Read(kDataOffset);
    return SessionStart::Ready;
}

// On a bidirectional port left with its data pins as inputs, the data
// register reads the pins, not the latch: the test turns them around first.
bool PortSession::LatchAnswers() {
    const bool inputs = found_.control & kControlDirection;
    if (inputs) {
        WriteAt(base_ + kControlOffset, found_.control & ~kControlDirection);
        written_.data = Read(kDataOffset);  // the latch, to be put back
    }
    const LatchTest test = TestDataLatch();
    if (inputs) WriteAt(base_ + kControlOffset, found_.control);
    return test.Found();
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
    for (int attempt = 0; attempt < 2; ++attempt) {
        WriteData(value);
        const uint8_t read = Read(kDataOffset);
        if (read == value && attempt == 0) return DataWrite::Held;
        if (read == value || read != before) {
            disturbed_ = true;
            expected_ = {value, written_.control};
            seen_ = {read, Read(kControlOffset)};
            return DataWrite::Overwritten;
        }
    }
    written_.data = before;  // the latch never changed
    dataTakesWrites_ = false;
    return DataWrite::NotTaken;
}

bool PortSession::Holds() {
    seen_ = {Read(kDataOffset), Read(kControlOffset)};
    if (seen_.data == written_.data && ControlMatches(seen_.control, written_.control, readBack_)) return true;
    disturbed_ = true;
    expected_ = written_;
    return false;
}

uint8_t PortSession::ReadEcr() const { return ReadAt(ecrPort_); }

bool PortSession::SetEcrMode(uint8_t mode) {
    const uint8_t now = ReadEcr();
    if (!ecrTouched_) {
        ecrTouched_ = true;
        ecrFound_ = now;
        ecrTarget_ = now & (kEcrModeBits | kEcrKept);
    }
    WriteAt(ecrPort_, static_cast<uint8_t>(mode << kEcrModeShift | (now & kEcrKept)));
    return ReadEcr() >> kEcrModeShift == mode;
}

void PortSession::KeepEcrMode() {
    ecrKept_ = true;
    ecrTarget_ = ReadEcr() & (kEcrModeBits | kEcrKept);
}

Registers PortSession::RestoreTarget() const {
    const uint8_t upper = found_.control & readBack_ & ~kControlLines;
    return {found_.data, static_cast<uint8_t>((found_.control & kControlLines) | upper)};
}

bool PortSession::ReadBack(RestoreOutcome* outcome) const {
    outcome->seen = {Read(kDataOffset), Read(kControlOffset)};
    // With bit 5 put back set, data reads the pins: the latch was checked before.
    if (!(outcome->target.control & readBack_ & kControlDirection))
        outcome->dataHeld = outcome->seen.data == outcome->target.data;
    outcome->controlHeld = ControlMatches(outcome->seen.control, outcome->target.control, readBack_);
    if (ecrTouched_) {
        outcome->ecrSeen = ReadEcr();
        outcome->ecrHeld = ((outcome->ecrSeen ^ ecrTarget_) & kEcrCompared) == 0;
    }
    return outcome->Held();
}

void PortSession::WriteWhatDiffers(const RestoreOutcome& outcome) const {
    if (!outcome.dataHeld && dataTakesWrites_) WriteAt(base_ + kDataOffset, outcome.target.data);
    if (!outcome.controlHeld) WriteAt(base_ + kControlOffset, outcome.target.control);
    if (!outcome.ecrHeld) WriteAt(ecrPort_, ecrTarget_);
}

RestoreOutcome PortSession::Restore() {
    RestoreOutcome outcome;
    if (!begun_ || restored_) return outcome;
    restored_ = true;
    outcome.touched = true;
    outcome.target = RestoreTarget();
    outcome.controlChecked = readBack_;
    outcome.controlUnknown = found_.control & ~readBack_ & (kControlInterrupt | kControlDirection);
    outcome.ecrTouched = ecrTouched_;
    outcome.ecrTarget = ecrTarget_;
    outcome.ecrKept = ecrKept_;
    outcome.ecrServiceDropped = ecrTouched_ && (ecrFound_ & kEcrService);

    // First what PortCheck changed (a control register that reads back
    // nothing can't be compared), then whatever does not read back as put
    // back. After another writer, it is watched for a while, and written
    // again whenever it changes.
    if (dataTakesWrites_ && written_.data != outcome.target.data) WriteAt(base_ + kDataOffset, outcome.target.data);
    outcome.dataHeld = Read(kDataOffset) == outcome.target.data;  // while the data pins still drive
    if (written_.control != outcome.target.control) WriteAt(base_ + kControlOffset, outcome.target.control);
    if (ecrTouched_ && ((ReadEcr() ^ ecrTarget_) & kEcrCompared) != 0) WriteAt(ecrPort_, ecrTarget_);
    written_ = outcome.target;
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
