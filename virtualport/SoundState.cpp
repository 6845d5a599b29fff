#include "SoundState.h"

#include "PortState.h"
#include "SignalGenerator.h"

namespace vport {

bool IsSoundState(const SharedLayout& s, std::string* why) {
    bool timesKnown = true;  // the counter's microseconds, never before it started
    for (int64_t since : s.settleSince) timesKnown = timesKnown && since >= 0;
    bool settingsInRange = true;
    for (const SettingRow& row : kSettingRows) {
        const uint32_t value = SettingOf(s, row.id);
        settingsInRange = settingsInRange && value >= row.least && value <= MostOf(row);
    }
    const struct {
        bool holds;
        const char* what;
    } checks[] = {
        {settingsInRange, "settings"},
        {s.chip < kChipCount, "chip"},
        {IsValidBase(s.base) && s.extendedBase % 4 == 0, "address"},
        {s.fifoHead < kFifoSize && s.fifoCount <= kFifoSize, "FIFO"},
        {s.settleMicros <= kMaxSettleMicros && timesKnown, "settling time"},
        {s.intruderPeriodMs <= kMaxIntruderPeriodMs && s.intruderStart >= 0 && s.intruderPeriod >= -1 &&
             s.intruderHoldEnd >= 0,
         "other program's polling"},
        {SignalsSound(s), "signals"},
        {s.serial.received <= kSerialFifoSize && s.serial.receiveHead < kSerialFifoSize && s.serial.base % 8 == 0,
         "serial port"},
    };
    for (const auto& check : checks)
        if (!check.holds) {
            *why = std::string("it holds a port state no port could be in (its ") + check.what + ")";
            return false;
        }
    return true;
}

}  // namespace vport
