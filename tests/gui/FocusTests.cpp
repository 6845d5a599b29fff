// The keyboard focus stays in the form's controls: across minimising and
// restoring, and when the control that has it is disabled.
#include <gtest/gtest.h>

#include "ProbeForm.h"
#include "Pump.h"

namespace {

TEST(Focus, MinimisedAndRestoredTheFormGivesItBackToTheSameControl) {
    TProbeForm form(nullptr, "PROBE");
    form.Show();
    SetFocus(form.Button1->Handle());
    ShowWindow(form.Handle(), SW_MINIMIZE);
    PumpUntil([] { return false; }, 50);
    ShowWindow(form.Handle(), SW_RESTORE);
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(GetFocus(), form.Button1->Handle());
}

TEST(Focus, DisablingTheFocusedControlHandsItToTheNextInTabOrder) {
    TProbeForm form(nullptr, "PROBE");
    form.Show();
    ASSERT_EQ(GetFocus(), form.Edit1->Handle()) << "first in tab order";
    form.Edit1->SetEnabled(false);
    EXPECT_EQ(GetFocus(), form.Button1->Handle());
}

}  // namespace
