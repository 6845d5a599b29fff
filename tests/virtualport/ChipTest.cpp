// The chips the port can be, each as real ones behave: what control reads
// back, which way the data pins drive, the ECR's modes and FIFO, the chip
// that locks up, and the EPP time-out flag.
#include <gtest/gtest.h>

#include "PortFixture.h"

using vport::Chip;

TEST_F(PortTest, EachChipReadsControlBackInItsOwnWayWhileTheLatchDrivesThePins) {
    const struct {
        Chip chip;
        uint8_t read;
    } chips[] = {{Chip::Ideal, 0x4B}, {Chip::Spp, 0xEB},        {Chip::Ps2, 0xCB}, {Chip::Ecp, 0xCB},
                 {Chip::Epp, 0xEB},   {Chip::NoReadback, 0xFF}, {Chip::FragileEcr, 0xCB},
                 {Chip::EppBlocking, 0xEB}, {Chip::Ps2Zero, 0x0B}, {Chip::FixedMode, 0xCB},
                 {Chip::FixedLines, 0xC4}, {Chip::Isa10Bit, 0xEB}};
    for (const auto& c : chips) {
        port->SetChip(c.chip);
        port->Write(0x37A, 0x4B);
        EXPECT_EQ(port->Read(0x37A), c.read) << int(c.chip);
        EXPECT_FALSE(port->PinLevel(17)) << "C3 set puts /SELECT IN low";
        EXPECT_FALSE(port->PinLevel(16)) << "C2 clear puts /INIT low";
    }
}

TEST_F(PortTest, Ps2DirectionBitTurnsTheDataPinsIntoInputs) {
    port->SetChip(Chip::Ps2);
    port->Write(0x378, 0x00);
    port->Write(0x37A, 0x20);
    EXPECT_EQ(port->Read(0x378), 0xFF) << "nothing drives them: the pull-ups";
    EXPECT_EQ(port->Read(0x379), 0x7F) << "the plug's inputs follow the floating pins";
    ASSERT_TRUE(port->SetInputPin(3, false));
    EXPECT_EQ(port->Read(0x378), 0xFD);
    EXPECT_EQ(port->Read(0x379), 0x6F);
    port->Write(0x378, 0x1F);
    EXPECT_EQ(port->Read(0x378), 0xFD) << "a write goes to the latch only";

    port->Write(0x37A, 0x00);
    EXPECT_EQ(port->Read(0x378), 0x1F);
    EXPECT_TRUE(port->PinLevel(3)) << "a driving pin wins over the pin held low";
    port->SetChip(Chip::Spp);
    port->Write(0x37A, 0x20);
    EXPECT_EQ(port->Read(0x378), 0x1F) << "an SPP chip has no direction bit";
}

TEST_F(PortTest, EcpModesDecideWhereDataWritesGoAndTheFifoFlagsTell) {
    port->SetChip(Chip::Ecp);
    EXPECT_EQ(port->Read(0x77A), 0x15) << "mode 000, error and service interrupts off, FIFO empty";
    EXPECT_EQ(port->Read(0x779), 0x00);
    port->Write(0x37A, 0x20);
    port->Write(0x378, 0x55);
    EXPECT_EQ(port->Read(0x378), 0x55) << "in mode 000 the pins drive whatever C5 says";
    port->Write(0x77A, 0x34);
    EXPECT_EQ(port->Read(0x77A), 0x35);
    EXPECT_EQ(port->Read(0x378), 0xFF) << "in mode 001 C5 makes them inputs";

    port->Write(0x37A, 0x00);
    port->Write(0x77A, 0x74);
    port->Write(0x378, 0x0A);
    EXPECT_EQ(port->Data(), 0x0A) << "mode 011 strobes the byte out to the pins";
    EXPECT_EQ(port->Read(0x379), 0xD7) << "the pins moved";
    EXPECT_EQ(port->Read(0x77A), 0x75);
    ASSERT_TRUE(port->HoldFifo(1));
    for (uint8_t n = 0; n < 14; ++n) port->Write(0x378, n);
    EXPECT_EQ(port->Read(0x77A), 0x74) << "held up: FIFO neither empty nor full";
    port->Write(0x778, 0xAA);
    port->Write(0x378, 0xBB);  // lost: the FIFO is full
    EXPECT_EQ(port->Read(0x77A), 0x76);
    EXPECT_EQ(port->Data(), 0x0A) << "the pins keep the old data";
    EXPECT_EQ(port->Settings().strobesSent, 1u);

    port->Write(0x77A, 0xD4);
    EXPECT_EQ(port->Read(0x77A), 0x76) << "no change from one FIFO mode straight to another";
    port->Write(0x77A, 0x34);
    EXPECT_EQ(port->Read(0x77A), 0x35) << "a mode change empties the FIFO";
    EXPECT_FALSE(port->Settings().fifoHeld);
    port->Write(0x77A, 0xD4);
    EXPECT_EQ(port->Read(0x77A), 0xD5) << "from 001 to test mode";
    port->Write(0x378, 0x11);
    port->Write(0x778, 0x22);
    EXPECT_EQ(port->Peek(0x778), 0x11);
    EXPECT_EQ(port->Read(0x778), 0x11) << "in test mode reads take bytes out";
    EXPECT_EQ(port->Read(0x778), 0x22);
    EXPECT_EQ(port->Read(0x77A), 0xD5);
    EXPECT_FALSE(port->HoldFifo(2)) << "only the sending modes hold a transfer";
    port->SetEcrMode(7);
    EXPECT_EQ(port->Read(0x778), 0x10) << "configuration mode: config A";
    EXPECT_EQ(port->Settings().serviceInterrupts, 0u);
}

