#include "PortState.h"

#include <windows.h>

#include <new>

#include "PinModel.h"
#include "SharedLayout.h"
#include "SharedLock.h"

namespace vport {

struct PortState::Shared : SharedLayout {};

namespace {

const char kDefaultName[] = "TarnwickVirtualPort";
const char kNameVariable[] = "TARNWICK_VPORT";

// One log entry in 32 bits: bit 25 driver stopped, bit 24 write, bits 8-23
// port, bits 0-7 value.
uint32_t PackAccess(const Access& a) {
    return (a.driverStopped ? 1u << 25 : 0u) | (a.write ? 1u << 24 : 0u) | uint32_t(a.port) << 8 |
           a.value;
}

Access UnpackAccess(uint32_t packed) {
    return Access{(packed >> 24 & 1) != 0, uint16_t(packed >> 8), uint8_t(packed),
                  (packed >> 25 & 1) != 0};
}

std::string SystemMessage(DWORD code) {
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                          text[length - 1] == ' '))
        text[--length] = '\0';
    return "error " + std::to_string(code) + (length > 0 ? " (" + std::string(text) + ")" : "");
}

void PowerUp(SharedLayout& s) {
    s.data = 0;
    s.control = 0;
    s.statusForced = 0;
    s.forcedStatus = 0;
    s.wiring = static_cast<uint32_t>(Wiring::DataLoopback);
    s.pulledLow = 0;
    s.armedReads = 0;
    s.armedOffset = 0;
    s.armedValue = 0;
    s.driverStopped = 0;
    s.totalAccesses = 0;
}

PinInputs PinInputsOf(const SharedLayout& s) {
    PinInputs inputs;
    inputs.data = s.data;
    inputs.control = s.control;
    inputs.wiring = static_cast<Wiring>(s.wiring);
    inputs.pulledLow = s.pulledLow;
    return inputs;
}

uint8_t StatusOf(const SharedLayout& s) {
    return s.statusForced ? s.forcedStatus : StatusFromPins(PinInputsOf(s));
}

void SetRegister(SharedLayout& s, uint32_t offset, uint8_t value) {
    switch (offset) {
    case 0: s.data = value; break;
    case 1: s.statusForced = 1; s.forcedStatus = value; break;
    case 2: s.control = value; break;
    default: break;  // offset 3 has no register
    }
}

void Record(SharedLayout& s, bool write, uint16_t port, uint8_t value) {
    const Access access{write, port, value, s.driverStopped != 0};
    s.log[s.totalAccesses % kLogCapacity] = PackAccess(access);
    ++s.totalAccesses;
}

// Appends the retained accesses numbered `from` on to *out.
void CopyLog(const SharedLayout& s, uint64_t from, uint64_t* first, std::vector<Access>* out) {
    const uint64_t total = s.totalAccesses;
    const uint64_t oldestKept = total > kLogCapacity ? total - kLogCapacity : 0;
    const uint64_t start = from > oldestKept ? from : oldestKept;
    for (uint64_t n = start; n < total; ++n)
        out->push_back(UnpackAccess(s.log[n % kLogCapacity]));
    if (first != nullptr) *first = start < total ? start : total;
}

// Takes a freshly created (zero-filled) block into use, or checks that an
// existing one is ours. The magic is written last, so a block carrying it
// is complete.
bool Adopt(SharedLayout& s, std::string* why) {
    if (s.magic == 0) {
        SharedLock lock(&s.lockOwner);
        if (s.magic == 0) {
            s.version = kSharedVersion;
            s.size = sizeof(SharedLayout);
            PowerUp(s);
            MemoryBarrier();
            s.magic = kSharedMagic;
        }
    }
    if (s.magic != kSharedMagic) {
        *why = "it holds something other than a port state";
        return false;
    }
    if (s.version != kSharedVersion || s.size != sizeof(SharedLayout)) {
        *why = "it is a port state of another version (" + std::to_string(s.version) +
               ") than this program's (" + std::to_string(kSharedVersion) + ")";
        return false;
    }
    return true;
}

}  // namespace

std::string PortState::SharedName() {
    std::string name(GetEnvironmentVariableA(kNameVariable, nullptr, 0), '\0');
    if (!name.empty()) name.resize(GetEnvironmentVariableA(kNameVariable, &name[0], name.size()));
    return "Local\\" + (name.empty() ? std::string(kDefaultName) : name);
}

PortState* PortState::Open(std::string* error) {
    std::string why;
    const std::string name = SharedName();
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(Shared), name.c_str());
    if (mapping == nullptr) {
        why = SystemMessage(GetLastError());
    } else {
        void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
        MEMORY_BASIC_INFORMATION region = {};
        if (view == nullptr) {
            why = SystemMessage(GetLastError());
        } else if (VirtualQuery(view, &region, sizeof region) == 0 ||
                   region.RegionSize < sizeof(Shared)) {
            why = "it is smaller than a port state";
        } else if (Adopt(*static_cast<Shared*>(view), &why)) {
            PortState* state = new (std::nothrow) PortState;
            if (state != nullptr) {
                state->shared_ = static_cast<Shared*>(view);
                state->mapping_ = mapping;
                return state;
            }
            why = "out of memory";
        }
        if (view != nullptr) UnmapViewOfFile(view);
        CloseHandle(mapping);
    }
    if (error != nullptr) *error = "cannot use the shared port state \"" + name + "\": " + why;
    return nullptr;
}

