// PortCheck --watch, the built program against the virtual port and its
// signals: edges and pulses of a square wave, signals and another program's
// writes seen on data and control lines, the VCD, that it never writes, and
// each way it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "Calibration.h"
#include "CheckArgs.h"
#include "EcrModes.h"
#include "PortCheckProgram.h"
#include "VcdReader.h"
#include "WatchLines.h"

using namespace portcheck_test;

namespace {

class Watch : public PortCheckProgram {};

// The number after `label` in `text` ("1,234" read as 1234); -1 if none.
long long NumberAfter(const std::string& text, const std::string& label) {
    size_t at = text.find(label);
    if (at == std::string::npos) return -1;
    at += label.size();
    while (at < text.size() && text[at] == ' ') ++at;
    long long value = -1;
    for (; at < text.size() && (isdigit(static_cast<unsigned char>(text[at])) || text[at] == ','); ++at)
        if (text[at] != ',') value = (value < 0 ? 0 : value * 10) + (text[at] - '0');
    return value;
}

// The summary's row of pin `pin`, split at its columns.
std::vector<std::string> Row(const std::string& out, int pin) {
    const std::string start = (pin < 10 ? "    " : "   ") + std::to_string(pin) + "  ";
    const size_t at = out.find("\n" + start);
    std::vector<std::string> words;
    if (at == std::string::npos) return words;
    std::string line = out.substr(at + 1, out.find('\n', at + 1) - at - 1);
    // Columns are two spaces or more apart; "500.0 us" is one.
    for (size_t i = 0; i < line.size();) {
        while (i < line.size() && line[i] == ' ') ++i;
        size_t end = line.find("  ", i);
        if (end == std::string::npos) end = line.size();
        if (end > i) words.push_back(line.substr(i, end - i));
        i = end;
    }
    return words;
}

double MicrosOf(const std::string& text) { return text == "-" ? -1 : std::stod(text); }

std::string ReadText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "";
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    return text;
}

// Pin 10's rising edges and the blind intervals of a VCD, in microseconds.
struct Trace {
    std::vector<long long> rising;
    std::vector<std::pair<long long, long long>> blind;
    long long longestBlind = 0;

    // Where in `period` most rising edges come.
    long long Phase(long long period) const {
        std::vector<long long> phases;
        for (long long t : rising) phases.push_back(t % period);
        if (phases.empty()) return 0;
        std::nth_element(phases.begin(), phases.begin() + phases.size() / 2, phases.end());
        return phases[phases.size() / 2];
    }

    // Edges seen outside blind intervals, plus the points of a grid of
    // `period` (phased as most edges are) that lie in blind intervals:
    // every edge of a signal of that period, seen or hidden.
    long long SeenOrBlind(long long period) const {
        const long long phase = Phase(period);
        // An edge found in the first samples after a blind interval came
        // in it: the interval's grid points count it.
        long long count = 0;
        for (long long t : rising) {
            bool afterBlind = false;
            for (const auto& b : blind) afterBlind = afterBlind || (t >= b.second && t <= b.second + 2);
            count += !afterBlind;
        }
        for (const auto& b : blind) {
            auto before = [&](long long t) { return (t - phase + 100 * period) / period; };
            count += before(b.second) - before(b.first);
        }
        return count;
    }

    // Blind intervals that begin or end within 2 us of the grid: whether
    // their edge counts as seen or hidden is a matter of rounding.
    long long AtTheGrid(long long period) const {
        const long long phase = Phase(period);
        auto nearGrid = [&](long long t) {
            const long long off = ((t - phase) % period + period) % period;
            return off <= 2 || off >= period - 2;
        };
        long long count = 0;
        for (const auto& b : blind) count += nearGrid(b.first) || nearGrid(b.second);
        return count;
    }
};

