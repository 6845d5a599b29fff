// The port's pins as the outside world sees them, and the status register
// they make, for each wiring.
#include <gtest/gtest.h>

#include "PortFixture.h"

using vport::Wiring;

namespace {

struct StatusCase {
    uint8_t data, control, status;
};

void ExpectStatuses(vport::PortState& port, Wiring wiring, std::initializer_list<StatusCase> cases) {
    port.SetWiring(wiring);
    for (const StatusCase& c : cases) {
        port.SetData(c.data);
        port.SetControl(c.control);
        EXPECT_EQ(port.Status(), c.status) << std::hex << "data 0x" << int(c.data) << " control 0x"
                                           << int(c.control) << " wiring " << int(wiring);
    }
}

}  // namespace

TEST_F(PortTest, PowerUpIsDataLoopbackWithEverythingLow) {
    EXPECT_EQ(port->Data(), 0);
    EXPECT_EQ(port->Control(), 0);
    EXPECT_EQ(port->GetWiring(), Wiring::DataLoopback);
    EXPECT_FALSE(port->StatusForced());
    EXPECT_EQ(port->Status(), 0x87);  // inputs follow low data pins; BUSY low reads as S7 set
}

TEST_F(PortTest, OutputPinsFollowRegistersWithControlInversions) {
    port->SetData(0xA5);
    for (int bit = 0; bit < 8; ++bit) EXPECT_EQ(port->PinLevel(2 + bit), ((0xA5 >> bit) & 1) != 0);
    const int controlPins[] = {1, 14, 16, 17};
    const bool idle[] = {true, true, false, true}, allSet[] = {false, false, true, false};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(port->PinLevel(controlPins[i]), idle[i]);
    port->SetControl(0x0F);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(port->PinLevel(controlPins[i]), allSet[i]);
    for (int pin : {0, 18, 25, 26}) EXPECT_FALSE(port->PinLevel(pin)) << pin;  // ground, or no pin
}

TEST_F(PortTest, UnwiredInputsFloatHighUnlessPulledLow) {
    port->SetWiring(Wiring::None);
    EXPECT_EQ(port->Status(), 0x7F);
    const struct {
        int pin;
        uint8_t status;
    } cases[] = {{15, 0x77}, {13, 0x6F}, {12, 0x5F}, {10, 0x3F}, {11, 0xFF}};
    for (const auto& c : cases) {
        ASSERT_TRUE(port->SetInputPin(c.pin, false));
        EXPECT_FALSE(port->PinLevel(c.pin));
        EXPECT_EQ(port->Status(), c.status) << "pin " << c.pin << " pulled low";
        ASSERT_TRUE(port->SetInputPin(c.pin, true));
        EXPECT_EQ(port->Status(), 0x7F);
    }
    for (int pin : {0, 18, 26}) EXPECT_FALSE(port->SetInputPin(pin, false)) << pin;
    EXPECT_EQ(port->Status(), 0x7F);
}

TEST_F(PortTest, LoopbacksFeedOutputsBackAsStatus) {
    ExpectStatuses(*port, Wiring::DataLoopback,
                   {{0x01, 0, 0x8F},    // D0 -> pin 15 /ERROR high -> S3 set
                    {0x02, 0, 0x97},    // D1 -> pin 13 SELECT -> S4
                    {0x04, 0, 0xA7},    // D2 -> pin 12 PAPER OUT -> S5
                    {0x08, 0, 0xC7},    // D3 -> pin 10 /ACK -> S6
                    {0x10, 0, 0x07},    // D4 -> pin 11 BUSY high -> S7 reads 0
                    {0xE0, 0x0F, 0x87}});  // D5-D7 and control are not wired
    ExpectStatuses(*port, Wiring::ControlLoopback,
                   {{0x00, 0x00, 0x37},    // pins 1, 14, 17 idle high, 16 low
                    {0x00, 0x01, 0x27},    // C0 -> pin 1 low -> SELECT low
                    {0x00, 0x02, 0x17},    // C1 -> pin 14 low -> PAPER OUT low
                    {0x00, 0x04, 0x77},    // C2 -> pin 16 high -> /ACK high
                    {0x00, 0x08, 0xB7},    // C3 -> pin 17 low -> BUSY low -> S7 set
                    {0x01, 0x00, 0x3F},    // D0 -> pin 15 /ERROR high
                    {0xFE, 0xF0, 0x37}});  // nothing else is wired
}

TEST_F(PortTest, PulledPinsStayLowAgainstTheWiringAndUnknownWiringIsRefused) {
    port->SetWiring(Wiring::None);
    ASSERT_TRUE(port->SetInputPin(15, false));
    port->SetWiring(Wiring::DataLoopback);
    port->SetData(0x1F);
    EXPECT_TRUE(port->PinLevel(2));
    EXPECT_FALSE(port->PinLevel(15));  // shorted to ground: wins over D0
    EXPECT_EQ(port->Status(), 0x77);   // the other four follow D1..D4 high
    ASSERT_TRUE(port->SetInputPin(15, true));
    EXPECT_TRUE(port->PinLevel(15));  // released, it follows D0 again
    EXPECT_EQ(port->Status(), 0x7F);

    port->SetWiring(Wiring::ControlLoopback);
    ASSERT_TRUE(port->SetInputPin(11, false));  // /SELECT IN idle drives pin 11 high
    EXPECT_FALSE(port->PinLevel(11));
    EXPECT_EQ(port->Status() & 0x80, 0x80);  // BUSY low reads S7 set

    port->SetWiring(static_cast<Wiring>(7));
    EXPECT_EQ(port->GetWiring(), Wiring::ControlLoopback);
    port->SetWiring(Wiring::None);
    EXPECT_EQ(port->Status(), 0xFF);  // unwired: only the held pin 11 is low
}

TEST_F(PortTest, ForcedStatusOverridesPinsUntilCleared) {
    port->ForceStatus(0x5A);
    EXPECT_TRUE(port->StatusForced());
    port->SetData(0x1F);
    EXPECT_EQ(port->Read(0x379), 0x5A);
    port->ClearForcedStatus();
    EXPECT_FALSE(port->StatusForced());
    EXPECT_EQ(port->Status(), 0x7F);
}
