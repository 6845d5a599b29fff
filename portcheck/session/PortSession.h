// PortCheck's one way onto a port, shared by the loopback test, --probe and
// --set-mode: every read and write of its registers, and the rules that
// leave the port as PortCheck found it.
//
//  - Nothing is written, and no register read whose read changes a device,
//    before the address is proved a parallel port (Begin): status and
//    control are read first, and where asked, a serial port's registers are
//    looked for there (AddressProof.h); then data, and data and control must
//    read the same a moment later (a writer holding the lines right then
//    would have its values taken for the port's own). Then the EPP time-out
//    flag is cleared (some chips ignore every data and control access while
//    it is set), and the kernel's check that a port answers: control's low
//    nibble reads back 0x0C and 0x0E, or else the data latch holds 0xAA and
//    0x55. A control register that read 0xFF is never written 0xFF back.
//  - Control is written only by a command that needs it. One that drives
//    the data lines takes it (TakeControl): bits 4 and 5 cleared, interrupts
//    off, the data pins driving; which bits the chip reads back is learnt
//    then, both ways (many chips read bits 5-7 as 1 whatever is written,
//    some bit 5 as 0). Control lines 0-3 that read back a fixed value are
//    not read back at all: the loopback's inputs tell those lines. A
//    control register that reads 0xFF and does not follow the check tells
//    nothing: its value is unknown, and PortCheck starts from the idle 0x04.
//  - Every value written is remembered: a register that no longer holds it
//    shows another writer (Holds), unless the same data bits read wrong on
//    every rewrite: then the line is at fault (Check).
//  - The ECR: only its mode bits 7-5 are changed, bits 4-2 written back as
//    found (an Oxford Semiconductor PCI part gets its own 00001 instead),
//    every write through one function (WriteEcrMode); the first write must
//    read back whole, else it is put back at once.
//  - At the end (Restore) data, control bits 0-3 and the ECR's mode go back
//    as found, control bits 4-7 only where the chip reads them back, and
//    all is read back to check; after another writer, for a while, until
//    they stay. An ECR changed by another writer is reported, not rewritten.
#pragma once

#include <cstdint>
#include <functional>

#include "PortLibrary.h"
#include "PortRegisters.h"