// The VCD's time unit in nanoseconds, from its $timescale.
long long UnitNs(const std::string& vcd) {
    const size_t at = vcd.find("$timescale ");
    if (at == std::string::npos) return 0;
    const long long count = std::stoll(vcd.substr(at + 11));
    return vcd.compare(vcd.find(' ', at + 11) + 1, 2, "us") == 0 ? count * 1000 : count;
}

// The last time in a VCD, in microseconds.
long long EndMicros(const std::string& vcd) {
    return NumberAfter(vcd.substr(vcd.rfind('#')), "#") * UnitNs(vcd) / 1000;
}

Trace ReadTrace(const std::string& vcd) {
    Trace trace;
    const long long unit = UnitNs(vcd);
    long long now = 0, blindFrom = 0;
    size_t at = vcd.find("$enddefinitions");
    for (size_t end; at != std::string::npos && (end = vcd.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = vcd.substr(at, end - at);
        if (line[0] == '#') now = std::stoll(line.substr(1)) * unit / 1000;
        if (line == "1!" && now > 0) trace.rising.push_back(now);
        if (line == "1&") blindFrom = now;
        if (line == "0&" && now > 0) {
            trace.blind.push_back({blindFrom, now});
            trace.longestBlind = std::max(trace.longestBlind, now - blindFrom);
        }
    }
    return trace;
}

long long Grouped(const std::string& text) { return NumberAfter(text, ""); }

struct Edges {
    long long rising = 0;
    long long falling = 0;
};

// Each wire's edges in a VCD, by its name: its changes after the level at
// the start, which $dumpvars gives first. Empty, with why in *error, for a
// file that is no VCD.
std::map<std::string, Edges> EdgesByWire(const std::string& text, std::string* error) {
    vcd::Dump dump;
    std::map<std::string, Edges> edges;
    if (!vcd::ReadVcd(text, &dump, error)) return edges;
    std::map<std::string, std::string> names;
    for (const vcd::Variable& wire : dump.variables) names[wire.code] = wire.reference;
    std::map<std::string, bool> started;
    for (const vcd::Change& change : dump.changes) {
        if (!started[change.code]) {
            started[change.code] = true;
            continue;
        }
        Edges& wire = edges[names[change.code]];
        ++(change.value == "1" ? wire.rising : wire.falling);
    }
    return edges;
}

// --watch --lines all for a second into a VCD: what it printed, and the
// edges of the file's wires.
struct AllLines {
    ProcessResult result;
    std::map<std::string, Edges> edges;

    // The edges of the wire `name`; none where it never changed.
    Edges Of(const std::string& name) const {
        const auto wire = edges.find(name);
        return wire == edges.end() ? Edges{} : wire->second;
    }
};

}  // namespace

