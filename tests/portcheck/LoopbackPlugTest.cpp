// The plug tables checked against the virtual port's pin model: the
// register values for each pattern put exactly those levels on the output
// pins, leave the other bits as found, and the status they make reads back
// as the same levels through the plug's wiring.
#include <gtest/gtest.h>

#include "LoopbackPlug.h"
#include "LoopbackVerdict.h"
#include "PinModel.h"

using namespace portcheck;

namespace {

void ExpectPlugMatchesWiring(const LoopbackPlug& plug, vport::Wiring wiring, Registers found) {
    const uint8_t plugData = wiring == vport::Wiring::DataLoopback ? 0x1F : 0x01;
    const uint8_t plugControl = wiring == vport::Wiring::ControlLoopback ? 0x0F : 0x00;
    for (Levels levels : TestPatterns()) {
        const Registers values = RegistersFor(plug, levels, found);
        EXPECT_EQ(values.data & ~plugData, found.data & ~plugData) << int(levels);
        EXPECT_EQ(values.control & ~plugControl, found.control & ~plugControl) << int(levels);
        const vport::PinInputs pins{values.data, values.control, wiring, 0};
        for (int i = 0; i < kPairs; ++i) {
            const WiredPair& pair = plug.pairs[i];
            EXPECT_EQ(vport::WiredSource(wiring, pair.input.number), pair.output.number);
            EXPECT_EQ(vport::PinLevel(pins, pair.output.number), ((levels >> i) & 1) != 0)
                << plug.name << " pin " << pair.output.number << " levels " << int(levels);
        }
        EXPECT_EQ(InputLevels(plug, vport::StatusFromPins(pins)), levels) << int(levels);
    }
}

}  // namespace

TEST(LoopbackPlug, DataPlugDrivesD0ToD4AndReadsThemBack) {
    ExpectPlugMatchesWiring(kDataPlug, vport::Wiring::DataLoopback, {0xA0, 0x0B});
    ExpectPlugMatchesWiring(kDataPlug, vport::Wiring::DataLoopback, {0x5F, 0xF4});
}

TEST(LoopbackPlug, ControlPlugDrivesTheControlLinesAndD0AndReadsThemBack) {
    ExpectPlugMatchesWiring(kControlPlug, vport::Wiring::ControlLoopback, {0xFE, 0x0B});
    ExpectPlugMatchesWiring(kControlPlug, vport::Wiring::ControlLoopback, {0x00, 0xF4});
}

TEST(LoopbackPlug, PlugsAreFoundByTheirOptionNames) {
    EXPECT_EQ(FindPlug("data"), &kDataPlug);
    EXPECT_EQ(FindPlug("control"), &kControlPlug);
    EXPECT_EQ(FindPlug("Data"), nullptr);
    EXPECT_EQ(FindPlug(""), nullptr);
}
