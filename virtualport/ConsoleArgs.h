// The port console's command line, parsed into a command without touching
// the port, so every argument error can be reported before anything changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PortState.h"

namespace vport {

enum class ConsoleAction {
    Help,
    Show,
    Watch,
    SetPin,
    ForceStatus,
    AutoStatus,
    SetSetting,
    PrintLog,
    Reset,
    SetBase,
    SetExtendedBlock,
    SetChip,
    SetEcrMode,
    SetSettle,
    SetIntruder,
    ReadPort,
    WritePort,
    SetSignal,
    HoldFifo,
    SetSerial,
    SerialReceive,
    SerialErrors,
    SerialModem,
};

struct ConsoleCommand {
    ConsoleAction action = ConsoleAction::Help;
    int pin = 0;              // SetPin
    bool high = true;         // SetPin
    uint32_t looseEvery = 0;  // SetPin: non-zero makes the pin loose instead
    uint8_t status = 0;       // ForceStatus
    SettingId setting = SettingId::Wiring;  // SetSetting: which (Settings.h)
    uint32_t settingValue = 0;               // SetSetting: its value
    uint32_t watchCount = 0;  // Watch: 0 runs until Ctrl+C
    uint32_t watchIntervalMs = 250;
    bool clearLog = false;    // PrintLog
    uint64_t logSince = 0;    // PrintLog
    uint16_t address = 0;     // SetBase, ReadPort, WritePort; SetExtendedBlock unless extendedAuto
    uint8_t value = 0;        // WritePort
    bool extendedAuto = false;
    Chip chip = Chip::Ideal;
    uint8_t ecrMode = 0;      // 0..7
    uint32_t settleMicros = 0;
    uint32_t intruderMs = 0;  // 0: off
    bool uart = false;        // SetSignal: the UART line rather than the pulse
    PortSignals signals;      // SetSignal: the one it sets; pin 0: off
    bool settleRising = false;     // SetSettle: only rising inputs wait
    uint32_t fifoBytes = 0;        // HoldFifo
    bool serialOn = false;         // SetSerial, at `address`
    std::vector<uint8_t> serialBytes;  // SerialReceive
    uint8_t serialBits = 0;        // SerialErrors: line status bits 4-1; SerialModem: modem status bits 7-4
};

struct ParsedCommand {
    bool ok = false;
    ConsoleCommand command;
    std::string error;  // when !ok: what is wrong, for the user
};

// args: the arguments after the program name.
ParsedCommand ParseConsoleArgs(const std::vector<std::string>& args);

// Reads a number in decimal or 0x hex; false for anything else, or a value
// above `max`.
bool ParseNumber(const std::string& text, uint64_t max, uint64_t* value);

std::string ConsoleUsage();

}  // namespace vport
