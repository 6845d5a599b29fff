// The loopback test and --probe on thousands of chips made up from seeds
// (GeneratedChip.h), as PortCheck runs them at a base off the mainboard's,
// where Windows cannot say what is there. What the access log and the
// output must show on every one:
//  - a serial port is told by reads of base+1 and base+2 and nothing else
//    (and a parallel port that reads as one there is left alone too);
//  - nothing is written, and no other register read, before those two
//    reads; the warning that the pins change comes before the first write,
//    and only where there is one; before the kernel's check has found a port, only its own writes
//    (control 0x0C and 0x0E, the data latch's 0xAA and 0x55, what they
//    found put back, the EPP time-out's status writes), and 0xFF never to
//    control;
//  - where the check passes on the chip, a port is found; where it cannot,
//    none is;
//  - what was written is put back, or the run says it could not;
//  - exit 0 only where every line tested follows what was written;
//  - no verdict names a cause the chip does not have (no chip has another
//    writer).
// A failing seed prints its chip. PORTCHECK_PROPERTY_SEEDS sets how many.
#include <gtest/gtest.h>

#include <cstdlib>

#include "AddressProof.h"
#include "ExitCodes.h"
#include "GeneratedChip.h"
#include "LoopbackCommand.h"
#include "MicroClock.h"
#include "PortCommand.h"
#include "ProbeCommand.h"
#include "SessionText.h"

using namespace portcheck;
using chipgen::GeneratedChip;

