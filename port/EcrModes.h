// The modes of an ECP port's extended control register (ECR bits 7-5), as
// the ECP register description numbers them, with the names PortCheck and
// the port console show. Mode changes go through standard or PS/2: never
// from one FIFO mode straight to another.
#pragma once

#include <cstdint>

// ISA ports have their extended block (FIFO, config B, ECR) at base + 0x400;
// PCI cards put it in a range of their own.
inline constexpr int kIsaExtendedOffset = 0x400;

enum EcrMode : uint8_t {
    kEcrStandard = 0,       // SPP: data writes go to the pins, which always drive
    kEcrPs2 = 1,            // bidirectional: control bit 5 turns the data pins into inputs
    kEcrParallelFifo = 2,   // data writes go into the FIFO, sent out with hardware strobes
    kEcrEcpFifo = 3,        // as 2, with the ECP protocol (the port drives pins 1 and 14)
    kEcrEpp = 4,
    kEcrReserved = 5,
    kEcrTestFifo = 6,       // the FIFO filled and emptied by software
    kEcrConfiguration = 7,  // the extended block shows the chip's configuration
};

inline constexpr const char* kEcrModeNames[8] = {
    "standard (SPP)", "PS/2 (bidirectional)", "parallel-port FIFO", "ECP FIFO",
    "EPP",            "reserved",             "test FIFO",          "configuration",
};