TEST_F(Watch, SquareWaveOfOneKilohertzGivesAThousandEdgesOf500Microseconds) {
    port->SetWiring(vport::Wiring::None);
    ASSERT_TRUE(port->SetPulse({10, 1000, 500}));
    port->ClearLog();
    const std::string vcdPath = exe().substr(0, exe().rfind('\\')) + "\\square.vcd";
    const ProcessResult result = Run("--watch 0x378 --for 1 --vcd \"" + vcdPath + "\"");
    ASSERT_EQ(result.exitCode, 0u) << result.err << result.out;
    EXPECT_EQ(result.out.find("Watching the port at 0x378, reading only: nothing is written to the port\n"), 0u);
    EXPECT_TRUE(Has(result.out, "keeps one processor core busy")) << result.out;
    const std::vector<std::string> ack = Row(result.out, 10);
    ASSERT_EQ(ack.size(), 7u) << result.out;  // pin, signal, rising, falling, high, low, at the end
    EXPECT_EQ(ack[1], "/ACK");
    // Each of the 1,000 rising edges was seen, or fell in a blind interval
    // that the summary and the VCD report (Windows ran something else).
    const Trace trace = ReadTrace(ReadText(vcdPath));
    EXPECT_EQ(static_cast<long long>(trace.rising.size()), Grouped(ack[2]));
    // The recording ends at the first counter read after 1 s: a stall may
    // take it a little further.
    const std::string vcd = ReadText(vcdPath);
    const long long periods = (EndMicros(vcd) + 500) / 1000;
    EXPECT_GE(periods, 1000);
    EXPECT_NEAR(trace.SeenOrBlind(1000), periods, 2 + trace.AtTheGrid(1000)) << result.out;
    if (trace.longestBlind < 500) {
        EXPECT_NEAR(Grouped(ack[2]), periods, 2) << result.out;
    }
    EXPECT_NEAR(Grouped(ack[3]), Grouped(ack[2]), 1);
    EXPECT_NEAR(MicrosOf(ack[4]), 500, 25) << result.out;
    EXPECT_NEAR(MicrosOf(ack[5]), 500, 25);
    const std::vector<std::string> busy = Row(result.out, 11);
    ASSERT_EQ(busy.size(), 7u);
    EXPECT_EQ(busy[2] + busy[3] + busy[4] + busy[6], "00-high");

    // Every access is one of its reads: three to find the port, control
    // and the ECR to know which lines it shows, the calibration's, the first
    // sample and one per sample; no write at all.
    const std::string recorded = result.out.substr(result.out.find("Recorded "));
    const long long samples = NumberAfter(recorded, " s:");
    ASSERT_GT(samples, 2000) << result.out;
    EXPECT_EQ(static_cast<long long>(port->TotalAccesses()), 3 + 2 + 6 * portcheck::kCalibrationSamples + 1 + samples);
    for (const vport::Access& access : port->Log()) ASSERT_FALSE(access.write);
}

TEST_F(Watch, AllLinesShowWhatAnotherProgramWritesToDataAndControl) {
    port->SetIntruderPeriod(100);  // data 0x04, control 0x06, 0x07, 0x06 for 1 ms every 100 ms
    const ProcessResult result = Run("--watch --lines all --for 1 0x378");
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_TRUE(Has(result.out, "Lines: all 17 lines: data, status and control, three reads a sample;"));
    const std::vector<std::string> d2 = Row(result.out, 4);
    ASSERT_EQ(d2.size(), 7u) << result.out;
    EXPECT_EQ(d2[1], "D2");
    // Ten times in the second; a period in which Windows ran something else
    // instead of the loop until the hold was over leaves no trace.
    EXPECT_GE(Grouped(d2[2]), 1) << result.out;
    EXPECT_LE(Grouped(d2[2]), 11);
    // Its writes fall between the reads of one sample or another.
    EXPECT_TRUE(Has(result.out, "pin 4 D2 high") && Has(result.out, "pin 14 /AUTOFEED low"))
        << "a line per change";
    EXPECT_EQ(Row(result.out, 14)[1], "/AUTOFEED");
    EXPECT_EQ(Grouped(Row(result.out, 14)[3]), Grouped(d2[2])) << "control 0x06 puts /AUTOFEED low with D2";
    for (const vport::Access& access : port->Log()) ASSERT_TRUE(!access.write || access.intruder);
}

// The summary's edges of each line are those of its wire in the VCD.
void ExpectSummaryAsInTheVcd(const AllLines& all, std::initializer_list<int> pins) {
    for (int pin : pins) {
        const std::vector<std::string> row = Row(all.result.out, pin);
        ASSERT_EQ(row.size(), 7u) << "pin " << pin << "\n" << all.result.out;
        const Edges edges = all.Of(portcheck::WireName(PinAt(pin)));
        EXPECT_EQ(Grouped(row[2]), edges.rising) << "pin " << pin;
        EXPECT_EQ(Grouped(row[3]), edges.falling) << "pin " << pin;
    }
}

class WatchAllLines : public Watch {
protected:
    AllLines Record(const std::string& name) {
        AllLines all;
        const std::string vcdPath = exe().substr(0, exe().rfind('\\')) + "\\" + name + ".vcd";
        all.result = Run("--watch --lines all --for 1 --vcd \"" + vcdPath + "\" 0x378");
        std::string error;
        all.edges = EdgesByWire(ReadText(vcdPath), &error);
        EXPECT_EQ(error, "");
        return all;
    }
};

