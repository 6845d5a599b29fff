// The twelve output buttons: what each writes, its caption, and the lamps after.
#include "WindowFixture.h"

namespace {

using Lines = std::vector<std::string>;

class Outputs : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ApplyAddress("0X378");
        Traffic();
    }
    TButton* Button(int n) const {
        TButton* const buttons[] = {form->Button_DO1, form->Button_DO2, form->Button_DO3,  form->Button_DO4,
                                    form->Button_DO5, form->Button_DO6, form->Button_DO7,  form->Button_DO8,
                                    form->Button_DO9, form->Button_DO10, form->Button_DO11, form->Button_DO12};
        return buttons[n - 1];
    }
    bool Bold(int n) const { return Button(n)->Font->Style() == fsBold; }
};

struct Toggle {
    int n;
    Lines on, off;
};

const Toggle kToggles[] = {
    {1, {"W 0x0378 0", "W 0x037A 10"}, {"W 0x037A 11"}},
    {2, {"W 0x037A 11", "W 0x0378 1"}, {"W 0x0378 0"}},
    {3, {"W 0x0378 0", "W 0x0378 2"}, {"W 0x0378 0"}},
    {4, {"W 0x0378 0", "W 0x0378 4"}, {"W 0x0378 0"}},
    {5, {"W 0x0378 0", "W 0x0378 8"}, {"W 0x0378 0"}},
    {6, {"W 0x0378 0", "W 0x0378 16"}, {"W 0x0378 0"}},
    {7, {"W 0x0378 0", "W 0x0378 32"}, {"W 0x0378 0"}},
    {8, {"W 0x0378 0", "W 0x0378 64"}, {"W 0x0378 0"}},
    {9, {"W 0x0378 0", "W 0x0378 128"}, {"W 0x0378 0"}},
    {10, {"W 0x0378 0", "W 0x037A 9"}, {"W 0x037A 11"}},
    {11, {"W 0x0378 0", "W 0x037A 15"}, {"W 0x037A 11"}},
    {12, {"W 0x0378 11", "W 0x037A 3", "W 0x0378 0"}, {"W 0x037A 11"}},
};

TEST_F(Outputs, EachButtonWritesItsOnAndOffSequencesAndShowsItsState) {
    for (const Toggle& t : kToggles) {
        SCOPED_TRACE("DO" + std::to_string(t.n));
        Click(Button(t.n));
        EXPECT_EQ(Traffic(), t.on);
        EXPECT_TRUE(Bold(t.n));
        Click(Button(t.n));
        EXPECT_EQ(Traffic(), t.off);
        EXPECT_FALSE(Bold(t.n));
        Click(Button(t.n));
        EXPECT_EQ(Traffic(), t.on) << "the third click is on again";
        EXPECT_TRUE(Bold(t.n));
        Click(Button(t.n));
        Traffic();
    }
}

// The colour each output's lamp lights in, DO1 to DO12, as the panel's
// users know them (0x00BBGGRR): lime, yellow or red.
constexpr unsigned kLime = 0x00FF00, kYellow = 0x00FFFF, kRed = 0x0000FF;
constexpr unsigned kLitColours[12] = {kLime, kLime, kYellow, kYellow, kRed,    kRed,
                                      kRed,  kRed,  kYellow, kYellow, kLime, kLime};

TEST_F(Outputs, EachOnLightsItsOwnLampOnTheNextTick) {
    TShape* const lamps[] = {form->Shape_DO_1, form->Shape_DO_2, form->Shape_DO_3,  form->Shape_DO_4,
                             form->Shape_DO_5, form->Shape_DO_6, form->Shape_DO_7,  form->Shape_DO_8,
                             form->Shape_DO_9, form->Shape_DO_10, form->Shape_DO_11, form->Shape_DO_12};
    for (int n = 1; n <= 12; ++n) {
        SCOPED_TRACE("DO" + std::to_string(n));
        Click(Button(n));
        Tick();
        for (int other = 1; other <= 12; ++other)
            EXPECT_EQ(lamps[other - 1]->Brush->Color() != clBlack, other == n) << "lamp DO" << other;
        EXPECT_EQ(lamps[n - 1]->Brush->Color(), kLitColours[n - 1]);
        Click(Button(n));
        Tick();
        EXPECT_EQ(lamps[n - 1]->Brush->Color(), clBlack);
    }
}

TEST_F(Outputs, ButtonsKeepTheirOwnStateWhateverTheOthersWrite) {
    Click(Button(3));
    Click(Button(4));
    Tick();
    EXPECT_EQ(port->Data(), 4);
    EXPECT_TRUE(Bold(3)) << "still claims on";
    EXPECT_EQ(form->Shape_DO_3->Brush->Color(), clBlack);
    EXPECT_EQ(form->Shape_DO_4->Brush->Color(), clYellow);
    Traffic();
    Click(Button(3));  // its off
    EXPECT_EQ(Traffic(), Lines{"W 0x0378 0"});
    Tick();
    EXPECT_FALSE(Bold(3));
    EXPECT_TRUE(Bold(4));
    EXPECT_EQ(form->Shape_DO_4->Brush->Color(), clBlack);
}

TEST_F(Outputs, ControlLinesReplaceEachOther) {
    Click(Button(1));
    Click(Button(10));
    Tick();
    EXPECT_EQ(port->Control(), 9);
    EXPECT_EQ(form->Shape_DO_1->Brush->Color(), clBlack);
    EXPECT_EQ(form->Shape_DO_10->Brush->Color(), clYellow);
    EXPECT_TRUE(Bold(1));
    EXPECT_TRUE(Bold(10));
}

TEST_F(Outputs, SelectPrinterOnPassesThroughData11AndEndsAtZero) {
    Click(Button(12));
    EXPECT_EQ(port->Data(), 0);
    EXPECT_EQ(port->Control(), 3);
    Tick();
    EXPECT_EQ(form->Shape_DO_12->Brush->Color(), clLime);
    EXPECT_EQ(form->Shape_DO_2->Brush->Color(), clBlack) << "the passing 11 is never seen by a tick";
}

class OutputsBeforeSet : public WindowTest {};

TEST_F(OutputsBeforeSet, ClicksWriteNothingAndClaimNothing) {
    TButton* const buttons[] = {form->Button_DO1, form->Button_DO5, form->Button_DO12};
    for (TButton* b : buttons) Click(b);
    EXPECT_TRUE(Traffic().empty());
    for (TButton* b : buttons) EXPECT_EQ(b->Font->Style(), 0u);
    for (int count : ToggleCount) EXPECT_EQ(count, 0);
    // After Set the first click is an "on".
    ApplyAddress("0X378");
    Traffic();
    Click(form->Button_DO5);
    EXPECT_EQ(Traffic(), (Lines{"W 0x0378 0", "W 0x0378 8"}));
}

}  // namespace