TEST_F(PortTest, EcrBitTwoWrittenAsZeroFiresTheServiceInterruptAndTheChipSetsItAgain) {
    port->SetChip(Chip::Ecp);
    port->Write(0x77A, 0x20);
    EXPECT_EQ(port->Read(0x77A), 0x25);
    EXPECT_EQ(port->Settings().serviceInterrupts, 1u);
    port->Write(0x77A, 0x34);
    EXPECT_EQ(port->Settings().serviceInterrupts, 1u) << "bit 2 kept: nothing armed";
    port->SetChip(Chip::FragileEcr);
    port->Write(0x77A, 0x21);
    EXPECT_EQ(port->Read(0x77A), 0x21) << "the fragile chip's own pattern";
    EXPECT_EQ(port->Settings().serviceInterrupts, 0u);
}

TEST_F(PortTest, ASerialPortAnswersAtItsAddressesAndCountsWhatIsWritten) {
    ASSERT_TRUE(port->SetSerialPort(true, 0x3F8));
    EXPECT_FALSE(port->SetSerialPort(true, 0x3FC));
    EXPECT_EQ(port->Read(0x3FA), 0xC1) << "FIFOs on, no interrupt pending";
    EXPECT_EQ(port->Read(0x3FD), 0x60);
    port->Write(0x3F8, 0x55);
    port->Write(0x3FA, 0x00);
    EXPECT_EQ(port->Read(0x3FA), 0x01) << "its FIFOs are off now";
    const vport::PortSettings settings = port->Settings();
    EXPECT_EQ(settings.serial.bytesSent, 1u);
    EXPECT_EQ(settings.serial.fcrWrites, 1u);
    port->SetSerialPort(false);
    EXPECT_EQ(port->Read(0x3FA), 0xFF);
}

TEST_F(PortTest, ReadbackFromThePinsShowsALineShortedLow) {
    port->SetChip(Chip::Spp);
    port->SetWiring(vport::Wiring::ControlLoopback);
    port->Write(0x378, 0xFF);
    port->Write(0x37A, 0x04);
    ASSERT_TRUE(port->SetInputPin(3, false));
    ASSERT_TRUE(port->SetInputPin(16, false));
    EXPECT_EQ(port->Read(0x378), 0xFF) << "from the latch, the short does not show";
    EXPECT_EQ(port->Read(0x37A), 0xE4);
    port->SetReadbackFromPins(true);
    EXPECT_EQ(port->Read(0x378), 0xFD);
    EXPECT_EQ(port->Read(0x37A), 0xE0) << "/INIT held low";
    EXPECT_FALSE(port->PinLevel(10)) << "the plug carries the short to /ACK";
}

TEST_F(PortTest, EppBlockingChipDropsDataAndControlWritesWhileItsTimeOutIsSet) {
    port->SetChip(Chip::EppBlocking);
    port->Read(0x37B);
    port->Write(0x378, 0x12);
    port->Write(0x37A, 0x08);
    EXPECT_EQ(port->Data(), 0x00);
    EXPECT_EQ(port->Control(), 0x00);
    port->Write(0x379, 0x01);
    port->Write(0x378, 0x12);
    EXPECT_EQ(port->Data(), 0x12) << "cleared: it takes them again";
}