TEST_F(WatchAllLines, SignalsOnDataAndControlPinsAreRecordedWhereTheRegistersReadThePins) {
    port->SetWiring(vport::Wiring::None);
    port->SetReadbackFromPins(true);
    port->SetData(0xFF);     // the port holds every line high, and a device
    port->SetControl(0x04);  // pulls two of them low
    ASSERT_TRUE(port->SetPulse({5, 1000, 500}));         // D3, 1 kHz
    ASSERT_TRUE(port->SetUart({14, 9600, "Tarnwick"}));  // /AUTOFEED
    const AllLines all = Record("readback-pins");
    ASSERT_EQ(all.result.exitCode, 0u) << all.result.err;
    ExpectSummaryAsInTheVcd(all, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17});
    // A loaded machine hides some edges in blind intervals, never most of them.
    EXPECT_GT(all.Of("pin5_D3").rising, 100) << all.result.out;
    EXPECT_NEAR(MicrosOf(Row(all.result.out, 5)[4]), 500, 50) << all.result.out;
    EXPECT_GT(all.Of("pin14_nAUTOFEED").rising, 100) << all.result.out;
    EXPECT_TRUE(Has(all.result.out, "pin 5 D3 low")) << all.result.out;
    for (int pin : {2, 9, 1, 17}) EXPECT_EQ(Row(all.result.out, pin)[6], "high") << "as the port holds it";
}

TEST_F(WatchAllLines, DataPinsTurnedIntoInputsShowTheSignalAndControlReadFromTheLatchNone) {
    port->SetChip(vport::Chip::Ps2);
    port->SetWiring(vport::Wiring::None);
    port->SetControl(0x24);  // C5: the data pins are inputs; the control lines high
    ASSERT_TRUE(port->SetPulse({9, 1000, 500}));         // D7
    ASSERT_TRUE(port->SetUart({14, 9600, "Tarnwick"}));  // on the line, but control reads its latch
    const AllLines all = Record("ps2-inputs");
    ASSERT_EQ(all.result.exitCode, 0u) << all.result.err;
    ExpectSummaryAsInTheVcd(all, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17});
    EXPECT_GT(all.Of("pin9_D7").rising, 100) << all.result.out;
    const std::vector<std::string> autofeed = Row(all.result.out, 14);
    EXPECT_EQ(autofeed[2] + autofeed[3] + autofeed[6], "00high") << "no edge the register did not read";
}

TEST_F(Watch, WritesTheRecordingAsAVcdFile) {
    ASSERT_TRUE(port->SetUart({11, 9600, "Tarnwick"}));
    const std::string vcd = exe().substr(0, exe().rfind('\\')) + "\\uart.vcd";
    const ProcessResult result = Run("--watch 0x378 --for 1 --vcd \"" + vcd + "\"");
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    const std::string text = ReadText(vcd);
    // As fine as the samples: 100 ns or finer where they come faster than
    // 1 MHz, as on the virtual port under Wine (under emulation they may not).
    const long long perSecond = NumberAfter(result.out, " samples, ");
    ASSERT_GT(perSecond, 0) << result.out;
    EXPECT_GT(UnitNs(text), 0) << text.substr(0, 400);
    EXPECT_LE(UnitNs(text), perSecond > 2000000 ? 100 : 1000) << perSecond << " samples a second\n" << text.substr(0, 400);
    EXPECT_TRUE(Has(text, "$var wire 1 \" pin11_BUSY $end\n"));
    EXPECT_TRUE(Has(text, "$var wire 1 & blind $end\n"));
    EXPECT_TRUE(Has(text, "$dumpvars\n"));
    // 9600 baud: "Tarnwick" and its idle time repeat every 90 bits, some 107 times a second.
    const long long rising = Grouped(Row(result.out, 11)[2]);
    // A loaded machine hides some, or most, in blind intervals.
    EXPECT_GT(rising, 100) << result.out;
    EXPECT_GT(std::count(text.begin(), text.end(), '#'), 2 * rising);
    EXPECT_TRUE(text.size() > 2 && text.compare(text.size() - 1, 1, "\n") == 0);
    EXPECT_GE(EndMicros(text), 1000000) << "ends at the recording's end, 1 s in";
    EXPECT_TRUE(Has(result.out, "pulses narrower than ")) << result.out;
    EXPECT_TRUE(Has(text, "pulses narrower than ")) << "the rule in the VCD's header";
}

