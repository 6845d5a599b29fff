// The serial port that can sit where a program looks for a parallel port:
// a 16550 whose reads of +0, +5 and +6 change it and whose control
// registers keep what is written, seen through the port's accesses; then
// what no sequence of accesses may break, over generated ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "PortFixture.h"
#include "SerialPort.h"

using vport::SerialRegisters;

namespace {

const uint16_t kAt = 0xD000;

}  // namespace

using SerialPort = PortTest;

TEST_F(SerialPort, JustStartedItIsA16550AtResetWithItsFifosOn) {
    ASSERT_TRUE(port->SetSerialPort(true, kAt));
    const uint8_t reads[8] = {0x00, 0x00, 0xC1, 0x00, 0x00, 0x60, 0x00, 0x00};
    for (int offset = 0; offset < 8; ++offset) EXPECT_EQ(port->Read(kAt + offset), reads[offset]) << offset;
    EXPECT_FALSE(port->SetSerialPort(true, kAt + 4)) << "a multiple of 8";
    port->SetSerialPort(false);
    for (int offset = 0; offset < 8; ++offset) EXPECT_EQ(port->Read(kAt + offset), 0xFF) << offset;
}

TEST_F(SerialPort, ReadingItsReceiveBufferTakesTheByteThatWaits) {
    ASSERT_FALSE(port->SerialReceive({0x41})) << "no serial port yet";
    ASSERT_TRUE(port->SetSerialPort(true, kAt));
    ASSERT_TRUE(port->SerialReceive({0x41, 0x42}));
    EXPECT_EQ(port->Read(kAt + 5), 0x61) << "data ready";
    EXPECT_EQ(port->Peek(kAt), 0x41);
    EXPECT_EQ(port->Read(kAt), 0x41);
    EXPECT_EQ(port->Read(kAt), 0x42);
    EXPECT_EQ(port->Read(kAt + 5), 0x60) << "nothing waits";
    EXPECT_EQ(port->Read(kAt), 0x42) << "empty: the last byte again";
    port->Write(kAt, 0x55);
    EXPECT_EQ(port->Settings().serial.bytesSent, 1u);
    EXPECT_EQ(port->Read(kAt), 0x42) << "a byte sent is not received";
}

TEST_F(SerialPort, LineAndModemStatusReadsClearTheirFlags) {
    ASSERT_TRUE(port->SetSerialPort(true, kAt));
    ASSERT_TRUE(port->RaiseSerialErrors(0x0C));  // parity, framing
    EXPECT_EQ(port->Peek(kAt + 5), 0xEC) << "a look changes nothing";
    EXPECT_EQ(port->Read(kAt + 5), 0xEC) << "bit 7: an error among the FIFO's bytes";
    EXPECT_EQ(port->Read(kAt + 5), 0x60);
    for (int n = 0; n < 17; ++n) port->SerialReceive({static_cast<uint8_t>(n)});
    EXPECT_EQ(port->Read(kAt + 5), 0x63) << "the 17th byte overran the FIFO";
    EXPECT_EQ(port->Read(kAt + 5), 0x61);
    EXPECT_EQ(port->Settings().serial.received, 16u);
    EXPECT_EQ(port->Read(kAt), 0x00) << "the first 16 kept, the last lost";

    ASSERT_TRUE(port->SetSerialModemLines(0x30));  // CTS, DSR
    EXPECT_EQ(port->Read(kAt + 6), 0x33);
    EXPECT_EQ(port->Read(kAt + 6), 0x30) << "the changes cleared, the lines stay";
    ASSERT_TRUE(port->SetSerialModemLines(0x40));  // RI on: no change bit of its own yet
    EXPECT_EQ(port->Read(kAt + 6), 0x43);
    ASSERT_TRUE(port->SetSerialModemLines(0x00));
    EXPECT_EQ(port->Read(kAt + 6), 0x04) << "RI's trailing edge";
}

TEST_F(SerialPort, ControlRegistersKeepWhatIsWrittenAndLineControlBitSevenShowsTheDivisor) {
    ASSERT_TRUE(port->SetSerialPort(true, kAt));
    port->SerialReceive({0x99});
    port->Write(kAt + 1, 0xFF);
    EXPECT_EQ(port->Read(kAt + 1), 0x0F) << "interrupt enable: bits 7-4 read 0";
    port->Write(kAt + 4, 0xEF);
    EXPECT_EQ(port->Read(kAt + 4), 0x0F) << "modem control: bits 4-0";
    port->Write(kAt + 7, 0x5A);
    EXPECT_EQ(port->Read(kAt + 7), 0x5A);
    port->Write(kAt + 3, 0x9B);
    EXPECT_EQ(port->Read(kAt + 3), 0x9B);
    port->Write(kAt, 0x0C);
    port->Write(kAt + 1, 0x00);
    EXPECT_EQ(port->Read(kAt), 0x0C) << "the divisor latch, not the byte waiting";
    EXPECT_EQ(port->Read(kAt + 1), 0x00) << "the divisor's high byte, not the interrupt enable";
    EXPECT_EQ(port->Settings().serial.bytesSent, 0u);
    EXPECT_EQ(vport::SerialDivisor(port->Settings().serial), 0x000C);
    port->Write(kAt + 3, 0x1B);
    EXPECT_EQ(port->Read(kAt + 1), 0x0F);
    EXPECT_EQ(port->Read(kAt), 0x99) << "the byte waited";
}

