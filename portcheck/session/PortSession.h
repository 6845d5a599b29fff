// PortCheck's one way onto a port, shared by the loopback test, --probe and
// --set-mode: every read and write of its registers, and the rules that
// leave the port as PortCheck found it.
//
//  - Nothing is written before a port is known to answer at the base: if
//    data, status and control all read 0xFF (a bus with nothing on it), a
//    data latch must be found first (Begin).
//  - Data and control are read first, and must read the same a moment later
//    before anything is written: a writer holding the lines right then
//    would have its values taken for the port's own.
//  - While PortCheck works, control bits 4 and 5 are cleared: interrupts
//    off, the data pins driving. Which control bits the chip reads back is
//    learnt from that first write; many chips read bits 5-7 as 1 whatever
//    was written, some the whole register as 0xFF.
//  - Every value written is remembered: a register that no longer holds it
//    shows another writer (Holds).
//  - At the end (Restore) data, control bits 0-3 and the ECR's mode go back
//    as found, control bits 4-7 only where the chip reads them back, and
//    all is read back to check; after another writer, for a while, until
//    they stay.
#pragma once

#include <cstdint>

#include "PortLibrary.h"
#include "PortRegisters.h"

namespace portcheck {

enum class SessionStart {
    Ready,      // a port answers; control bits 4-5 are cleared
    NoPort,     // all three registers read 0xFF and the data register holds nothing written
    Disturbed,  // data or control changed before PortCheck wrote anything
};

enum class DataWrite {
    Held,         // the data register reads back what was written
    NotTaken,     // twice it kept its old value: writes go elsewhere (an ECP FIFO mode)
    Overwritten,  // something else wrote it meanwhile
};

struct LatchTest {
    uint8_t read55 = 0;  // the data register read after writing 0x55
    uint8_t readAA = 0;  // and after 0xAA
    bool Found() const { return read55 == 0x55 && readAA == 0xAA; }
};

// What Restore put back and what it read back.
struct RestoreOutcome {
    bool touched = false;   // PortCheck had written to the port
    Registers target;      // what was written back
    Registers seen;        // what data and control read at the end
    uint8_t controlChecked = 0;  // the control bits compared: those the chip reads back
    uint8_t controlUnknown = 0;  // bits 4-5 read as 1 at the start that the chip does not read back
    bool dataHeld = false;
    bool controlHeld = false;
    bool ecrTouched = false;     // the ECR was written and is part of the restore
    uint8_t ecrTarget = 0;
    uint8_t ecrSeen = 0;
    bool ecrHeld = true;
    bool ecrKept = false;        // the ECR keeps a mode set on purpose
    bool ecrServiceDropped = false;  // ECR bit 2 read as 1, written back as 0
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

    // The address check, the quiet check, and control bits 4-5 cleared.
    SessionStart Begin();

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
    // once more to tell another writer from a register that takes no writes.
    DataWrite WriteDataChecked(uint8_t value);
    // 0x55 and 0xAA written to the data register and read back, then the
    // data value before put back.
    LatchTest TestDataLatch();

    // Whether data and control still hold what was written (control on the
    // bits the chip reads back). A false answer marks the session disturbed.
    bool Holds();
    bool disturbed() const { return disturbed_; }
    // Once disturbed: what data and control read then, and what they should have held.
    const Registers& seen() const { return seen_; }
    const Registers& expected() const { return expected_; }

    // The ECR at `port`: read it, or set its mode (bits 7-5) leaving bits
    // 4-3 as they read and bit 2 clear. The first mode write keeps the
    // ECR's value for Restore, unless KeepEcrMode is called.
    void UseEcrAt(int port) { ecrPort_ = port; }
    int ecrPort() const { return ecrPort_; }
    uint8_t ReadEcr() const;
    // Whether the ECR reads the mode back.
    bool SetEcrMode(uint8_t mode);
    // The mode last set stays: Restore checks it rather than putting the old one back.
    void KeepEcrMode();

    RestoreOutcome Restore();

private:
    uint8_t ReadAt(int port) const;
    void WriteAt(int port, uint8_t value) const;
    bool LatchAnswers();
    Registers RestoreTarget() const;
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
    bool dataTakesWrites_ = true;
    bool begun_ = false;
    bool restored_ = false;
    bool disturbed_ = false;
    int ecrPort_ = -1;
    bool ecrTouched_ = false;
    bool ecrKept_ = false;
    uint8_t ecrFound_ = 0;
    uint8_t ecrTarget_ = 0;
};

}  // namespace portcheck