TEST_F(PortTest, Ps2ZeroChipTurnsThePinsAroundWithABitThatReadsZero) {
    port->SetChip(Chip::Ps2Zero);
    port->Write(0x378, 0x00);
    port->Write(0x37A, 0xE4);
    EXPECT_EQ(port->Read(0x37A), 0x04);
    EXPECT_EQ(port->Read(0x378), 0xFF) << "the data pins are inputs";
}

TEST_F(PortTest, EcrSitsInTheExtendedBlockWhereverItIsPut) {
    port->SetChip(Chip::Ecp);
    port->SetEcrMode(3);
    ASSERT_TRUE(port->SetExtendedBlock(0xD000));
    EXPECT_EQ(port->Read(0xD002), 0x75);
    EXPECT_EQ(port->Read(0x77A), 0xFF);
    ASSERT_TRUE(port->SetBase(0xDC00));
    EXPECT_EQ(port->Read(0xD002), 0x75) << "below the port's own range, as on PCI cards";
    for (uint16_t start : {0xDC04, 0xDBFE, 0xD001}) EXPECT_FALSE(port->SetExtendedBlock(start)) << start;
    EXPECT_FALSE(port->SetBase(0xCFFC)) << "the port would cover the block";
    port->SetExtendedBlockAuto();
    EXPECT_EQ(port->Read(0xE002), 0x75);
    port->SetChip(Chip::Ps2);
    EXPECT_EQ(port->Read(0xE002), 0xFF) << "no ECR on a PS/2 chip";
}

TEST_F(PortTest, FragileEcrStopsAnsweringOnceBitTwoIsWrittenUntilReset) {
    port->SetChip(Chip::FragileEcr);
    port->Write(0x378, 0x0F);
    port->Write(0x77A, 0x30);
    EXPECT_EQ(port->Read(0x77A), 0x31);
    EXPECT_FALSE(port->Settings().lockedUp);
    port->Write(0x77A, 0x34);
    EXPECT_TRUE(port->Settings().lockedUp);
    for (uint16_t address : {0x378, 0x379, 0x37A, 0x778, 0x77A}) EXPECT_EQ(port->Read(address), 0xFF) << address;
    port->Write(0x378, 0x00);
    EXPECT_EQ(port->Data(), 0x0F);
    port->Reset();
    EXPECT_EQ(port->Read(0x379), 0x87);
    port->SetChip(Chip::Ecp);
    port->Write(0x77A, 0x34);
    EXPECT_EQ(port->Read(0x77A), 0x35) << "a sound ECP chip takes it";
}

TEST_F(PortTest, EppTimeOutIsSetByEppAccessesAndClearedAsChosen) {
    port->SetWiring(vport::Wiring::None);
    port->SetChip(Chip::Epp);
    EXPECT_EQ(port->Read(0x379), 0x7E);
    EXPECT_EQ(port->Read(0x37B), 0xFF);
    EXPECT_EQ(port->Read(0x379), 0x7F);
    EXPECT_EQ(port->Read(0x379), 0x7F) << "sticky";
    port->Write(0x379, 0xFE);
    EXPECT_EQ(port->Read(0x379), 0x7F);
    port->Write(0x379, 0x01);
    EXPECT_EQ(port->Read(0x379), 0x7E);
    port->Write(0x37F, 0x00);
    EXPECT_EQ(port->Read(0x379), 0x7F) << "base+7 is EPP too";
    EXPECT_EQ(port->Read(0x380), 0xFF);

    port->SetEppClear(vport::EppClear::WriteZero);
    port->Write(0x379, 0x01);
    EXPECT_EQ(port->Read(0x379), 0x7F) << "writing 1 no longer clears it";
    port->Write(0x379, 0x00);
    EXPECT_EQ(port->Read(0x379), 0x7E) << "writing 0 does";
    port->Read(0x37B);

    port->SetEppClear(vport::EppClear::ReadTwice);
    port->Write(0x379, 0x01);
    port->Write(0x379, 0x00);
    EXPECT_EQ(port->Read(0x379), 0x7F) << "writing no longer clears it";
    EXPECT_EQ(port->Read(0x378), 0x00);
    EXPECT_EQ(port->Read(0x379), 0x7F);
    EXPECT_EQ(port->Read(0x379), 0x7F) << "the second read in a row still shows it";
    EXPECT_EQ(port->Read(0x379), 0x7E);

    port->SetChip(Chip::Spp);
    port->Read(0x37B);
    EXPECT_EQ(port->Read(0x379), 0x7F) << "no EPP on an SPP chip: bit 0 reads 1";
}

