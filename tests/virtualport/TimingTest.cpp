// The lines in time, on a clock the test moves: inputs that settle after an
// output changes, loose contacts, and another program polling the port.
#include <gtest/gtest.h>

#include <string>

#include "Clock.h"
#include "PortFixture.h"

namespace {

int64_t g_now = 0;
int64_t FakeNow() { return g_now; }

class Timing : public PortTest {
protected:
    void SetUp() override {
        g_now = 5000000;
        vport::SetClockForTesting(&FakeNow);
        PortTest::SetUp();
    }
    void TearDown() override { vport::SetClockForTesting(nullptr); }

    // The accesses since the last call, as "W378=04i R378=04" (i: the intruder's).
    std::string Trace() {
        std::string text;
        char access[16];
        for (const vport::Access& a : port->TakeLog(0, nullptr, true)) {
            std::snprintf(access, sizeof access, "%s%c%X=%02X%s", text.empty() ? "" : " ", a.write ? 'W' : 'R',
                          a.port, a.value, a.intruder ? "i" : "");
            text += access;
        }
        return text;
    }
};

}  // namespace

TEST_F(Timing, InputsShowAnOutputsChangeOnlyAfterTheSettlingTime) {
    port->SetSettleMicros(100);
    port->Write(0x378, 0x01);  // D0 -> pin 15 /ERROR
    EXPECT_EQ(port->Read(0x379), 0x87);
    g_now += 99;
    EXPECT_EQ(port->Read(0x379), 0x87);
    EXPECT_FALSE(port->PinLevel(15));
    g_now += 1;
    EXPECT_EQ(port->Read(0x379), 0x8F);

    port->Write(0x378, 0x00);
    g_now += 50;
    port->Write(0x378, 0x01);
    g_now += 99;
    EXPECT_EQ(port->Read(0x379), 0x8F) << "a pulse shorter than the settling time never shows";
    g_now += 1000;
    port->Write(0x37A, 0x20);  // another output: pin 15 is not wired to it
    EXPECT_EQ(port->Read(0x379), 0x8F);

    port->SetSettleMicros(0);
    port->Write(0x378, 0x02);
    EXPECT_EQ(port->Read(0x379), 0x97);
}

TEST_F(Timing, WithRisingOnlyAFallingInputFollowsAtOnce) {
    port->SetSettleMicros(100, true);
    port->Write(0x378, 0x01);
    EXPECT_EQ(port->Read(0x379), 0x87) << "rising: still low";
    g_now += 100;
    EXPECT_EQ(port->Read(0x379), 0x8F);
    port->Write(0x378, 0x00);
    EXPECT_EQ(port->Read(0x379), 0x87) << "falling: at once";
    port->Write(0x378, 0x01);
    port->Write(0x378, 0x00);
    g_now += 100;
    EXPECT_EQ(port->Read(0x379), 0x87) << "a fall ends a rise still under way";
}

TEST_F(Timing, LooseContactReadsLowOnEveryKthStatusRead) {
    port->SetWiring(vport::Wiring::None);
    ASSERT_TRUE(port->SetLoosePin(13, 3));
    ASSERT_TRUE(port->SetLoosePin(10, 2));
    std::string reads;
    for (int n = 0; n < 6; ++n) {
        reads += std::to_string(port->Read(0x379)) + " ";
        port->Status();  // looking is not reading
    }
    EXPECT_EQ(reads, "127 63 111 63 127 47 ");
    EXPECT_EQ(port->Settings().looseEvery[1], 3u);

    ASSERT_TRUE(port->SetInputPin(13, true));
    ASSERT_TRUE(port->SetInputPin(10, false));
    for (int n = 0; n < 4; ++n) EXPECT_EQ(port->Read(0x379), 0x3F) << "firm again, 10 held low";
    EXPECT_FALSE(port->SetLoosePin(3, 3));
    EXPECT_FALSE(port->SetLoosePin(13, 1));
}

TEST_F(Timing, IntruderDrivesTheLinesForItsHoldThenPutsThemBack) {
    port->Write(0x378, 0x55);
    port->Write(0x37A, 0x0B);
    Trace();
    port->SetIntruderPeriod(10);
    EXPECT_EQ(port->Read(0x378), 0x04);
    EXPECT_EQ(port->Read(0x37A), 0x06);
    port->Write(0x378, 0x99);
    g_now += 999;
    EXPECT_EQ(port->Read(0x378), 0x99);
    g_now += 1;
    EXPECT_EQ(port->Read(0x378), 0x55) << "the program's write during the hold is lost";
    EXPECT_EQ(Trace(),
              "W378=04i W37A=06i W37A=07i W37A=06i R378=04 R37A=06 W378=99 R378=99 "
              "W378=55i W37A=0Bi R378=55");

    g_now += 9000;  // the next period
    EXPECT_EQ(port->Read(0x37A), 0x06);
    g_now += 25000;  // after the hold of the period two on; the one in between left no trace
    EXPECT_EQ(port->Read(0x37A), 0x0B);
    EXPECT_EQ(Trace(),
              "W378=04i W37A=06i W37A=07i W37A=06i R37A=06 "
              "W378=55i W37A=0Bi W378=04i W37A=06i W37A=07i W37A=06i W378=55i W37A=0Bi R37A=0B");
    port->SetIntruderPeriod(0);
    EXPECT_EQ(port->Read(0x37A), 0x0B);
    EXPECT_EQ(port->Settings().intruderPeriodMs, 0u);
}