namespace {

GeneratedChip* g_chip = nullptr;
short __stdcall ReadChip(short port) { return g_chip->Read(static_cast<uint16_t>(port)); }
void __stdcall WriteChip(short port, short value) { g_chip->Write(static_cast<uint16_t>(port), static_cast<uint8_t>(value)); }
const PortLibrary kChipLibrary{nullptr, &ReadChip, &WriteChip};

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

struct Run {
    SessionStart start = SessionStart::NoPort;
    CommandOutput output;
    long warnedAt = -1;  // how many accesses the log had when the warning came; -1: none
};

// As RunOnPort does it where Windows cannot say.
Run RunCommand(GeneratedChip& chip, bool probe) {
    g_chip = &chip;
    CheckOptions options;
    options.base = chip.base;
    options.settleMicros = 0;
    options.rounds = 2;
    PortSession session(kChipLibrary, chip.base);
    session.UseEcrAt(options.EcrPort());
    Run run;
    BeginRules rules;
    rules.fingerprint = true;
    rules.beforeFirstWrite = [&] { run.warnedAt = static_cast<long>(chip.log.size()); };
    run.start = session.Begin(rules);
    if (run.start == SessionStart::Ready) {
        run.output = probe ? ProbeCommand(session, options) : LoopbackCommand(session, options);
        run.output = Finish(run.output, session, session.Restore(), "the test");
    } else {
        run.output.exitCode = run.start == SessionStart::Disturbed ? kExitDisturbed : kExitNoPort;
    }
    return run;
}

// Whether the kernel's check can find a port on this chip.
bool CheckCanPass(const GeneratedChip& chip) {
    if (chip.absent || chip.serial) return false;
    if (chip.controlReads != chipgen::ReadBack::Fixed) return true;
    return chip.dataReads == chipgen::ReadBack::Latch || (chip.dataReads == chipgen::ReadBack::Pins && !chip.shortedLow);
}

void CheckOne(uint32_t seed) {
    GeneratedChip chip = chipgen::Generate(seed);
    chip.now = &NowMicros;
    const GeneratedChip found = chip;
    const bool probe = seed % 2;
    SCOPED_TRACE("seed " + std::to_string(seed) + (probe ? ", --probe, " : ", loopback test, ") + found.Describe());
    const Run run = RunCommand(chip, probe);
    const std::string text = run.output.out + run.output.err;
    const std::vector<chipgen::Access>& log = chip.log;
    const int base = chip.base;

    // Status and control first, read only.
    ASSERT_GE(log.size(), 2u);
    EXPECT_TRUE(!log[0].write && log[0].port == base + 1 && !log[1].write && log[1].port == base + 2);
    // A parallel port can read as a serial port does there: it is left
    // alone too, and the message says --force goes on.
    if (chip.serial) {
        EXPECT_EQ(run.start, SessionStart::LooksSerial);
    }
    // The warning that pins change comes before the first write, and only
    // where one is made.
    long firstWrite = -1;
    for (size_t i = 0; i < log.size() && firstWrite < 0; ++i)
        if (log[i].write) firstWrite = static_cast<long>(i);
    EXPECT_EQ(run.warnedAt >= 0, firstWrite >= 0) << "warned at " << run.warnedAt << ", first write " << firstWrite;
    if (firstWrite >= 0) {
        EXPECT_LE(run.warnedAt, firstWrite);
    }
    if (run.start == SessionStart::LooksSerial) {
        EXPECT_EQ(log.size(), 2u);
        EXPECT_TRUE(LooksLikeSerialPort(log[0].value, log[1].value));
        return;
    }
    // Before the check has found a port: its own writes only.
    bool proved = false;
    std::vector<uint8_t> dataRead;
    for (const chipgen::Access& access : log) {
        if (access.write && access.port == base + 2) {
            EXPECT_NE(access.value, 0xFF) << "control written 0xFF";
        }
        if (proved) continue;
        if (!access.write && access.port == base) dataRead.push_back(access.value);
        if (!access.write && access.port == base + 2 && (access.value & 0x0F) == 0x0E) proved = true;
        if (!access.write && access.port == base && access.value == 0x55 && !dataRead.empty()) proved = true;
        if (!access.write) continue;
        EXPECT_TRUE(access.port >= base && access.port <= base + 2) << "a write at " << access.port;
        if (access.port == base) {
            bool foundBefore = false;
            for (uint8_t value : dataRead) foundBefore |= value == access.value;
            EXPECT_TRUE(access.value == 0xAA || access.value == 0x55 || foundBefore) << int(access.value);
        }
    }
    EXPECT_NE(run.start, SessionStart::Disturbed) << "no chip here has another writer";
    EXPECT_EQ(run.start == SessionStart::Ready, CheckCanPass(chip)) << text;
    EXPECT_NE(run.output.exitCode, kExitDisturbed) << text;
    if (run.start != SessionStart::Ready) return;

    // Put back, or said not to be.
    const bool saysNot = Has(text, "NOT put back");
    // A line shorted low reads the same whatever its latch holds.
    EXPECT_TRUE(((chip.data ^ found.data) & ~chip.shortedLow) == 0 || saysNot ||
                chip.dataReads == chipgen::ReadBack::Fixed)
        << text;
    EXPECT_TRUE((chip.control & 0x0F) == (found.control & 0x0F) || saysNot || Has(text, "unchecked") ||
                Has(text, "could not be read"))
        << text;
    if (chip.ecr == chipgen::EcrKind::Real) {
        EXPECT_TRUE((chip.ecrValue ^ found.ecrValue) >> 5 == 0 || saysNot) << text;
    }

    // Exit 0 only where the lines follow; causes only where the chip has them.
    const bool shortVisible = probe ? chip.dataReads == chipgen::ReadBack::Pins && chip.shortedLow
                                    : (chip.shortedLow & 0x1F) != 0;  // the lines the plug tests
    if (run.output.exitCode == kExitOk) {
        EXPECT_FALSE(shortVisible) << text;
        EXPECT_NE(chip.dataReads, chipgen::ReadBack::Fixed) << text;
        if (!probe) {
            EXPECT_EQ(chip.slowInputs, 0) << text;
        }
    }
    if (Has(text, "slow")) {
        EXPECT_NE(chip.slowInputs, 0) << text;
    }
    if (Has(text, "intermittent")) {
        EXPECT_TRUE(chip.dropoutRead >= 0 || chip.slowInputs) << text;
    }
    if (Has(text, "where PortCheck drives it")) {
        EXPECT_TRUE(chip.shortedLow || chip.dataReads == chipgen::ReadBack::Fixed) << text;
    }
    if (Has(text, "no plug")) {
        EXPECT_TRUE(chip.dataReads == chipgen::ReadBack::Fixed || chip.shortedLow) << text;
    }
}

}  // namespace

TEST(PortCheckProperties, OnGeneratedChipsNothingIsWrittenBeforeThePortIsProvedAndNoVerdictLacksItsCause) {
    const char* count = std::getenv("PORTCHECK_PROPERTY_SEEDS");
    const uint32_t seeds = count ? static_cast<uint32_t>(std::atoi(count)) : 2000;
    for (uint32_t seed = 1; seed <= seeds && !HasFailure(); ++seed) CheckOne(seed);
}