PortState* PortState::CreatePrivate() {
    void* block = VirtualAlloc(nullptr, sizeof(Shared), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (block == nullptr) return nullptr;
    std::string unused;
    Adopt(*static_cast<Shared*>(block), &unused);  // a zeroed block is always adopted
    PortState* state = new (std::nothrow) PortState;
    if (state == nullptr) {
        VirtualFree(block, 0, MEM_RELEASE);
        return nullptr;
    }
    state->shared_ = static_cast<Shared*>(block);
    return state;
}

PortState::~PortState() {
    if (mapping_ != nullptr) {
        UnmapViewOfFile(shared_);
        CloseHandle(mapping_);
    } else {
        VirtualFree(shared_, 0, MEM_RELEASE);
    }
}

uint8_t PortState::Read(uint16_t port) {
    SharedLock lock(&shared_->lockOwner);
    Shared& s = *shared_;
    if (s.driverStopped) {
        // Without its driver the library reaches no port: 0, and no armed
        // change counts the read.
        Record(s, false, port, 0);
        return 0;
    }
    uint8_t value;
    switch (port & 3) {
    case 0: value = s.data; break;
    case 1: value = StatusOf(s); break;
    case 2: value = s.control; break;
    default: value = 0xFF; break;
    }
    Record(s, false, port, value);
    if (s.armedReads != 0 && --s.armedReads == 0)
        SetRegister(s, s.armedOffset, static_cast<uint8_t>(s.armedValue));
    return value;
}

void PortState::Write(uint16_t port, uint8_t value) {
    SharedLock lock(&shared_->lockOwner);
    Shared& s = *shared_;
    // The status register and offset 3 take no writes; none lands without the driver.
    if (!s.driverStopped && ((port & 3) == 0 || (port & 3) == 2)) SetRegister(s, port & 3, value);
    Record(s, true, port, value);
}

bool PortState::DriverRunning() const {
    SharedLock lock(&shared_->lockOwner);
    return shared_->driverStopped == 0;
}

void PortState::SetDriverRunning(bool running) {
    SharedLock lock(&shared_->lockOwner);
    shared_->driverStopped = running ? 0 : 1;
}

uint8_t PortState::Data() const {
    SharedLock lock(&shared_->lockOwner);
    return shared_->data;
}

uint8_t PortState::Control() const {
    SharedLock lock(&shared_->lockOwner);
    return shared_->control;
}

uint8_t PortState::Status() const {
    SharedLock lock(&shared_->lockOwner);
    return StatusOf(*shared_);
}

bool PortState::StatusForced() const {
    SharedLock lock(&shared_->lockOwner);
    return shared_->statusForced != 0;
}

void PortState::SetData(uint8_t value) {
    SharedLock lock(&shared_->lockOwner);
    shared_->data = value;
}

void PortState::SetControl(uint8_t value) {
    SharedLock lock(&shared_->lockOwner);
    shared_->control = value;
}

bool PortState::PinLevel(int pin) const {
    SharedLock lock(&shared_->lockOwner);
    return vport::PinLevel(PinInputsOf(*shared_), pin);
}

Wiring PortState::GetWiring() const {
    SharedLock lock(&shared_->lockOwner);
    return static_cast<Wiring>(shared_->wiring);
}

void PortState::SetWiring(Wiring wiring) {
    if (!IsValidWiring(wiring)) return;
    SharedLock lock(&shared_->lockOwner);
    shared_->wiring = static_cast<uint32_t>(wiring);
}

bool PortState::SetInputPin(int pin, bool high) {
    if (!IsInputPin(pin)) return false;
    SharedLock lock(&shared_->lockOwner);
    if (high)
        shared_->pulledLow &= ~(1u << pin);
    else
        shared_->pulledLow |= 1u << pin;
    return true;
}

void PortState::ForceStatus(uint8_t value) {
    SharedLock lock(&shared_->lockOwner);
    SetRegister(*shared_, 1, value);
}

void PortState::ClearForcedStatus() {
    SharedLock lock(&shared_->lockOwner);
    shared_->statusForced = 0;
}

void PortState::ArmChange(uint32_t reads, int offset, uint8_t value) {
    if (offset < 0 || offset > 2) return;
    SharedLock lock(&shared_->lockOwner);
    Shared& s = *shared_;
    s.armedReads = reads;
    s.armedOffset = static_cast<uint32_t>(offset);
    s.armedValue = value;
    if (reads == 0) SetRegister(s, s.armedOffset, value);
}

std::vector<Access> PortState::Log() const {
    std::vector<Access> accesses;
    accesses.reserve(kLogCapacity);
    SharedLock lock(&shared_->lockOwner);
    CopyLog(*shared_, 0, nullptr, &accesses);
    return accesses;
}

uint64_t PortState::TotalAccesses() const {
    SharedLock lock(&shared_->lockOwner);
    return shared_->totalAccesses;
}

void PortState::ClearLog() {
    SharedLock lock(&shared_->lockOwner);
    shared_->totalAccesses = 0;
}

std::vector<Access> PortState::TakeLog(uint64_t from, uint64_t* first, bool clear) {
    std::vector<Access> accesses;
    accesses.reserve(kLogCapacity);  // before locking: allocating may take a while
    SharedLock lock(&shared_->lockOwner);
    CopyLog(*shared_, from, first, &accesses);
    if (clear) shared_->totalAccesses = 0;
    return accesses;
}

void PortState::Reset() {
    SharedLock lock(&shared_->lockOwner);
    PowerUp(*shared_);
}

}  // namespace vport
