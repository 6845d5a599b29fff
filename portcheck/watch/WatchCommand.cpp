#include "WatchCommand.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "AddressProof.h"
#include "Calibration.h"
#include "DriverCheck.h"
#include "EventQueue.h"
#include "ExitCodes.h"
#include "WindowsError.h"
#include "LineStats.h"
#include "LiveOutput.h"
#include "PortCommand.h"
#include "PortLibrary.h"
#include "PortRegisters.h"
#include "Recorder.h"
#include "StopRequest.h"
#include "TextFormat.h"
#include "VcdWriter.h"
#include "WatchSummary.h"
#include "WatchText.h"

namespace portcheck {

namespace {

const DWORD kWriterPauseMs = 20;
// Counts of a second are printed once its last changes are surely drained.
const int64_t kSecondLagNs = 100000000;

struct PerformanceCounter {
    int64_t operator()() const {
        LARGE_INTEGER count;
        QueryPerformanceCounter(&count);
        return count.QuadPart;
    }
};

// A sample through the library's Inp32: the status register alone, or all three.
struct InputsReader {
    PortReadEntry read;
    short status;
    uint32_t operator()() const { return uint32_t(uint8_t(read(status))) << 8; }
};

struct AllReader {
    PortReadEntry read;
    short data, status, control;
    uint32_t operator()() const {
        return uint32_t(uint8_t(read(data))) | uint32_t(uint8_t(read(status))) << 8 |
               uint32_t(uint8_t(read(control))) << 16;
    }
};

// What the two threads share. The recording thread sets `start` and
// `timing` before `started`, and `endTick` before `done`.
struct Recording {
    const CheckOptions* options = nullptr;
    PortReadEntry read = nullptr;
    int64_t frequency = 1;
    EventQueue queue;
    RecordStart start;
    SampleTiming timing{1, 0};
    int64_t endTick = 0;
    std::atomic<bool> started{false};
    std::atomic<bool> done{false};
    std::atomic<bool> writerFailed{false};
};

struct StopCheck {
    const Recording* recording;
    bool operator()() const {
        return StopRequest::Requested() || recording->writerFailed.load(std::memory_order_relaxed);
    }
};

template <class Reader>
void RecordWith(Recording& r, Reader reader) {
    PerformanceCounter counter;
    const double nsPerTick = 1e9 / static_cast<double>(r.frequency);
    const Calibration calibration = Calibrate(reader, counter, nsPerTick);
    r.start.mask = SampleMask(r.options->lines);
    r.start.stride = calibration.stride;
    r.start.sample = reader() & r.start.mask;
    r.start.tick = counter();
    if (r.options->seconds > 0) r.start.endTick = r.start.tick + int64_t(r.options->seconds) * r.frequency;
    r.timing = SampleTiming(nsPerTick, calibration.sampleNs);
    r.started.store(true);
    StopCheck stop{&r};
    r.endTick = Record(reader, counter, stop, r.start, r.timing, r.queue);
}

DWORD WINAPI RecordingThread(void* context) {
    Recording& r = *static_cast<Recording*>(context);
    // The thread's boundary: nothing thrown may leave it.
    try {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
        const short base = static_cast<short>(r.options->base);
        if (r.options->lines == WatchedLines::Inputs)
            RecordWith(r, InputsReader{r.read, static_cast<short>(base + kStatusOffset)});
        else
            RecordWith(r, AllReader{r.read, static_cast<short>(base + kDataOffset),
                                    static_cast<short>(base + kStatusOffset),
                                    static_cast<short>(base + kControlOffset)});
    } catch (...) {
    }
    r.done.store(true);
    return 0;
}

void Show(const std::string& text) {
    if (text.empty()) return;
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

// The program's own thread: everything the recording thread hands over,
// printed and written, until it is done.
class Writer {
public:
    Writer(Recording& r, VcdWriter& vcd)
        : r_(r), vcd_(vcd), pins_(WatchedPins(r.options->lines)), live_(pins_),
          scale_(r.frequency, r.start.tick), stats_(pins_, r.start.sample), last_(r.start.sample) {}

    void Begin() {
        Show(live_.Start(last_));
        if (vcd_.open())
            vcd_.Begin(pins_, last_, "PortCheck --watch at " + Hex(r_.options->base) + ": " +
                                         ChoiceOf(r_.options->lines).what);
    }

    // Until the recording thread is done; then what is left.
    void Run() {
        for (bool done = false; !done;) {
            done = r_.done.load();
            std::string text = Drain();
            PerformanceCounter counter;
            text += live_.Reached(scale_.Ns(counter()) - kSecondLagNs);
            Show(text);
            if (vcd_.open() && !vcd_.Flush()) r_.writerFailed.store(true);
            if (!done) Sleep(kWriterPauseMs);
        }
        Show(live_.Reached(scale_.Ns(r_.endTick)));
        if (vcd_.open()) vcd_.Close(scale_.Micros(r_.endTick), BlindText(r_.timing.blind(), r_.timing.MedianNs()));
    }

    const std::vector<LineRecord>& lines() const { return stats_.lines(); }

private:
    std::string Drain() {
        std::string text;
        WatchEvent event;
        while (r_.queue.TryPop(&event)) {
            if (event.kind == WatchEvent::Blind) {
                if (vcd_.open()) vcd_.Blind(scale_.Micros(event.since), scale_.Micros(event.tick));
                continue;
            }
            const int64_t ns = scale_.Ns(event.tick);
            text += live_.Change(last_, event.sample, ns);
            if (vcd_.open()) vcd_.Change(ns / 1000, last_, event.sample);
            stats_.Change(event.sample, ns, event.kind == WatchEvent::Change);
            last_ = event.sample;
        }
        return text;
    }

    Recording& r_;
    VcdWriter& vcd_;
    std::vector<const Pin*> pins_;
    LiveOutput live_;
    TickScale scale_;
    LineStats stats_;
    uint32_t last_;
};

WatchTotals TotalsOf(const Recording& r) {
    WatchTotals totals;
    totals.seconds = static_cast<double>(r.endTick - r.start.tick) / static_cast<double>(r.frequency);
    totals.samples = r.timing.samples();
    totals.medianNs = r.timing.MedianNs();
    totals.longestNs = r.timing.longestNs();
    totals.blind = r.timing.blind();
    return totals;
}

}  // namespace

std::string WatchHeadline(const CheckOptions& options) {
    return "Watching the port at " + Hex(options.base) + ", reading only: nothing is written to the port\n" +
           "Lines: " + ChoiceOf(options.lines).what + "; " +
           (options.seconds > 0 ? "for " + std::to_string(options.seconds) + " s or until Ctrl+C"
                                : std::string("until Ctrl+C")) +
           ". The recording keeps one processor core busy.\n";
}

int RunWatch(const CheckOptions& options) {
    VcdWriter vcd;
    if (!options.vcdPath.empty() && !vcd.Open(options.vcdPath)) {
        std::fprintf(stderr, "PortCheck: %s\n", vcd.error().c_str());
        return kExitFault;
    }
    PortLibrary library;
    if (const std::string unreachable = BindForPort(&library, options.base, true); !unreachable.empty()) {
        std::fputs(unreachable.c_str(), stderr);
        vcd.Discard();
        return kExitNoPortLibrary;
    }
    Show(WatchHeadline(options));
    if (const std::string unproved = ProveByReading(library.read, options.base, options.force); !unproved.empty()) {
        std::fputs(unproved.c_str(), stderr);
        vcd.Discard();
        return kExitNoPort;
    }
    StopRequest::Install();
    Recording recording;
    recording.options = &options;
    recording.read = library.read;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    recording.frequency = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    HANDLE thread = CreateThread(nullptr, 0, &RecordingThread, &recording, 0, nullptr);
    if (thread == nullptr) {
        std::fprintf(stderr, "PortCheck: cannot start the recording thread: %s\n", WindowsErrorText(GetLastError()).c_str());
        return kExitFault;
    }
    while (!recording.started.load() && !recording.done.load()) Sleep(1);
    Writer writer(recording, vcd);
    writer.Begin();
    writer.Run();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    Show(WatchSummary(TotalsOf(recording), writer.lines()));
    StopRequest::PortRestored();  // nothing to put back: a closing console may end the process now
    if (recording.writerFailed.load()) {
        std::fprintf(stderr, "PortCheck: %s; the recording stopped there\n", vcd.error().c_str());
        return kExitFault;
    }
    return kExitOk;
}

}  // namespace portcheck
