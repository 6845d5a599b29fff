// The port's settings that are one value each: one word out of a few, or a
// number in a range. A row here makes all of it: the value in the shared
// state (power-up value included), the console's command and its errors,
// its line in `show`, what the console says once it is set, and its text in
// --help. The code that acts on a setting reads it with SettingOf.
//
// A new setting is one enumerator and one row, in the same order (the
// compiler checks both). It changes the state file's layout, and with it
// the file's version (kSharedVersion counts the settings).
#pragma once

#include <cstdint>

#include "Chips.h"
#include "TableOrder.h"

namespace vport {

enum class SettingId : uint8_t {
    Wiring,    // a Wiring
    Driver,    // 0 stopped, 1 running
    EppClear,  // an EppClear
    Readback,  // 0 the latches, 1 the pins
    Count,     // not a setting: how many there are; a new one goes before it
};
inline constexpr int kSettingCount = static_cast<int>(SettingId::Count);

// One word a setting takes; its value is the word's place among them.
struct SettingWord {
    const char* word;   // as typed: "pins"
    const char* shown;  // what it means, in `show` and once set: "data and control bits 0-3 read the pins"
};

inline constexpr int kMostSettingWords = 4;

struct SettingRow {
    SettingId id;
    const char* command;  // "readback"
    const char* what;     // what its value is, for "missing ...": "source"
    // The words it takes, or none: then a number from `least` to `most`,
    // shown followed by `unit`.
    SettingWord words[kMostSettingWords];
    uint32_t least;
    uint32_t most;
    const char* unit;
    uint32_t powerUp;
    // `show`'s label for its line, listed always or only away from power-up;
    // null: `show` has it elsewhere.
    const char* label;
    bool shownAlways;
    const char* setPrefix;  // what the console says once it is set, before `shown`
    // The ChipTrait of the chips it matters to (a note on the others); 0: every chip.
    uint32_t usedBy;
    const char* help;  // for --help, lines apart by '\n'
};

inline constexpr SettingRow kSettingRows[] = {
    {SettingId::Wiring, "wiring", "value",
     {{"none", "none"}, {"data", "data loopback"}, {"control", "control loopback"}}, 0, 0, "",
     1, "wiring", true, "wiring ", 0,
     "nothing, data loopback or control loopback"},
    {SettingId::Driver, "driver", "state", {{"stopped", "stopped"}, {"running", "running"}}, 0, 0, "",
     1, "driver", true, "driver ", 0,
     "the library's port driver: stopped, the port\n"
     "reads 0 and takes no writes, as before the\n"
     "library has been run as administrator"},
    {SettingId::EppClear, "epp-clear", "way",
     {{"write", "writing it as 1"}, {"write-0", "writing it as 0"}, {"read-twice", "two status reads in a row"}},
     0, 0, "", 0, nullptr, false, "EPP time-out cleared by ", kEppRegisters,
     "how an epp chip's time-out flag clears: by writing\n"
     "status with bit 0 set (power-up), with it clear, or\n"
     "by reading status twice in a row"},
    {SettingId::Readback, "readback", "source",
     {{"latch", "data and control read the latches"}, {"pins", "data and control bits 0-3 read the pins"}},
     0, 0, "", 0, "readback", false, "", 0,
     "where data and control bits 0-3 read from: the\n"
     "latches (power-up), or the lines, where a pin held\n"
     "low reads low even while driven high (a short)"},
};

static_assert(RowsInOrder(kSettingRows, &SettingRow::id, kSettingCount),
              "a row of kSettingRows for every setting, in the order of SettingId");

constexpr const SettingRow& RowOf(SettingId id) { return kSettingRows[static_cast<int>(id)]; }

// How many words the row takes; 0: a number.
constexpr int WordCount(const SettingRow& row) {
    int count = 0;
    while (count < kMostSettingWords && row.words[count].word != nullptr) ++count;
    return count;
}

// The largest value the setting takes.
constexpr uint32_t MostOf(const SettingRow& row) {
    return WordCount(row) > 0 ? static_cast<uint32_t>(WordCount(row) - 1) : row.most;
}

}  // namespace vport
