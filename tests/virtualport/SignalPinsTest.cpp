// Signals on every pin a register can read, over generated ports (chip,
// read-back source, direction, wiring, latches, a pin held low): the line
// is low while the signal or the port holds it low; a signal that is high
// changes nothing on a pin the port drives; and a low one changes the reads
// exactly where `show` says a register reads the pin, in that pin's bits
// and its wired input's, and nowhere else.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "ConsoleText.h"
#include "PinModel.h"
#include "PortFixture.h"
#include "SignalConsole.h"

namespace {

const uint16_t kBase = 0x378;

// What the port shows at one moment: the three registers and pins 1-17.
struct Look {
    uint8_t reads[3] = {};
    bool high[18] = {};

    bool ReadsAsIn(const Look& other) const {
        for (int r = 0; r < 3; ++r)
            if (reads[r] != other.reads[r]) return false;
        return true;
    }
    bool operator==(const Look& other) const {
        if (!ReadsAsIn(other)) return false;
        for (int pin = 1; pin <= 17; ++pin)
            if (high[pin] != other.high[pin]) return false;
        return true;
    }
    std::string Text() const {
        std::ostringstream text;
        text << std::hex << "data 0x" << int(reads[0]) << " status 0x" << int(reads[1]) << " control 0x"
             << int(reads[2]) << ", pins high:";
        for (int pin = 1; pin <= 17; ++pin)
            if (high[pin]) text << std::dec << " " << pin;
        return text.str();
    }
};

// One generated port with a pulse on `pin`.
struct Case {
    uint32_t seed = 0;
    int pin = 0;
    vport::Chip chip = vport::Chip::Ideal;
    uint8_t ecrMode = 0;
    bool readbackPins = false;
    vport::Wiring wiring = vport::Wiring::None;
    uint8_t data = 0, control = 0;
    int heldLow = 0;  // 0: none

    std::string Describe() const {
        std::ostringstream text;
        text << "seed " << seed << ": pulse on pin " << pin << ", chip " << vport::ChipName(chip) << " in ECR mode "
             << int(ecrMode) << ", readback " << (readbackPins ? "pins" : "latch") << ", wiring "
             << vport::WiringName(wiring) << std::hex << ", data 0x" << int(data) << ", control 0x" << int(control)
             << std::dec << ", pin " << heldLow << " held low";
        return text.str();
    }
};

Case Generate(uint32_t seed) {
    std::mt19937 random(seed);
    Case c;
    c.seed = seed;
    c.pin = 1 + static_cast<int>(random() % 17);
    c.chip = static_cast<vport::Chip>(random() % vport::kChipCount);
    c.ecrMode = static_cast<uint8_t>(random() % 4);  // standard, PS/2 and the two FIFO modes
    c.readbackPins = random() % 2 == 1;
    c.wiring = static_cast<vport::Wiring>(random() % 3);
    c.data = static_cast<uint8_t>(random());
    c.control = static_cast<uint8_t>(random() & 0x2F);  // bit 5 turns the data pins around
    c.heldLow = random() % 3 == 0 ? 1 + static_cast<int>(random() % 17) : 0;
    // An input held low hides what comes through the plug: keep the pin's own reader free.
    if (c.heldLow != 0 && vport::WiredSource(c.wiring, c.heldLow) == c.pin) c.heldLow = 0;
    return c;
}

// The bits of a Look's reads that read `pin`: its own register's bit, and
// the status bit of the input wired to it.
void ReaderBits(int pin, vport::Wiring wiring, uint8_t bits[3]) {
    bits[static_cast<int>(PinAt(pin).reg)] |= PinAt(pin).mask;
    for (int input : vport::kInputPins)
        if (vport::WiredSource(wiring, input) == pin) bits[1] |= PinAt(input).mask;
}

class SignalPins : public ClockedPortTest {
protected:
    void Build(const Case& c) {
        port->Reset();
        port->SetChip(c.chip);
        port->SetEcrMode(c.ecrMode);
        port->SetReadbackFromPins(c.readbackPins);
        port->SetWiring(c.wiring);
        port->SetData(c.data);
        port->SetControl(c.control);
        if (c.heldLow != 0) port->SetInputPin(c.heldLow, false);
    }

    Look LookNow() {
        Look look;
        for (int r = 0; r < 3; ++r) look.reads[r] = port->Read(static_cast<uint16_t>(kBase + r));
        for (int pin = 1; pin <= 17; ++pin) look.high[pin] = port->PinLevel(pin);
        return look;
    }

