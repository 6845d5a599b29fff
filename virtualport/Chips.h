// The kinds of port chip the virtual port can be, one row each: its name
// and summary for the console, and what the chip model asks of it. Every
// chip has data, status and control at base..base+2; the rows say where the
// chips differ, as real ones do (ChipModel.h has what the registers do).
//
// A new chip is one enumerator and one row, in the same order (the compiler
// checks both); code of its own in ChipModel.cpp only where it behaves
// unlike every row before it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "TableOrder.h"

namespace vport {

enum class Chip : uint8_t {
    Ideal,
    Spp,
    Ps2,
    Ecp,
    FragileEcr,
    Epp,
    NoReadback,
    EppBlocking,
    Ps2Zero,
    FixedMode,
    FixedLines,
    Isa10Bit,
    Count,  // not a chip: how many there are; a new chip goes before it
};
inline constexpr int kChipCount = static_cast<int>(Chip::Count);

// What a chip has beyond data, status and control.
enum ChipTrait : uint32_t {
    // The extended block (base + 0x400, or a block of its own): FIFO,
    // config B and the ECR.
    kEcr = 1u << 0,
    // The EPP registers at base+3..base+7 and the time-out flag in status bit 0.
    kEppRegisters = 1u << 1,
    // Control bit 5 set makes the data pins inputs.
    kDirectionBit = 1u << 2,
    // Drops every data and control write while the EPP time-out is set, as
    // some chips ignore SPP cycles then.
    kIgnoresSppWhileTimedOut = 1u << 3,
    // A PCI part whose driver writes ECR bits 4-0 as 00001: a write of the
    // ECR with bit 2 set locks it up (every register reads 0xFF and takes no
    // write until reset); bit 2 written as 0 raises no service interrupt.
    kLocksUpOnEcrBit2 = 1u << 4,
    // The card sets the ECR's mode (bits 7-5) from its EEPROM: an ECR write
    // keeps the mode and takes the rest.
    kEcrModeFixed = 1u << 5,
    // Decodes 10 address bits, as old ISA cards do: every 0x400 from the
    // base the same registers answer again (base+0x402 is control).
    kTenBitDecode = 1u << 6,
};

struct ChipTraits {
    Chip chip;
    const char* name;     // the console's name for it: "fragile-ecr"
    const char* summary;  // what it does, for `chip` and --help
    uint32_t traits;      // ChipTraits it has
    // A read of control gives (latch & controlKept) | controlSet.
    uint8_t controlKept;
    uint8_t controlSet;

    constexpr bool Has(uint32_t trait) const { return (traits & trait) != 0; }
};

constexpr uint32_t kPs2Traits = kDirectionBit;
constexpr uint32_t kEcpTraits = kEcr | kDirectionBit;

// chip, name, summary, traits, control kept, control set
inline constexpr ChipTraits kChipTraits[] = {
    {Chip::Ideal, "ideal", "reads back all it was written; the data pins always drive", 0, 0xFF, 0x00},
    {Chip::Spp, "spp", "control bits 5-7 read 1; the data pins always drive", 0, 0x1F, 0xE0},
    {Chip::Ps2, "ps2", "C5 set turns the data pins into inputs; C6 and C7 read 1", kPs2Traits, 0x3F, 0xC0},
    {Chip::Ecp, "ecp", "ps2 with the extended block: FIFO, config B, ECR 0x15 (see ecr-mode)", kEcpTraits, 0x3F, 0xC0},
    {Chip::FragileEcr, "fragile-ecr", "ecp as a PCI part written 00001 in ECR bits 4-0: bit 2 written as 1 locks it up",
     kEcpTraits | kLocksUpOnEcrBit2, 0x3F, 0xC0},
    {Chip::Epp, "epp", "spp; accesses of base+3..+7 set the EPP time-out, status bit 0", kEppRegisters, 0x1F, 0xE0},
    {Chip::NoReadback, "no-readback", "spp whose control register reads 0xFF", 0, 0x00, 0xFF},
    {Chip::EppBlocking, "epp-blocking", "epp that ignores data and control writes while its time-out is set",
     kEppRegisters | kIgnoresSppWhileTimedOut, 0x1F, 0xE0},
    {Chip::Ps2Zero, "ps2-zero", "ps2 whose control bits 5-7 read 0 (C5 still turns the pins around)", kPs2Traits, 0x1F, 0x00},
    {Chip::FixedMode, "fixed-mode", "fragile-ecr whose card sets the mode from its EEPROM: an ECR write keeps the mode",
     kEcpTraits | kLocksUpOnEcrBit2 | kEcrModeFixed, 0x3F, 0xC0},
    {Chip::FixedLines, "fixed-lines", "ps2 whose control bits 0-3 read 0100 whatever is written (the lines still follow)",
     kPs2Traits, 0x30, 0xC4},
    {Chip::Isa10Bit, "isa-10bit", "spp decoding 10 address bits: base+0x400..+0x402 are data, status and control again",
     kTenBitDecode, 0x1F, 0xE0},
};
static_assert(RowsInOrder(kChipTraits, &ChipTraits::chip, kChipCount),
              "a row of kChipTraits for every chip, in the order of Chip");

// The row of `chip`, which must be one (PortState refuses any other).
constexpr const ChipTraits& TraitsOf(Chip chip) { return kChipTraits[static_cast<int>(chip)]; }

constexpr bool IsChip(Chip chip) { return static_cast<int>(chip) < kChipCount; }
constexpr bool HasEcr(Chip chip) { return TraitsOf(chip).Has(kEcr); }
constexpr bool HasEppRegisters(Chip chip) { return TraitsOf(chip).Has(kEppRegisters); }
constexpr bool HasDirectionBit(Chip chip) { return TraitsOf(chip).Has(kDirectionBit); }
constexpr uint8_t ControlReadBack(Chip chip, uint8_t latch) {
    return static_cast<uint8_t>((latch & TraitsOf(chip).controlKept) | TraitsOf(chip).controlSet);
}

}  // namespace vport
