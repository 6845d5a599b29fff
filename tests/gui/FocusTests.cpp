// The keyboard focus stays in the form's controls across minimising and
// restoring. (Deactivation and disabling are tried end to end.)
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

}  // namespace
