// Applying the base address: the snapshot reads, the captions, the lock.
#include "WindowFixture.h"

namespace {

using Lines = std::vector<std::string>;

struct Captions {
    std::string statusAddress, controlAddress, data, status, control;
    bool operator==(const Captions& o) const {
        return statusAddress == o.statusAddress && controlAddress == o.controlAddress && data == o.data &&
               status == o.status && control == o.control;
    }
};

std::ostream& operator<<(std::ostream& os, const Captions& c) {
    return os << c.statusAddress << " " << c.controlAddress << " " << c.data << "/" << c.status << "/" << c.control;
}

class RegisterPanel : public WindowTest {
protected:
    // The panel's columns as the user reads them: Status shows
    // LabelHexValueControl, Control shows LabelHexValueStatus.
    Captions Shown() const {
        return {form->Label0x379->Caption(), form->Label0x37A->Caption(), form->LabelHexValueData->Caption(),
                form->LabelHexValueControl->Caption(), form->LabelHexValueStatus->Caption()};
    }
    bool Locked() const { return !form->ButtonSet->Enabled() && !form->MaskEdit_REGISTER->Enabled(); }
};

TEST_F(RegisterPanel, InitialAddressReadsTheThreeRegistersOnceInOrder) {
    port->SetData(0x55);
    port->SetControl(0x0B);
    Traffic();
    ApplyAddress("0X378");
    EXPECT_EQ(BaseAddress, 888);
    EXPECT_EQ(Traffic(), (Lines{"R 0x0378", "R 0x0379", "R 0x037A"}));
    EXPECT_EQ(Shown(), (Captions{"0x379", "0x37A", "85", "127", "11"}));
    EXPECT_TRUE(Locked());
    EXPECT_TRUE(IsWindowEnabled(form->ButtonSet->Handle()) == FALSE);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RegisterPanel, DecimalTextGivesTheSameAsHex) {
    ApplyAddress("888");
    EXPECT_EQ(BaseAddress, 888);
    EXPECT_EQ(Traffic(), (Lines{"R 0x0378", "R 0x0379", "R 0x037A"}));
    EXPECT_EQ(Shown().statusAddress, "0x379");
    EXPECT_EQ(Shown().controlAddress, "0x37A");
}

TEST_F(RegisterPanel, AddressCaptionsGrowPastThreeDigits) {
    ApplyAddress("0xDE00");
    EXPECT_EQ(Shown().statusAddress, "0xDE01");
    EXPECT_EQ(Shown().controlAddress, "0xDE02");
}

TEST_F(RegisterPanel, AddressAbove0xFFFFUsesItsLow16BitsForPortsAndAllForCaptions) {
    ApplyAddress("0x10378");
    EXPECT_EQ(BaseAddress, 0x10378);
    EXPECT_EQ(Traffic(), (Lines{"R 0x0378", "R 0x0379", "R 0x037A"}));
    EXPECT_EQ(Shown().statusAddress, "0x10379");
    EXPECT_EQ(Shown().controlAddress, "0x1037A");
}

TEST_F(RegisterPanel, BaseAtTheTopOfThePortRangeWraps) {
    ApplyAddress("$FFFF");
    EXPECT_EQ(Traffic(), (Lines{"R 0xFFFF", "R 0x0000", "R 0x0001"}));
    EXPECT_EQ(Shown().statusAddress, "0x10000");
}

TEST_F(RegisterPanel, DataRegisterAllHighShows255) {
    port->SetData(0xFF);
    ApplyAddress("0X378");
    EXPECT_EQ(Shown().data, "255");
}

TEST_F(RegisterPanel, ValuesStayAsTakenAtSetWhileThePortChanges) {
    ApplyAddress("0X378");
    const Captions atSet = Shown();
    port->SetData(0xAA);
    port->ForceStatus(0x00);
    Traffic();
    for (int i = 0; i < 3; ++i) form->TimerValuesTimer(form->TimerValues);
    EXPECT_EQ(Shown(), atSet);
    EXPECT_TRUE(Traffic().empty()) << "the values timer reads no port";
}

TEST_F(RegisterPanel, ValuesTimerPutsEachSnapshotValueInItsColumn) {
    RegisterSnapshot = {1, 2, 3};
    form->TimerValuesTimer(form->TimerValues);
    EXPECT_EQ(form->LabelHexValueData->Caption(), "1");
    EXPECT_EQ(form->LabelHexValueControl->Caption(), "2") << "Status column";
    EXPECT_EQ(form->LabelHexValueStatus->Caption(), "3") << "Control column";
}

TEST_F(RegisterPanel, SetWorksOnce) {
    ApplyAddress("0X378");
    Traffic();
    ApplyAddress("0x278");
    EXPECT_EQ(BaseAddress, 888);
    EXPECT_TRUE(Traffic().empty());
    EXPECT_EQ(Shown().statusAddress, "0x379");
}

class RejectedAddress : public RegisterPanel, public testing::WithParamInterface<const char*> {};

TEST_P(RejectedAddress, IsShownAndChangesNothing) {
    const std::string text = GetParam();
    const Captions before = Shown();
    ApplyAddress(text);
    EXPECT_EQ(messages.Texts(), Lines{"'" + text + "' is not a valid integer value."});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].flags, unsigned(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(BaseAddress, 0);
    EXPECT_TRUE(Traffic().empty());
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(Shown(), (Captions{"0xDE01", "0xDE02", "0", "0", "0"}));
    EXPECT_TRUE(form->ButtonSet->Enabled());
    EXPECT_TRUE(form->MaskEdit_REGISTER->Enabled());
    EXPECT_EQ(form->MaskEdit_REGISTER->Text(), text) << "the text stays for correcting";

    // The user corrects it and presses Set again.
    ApplyAddress("0X378");
    EXPECT_EQ(BaseAddress, 888);
    EXPECT_EQ(Traffic(), (Lines{"R 0x0378", "R 0x0379", "R 0x037A"}));
    EXPECT_EQ(messages.shown.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(BadText, RejectedAddress, testing::Values("", "zz", "0x", "12 ", "99999999999"));

}  // namespace