TEST_F(Watch, RefusesWhatItCannotDoBeforeTouchingThePort) {
    port->ClearLog();
    const ProcessResult vcd = Run("--watch 0x378 --for 1 --vcd Z:\\nowhere\\at\\all\\x.vcd");
    EXPECT_EQ(vcd.exitCode, 1u);
    EXPECT_EQ(vcd.err, "PortCheck: cannot write the VCD file \"Z:\\nowhere\\at\\all\\x.vcd\": no such folder\n");
    EXPECT_EQ(port->TotalAccesses(), 0u);

    const ProcessResult bad = Run("--watch --for 0 0x378");
    EXPECT_EQ(bad.exitCode, 2u);
    EXPECT_EQ(bad.err, "PortCheck: --for takes seconds from 1 to 604800, not '0'\n" + portcheck::ShortUsage());
    EXPECT_EQ(Run("--watch --lines some 0x378").exitCode, 2u);
    EXPECT_EQ(port->TotalAccesses(), 0u);

    const std::string vcdPath = exe().substr(0, exe().rfind('\\')) + "\\none.vcd";
    const ProcessResult noPort = Run("--watch --for 1 --vcd \"" + vcdPath + "\" 0x278");
    EXPECT_EQ(noPort.exitCode, 5u);
    EXPECT_EQ(noPort.err, "PortCheck: no parallel port answers at 0x278: data, status and control read 0xFF "
                          "(PortCheck --list shows the ports Windows knows)\n");
    const std::vector<vport::Access> log = port->Log();
    ASSERT_EQ(log.size(), 3u) << "three reads, and no latch written";
    for (const vport::Access& access : log) EXPECT_FALSE(access.write);
    EXPECT_EQ(GetFileAttributesA(vcdPath.c_str()), INVALID_FILE_ATTRIBUTES) << "no file of nothing recorded";
    EXPECT_EQ(GetFileAttributesA((vcdPath + ".partial").c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(RunBeside("watch-no-library", Beside::Nothing, "--watch --for 1 0x378").exitCode, 3u);
    const ProcessResult readOnly = RunBeside("watch-no-out32", Beside::LibraryWithoutOut32, "--watch --for 1 0x378");
    EXPECT_EQ(readOnly.exitCode, 0u) << "reading needs Inp32 only: " << readOnly.err;
}

TEST_F(Watch, AFileOfTheUsersIsReplacedOnlyByACompleteRecording) {
    const std::string vcdPath = exe().substr(0, exe().rfind('\\')) + "\\kept.vcd";
    {
        HANDLE file = CreateFileA(vcdPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "the user's", 10, &written, nullptr);
        CloseHandle(file);
    }
    const ProcessResult noPort = Run("--watch --for 1 --vcd \"" + vcdPath + "\" 0x278");
    EXPECT_EQ(noPort.exitCode, 5u);
    EXPECT_EQ(ReadText(vcdPath), "the user's") << "a run that records nothing leaves it as it was";
    const ProcessResult recorded = Run("--watch --for 1 --vcd \"" + vcdPath + "\" 0x378");
    ASSERT_EQ(recorded.exitCode, 0u) << recorded.err;
    EXPECT_TRUE(Has(recorded.out, "VCD file: \"" + vcdPath + "\", written as \"" + vcdPath +
                                      ".partial\" until the recording is complete; "))
        << recorded.out;
    EXPECT_TRUE(Has(recorded.out, " free on its disk\n")) << recorded.out;
    EXPECT_EQ(ReadText(vcdPath).compare(0, 9, "$comment "), 0);
    EXPECT_EQ(GetFileAttributesA((vcdPath + ".partial").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Watch, ControlLinesAreLeftOutWhereControlDoesNotReadBack) {
    port->SetChip(vport::Chip::NoReadback);
    ASSERT_TRUE(port->SetPulse({14, 100, 50}));  // on the line; the register still reads 0xFF
    const ProcessResult result = Run("--watch --lines all --for 1 0x378");
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    for (int pin : {1, 14, 16, 17}) EXPECT_TRUE(Row(result.out, pin).empty()) << pin << "\n" << result.out;
    EXPECT_EQ(Row(result.out, 2)[1], "D0");
    EXPECT_TRUE(Has(result.out, "  control lines (pins 1, 14, 16, 17) left out: the control register reads 0xFF, "
                                "so this port does not show them\n"))
        << result.out;
}

TEST_F(Watch, InAFifoModeTheDataLinesAndStrobeAreNotSeen) {
    port->SetChip(vport::Chip::Ecp);
    port->SetEcrMode(kEcrParallelFifo);
    const ProcessResult result = Run("--watch --lines all --for 1 0x378");
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    for (int pin = 1; pin <= 9; ++pin) EXPECT_TRUE(Row(result.out, pin).empty()) << pin << "\n" << result.out;
    EXPECT_EQ(Row(result.out, 14)[1], "/AUTOFEED");
    EXPECT_TRUE(Has(result.out, "(pins 1, 2, 3, 4, 5, 6, 7, 8, 9): not seen: the port is in ECR mode 010"))
        << result.out;
}

TEST_F(Watch, AConsoleThatReadsNothingStopsNeitherTheRecordingNorTheEnd) {
    ASSERT_TRUE(port->SetPulse({10, 20, 10}));  // 50 kHz: far more live lines than a console takes
    const std::string vcdPath = exe().substr(0, exe().rfind('\\')) + "\\unread.vcd";
    DWORD elapsedMs = 0;
    const ProcessResult result = vport_test::RunProcessUnread(
        exe(), "--watch 0x378 --for 2 --vcd \"" + vcdPath + "\"", 30000, &elapsedMs);
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    // Wine takes a second or two to start a program; the end is within one second of --for's.
    EXPECT_LT(elapsedMs, 2000u + 1000u + 5000u);
    const std::string text = ReadText(vcdPath);
    EXPECT_GE(EndMicros(text), 2000000) << "complete: its final time written";
    EXPECT_GT(ReadTrace(text).rising.size(), 1000u) << "every change in the file, whatever the console dropped";
}

TEST_F(Watch, MaxSizeStopsWithTheFileComplete) {
    ASSERT_TRUE(port->SetPulse({10, 10, 5}));  // 100 kHz: some 3 MB a second
    const std::string vcdPath = exe().substr(0, exe().rfind('\\')) + "\\limited.vcd";
    const ProcessResult result = Run("--watch 0x378 --for 60 --max-size 1 --vcd \"" + vcdPath + "\"");
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_TRUE(Has(result.out, "reached --max-size 1.0 MB: the recording stopped at ")) << result.out;
    const std::string text = ReadText(vcdPath);
    EXPECT_GE(text.size(), 1000000u);
    EXPECT_LT(text.size(), 1200000u);
    const long long end = EndMicros(text);
    EXPECT_GT(end, 0);
    EXPECT_LT(end, 30000000) << "stopped long before --for";
    EXPECT_TRUE(Has(text.substr(text.rfind('#')), "$comment blind intervals: ")) << "closed as a whole recording";
}
