// The virtual parallel port's state, shared by every process that opens it:
// the virtual "inpout32.dll" (loaded by the panel), the port console and the
// tests. It lives in a named file mapping, so a person (or a test) can drive
// the input pins and read the access log while the panel runs.
//
// The mapping's name is "TarnwickVirtualPort", or the value of the
// environment variable TARNWICK_VPORT when set, so tests that run side by
// side can each have a port of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
};

// The five input pins the status register sees, in the order of the status
// bits 3..7: pin 15 (/ERROR), 13 (SELECT), 12 (PAPER OUT), 10 (/ACK), 11 (BUSY).
inline constexpr int kInputPins[5] = {15, 13, 12, 10, 11};

class PortState {
public:
    // Opens (creating on first use) the shared state named by the environment.
    // Returns nullptr, with a reason in *error, when the mapping can't be had.
    static PortState* Open(std::string* error = nullptr);
    // A state of this process alone, for when the shared one can't be had.
    static PortState* CreatePrivate();
    // The mapping's full name, e.g. "Local\\TarnwickVirtualPort".
    static std::string SharedName();

    ~PortState();
    PortState(const PortState&) = delete;
    PortState& operator=(const PortState&) = delete;

    // The register file as the port's address decoder sees it: only address
    // bits 0-1 are decoded, so the port answers at every 4-aligned base
    // (offset 0 data, 1 status, 2 control; offset 3 reads 0xFF).
    // Every call is recorded in the access log.
    uint8_t Read(uint16_t port);
    void Write(uint16_t port, uint8_t value);

    // The library's kernel driver, running from power-up. Stopped, as on a PC
    // where the library has never been run as administrator, reads give 0
    // and writes change nothing; both are still logged, marked, so a test
    // can tell that a program called into the stopped library.
    bool DriverRunning() const;
    void SetDriverRunning(bool running);

    // Registers without logging (for the console's display and for tests).
    uint8_t Data() const;
    uint8_t Control() const;
    uint8_t Status() const;          // computed from pin levels, or the forced value
    bool StatusForced() const;
    void SetData(uint8_t value);     // as if written by the program, not logged
    void SetControl(uint8_t value);

    // Pin level (true = high) of DB25 pin 1..25 as the outside world sees it.
    bool PinLevel(int pin) const;

    Wiring GetWiring() const;
    void SetWiring(Wiring wiring);  // a value outside Wiring is refused

    // Input pins not driven by the wiring float high unless pulled low here;
    // a pin pulled low stays low even where the wiring drives it.
    // pin must be one of kInputPins.
    bool SetInputPin(int pin, bool high);
    // Forces the status register to read this value regardless of pins;
    // ClearForcedStatus returns to the pin model.
    void ForceStatus(uint8_t value);
    void ClearForcedStatus();

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

    // Back to power-up: data 0, control 0, default wiring (DataLoopback),
    // no pins pulled low, nothing forced or armed, empty log, driver running.
    void Reset();

private:
    PortState() = default;
    struct Shared;
    Shared* shared_ = nullptr;
    void* mapping_ = nullptr;  // the file mapping's handle; null for a private state
};

}  // namespace vport