// From a mode above 001 the ECR takes only 000 or 001, for every pair of
// modes; the other bits are taken all the same.
TEST_F(PortTest, EcrChangesModeOnlyFromOrToStandardOrPs2) {
    port->SetChip(Chip::Ecp);
    for (uint8_t from = 0; from < 8; ++from)
        for (uint8_t to = 0; to < 8; ++to) {
            port->SetEcrMode(from);
            port->Write(0x77A, static_cast<uint8_t>(to << 5 | 0x10 | 0x04));
            const bool taken = from <= 1 || to <= 1;
            EXPECT_EQ(port->Read(0x77A), (taken ? to : from) << 5 | 0x15) << int(from) << " to " << int(to);
        }
}

// In 011 control bit 5 turns the FIFO around: the data pins are inputs and
// nothing written goes out; 010 sends forward only, whatever bit 5 says.
TEST_F(PortTest, EcpFifoHonoursTheDirectionBitAndTheParallelFifoDoesNot) {
    port->SetChip(Chip::Ecp);
    port->Write(0x378, 0x00);
    port->Write(0x37A, 0x24);
    port->SetEcrMode(3);
    ASSERT_TRUE(port->SetInputPin(3, false));
    EXPECT_FALSE(port->DataPinsDrive());
    EXPECT_EQ(port->Read(0x378), 0xFD) << "the pins: pull-ups, and pin 3 held low";
    port->Write(0x378, 0x0A);
    port->Write(0x778, 0x0B);
    EXPECT_EQ(port->Settings().strobesSent, 0u);
    EXPECT_EQ(port->Data(), 0x00);
    EXPECT_EQ(port->Read(0x77A), 0x75);

    port->SetEcrMode(2);
    EXPECT_TRUE(port->DataPinsDrive());
    port->Write(0x378, 0x0A);
    EXPECT_EQ(port->Settings().strobesSent, 1u);
    EXPECT_EQ(port->Read(0x378), 0x0A);
    EXPECT_EQ(port->Read(0x379), 0xD7) << "the pins moved";
}

// A card that sets the mode itself: the ECR keeps it, takes bits 4-0, and
// still locks up on bit 2 written as 1.
TEST_F(PortTest, FixedModeEcrKeepsItsModeAndTakesTheRest) {
    port->SetChip(Chip::FixedMode);
    port->SetEcrMode(3);
    port->Write(0x77A, 0x21);
    EXPECT_EQ(port->Read(0x77A), 0x61);
    port->Write(0x77A, 0x01);
    EXPECT_EQ(port->Read(0x77A), 0x61) << "not even to 000";
    EXPECT_FALSE(port->Settings().lockedUp);
    port->Write(0x77A, 0x64);
    EXPECT_TRUE(port->Settings().lockedUp);
}

// Ten address bits: base+0x400 and every 0x400 on answer as the base, so
// the "ECR" at base+0x402 reads and writes control.
TEST_F(PortTest, TenBitDecodingAnswersAgainEvery0x400) {
    port->SetChip(Chip::Isa10Bit);
    port->Write(0x77A, 0x0B);
    EXPECT_EQ(port->Control(), 0x0B);
    EXPECT_EQ(port->Read(0x37A), 0xEB);
    for (uint16_t alias : {0x77A, 0xB7A, 0xF7A, 0xFF7A}) EXPECT_EQ(port->Read(alias), 0xEB) << alias;
    port->Write(0xB78, 0x5A);
    EXPECT_EQ(port->Read(0x778), 0x5A);
    EXPECT_EQ(port->Read(0x779), port->Read(0x379));
    EXPECT_EQ(port->Read(0x77B), 0xFF) << "no EPP registers";
    EXPECT_EQ(port->Read(0x37B), 0xFF);
    port->SetChip(Chip::Spp);
    EXPECT_EQ(port->Read(0x77A), 0xFF) << "sixteen bits decoded: nothing there";
}
