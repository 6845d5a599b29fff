#include "WatchCommand.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "AddressProof.h"
#include "Calibration.h"
#include "ConsolePrinter.h"
#include "DriverCheck.h"
#include "EventQueue.h"
#include "EcrProbe.h"
#include "EventWriter.h"
#include "ExitCodes.h"
#include "PortCommand.h"
#include "PortLibrary.h"
#include "PortRegisters.h"
#include "Recorder.h"
#include "StopRequest.h"
#include "TextFormat.h"
#include "ThreadPlacement.h"
#include "VcdFile.h"
#include "VcdSize.h"
#include "WatchSummary.h"
#include "WatchText.h"
#include "WindowsError.h"

namespace portcheck {

namespace {

const DWORD kWriterPauseMs = 20;
// Counts of a second are printed once its last changes are surely drained.
const int64_t kSecondLagNs = 100000000;
// The VCD's text goes to the disk in pieces of this size, or every pause.
const size_t kVcdPieceBytes = 1 << 16;
const int64_t kFreeSpaceCheckNs = 1000000000;
const int64_t kNsPerSecond = 1000000000;

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

// What the threads share. The recording thread sets `start` and `timing`
// before `started`, and `endTick` before `done`.
struct Recording {
    const CheckOptions* options = nullptr;
    PortReadEntry read = nullptr;
    int64_t frequency = 1;
    ThreadPlacement placement;
    ShownLines shown;
    EventQueue queue;
    RecordStart start;
    SampleTiming timing;
    int64_t unitNs = 1000;
    int64_t endTick = 0;
    std::atomic<bool> started{false};
    std::atomic<bool> done{false};
    std::atomic<bool> writerStop{false};  // the file can take no more
};

struct StopCheck {
    const Recording* recording;
    bool operator()() const {
        return StopRequest::Requested() || recording->writerStop.load(std::memory_order_relaxed);
    }
};

// While the queue is full: the writer needs the processor.
struct LetTheWriterRun {
    void operator()() const { Sleep(1); }
};

template <class Reader>
void RecordWith(Recording& r, Reader reader) {
    PerformanceCounter counter;
    const double nsPerTick = 1e9 / static_cast<double>(r.frequency);
    SampleTiming scratch(RuleFor(nsPerTick, 0, 1));
    const Calibration calibration =
        Calibrate(reader, counter, nsPerTick, [&scratch](int64_t since, int64_t tick) { scratch.Block(since, tick, 1); });
    r.start.mask = r.shown.mask;
    r.start.stride = calibration.stride;
    r.start.sample = reader() & r.start.mask;
    r.start.tick = counter();
    if (r.options->seconds > 0) r.start.endTick = r.start.tick + int64_t(r.options->seconds) * r.frequency;
    r.timing = SampleTiming(RuleFor(nsPerTick, calibration.sampleNs, calibration.stride));
    r.unitNs = VcdUnitNs(calibration.sampleNs);
    r.started.store(true);
    StopCheck stop{&r};
    r.endTick = Record(reader, counter, stop, r.start, r.timing, r.queue, LetTheWriterRun());
}

DWORD WINAPI RecordingThread(void* context) {
    Recording& r = *static_cast<Recording*>(context);
    // The thread's boundary: nothing thrown may leave it.
    try {
        if (r.placement.recorderProcessor != 0)
            SetThreadAffinityMask(GetCurrentThread(), static_cast<DWORD_PTR>(r.placement.recorderProcessor));
        SetThreadPriority(GetCurrentThread(), r.placement.recorderPriority);
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

// The events made into the VCD file and the live lines, apart from the
// console, until the recording thread is done; then the file completed.
class Writer {
public:
    Writer(Recording& r, VcdFile& file, SharedBacklog& backlog)
        : r_(r), file_(file), backlog_(backlog), scale_(r.frequency, r.start.tick),
          events_(r.shown.pins, r.start.sample, r.timing.rule(), scale_, file.open() ? &vcd_ : nullptr) {
        limit_.maxBytes = static_cast<uint64_t>(r.options->maxSizeMb) * 1000 * 1000;
    }

    void Run() {
        backlog_.Add(events_.Begin("PortCheck --watch at " + Hex(r_.options->base) + ": " +
                                       ChoiceOf(r_.options->lines).what,
                                   r_.unitNs));
        int64_t nextSpaceCheck = 0;
        for (bool done = false; !done;) {
            done = r_.done.load();
            std::string text = Drain();
            PerformanceCounter counter;
            const int64_t now = scale_.Ns(counter());
            text += events_.Reached(counter() - scale_.TicksIn(kSecondLagNs / 1e9));
            backlog_.Add(text);
            WriteVcd(now >= nextSpaceCheck);
            if (now >= nextSpaceCheck) nextSpaceCheck = now + kFreeSpaceCheckNs;
            if (!firstSecondTold_ && now >= kNsPerSecond && file_.open()) {
                firstSecondTold_ = true;
                backlog_.Add(MinuteText(file_.written() + vcd_.pending().size()) + "\n");
            }
            if (!done) Sleep(kWriterPauseMs);
        }
        Finish();
    }

    const std::vector<LineRecord>& lines() const { return events_.lines(); }
    SizeStop sizeStop() const { return sizeStop_; }
    bool failed() const { return failed_; }

private:
    std::string Drain() {
        std::string text;
        WatchEvent event;
        while (r_.queue.TryPop(&event)) {
            text += events_.Take(event);
            if (vcd_.pending().size() >= kVcdPieceBytes) WriteVcd(false);
        }
        return text;
    }

    // Hands the VCD's text to the file; asks for a stop when the file can
    // take no more.
    void WriteVcd(bool checkSpace) {
        if (!file_.open() || failed_) return;
        if (!file_.Write(vcd_.pending())) {
            failed_ = true;
            r_.writerStop.store(true);
            return;
        }
        uint64_t free = 0;
        const bool freeKnown = checkSpace && file_.FreeBytes(&free);
        if (sizeStop_ != SizeStop::None) return;
        sizeStop_ = limit_.Check(file_.written(), freeKnown, free);
        if (sizeStop_ != SizeStop::None) r_.writerStop.store(true);
    }

    void Finish() {
        backlog_.Add(Drain() + events_.End(r_.endTick, BlindText(r_.timing.blind())));
        if (!file_.open()) return;
        if (file_.Write(vcd_.pending()) && file_.Commit()) return;
        failed_ = true;
    }

    Recording& r_;
    VcdFile& file_;
    SharedBacklog& backlog_;
    TickScale scale_;
    VcdText vcd_;
    EventWriter events_;
    SizeLimit limit_;
    SizeStop sizeStop_ = SizeStop::None;
    bool failed_ = false;
    bool firstSecondTold_ = false;
};

DWORD WINAPI WriterThread(void* context) {
    Writer& writer = *static_cast<Writer*>(context);
    try {
        writer.Run();
    } catch (...) {
    }
    return 0;
}

// The ECR's mode, read only where it is found without guessing (an ISA
// base, below 0x400) and looks like one: FIFO flags empty, not an alias
// of control. -1 otherwise.
int EcrModeAt(const PortLibrary& library, int base, uint8_t control) {
    if (base >= kLowestPciBase) return -1;
    const uint8_t ecr = uint8_t(library.read(static_cast<short>(base + kIsaExtendedOffset + kEcrInBlock)));
    if (ecr == control || (ecr & kEcrFifoFlags) != kEcrFifoEmpty) return -1;
    return ecr >> kEcrModeShift;
}

WatchTotals TotalsOf(const Recording& r) {
    WatchTotals totals;
    totals.seconds = static_cast<double>(r.endTick - r.start.tick) / static_cast<double>(r.frequency);
    totals.samples = r.timing.samples();
    totals.medianNs = r.timing.MedianNs();
    totals.longestNs = r.timing.longestNs();
    totals.rule = r.timing.rule();
    totals.blind = r.timing.blind();
    return totals;
}

HANDLE Start(LPTHREAD_START_ROUTINE routine, void* context) {
    return CreateThread(nullptr, 0, routine, context, 0, nullptr);
}

uint64_t ProcessMask() {
    DWORD_PTR process = 0, system = 0;
    return GetProcessAffinityMask(GetCurrentProcess(), &process, &system) ? process : 0;
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
    VcdFile file;
    if (!options.vcdPath.empty() && !file.Open(options.vcdPath)) {
        std::fprintf(stderr, "PortCheck: %s\n", file.error().c_str());
        return kExitFault;
    }
    PortLibrary library;
    if (const std::string unreachable = BindForPort(&library, options.base, true); !unreachable.empty()) {
        std::fputs(unreachable.c_str(), stderr);
        return kExitNoPortLibrary;
    }
    ConsolePrinter console;
    if (!console.running()) {
        std::fprintf(stderr, "PortCheck: cannot start the console thread: %s\n", WindowsErrorText(GetLastError()).c_str());
        return kExitFault;
    }
    const std::string unreported = UnreportedDriverNote(library);
    std::fputs(unreported.c_str(), stderr);
    if (const std::string unproved = ProveByReading(library.read, options.base, options.force); !unproved.empty()) {
        std::fputs(unproved.c_str(), stderr);
        return kExitNoPort;
    }
    console.Show(WatchHeadline(options));  // only once there is a port to watch
    Recording recording;
    recording.options = &options;
    recording.read = library.read;
    const uint8_t control = uint8_t(library.read(static_cast<short>(options.base + kControlOffset)));
    const int ecrMode = EcrModeAt(library, options.base, control);
    recording.shown = LinesShown(options.lines, control, ecrMode,
                                 ecrMode < 0 ? std::string() : EcrModeText(static_cast<uint8_t>(ecrMode)));
    std::string before = recording.shown.leftOut;
    uint64_t free = 0;
    if (file.open())
        before += "VCD file: \"" + options.vcdPath + "\", written as \"" + file.partialPath() +
                  "\" until the recording is complete" +
                  (file.FreeBytes(&free) ? "; " + Megabytes(static_cast<double>(free)) + " free on its disk" : "") +
                  "\n";
    console.Show(before);
    StopRequest::Install();
    recording.placement = PlaceThreads(ProcessMask());
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    recording.frequency = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    HANDLE recorder = Start(&RecordingThread, &recording);
    if (recorder == nullptr) {
        std::fprintf(stderr, "PortCheck: cannot start the recording thread: %s\n",
                     WindowsErrorText(GetLastError()).c_str());
        return kExitFault;
    }
    while (!recording.started.load() && !recording.done.load()) Sleep(1);
    Writer writer(recording, file, console.backlog());
    HANDLE writing = Start(&WriterThread, &writer);
    if (writing == nullptr) {
        // Without them the loop must stop at once; the file is dropped.
        recording.writerStop.store(true);
        WaitForSingleObject(recorder, INFINITE);
        std::fprintf(stderr, "PortCheck: cannot start the writing thread: %s\n",
                     WindowsErrorText(GetLastError()).c_str());
        return kExitFault;
    }
    SetThreadPriority(writing, recording.placement.writerPriority);
    WaitForSingleObject(writing, INFINITE);
    WaitForSingleObject(recorder, INFINITE);
    CloseHandle(writing);
    CloseHandle(recorder);
    int code = kExitOk;
    std::string end = WatchSummary(TotalsOf(recording), writer.lines(), recording.shown.leftOut);
    const double seconds = TotalsOf(recording).seconds;
    if (writer.failed()) {
        end += "PortCheck: " + file.error() + "; the recording stopped there\n";
        code = kExitFault;
    } else if (writer.sizeStop() != SizeStop::None) {
        end += "PortCheck: " + SizeStopText(writer.sizeStop(), options.vcdPath,
                                            static_cast<uint64_t>(options.maxSizeMb) * 1000 * 1000, seconds) + "\n";
        if (writer.sizeStop() == SizeStop::DiskFull) code = kExitFault;
    }
    console.Show(end);
    if (ReadZeroThroughout(writer.lines())) std::fputs(unreported.c_str(), stderr);
    StopRequest::PortRestored();  // nothing to put back: a closing console may end the process now
    return code;
}

}  // namespace portcheck