    // The checks of one case; an empty text when all hold.
    std::string Check(const Case& c) {
        Build(c);
        const Look none = LookNow();
        const vport::LineReaders readers = vport::LineReadersOf(*port);
        const bool seen = vport::RegisterSeesPin(c.pin, readers);
        const int64_t start = now;
        if (!port->SetPulse({c.pin, 1000, 500})) return "the pulse was refused";
        now = start + 100;
        const Look high = LookNow();
        now = start + 600;
        const Look low = LookNow();
        std::ostringstream failures;
        if (low.high[c.pin]) failures << "the signal is low, the line high\n";
        if (!vport::IsInputPin(c.pin) && !(high == none))
            failures << "a signal that is high changes what the port drives: " << high.Text() << "\n";
        if (!none.high[c.pin] && !(low == none))
            failures << "a line the port holds low changes under the signal\n";
        if (none.high[c.pin] && low.ReadsAsIn(none) == seen)
            failures << "`show` says " << (seen ? "a register reads it" : "no register reads it") << ", the reads "
                     << (seen ? "stay the same" : "change") << "\n";
        uint8_t bits[3] = {};
        ReaderBits(c.pin, c.wiring, bits);
        for (int r = 0; r < 3; ++r)
            if ((low.reads[r] ^ none.reads[r]) & ~bits[r])
                failures << "register " << r << " changes outside the pin's bits\n";
        for (int other = 1; other <= 17; ++other)
            if (low.high[other] != none.high[other] && other != c.pin && vport::WiredSource(c.wiring, other) != c.pin)
                failures << "pin " << other << " changes with the signal on pin " << c.pin << "\n";
        if (failures.tellp() > 0)
            failures << "  without the signal: " << none.Text() << "\n  signal high:        " << high.Text()
                     << "\n  signal low:         " << low.Text() << "\n  `show` says: "
                     << vport::SignalSeenText(c.pin, readers) << "\n";
        return failures.str();
    }
};

}  // namespace

TEST_F(SignalPins, TheLineIsLowWhileTheSignalIsAndARegisterReadsItWhereShowSaysOne) {
    const uint32_t kCases = 3000;
    uint32_t seenChanges = 0, unseen = 0;
    for (uint32_t seed = 1; seed <= kCases; ++seed) {
        const Case c = Generate(seed);
        const std::string failures = Check(c);
        ASSERT_EQ(failures, "") << c.Describe();
        const vport::LineReaders readers = vport::LineReadersOf(*port);
        if (!vport::IsInputPin(c.pin)) ++(vport::RegisterSeesPin(c.pin, readers) ? seenChanges : unseen);
    }
    EXPECT_GT(seenChanges, kCases / 4) << "data and control pins a register reads";
    EXPECT_GT(unseen, kCases / 20) << "and pins none reads";
}

TEST_F(SignalPins, ShowSaysWhatReadsEachSignal) {
    port->SetWiring(vport::Wiring::None);
    ASSERT_TRUE(port->SetPulse({3, 1000, 500}));
    ASSERT_TRUE(port->SetUart({14, 9600, "x"}));
    std::string show = vport::FormatSnapshot(vport::TakeSnapshot(*port));
    EXPECT_NE(show.find("\npulse    pin 3: high 500 us every 1000 us (1000 Hz); not seen by any register: readback "
                        "latch (data reads its latch; `readback pins` reads the line)\n"),
              std::string::npos)
        << show;
    EXPECT_NE(show.find("; not seen by any register: readback latch (control reads its latch;"), std::string::npos);
    EXPECT_NE(show.find("\n  3  D1          "), std::string::npos);
    EXPECT_NE(show.find("data bit 1, pulse signal\n"), std::string::npos) << show;
    EXPECT_NE(show.find("C1 inverted, uart signal\n"), std::string::npos);

    port->SetReadbackFromPins(true);
    port->SetWiring(vport::Wiring::ControlLoopback);  // pin 14 to pin 12 (PAPER OUT, S5)
    show = vport::FormatSnapshot(vport::TakeSnapshot(*port));
    EXPECT_NE(show.find("(1000 Hz); data bit 1 reads the line: low while the signal or the port holds it low\n"),
              std::string::npos)
        << show;
    EXPECT_NE(show.find("over and over; C1 reads the line inverted, and S5 through the plug to pin 12: low while"),
              std::string::npos)
        << show;
    ASSERT_TRUE(port->SetPulse({10, 1000, 500}));
    show = vport::FormatSnapshot(vport::TakeSnapshot(*port));
    EXPECT_NE(show.find("(1000 Hz); S6 reads it\n"), std::string::npos) << show;
}
