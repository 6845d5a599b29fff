#include "AddressProof.h"

#include <cstdio>

#include "PortRegisters.h"
#include "SessionText.h"
#include "TextFormat.h"

namespace portcheck {

namespace {

constexpr int kMainboardBases[] = {0x378, 0x278, 0x3BC};

constexpr uint8_t kSerialIerZero = 0xF0;   // interrupt enable: bits 7-4 always 0
constexpr uint8_t kSerialIirZero = 0x30;   // interrupt identification: bits 5-4 always 0
constexpr uint8_t kSerialIirFifos = 0xC0;  // bits 7-6: 11 with the FIFOs on, 00 without
constexpr uint8_t kSerialIirTimeout = 0x0C;  // a character time-out: with the FIFOs on only

// The 16550's interrupt identifications by bits 3-0, most urgent last.
struct SerialInterrupt {
    uint8_t code;
    const char* what;
};
constexpr SerialInterrupt kSerialInterrupts[] = {
    {0x01, "idle"},
    {0x00, "a modem status change pending"},
    {0x02, "transmitter empty"},
    {0x04, "a received byte waiting"},
    {0x0C, "a character time-out"},
    {0x06, "a line status change pending"},
};

const SerialInterrupt* InterruptOf(uint8_t iir) {
    for (const SerialInterrupt& interrupt : kSerialInterrupts)
        if ((iir & 0x0F) == interrupt.code) return &interrupt;
    return nullptr;
}

}  // namespace

bool IsMainboardBase(int base) {
    for (int mainboard : kMainboardBases)
        if (base == mainboard) return true;
    return false;
}

bool LooksLikeSerialPort(uint8_t plus1, uint8_t plus2) {
    const uint8_t fifos = plus2 & kSerialIirFifos;
    if ((plus1 & kSerialIerZero) || (plus2 & kSerialIirZero) || (fifos != 0 && fifos != kSerialIirFifos)) return false;
    const SerialInterrupt* interrupt = InterruptOf(plus2);
    return interrupt && (interrupt->code != kSerialIirTimeout || fifos);
}

std::string SerialPortMessage(int base, uint8_t plus1, uint8_t plus2, bool forced) {
    const SerialInterrupt* interrupt = InterruptOf(plus2);
    std::string text = "PortCheck: " + Hex(base) + " looks like a serial port (16550): " + Hex(base + 1) + " reads " +
                       HexByte(plus1) + ", as its interrupt enable does (bits 7-4 zero), and " + Hex(base + 2) +
                       " reads " + HexByte(plus2) + ", as its interrupt identification does (" +
                       (interrupt ? interrupt->what : "") + ((plus2 & kSerialIirFifos) ? ", FIFOs on" : ", no FIFOs") +
                       ")";
    if (forced) return text + "; --force: going on as for a parallel port\n";
    return text + ". PortCheck read only these two and wrote nothing.\n"
                  "A parallel port whose inputs read low with BUSY high, and whose control reads 0xC4, looks the "
                  "same: if this is one, --force goes on.\n";
}

AddressVerdict JudgeAddress(int base, const PortIdentity& windows, bool force) {
    AddressVerdict verdict;
    switch (windows.names) {
    case WindowsNames::Port:
        verdict.fingerprint = false;
        verdict.extendedBlock = windows.extendedBlock;
        verdict.oxford = windows.pciVendor == kOxfordVendor;
        break;
    case WindowsNames::OtherDevice:
        verdict.refusal = "PortCheck: Windows gives " + Hex(windows.ownerFirst) + "-" + Hex(windows.ownerLast) +
                          " to " + windows.owner + ": no parallel port's registers are at " + Hex(base) +
                          ", and PortCheck touches nothing there (PortCheck --list shows the parallel ports)\n";
        break;
    case WindowsNames::NoPort:
        if (force) break;
        verdict.refusal = "PortCheck: Windows lists no parallel port at " + Hex(base) +
                          ", and PortCheck touches nothing there (PortCheck --list shows the parallel ports). If "
                          "a port Windows has no driver for is there, --force goes on.\n";
        break;
    case WindowsNames::Unknown: break;
    }
    if (IsMainboardBase(base)) verdict.fingerprint = false;
    return verdict;
}

AddressVerdict CheckAddress(int base, bool force) {
    return JudgeAddress(base, IsMainboardBase(base) ? PortIdentity{} : AskWindowsAbout(base), force);
}

std::string ProveByReading(PortReadEntry read, int base, bool force) {
    const AddressVerdict verdict = CheckAddress(base, force);
    if (!verdict.refusal.empty()) return verdict.refusal;
    const auto at = [&](int offset) { return static_cast<uint8_t>(read(static_cast<short>(base + offset))); };
    const uint8_t status = at(kStatusOffset), control = at(kControlOffset);
    if (verdict.fingerprint && LooksLikeSerialPort(status, control)) {
        if (!force) return SerialPortMessage(base, status, control, false);
        std::fputs(SerialPortMessage(base, status, control, true).c_str(), stderr);
    }
    // Without a write, a bus with nothing on it is all that can be told: every register reads 0xFF.
    const uint8_t data = at(kDataOffset);
    if (status == 0xFF && control == 0xFF && data == 0xFF) return NoPortMessage(base, false);
    return "";
}

}  // namespace portcheck
