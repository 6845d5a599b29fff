#include "PortState.h"

#include <atomic>
#include <cstring>
#include <new>

#include "AccessLog.h"
#include "ChipModel.h"
#include "Clock.h"
#include "Intruder.h"
#include "LineTiming.h"
#include "PinModel.h"
#include "SharedLayout.h"
#include "SharedLock.h"
#include "SoundState.h"
#include "StateFile.h"

namespace vport {

struct PortState::Shared : SharedLayout {};

namespace {

const char kDefaultName[] = "TarnwickVirtualPort";
const char kNameVariable[] = "TARNWICK_VPORT";

// Everything after the header, up to the log, starts from zero: nothing
// of an earlier life of the port survives a reset.
void PowerUp(SharedLayout& s) {
    std::memset(&s.data, 0, offsetof(SharedLayout, log) - offsetof(SharedLayout, data));
    for (const SettingRow& row : kSettingRows) s.settings[static_cast<int>(row.id)] = row.powerUp;
    s.base = kPowerUpBase;
    s.extendedBase = kPowerUpBase + kIsaExtendedOffset;
    s.extendedAuto = 1;
    s.chip = static_cast<uint8_t>(Chip::Ideal);
}

void SetRegister(SharedLayout& s, uint32_t offset, uint8_t value) {
    switch (offset) {
    case 0:
    case 2: SetLatch(s, static_cast<int>(offset), value); break;
    case 1: s.statusForced = 1; s.forcedStatus = value; break;
    default: break;
    }
}

int InputIndex(int pin) {
    for (int i = 0; i < kInputCount; ++i)
        if (kInputPins[i] == pin) return i;
    return -1;
}

// Takes a freshly created (zero-filled) block into use, or checks that an
// existing one is ours. The magic is written last, so a block carrying it
// is complete.
bool Adopt(SharedLayout& s, const MappedFile& file, std::string* why) {
    // A process killed holding the lock left its number in the file; waiting
    // for it to end would wait for whatever process has that number now.
    if (file.alone && (s.magic == 0 || (s.magic == kSharedMagic && s.version == kSharedVersion)))
        SharedLock::ReleaseEnded(&s.lockOwner, static_cast<LONG>(file.lockOwner));
    if (s.magic == 0) {
        SharedLock lock(&s.lockOwner);
        if (s.magic == 0) {
            s.version = kSharedVersion;
            s.size = sizeof(SharedLayout);
            PowerUp(s);
            std::atomic_thread_fence(std::memory_order_seq_cst);
            s.magic = kSharedMagic;
        }
    }
    if (s.magic != kSharedMagic) {
        *why = "it holds something other than a port state";
        return false;
    }
    if (s.version != kSharedVersion || s.size != sizeof(SharedLayout)) {
        *why = AnotherVersion(s.version);
        return false;
    }
    SharedLock lock(&s.lockOwner);
    return IsSoundState(s, why);
}

}  // namespace

bool IsValidBase(uint32_t base) { return base <= 0xFFFC && base % 4 == 0; }

std::string PortState::Name() {
    const std::string name = EnvironmentValue(kNameVariable);
    return name.empty() ? kDefaultName : name;
}

std::string PortState::SharedName() { return "Local\\" + Name(); }

std::string PortState::FilePath() { return StateFilePath(Name()); }

PortState* PortState::Open(std::string* error, bool* foreign) {
    const std::string name = Name();
    std::string why;
    MappedFile mapped;
    bool unusable = false;
    if (IsValidPortName(name, &why) &&
        MapStateFile(name, SharedName(), sizeof(Shared), &mapped, &why, &unusable)) {
        unusable = !Adopt(*static_cast<Shared*>(mapped.view), mapped, &why);
        if (!unusable) {
            if (PortState* state = new (std::nothrow) PortState) {
                state->shared_ = static_cast<Shared*>(mapped.view);
                state->mapping_ = mapped.mapping;
                return state;
            }
            why = "out of memory";
        }
        UnmapStateFile(mapped);
    }
    if (error != nullptr)
        *error = "cannot use the port state \"" + name + "\" kept in " + FilePath() + ": " + why;
    if (foreign != nullptr) *foreign = unusable;
    return nullptr;
}

PortState* PortState::Recreate(std::string* error) {
    const std::string name = Name();
    std::string why;
    if (IsValidPortName(name, &why) && EmptyStateFile(name, SharedName(), &why)) return Open(error);
    if (error != nullptr)
        *error = "cannot make a new port state \"" + name + "\" in " + FilePath() + ": " + why;
    return nullptr;
}

PortState* PortState::CreatePrivate() {
    void* block = NewPrivateBlock(sizeof(Shared));
    if (block == nullptr) return nullptr;
    std::string unused;
    Adopt(*static_cast<Shared*>(block), MappedFile{}, &unused);  // a zeroed block is always adopted
    PortState* state = new (std::nothrow) PortState;
    if (state == nullptr) {
        FreePrivateBlock(block);
        return nullptr;
    }
    state->shared_ = static_cast<Shared*>(block);
    return state;
}

PortState::~PortState() {
    if (mapping_ != nullptr)
        UnmapStateFile(MappedFile{mapping_, shared_});
    else
        FreePrivateBlock(shared_);
}

uint8_t PortState::Read(uint16_t port) {
    uint8_t value = 0;
    int64_t spend = 0;
    {
        SharedLock lock(&shared_->lockOwner);
        Shared& s = *shared_;
        IntruderCatchUp(s);
        spend = ReadTime(s);
        if (!SettingOf(s, SettingId::Driver)) {
            // Without its driver the library reaches no port: 0, and no armed
            // change counts the read.
            Record(s, Access{false, port, 0, true});
        } else {
            value = ChipRead(s, port, true);
            Record(s, Access{false, port, value});
            if (s.armedReads != 0 && --s.armedReads == 0)
                SetRegister(s, s.armedOffset, static_cast<uint8_t>(s.armedValue));
        }
    }
    // The read's time is spent outside the lock: other programs' reads go on.
    SpendNanos(spend);
    return value;
}

int64_t PortState::ReadTime(const Shared& s) {
    int64_t nanos = SettingOf(s, SettingId::ReadCost);
    const uint32_t every = SettingOf(s, SettingId::StallEvery);
    if (every != 0 && ++readsSinceStall_ >= every) {
        readsSinceStall_ = 0;
        nanos += int64_t(SettingOf(s, SettingId::Stall)) * 1000;
    }
    return nanos;
}

void PortState::Write(uint16_t port, uint8_t value) {
    SharedLock lock(&shared_->lockOwner);
    Shared& s = *shared_;
    IntruderCatchUp(s);
    const bool stopped = !SettingOf(s, SettingId::Driver);
    if (!stopped) ChipWrite(s, port, value);
    Record(s, Access{true, port, value, stopped});
}

uint8_t PortState::Peek(uint16_t port) const {
    SharedLock lock(&shared_->lockOwner);
    IntruderCatchUp(*shared_);
    return ChipRead(*shared_, port, false);
}

bool PortState::DriverRunning() const { return Get(SettingId::Driver) != 0; }

void PortState::SetDriverRunning(bool running) { Set(SettingId::Driver, running ? 1 : 0); }

uint8_t PortState::Data() const {
    SharedLock lock(&shared_->lockOwner);
    IntruderCatchUp(*shared_);
    return shared_->data;
}

uint8_t PortState::Control() const {
    SharedLock lock(&shared_->lockOwner);
    IntruderCatchUp(*shared_);
    return shared_->control;
}

uint8_t PortState::Status() const { return Peek(static_cast<uint16_t>(shared_->base + 1)); }

bool PortState::StatusForced() const {
    SharedLock lock(&shared_->lockOwner);
    return shared_->statusForced != 0;
}

void PortState::SetData(uint8_t value) {
    SharedLock lock(&shared_->lockOwner);
    SetLatch(*shared_, 0, value);
}

void PortState::SetControl(uint8_t value) {
    SharedLock lock(&shared_->lockOwner);
    SetLatch(*shared_, 2, value);
}

bool PortState::PinLevel(int pin) const {
    SharedLock lock(&shared_->lockOwner);
    Shared& s = *shared_;
    IntruderCatchUp(s);
    const int input = InputIndex(pin);
    if (input >= 0) return (ShownInputLevels(s, false) >> input) & 1;
    return vport::PinLevel(PinInputsNow(s), pin);
}

bool PortState::DataPinsDrive() const {
    SharedLock lock(&shared_->lockOwner);
    return vport::DataPinsDrive(*shared_);
}

Wiring PortState::GetWiring() const { return static_cast<Wiring>(Get(SettingId::Wiring)); }

void PortState::SetWiring(Wiring wiring) { Set(SettingId::Wiring, static_cast<uint32_t>(wiring)); }

bool PortState::SetInputPin(int pin, bool high) {
    if (!IsInputPin(pin) && !IsDataPin(pin) && !IsControlPin(pin)) return false;
    SharedLock lock(&shared_->lockOwner);
    Shared& s = *shared_;
    if (high)
        s.pulledLow &= ~(1u << pin);
    else
        s.pulledLow |= 1u << pin;
    if (int input = InputIndex(pin); input >= 0) s.looseEvery[input] = 0;
    return true;
}

bool PortState::SetLoosePin(int pin, uint32_t every) {
    const int input = InputIndex(pin);
    if (input < 0 || every < 2) return false;
    SharedLock lock(&shared_->lockOwner);
    Shared& s = *shared_;
    s.pulledLow &= ~(1u << pin);
    s.looseEvery[input] = every;
    s.statusReads = 0;
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

void PortState::SetChip(Chip chip) {
    if (static_cast<int>(chip) >= kChipCount) return;
    SharedLock lock(&shared_->lockOwner);
    shared_->chip = static_cast<uint8_t>(chip);
    ChipPowerUp(*shared_);
}

bool PortState::SetBase(uint16_t base) {
    if (!IsValidBase(base)) return false;
    SharedLock lock(&shared_->lockOwner);
    Shared& s = *shared_;
    if (!s.extendedAuto && BlocksOverlap(base, s.extendedBase)) return false;
    s.base = base;
    return true;
}

bool PortState::SetExtendedBlock(uint16_t start) {
    if (start % 4 != 0) return false;
    SharedLock lock(&shared_->lockOwner);
    Shared& s = *shared_;
    if (BlocksOverlap(s.base, start)) return false;
    s.extendedBase = start;
    s.extendedAuto = 0;
    return true;
}

void PortState::SetExtendedBlockAuto() {
    SharedLock lock(&shared_->lockOwner);
    shared_->extendedAuto = 1;
}

void PortState::SetEcrMode(uint8_t mode) {
    SharedLock lock(&shared_->lockOwner);
    Shared& s = *shared_;
    s.fifoCount = s.fifoHeld = 0;
    SetEcr(s, static_cast<uint8_t>(mode << 5 | (s.ecr & 0x1C)));
}

void PortState::SetEppClear(EppClear way) { Set(SettingId::EppClear, static_cast<uint32_t>(way)); }

void PortState::SetSettleMicros(uint32_t micros, bool risingOnly) {
    SharedLock lock(&shared_->lockOwner);
    shared_->settleMicros = micros <= kMaxSettleMicros ? micros : kMaxSettleMicros;
    shared_->settleRisingOnly = risingOnly ? 1 : 0;
    shared_->settling = 0;
}

bool PortState::HoldFifo(uint32_t bytes) {
    SharedLock lock(&shared_->lockOwner);
    Shared& s = *shared_;
    const uint8_t mode = s.ecr >> 5;
    if (!HasEcr(static_cast<Chip>(s.chip)) || (mode != 2 && mode != 3) || bytes > kFifoSize) return false;
    for (uint32_t n = 0; n < bytes; ++n) s.fifo[(s.fifoHead + n) % kFifoSize] = static_cast<uint8_t>(n);
    s.fifoCount = static_cast<uint8_t>(bytes);
    s.fifoHeld = bytes != 0;
    return true;
}

void PortState::SetReadbackFromPins(bool fromPins) { Set(SettingId::Readback, fromPins ? 1 : 0); }

bool PortState::Set(SettingId id, uint32_t value) {
    if (static_cast<int>(id) >= kSettingCount || value > MostOf(RowOf(id)) || value < RowOf(id).least) return false;
    SharedLock lock(&shared_->lockOwner);
    shared_->settings[static_cast<int>(id)] = value;
    return true;
}

uint32_t PortState::Get(SettingId id) const {
    if (static_cast<int>(id) >= kSettingCount) return 0;
    SharedLock lock(&shared_->lockOwner);
    return SettingOf(*shared_, id);
}

bool PortState::SetSerialPort(bool on, uint16_t start) {
    if (on && start % 8 != 0) return false;
    SharedLock lock(&shared_->lockOwner);
    SerialPowerUp(shared_->serial, on, start);
    return true;
}

bool PortState::SerialReceive(const std::vector<uint8_t>& bytes) {
    SharedLock lock(&shared_->lockOwner);
    if (!shared_->serial.on) return false;
    for (uint8_t byte : bytes) vport::SerialReceive(shared_->serial, byte);
    return true;
}

bool PortState::RaiseSerialErrors(uint8_t bits) {
    SharedLock lock(&shared_->lockOwner);
    if (!shared_->serial.on) return false;
    SerialRaiseErrors(shared_->serial, bits);
    return true;
}

bool PortState::SetSerialModemLines(uint8_t lines) {
    SharedLock lock(&shared_->lockOwner);
    if (!shared_->serial.on) return false;
    vport::SerialSetModemLines(shared_->serial, lines);
    return true;
}

void PortState::SetIntruderPeriod(uint32_t ms) {
    SharedLock lock(&shared_->lockOwner);
    SetIntruder(*shared_, ms <= kMaxIntruderPeriodMs ? ms : kMaxIntruderPeriodMs);
}

bool PortState::SetPulse(const PulseSignal& pulse) {
    SharedLock lock(&shared_->lockOwner);
    return SetPulseSignal(*shared_, pulse);
}

bool PortState::SetUart(const UartSignal& uart) {
    SharedLock lock(&shared_->lockOwner);
    return SetUartSignal(*shared_, uart);
}

PortSettings PortState::Settings() const {
    SharedLock lock(&shared_->lockOwner);
    const Shared& s = *shared_;
    PortSettings settings;
    settings.chip = static_cast<Chip>(s.chip);
    settings.base = s.base;
    settings.extendedBase = ExtendedBlockStart(s);
    settings.extendedAuto = s.extendedAuto != 0;
    settings.ecr = EcrValue(s);
    settings.fifoCount = s.fifoCount;
    settings.lockedUp = s.lockedUp != 0;
    settings.eppTimeout = s.eppTimeout != 0;
    settings.heldLow = s.pulledLow;
    settings.settleMicros = s.settleMicros;
    for (int i = 0; i < kInputCount; ++i) settings.looseEvery[i] = s.looseEvery[i];
    settings.intruderPeriodMs = s.intruderPeriodMs;
    settings.intruderHolding = s.intruderHolding != 0;
    settings.signals = SignalsOf(s);
    settings.settleRisingOnly = s.settleRisingOnly != 0;
    for (int n = 0; n < kSettingCount; ++n) settings.values[n] = s.settings[n];
    settings.fifoHeld = s.fifoHeld != 0;
    settings.serviceInterrupts = s.serviceInterrupts;
    settings.strobesSent = s.strobesSent;
    settings.serial = s.serial;
    return settings;
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
