// The virtual port's state file as another program, another version or a
// damaged disk may have left it: the first byte of the input says whether
// the rest is the whole file, or the port's state after the magic and
// version of this one (the lock's holder and the size field are the
// input's too; the size of the file is right), the rest of the file zero.
// Whatever it holds, opening the port either refuses it or gives a port
// that every access, the console's picture and the log handle without a
// fault or a wait.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Clock.h"
#include "ConsoleText.h"
#include "PortState.h"
#include "SharedLayout.h"

using namespace vport;

namespace {

const char kPortName[] = "TarnwickFuzzedPort";
constexpr size_t kHeaderBytes = offsetof(SharedLayout, lockOwner);
constexpr uint64_t kLatest = 64;

int64_t g_now = 0;
int64_t SteppingClock() { return g_now += 997; }  // some micros per look, the same in every run

bool WriteStateFile(const uint8_t* bytes, size_t size) {
    const std::string path = PortState::FilePath();
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (file < 0) return false;
    const bool written = write(file, bytes, size) == static_cast<ssize_t>(size);
    close(file);
    return written;
}

// A file of this version's size and header with `data` after the header;
// one buffer for every run, its tail always zero.
const std::vector<uint8_t>& StateOfThisVersion(const uint8_t* data, size_t size) {
    static std::vector<uint8_t> file(sizeof(SharedLayout), 0);
    static size_t lastSize = 0;
    SharedLayout header = {};
    header.magic = kSharedMagic;
    header.version = kSharedVersion;
    std::memcpy(file.data(), &header, kHeaderBytes);
    size = std::min(size, file.size() - kHeaderBytes);
    std::fill(file.begin() + kHeaderBytes + size, file.begin() + kHeaderBytes + std::max(size, lastSize), 0);
    std::memcpy(file.data() + kHeaderBytes, data, size);
    lastSize = size;
    return file;
}

// Every register the chip may answer at, read, peeked and written, and
// what the console shows of it.
void UsePort(PortState& port) {
    const PortSettings settings = port.Settings();
    const uint16_t places[] = {settings.base, settings.extendedBase, settings.serial.base};
    for (uint16_t first : places)
        for (uint16_t offset = 0; offset < 8; ++offset) {
            const uint16_t at = static_cast<uint16_t>(first + offset);
            port.Peek(at);
            port.Write(at, port.Read(at));
            port.Write(at, static_cast<uint8_t>(0xA5 ^ offset));
            port.Read(at);
        }
    for (int pin = 1; pin <= 25; ++pin) port.PinLevel(pin);
    FormatSnapshot(TakeSnapshot(port));
    // The latest accesses only: the whole log is the same code 65536 times.
    const uint64_t total = port.TotalAccesses();
    uint64_t first = 0;
    for (const Access& access : port.TakeLog(total > kLatest ? total - kLatest : 0, &first, true))
        FormatAccess(access);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TARNWICK_VPORT", kPortName, 1);
    SetClockForTesting(&SteppingClock);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool wholeFile = data[0] & 1;
    g_now = 0;
    if (wholeFile ? !WriteStateFile(data + 1, size - 1) : !WriteStateFile(StateOfThisVersion(data + 1, size - 1).data(), sizeof(SharedLayout)))
        std::abort();
    std::string error;
    bool foreign = false;
    std::unique_ptr<PortState> port(PortState::Open(&error, &foreign));
    if (port == nullptr) {
        if (error.empty()) std::abort();  // a refusal says why
        return 0;
    }
    UsePort(*port);
    return 0;
}
