// The application's message loop: keyboard navigation through the dialog
// manager, every other message straight to its window, and the end of the
// loop when the main form closes.
#include <gtest/gtest.h>

#include "ProbeForm.h"
#include "TestThread.h"

namespace {

TEST(ApplicationRun, TabMovesTheFocusTimersTickAndClosingTheFormEndsTheLoop) {
    TProbeForm form(nullptr, "PROBE");
    Application->MainForm = &form;
    HWND focusAtFirstTick = nullptr;
    int ticks = 0;
    form.Timer1->SetOnTimer([&](TObject*) {
        // Timer ticks come once the queue is empty: after the posted key.
        if (++ticks == 1) {
            focusAtFirstTick = GetFocus();
            PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
        }
    });
    // Run shows the form with the focus in the field, first in tab order.
    PostMessageA(form.Edit1->Handle(), WM_KEYDOWN, VK_TAB, 1);

    // Should the loop never end, the form is closed from outside after 10 s.
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HWND window = form.HandleNeeded(), button = form.Button1->Handle();
    TestThread watchdog([&] {
        if (WaitForSingleObject(done, 10000) == WAIT_TIMEOUT) PostMessageA(window, WM_CLOSE, 0, 0);
    });
    const DWORD start = GetTickCount();
    Application->Run();
    SetEvent(done);
    watchdog.join();
    CloseHandle(done);
    Application->MainForm = nullptr;

    EXPECT_LT(GetTickCount() - start, 10000u) << "the loop ended only by the watchdog";
    EXPECT_GE(ticks, 1) << "WM_TIMER reaches the timer's window";
    EXPECT_EQ(focusAtFirstTick, button) << "Tab went from the field to the next control";
    EXPECT_FALSE(IsWindow(window)) << "closing the main form destroys its window";
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop took its quit message";
}

}  // namespace