TEST_F(SerialPort, InterruptIdentificationNamesTheMostUrgentCause) {
    ASSERT_TRUE(port->SetSerialPort(true, kAt));
    port->Write(kAt + 1, 0x01);
    port->SerialReceive({0x41});
    EXPECT_EQ(port->Read(kAt + 2), 0xC4) << "a byte waiting, trigger level 1";
    port->Write(kAt + 2, 0xC1);
    EXPECT_EQ(port->Read(kAt + 2), 0xCC) << "the byte stays, below the trigger level of 14: a time-out";
    port->Write(kAt + 2, 0xC3);
    EXPECT_EQ(port->Read(kAt + 2), 0xC1) << "FIFO control bit 1 empties the receive FIFO";
    port->SerialReceive({0x42});
    port->Write(kAt + 2, 0x00);
    EXPECT_EQ(port->Read(kAt + 5), 0x60) << "turning the FIFOs off empties them";
    port->SerialReceive({0x43, 0x44});
    EXPECT_EQ(port->Read(kAt + 2), 0x04) << "without FIFOs";
    port->Write(kAt + 1, 0x05);
    EXPECT_EQ(port->Read(kAt + 2), 0x06) << "the second byte overran: line status first";
    EXPECT_EQ(port->Read(kAt), 0x44) << "without FIFOs the new byte took the old one's place";
    port->Read(kAt + 5);
    port->Write(kAt + 1, 0x02);
    EXPECT_EQ(port->Read(kAt + 2), 0x02) << "transmitter empty";
    EXPECT_EQ(port->Read(kAt + 2), 0x01) << "cleared by that read";
    EXPECT_EQ(port->Settings().serial.fcrWrites, 3u);
}

TEST_F(SerialPort, InLoopbackWhatIsSentIsReceivedAndModemControlDrivesModemStatus) {
    ASSERT_TRUE(port->SetSerialPort(true, kAt));
    port->Write(kAt + 4, 0x13);  // loopback, RTS, DTR
    EXPECT_EQ(port->Read(kAt + 6), 0x33);
    port->Write(kAt, 0x5A);
    EXPECT_EQ(port->Read(kAt), 0x5A);
    EXPECT_EQ(port->Settings().serial.bytesSent, 0u) << "nothing leaves the chip";
}

// What holds after any sequence of a program's accesses and of what reaches
// the port from outside: the bits a 16550 always reads 0 or 1, data ready
// while and only while a byte waits, a look that changes nothing, and reads
// of +1, +3, +4 and +7 that change nothing either.
TEST(SerialPortProperty, NoSequenceOfAccessesBreaksWhatA16550AlwaysReads) {
    for (uint32_t seed = 1; seed <= 300 && !::testing::Test::HasFailure(); ++seed) {
        std::mt19937 random(seed);
        SerialRegisters r;
        vport::SerialPowerUp(r, true, kAt);
        std::string steps;
        for (int step = 0; step < 200 && !::testing::Test::HasFailure(); ++step) {
            const int kind = random() % 6;
            const int offset = random() % 8;
            const uint8_t value = static_cast<uint8_t>(random());
            char text[32];
            std::snprintf(text, sizeof text, "%c%d:%02X ", "LWWrem"[kind], offset, value);
            steps += text;
            SCOPED_TRACE("seed " + std::to_string(seed) + ": " + steps);
            const SerialRegisters before = r;
            switch (kind) {
            case 0:
                for (int o = 0; o < 8; ++o) vport::SerialRead(r, o, false);
                EXPECT_EQ(std::memcmp(&before, &r, sizeof r), 0) << "a look changed it";
                if (offset != 0 && offset != 5 && offset != 6) {
                    vport::SerialRead(r, offset, true);
                    SerialRegisters expected = before;
                    if (offset == 2) expected.transmitterInterrupt = r.transmitterInterrupt;  // its one effect
                    EXPECT_EQ(std::memcmp(&expected, &r, sizeof r), 0) << "a read of " << offset << " changed it";
                }
                break;
            case 1:
            case 2: vport::SerialWrite(r, offset, value); break;
            case 3: vport::SerialReceive(r, value); break;
            case 4: vport::SerialRaiseErrors(r, value); break;
            default: vport::SerialSetModemLines(r, value); break;
            }
            const uint8_t lcr = r.lcr;
            const uint8_t iir = vport::SerialInterruptId(r), lsr = vport::SerialLineStatus(r);
            EXPECT_EQ(iir & 0x30, 0);
            EXPECT_TRUE((iir & 0xC0) == 0 || (iir & 0xC0) == 0xC0);
            EXPECT_EQ(lsr & 0x60, 0x60) << "the transmitter is always idle";
            EXPECT_EQ(lsr & 0x01, r.received ? 1 : 0);
            EXPECT_LE(r.received, vport::kSerialFifoSize);
            if (!(lcr & 0x80)) {
                EXPECT_EQ(vport::SerialRead(r, 1, false) & 0xF0, 0);
            }
            EXPECT_EQ(vport::SerialRead(r, 4, false) & 0xE0, 0);
        }
    }
}