namespace portcheck {

enum class SessionStart {
    Ready,        // a port answers; its EPP time-out flag is cleared
    NoPort,       // no port answers the check (sppCheck tells what was read)
    Disturbed,    // data or control changed before PortCheck wrote anything
    LooksSerial,  // base+1 and base+2 read as a serial port's registers: nothing written
};

struct BeginRules {
    bool fingerprint = false;  // tell a serial port by base+1 and base+2 first
    bool force = false;        // ... and go on all the same
    // Called once, just before the first write, where the reads have let
    // one be made: the moment to warn that the pins will change.
    std::function<void()> beforeFirstWrite;
};

// The kernel's check that a parallel port answers, as read.
struct SppCheck {
    uint8_t control0C = 0;   // control read after writing 0x0C
    uint8_t control0E = 0;   // after 0x0E (written only where 0x0C read back)
    bool dataTested = false; // control did not read back: the data latch was tried
    uint8_t readAA = 0;
    uint8_t read55 = 0;
    bool ControlAnswers() const { return (control0C & 0x0F) == 0x0C && (control0E & 0x0F) == 0x0E; }
    bool Passed() const { return ControlAnswers() || (dataTested && readAA == 0xAA && read55 == 0x55); }
};

enum class DataWrite {
    Held,         // the data register reads back what was written
    NotTaken,     // no bit follows, not even of a value that differs in every bit (an ECP FIFO mode)
    Overwritten,  // something else wrote it meanwhile
    LineFault,    // the same data bits read wrong on every rewrite, while the others follow
};

enum class EppTimeout {
    NotSet,    // status bit 0 reads 0
    Cleared,   // it read 1 and cleared: the flag of an EPP-capable chip
    NotAFlag,  // it reads 1 and won't clear: a plain port's undefined bit
};

// Data bits that read back other than written, the same on every rewrite:
// data and control as written, and as read.
struct LineFault {
    Registers written;
    Registers read;
    Registers bits;  // the bits that differ
};

struct LatchTest {
    uint8_t read55 = 0;  // the data register read after writing 0x55
    uint8_t readAA = 0;  // and after 0xAA
    bool Found() const { return read55 == 0x55 && readAA == 0xAA; }
    // The lines that read the same after both, whatever was written: where
    // every other line follows, a fault of those lines (a short, where the
    // register reads the pins), not a register that takes no write.
    uint8_t Stuck() const { return static_cast<uint8_t>(~(read55 ^ readAA)); }
    bool LinesStuck() const {
        const uint8_t follows = static_cast<uint8_t>(~Stuck());
        return !Found() && follows != 0 && (read55 & follows) == (0x55 & follows);
    }
    LineFault Fault() const {
        return {{static_cast<uint8_t>(Stuck() & ~read55), 0}, {static_cast<uint8_t>(Stuck() & read55), 0}, {Stuck(), 0}};
    }
};

// What Restore put back and what it read back.
struct RestoreOutcome {
    bool touched = false;   // PortCheck had written to the port
    Registers target;      // what was written back
    Registers seen;        // what data and control read at the end
    uint8_t controlChecked = 0;  // the control bits compared: those the chip reads back
    uint8_t controlUnknown = 0;  // bits 4-5 read as 1 at the start that the chip does not read back
    uint8_t controlReadsOne = 0;   // bits 4-7 that read 1 whatever is written
    uint8_t controlReadsZero = 0;  // bits 5-7 that read 0 whatever is written
    bool controlUnreadable = false;  // control read 0xFF: its value found is unknown
    uint8_t controlLinesUnread = 0;  // control lines 0-3 whose read-back is not believed: put back idle
    bool controlWritten = false;
    bool dataHeld = false;
    bool controlHeld = false;
    bool ecrTouched = false;     // the ECR was written and is part of the restore
    uint8_t ecrTarget = 0;
    uint8_t ecrSeen = 0;
    bool ecrHeld = true;
    bool ecrKept = false;        // the ECR keeps a mode set on purpose
    bool ecrChanged = false;     // another writer changed it: left as it is
    uint8_t ecrWritten = 0;      // what PortCheck wrote last
    int rewrites = 0;            // times it had to be written again
    bool Held() const { return dataHeld && controlHeld && ecrHeld; }
};

class PortSession {
public:
    // `library` must have both entry points.
    PortSession(const PortLibrary& library, int base);
    // Puts data and control back, unchecked, if Restore was not called.
    ~PortSession();
    PortSession(const PortSession&) = delete;
    PortSession& operator=(const PortSession&) = delete;

    // The serial port's look where asked, the quiet check, the EPP time-out
    // flag cleared, and the check that a port answers.
    SessionStart Begin(BeginRules rules = {});
    const SppCheck& sppCheck() const { return spp_; }
    // For a command that drives the data lines: control bits 4-5 cleared,
    // and which bits the chip reads back learnt. Once. A control register
    // that reads 0xFF is not written here.
    void TakeControl();
    EppTimeout eppTimeout() const { return eppTimeout_; }
    // Control read 0xFF at the start: the value found is unknown.
    bool controlUnreadable() const { return controlUnreadable_; }

    int base() const { return base_; }
    // Begin found a port and has started writing to it.
    bool begun() const { return begun_; }
    // Data, status and control as first read.
    uint8_t foundData() const { return found_.data; }
    uint8_t foundStatus() const { return foundStatus_; }
    uint8_t foundControl() const { return found_.control; }
    // What data and control were last written (or found).
    const Registers& written() const { return written_; }
    // The control bits whose read-back means something on this chip.
    uint8_t controlReadBack() const { return readBack_; }
    // Whether control bit `bit` was set at the start, as far as the chip tells.
    bool FoundControlBit(uint8_t bit) const { return found_.control & readBack_ & bit; }

