// The virtual parallel port's state, shared by every process that opens it:
// the virtual "inpout32.dll" (loaded by the panel), the port console and the
// tests. It lives in a file in the Windows temp folder, mapped under the
// port's name, so that a person (or a test) can drive the input pins and
// read the access log while the panel runs, and so that a setting stays
// until `reset`, also while no program has the port open.
//
// The port's name is "TarnwickVirtualPort", or the value of the environment
// variable TARNWICK_VPORT when set, so tests that run side by side can each
// have a port of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Chips.h"
#include "EcrModes.h"
#include "ParallelPins.h"
#include "SerialPort.h"
#include "Settings.h"
#include "SignalGenerator.h"

namespace vport {

// How the pins of the DB25 are connected outside the port.
enum class Wiring : uint32_t {
    None = 0,            // nothing connected: inputs float high, status reads 0x7F
    DataLoopback = 1,    // pins 2-15, 3-13, 4-12, 5-10, 6-11 (D0../ERROR, D1-SELECT, D2-PAPER OUT, D3-/ACK, D4-BUSY)
    ControlLoopback = 2, // pins 1-13, 14-12, 16-10, 17-11, 2-15
};

struct Access {
    bool write;      // false: a read of the port
    uint16_t port;
    uint8_t value;   // the byte written, or the byte the read returned
    bool driverStopped = false;  // made while the driver was stopped: no register saw it
    bool intruder = false;       // made by another program polling the port, not by ours
};

// The five input pins the status register sees, in the order of the status
// bits 3..7: pin 15 (/ERROR), 13 (SELECT), 12 (PAPER OUT), 10 (/ACK), 11 (BUSY).
inline constexpr int kInputPins[5] = {PinOfBit(Register::Status, 3), PinOfBit(Register::Status, 4),
                                      PinOfBit(Register::Status, 5), PinOfBit(Register::Status, 6),
                                      PinOfBit(Register::Status, 7)};

inline constexpr uint16_t kPowerUpBase = 0x378;
inline constexpr uint32_t kMaxSettleMicros = 1000000;
inline constexpr uint32_t kMaxIntruderPeriodMs = 60000;

// A base the port can sit at: a multiple of 4 from 0 to 0xFFFC.
bool IsValidBase(uint32_t base);

// Everything the console's `show` lists besides registers and pins.
struct PortSettings {
    Chip chip = Chip::Ideal;
    uint16_t base = kPowerUpBase;
    uint16_t extendedBase = kPowerUpBase + kIsaExtendedOffset;
    bool extendedAuto = true;  // at base + 0x400
    uint8_t ecr = 0;           // as a read of it gives (mode, bits 4-2, FIFO flags)
    uint32_t fifoCount = 0;
    bool lockedUp = false;
    bool eppTimeout = false;
    uint32_t heldLow = 0;      // bit n: pin n held low
    uint32_t settleMicros = 0;
    uint32_t looseEvery[5] = {};  // per kInputPins; 0: firm
    uint32_t intruderPeriodMs = 0;
    bool intruderHolding = false;
    // The chips' quirks and the serial port beside them (see ChipQuirks.h).
    bool settleRisingOnly = false;
    bool fifoHeld = false;
    uint32_t serviceInterrupts = 0;
    uint32_t strobesSent = 0;
    SerialRegisters serial = {};
    PortSignals signals;
    uint32_t values[kSettingCount] = {};  // the settings of Settings.h, by SettingId

    uint32_t Value(SettingId id) const { return values[static_cast<int>(id)]; }
};

// How an EPP chip's time-out flag clears: by a write of status bit 0 as 1,
// as 0, or by two status reads in a row.
enum class EppClear { WriteOne, WriteZero, ReadTwice };

class PortState {
public:
    // Opens (creating on first use) the shared state named by the environment.
    // Returns nullptr, with a reason in *error, when it can't be had: the
    // file can't be opened, or holds something other than this version's
    // state (then *foreign is set: Recreate replaces it).
    static PortState* Open(std::string* error = nullptr, bool* foreign = nullptr);
    // Replaces the state file with one at power-up, whatever it held, unless
    // a program has the port open; then opens it as Open does.
    static PortState* Recreate(std::string* error = nullptr);
    // A state of this process alone, for when the shared one can't be had.
    static PortState* CreatePrivate();
    // The port's name, e.g. "TarnwickVirtualPort".
    static std::string Name();
    // The mapping's full name, e.g. "Local\\TarnwickVirtualPort".
    static std::string SharedName();
    // The file that keeps the state: the temp folder's <name>.vport.
    static std::string FilePath();

    ~PortState();
    PortState(const PortState&) = delete;
    PortState& operator=(const PortState&) = delete;

    // The register file as the chip answers it (see ChipModel.h): data,
    // status and control at base..base+2, and the registers the chip adds;
    // every other port reads 0xFF and takes no write, as a bus with nothing
    // on it. Every call is recorded in the access log.
    uint8_t Read(uint16_t port);
    void Write(uint16_t port, uint8_t value);
    // What a read of `port` would return now, without logging it or any of
    // the read's effects on the chip.
    uint8_t Peek(uint16_t port) const;

    // The library's kernel driver, running from power-up. Stopped, as on a PC
    // where the library has never been run as administrator, reads give 0
    // and writes change nothing; both are still logged, marked, so a test
    // can tell that a program called into the stopped library.
    bool DriverRunning() const;
    void SetDriverRunning(bool running);

    // The output latches and status without logging (for the console's
    // display and for tests).
    uint8_t Data() const;
    uint8_t Control() const;
    uint8_t Status() const;          // as a read of it gives: from the pins, or the forced value
    bool StatusForced() const;
    void SetData(uint8_t value);     // sets the latch, not logged
    void SetControl(uint8_t value);

