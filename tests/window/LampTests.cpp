// The seventeen lamps: what each tick reads and how it paints.
#include "WindowFixture.h"

namespace {

using Lines = std::vector<std::string>;

class Lamps : public WindowTest {
protected:
    // Lamp colours in table order DI1..DI5, DO1..DO12, as short names.
    std::vector<std::string> Colours() const {
        TShape* const lamps[] = {form->Shape_DI_1, form->Shape_DI_2,  form->Shape_DI_3,  form->Shape_DI_4,
                                 form->Shape_DI_5, form->Shape_DO_1,  form->Shape_DO_2,  form->Shape_DO_3,
                                 form->Shape_DO_4, form->Shape_DO_5,  form->Shape_DO_6,  form->Shape_DO_7,
                                 form->Shape_DO_8, form->Shape_DO_9,  form->Shape_DO_10, form->Shape_DO_11,
                                 form->Shape_DO_12};
        std::vector<std::string> names;
        for (TShape* lamp : lamps) {
            switch (lamp->Brush->Color()) {
            case clBlack: names.push_back("black"); break;
            case clRed: names.push_back("red"); break;
            case clLime: names.push_back("lime"); break;
            case clYellow: names.push_back("yellow"); break;
            case clWhite: names.push_back("white"); break;
            default: names.push_back("other");
            }
        }
        return names;
    }
    // The lamps after one tick with the registers holding these values.
    std::vector<std::string> AfterTick(int status, int data, int control) {
        port->ForceStatus(static_cast<uint8_t>(status));
        port->SetData(static_cast<uint8_t>(data));
        port->SetControl(static_cast<uint8_t>(control));
        Tick();
        return Colours();
    }
    std::vector<std::string> Inputs() const {
        const auto all = Colours();
        return {all.begin(), all.begin() + 5};
    }
};

TEST_F(Lamps, BeforeAnAddressIsAppliedTicksLeaveThePortAlone) {
    for (int i = 0; i < 3; ++i) Tick();
    EXPECT_TRUE(Traffic().empty());
    EXPECT_EQ(Colours(), std::vector<std::string>(17, "white"));
}

TEST_F(Lamps, EachTickReadsSeventeenRegistersInTableOrder) {
    ApplyAddress("0X378");
    Traffic();
    Tick();
    const std::string status = "R 0x0379", control = "R 0x037A", data = "R 0x0378";
    EXPECT_EQ(Traffic(), (Lines{status, status, status, status, status, control, data, data, data, data, data, data,
                                data, data, control, control, control}));
}

TEST_F(Lamps, StatusHighDataAndControlLow) {
    ApplyAddress("0X378");
    EXPECT_EQ(AfterTick(0xFF, 0x00, 0x00),
              (Lines{"black", "black", "black", "black", "black",                          // DI1-DI5
                     "lime",                                                               // DO1
                     "black", "black", "black", "black", "black", "black", "black", "black",  // DO2-DO9
                     "yellow", "black", "lime"}));                                         // DO10-DO12
}

TEST_F(Lamps, StatusLowDataHighControl0x0B) {
    ApplyAddress("0X378");
    EXPECT_EQ(AfterTick(0x00, 0xFF, 0x0B),
              (Lines{"red", "red", "red", "red", "red",                                    // DI1-DI5
                     "black",                                                              // DO1
                     "lime", "yellow", "yellow", "red", "red", "red", "red", "yellow",     // DO2-DO9
                     "black", "black", "black"}));                                         // DO10-DO12
}

TEST_F(Lamps, ARegisterChangingWithinATickShowsOldThenNew) {
    ApplyAddress("0X378");
    port->ForceStatus(0xFF);
    Tick();
    // The status register drops to 0 after the third read of the next tick.
    port->ArmChange(3, 1, 0x00);
    Tick();
    EXPECT_EQ(Inputs(), (Lines{"black", "black", "black", "red", "red"}));
}

TEST_F(Lamps, LampsFollowTheInputPinsThroughTheLoopbackPlug) {
    port->SetWiring(vport::Wiring::DataLoopback);
    ApplyAddress("0X378");
    port->SetData(0x00);  // every looped input low: /ERROR, SELECT, PAPER OUT, /ACK low; BUSY low reads 1
    Tick();
    EXPECT_EQ(Inputs(), (Lines{"red", "black", "red", "red", "red"}));
    port->SetData(0x1F);  // all five high
    Tick();
    EXPECT_EQ(Inputs(), (Lines{"black", "red", "black", "black", "black"}));
}

}  // namespace
