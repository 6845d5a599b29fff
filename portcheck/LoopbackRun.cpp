#include "LoopbackRun.h"

namespace portcheck {

namespace {

constexpr int kStatusOffset = 1;

class Port {
public:
    Port(const PortLibrary& library, int base) : library_(library), base_(base) {}

    uint8_t Read(int offset) const {
        return static_cast<uint8_t>(library_.read(static_cast<short>(base_ + offset)));
    }
    void Write(OutputRegister reg, uint8_t value) const {
        library_.write(static_cast<short>(base_ + static_cast<int>(reg)), value);
    }

private:
    const PortLibrary& library_;
    int base_;
};

// Puts data and control back as found when the run ends, also by an
// exception.
class RestoreOnExit {
public:
    RestoreOnExit(const Port& port, Registers found) : port_(port), found_(found) {}
    ~RestoreOnExit() {
        port_.Write(OutputRegister::Data, found_.data);
        port_.Write(OutputRegister::Control, found_.control);
    }
    RestoreOnExit(const RestoreOnExit&) = delete;
    RestoreOnExit& operator=(const RestoreOnExit&) = delete;

private:
    const Port& port_;
    Registers found_;
};

}  // namespace

RunRecord RunPatterns(const PortLibrary& library, int base, const LoopbackPlug& plug,
                      bool (*stopRequested)()) {
    const Port port(library, base);
    RunRecord record;
    const std::vector<Levels>& patterns = TestPatterns();
    // Reserved before the port is touched: nothing below can throw.
    record.observations.reserve(patterns.size());
    record.found.data = port.Read(static_cast<int>(OutputRegister::Data));
    record.found.control = port.Read(static_cast<int>(OutputRegister::Control));
    const RestoreOnExit restore(port, record.found);

    Registers current = record.found;
    for (Levels levels : patterns) {
        if (stopRequested()) {
            record.interrupted = true;
            break;
        }
        // Only a register whose value changes is written.
        const Registers next = RegistersFor(plug, levels, record.found);
        if (next.data != current.data) port.Write(OutputRegister::Data, next.data);
        if (next.control != current.control) port.Write(OutputRegister::Control, next.control);
        current = next;
        // The first read gives the lines time to settle on a long cable; the
        // second is the one that counts.
        port.Read(kStatusOffset);
        record.observations.push_back({levels, InputLevels(plug, port.Read(kStatusOffset))});
    }
    return record;
}

}  // namespace portcheck