    // Pin level (true = high) of DB25 pin 1..25 as the outside world sees it.
    bool PinLevel(int pin) const;
    // Whether the data pins drive (false: a bidirectional port's inputs).
    bool DataPinsDrive() const;

    Wiring GetWiring() const;
    void SetWiring(Wiring wiring);  // a value outside Wiring is refused

    // Input pins not driven by the wiring float high unless pulled low here;
    // a pin pulled low stays low even where the wiring drives it. Data pins
    // 2-9 pulled low matter only while they are inputs, and they and the
    // control pins 1, 14, 16 and 17 with read-back from the pins. Setting a level
    // makes a loose pin firm again. False for any other pin.
    bool SetInputPin(int pin, bool high);
    // Every `every`-th read of the status register (counted from now) reads
    // input pin `pin` low, whatever drives it: a loose contact. False for a
    // pin that is no input, or `every` below 2.
    bool SetLoosePin(int pin, uint32_t every);
    // Forces the status register to read this value regardless of pins;
    // ClearForcedStatus returns to the pin model.
    void ForceStatus(uint8_t value);
    void ClearForcedStatus();

    // The chip and where it answers. Choosing a chip puts its own state
    // (ECR, FIFO, time-out flag, lock-up) to power-up.
    void SetChip(Chip chip);
    // False, changing nothing, when the base is not valid or the port's
    // eight addresses would overlap the extended block.
    bool SetBase(uint16_t base);
    // The extended block at `start` (the ECR at start + 2), or at base +
    // 0x400 with SetExtendedBlockAuto. False, changing nothing, when `start`
    // is not a multiple of 4 or the block would overlap the port's addresses.
    bool SetExtendedBlock(uint16_t start);
    void SetExtendedBlockAuto();
    // The ECR's mode (0..7, as bits 7-5 of the ECR), as a BIOS leaves it;
    // the FIFO is emptied, as on a mode change.
    void SetEcrMode(uint8_t mode);
    // How the EPP time-out flag is cleared (power-up: WriteOne).
    void SetEppClear(EppClear way);

    // Input pins fed from an output through the plug show a change of that
    // output only `micros` later (at most kMaxSettleMicros); 0: at once.
    // With `risingOnly`, only a rising input waits: a line pulled up by a
    // weak resistor, pulled down fast.
    void SetSettleMicros(uint32_t micros, bool risingOnly = false);

    // The peripheral holds the FIFO's transfer up with `bytes` (1-16) in
    // it, or (0) takes what comes again. False, changing nothing, unless
    // the chip has an ECR in mode 010 or 011, or for more than 16 bytes.
    bool HoldFifo(uint32_t bytes);
    // Data and control bits 0-3 read the lines, and an output pin pulled
    // low reads low even while driven high (a short to ground).
    void SetReadbackFromPins(bool fromPins);
    // A serial port at `start` (a multiple of 8), just started (see
    // SerialPort.h), or none.
    bool SetSerialPort(bool on, uint16_t start = 0);
    // What reaches the serial port from outside: bytes received, line errors
    // (line status bits 4-1), the modem lines now active (modem status bits
    // 7-4). False, changing nothing, while there is no serial port.
    bool SerialReceive(const std::vector<uint8_t>& bytes);
    bool RaiseSerialErrors(uint8_t bits);
    bool SetSerialModemLines(uint8_t lines);
    // Another program writes the data and control registers every `ms`
    // milliseconds from now (see Intruder.h); 0 stops it.
    void SetIntruderPeriod(uint32_t ms);
    // Signals on pins 1-17 from now (see SignalGenerator.h); pin 0 stops
    // one. False, changing nothing, for a pin no signal can be on or that
    // carries the other signal, or values out of range.
    bool SetPulse(const PulseSignal& pulse);
    bool SetUart(const UartSignal& uart);

    PortSettings Settings() const;

    // A setting of Settings.h; false, changing nothing, for a value it
    // doesn't take.
    bool Set(SettingId id, uint32_t value);
    uint32_t Get(SettingId id) const;

    // After `reads` more reads of the port, the register at `offset` (0 data,
    // 1 status, 2 control) takes `value` (status: forced). Lets a test change
    // a register in the middle of one timer tick.
    void ArmChange(uint32_t reads, int offset, uint8_t value);

    // Access log: every read and write in order. The log keeps the latest
    // 65536 accesses; TotalAccesses counts all since the last clear.
    std::vector<Access> Log() const;
    uint64_t TotalAccesses() const;
    void ClearLog();
    // One consistent look at the log: the retained accesses numbered `from`
    // on (0 is the first since the last clear). *first gets the number of
    // the first one returned, later than `from` where the ring has already
    // overwritten those. With `clear` the log is emptied in the same step,
    // so no access slips in between reading and clearing.
    std::vector<Access> TakeLog(uint64_t from, uint64_t* first, bool clear);

    // Back to power-up: the ideal chip at 0x378, data 0, control 0, default
    // wiring (DataLoopback), no pins pulled low or loose, nothing forced or
    // armed, no settling time, no intruder, empty log, driver running.
    void Reset();

private:
    PortState() = default;
    struct Shared;
    // How long this read takes: its cost, and a stall every so many reads
    // of this program.
    int64_t ReadTime(const Shared& s);

    Shared* shared_ = nullptr;
    void* mapping_ = nullptr;  // the file mapping's handle; null for a private state
    uint32_t readsSinceStall_ = 0;
};

}  // namespace vport