    uint8_t Read(int offset) const;
    // Status writes are commands (clearing the EPP time-out); not remembered.
    void WriteStatus(uint8_t value) const;
    void WriteData(uint8_t value);
    // Control bit 4 must be clear: interrupts stay off.
    void WriteControl(uint8_t value);
    // Writes data and reads it back at once; a value not held is written
    // once more to tell another writer from a register that takes no writes,
    // or from a fault of some of its lines.
    DataWrite WriteDataChecked(uint8_t value);
    // 0x55 and 0xAA written to the data register and read back, then the
    // data value before put back.
    LatchTest TestDataLatch();

    // Whether data and control still hold what was written (control on the
    // bits the chip reads back). A false answer marks the session disturbed.
    bool Holds();
    // Holds, and where it does not: written again, and the same data bits
    // reading wrong again are a line fault, not another writer (lineFault()
    // tells which); control lines reading the same wrong value again are
    // not read back from then on.
    DataWrite Check();
    const LineFault& lineFault() const { return lineFault_; }
    bool disturbed() const { return disturbed_; }
    // Once disturbed: what data and control read then, and what they should have held.
    const Registers& seen() const { return seen_; }
    const Registers& expected() const { return expected_; }

    // The ECR at `port` (-1: none known): read it, or set its mode (bits
    // 7-5) with bits 4-2 as found, or with the Oxford parts' 00001. The
    // first mode write keeps the ECR's value for Restore, unless
    // KeepEcrMode is called.
    void UseEcrAt(int port) { ecrPort_ = port; }
    void UseOxfordEcrPattern() { oxford_ = true; }
    int ecrPort() const { return ecrPort_; }
    uint8_t ReadEcr() const;
    // Whether the ECR reads the mode back. After the first write the whole
    // value must read back as written, FIFO empty; where it does not, the
    // ECR is put back as found at once and this is false.
    bool SetEcrMode(uint8_t mode);
    // The mode last set stays: Restore checks it rather than putting the old one back.
    void KeepEcrMode();

    RestoreOutcome Restore();

private:
    uint8_t ReadAt(int port) const;
    void WriteAt(int port, uint8_t value) const;
    bool PortAnswers();
    uint8_t WriteControlAndRead(uint8_t value);
    void NotReadBack(uint8_t lines, uint8_t read);
    void ClearEppTimeout();
    uint8_t EcrValueFor(uint8_t mode) const;
    // The one way the ECR is written: its mode, with bits 4-0 as EcrValueFor has them.
    void WriteEcrMode(uint8_t mode) const;
    // Whether the ECR reads back as `written`, its FIFO empty (bit 2 may be
    // set again by the chip).
    static bool EcrReadsBack(uint8_t read, uint8_t written);
    Registers RestoreTarget() const;
    bool RestoresControl() const;
    // Reads data, control and the ECR into `outcome`; true when all hold its targets.
    bool ReadBack(RestoreOutcome* outcome) const;
    void WriteWhatDiffers(const RestoreOutcome& outcome) const;

    const PortLibrary& library_;
    int base_;
    Registers found_;
    uint8_t foundStatus_ = 0;
    Registers written_;
    Registers seen_;
    Registers expected_;
    uint8_t readBack_ = 0xFF;
    uint8_t readsOne_ = 0;
    uint8_t readsZero_ = 0;
    uint8_t linesNotReadBack_ = 0;  // control bits 0-3 that read a fixed value
    SppCheck spp_;
    bool controlTaken_ = false;
    bool controlWritten_ = false;
    bool controlUnreadable_ = false;
    bool dataHeldOnce_ = false;
    EppTimeout eppTimeout_ = EppTimeout::NotSet;
    LineFault lineFault_;
    bool dataTakesWrites_ = true;
    bool begun_ = false;
    bool restored_ = false;
    bool disturbed_ = false;
    int ecrPort_ = -1;
    bool ecrTouched_ = false;
    bool ecrKept_ = false;
    uint8_t ecrFound_ = 0;
    uint8_t ecrTargetMode_ = 0;
    uint8_t ecrWrittenMode_ = 0;
    uint8_t ecrCompared_ = kEcrRestoreCompared;
    bool oxford_ = false;
};

}  // namespace portcheck
