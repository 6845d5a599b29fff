// The form follows the user's colour scheme while it is open.
//
// Changing a system colour changes it for every program that starts on the
// same Wine server until it is put back, so these tests run alone (their
// own ctest, RUN_SERIAL) and put the colour back however they end.
#include <gtest/gtest.h>

#include "ProbeForm.h"
#include "Pump.h"

namespace {

class ButtonFaceChanged {
public:
    explicit ButtonFaceChanged(COLORREF colour) : old_(GetSysColor(COLOR_BTNFACE)) { Set(colour); }
    ~ButtonFaceChanged() { Set(old_); }

private:
    static void Set(COLORREF colour) {
        const int element = COLOR_BTNFACE;
        SetSysColors(1, &element, &colour);
    }
    COLORREF old_;
};

COLORREF OnScreen(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

TEST(SystemColours, ANewButtonFaceColourRepaintsTheFormsBackground) {
    TProbeForm form(nullptr, "PROBE");
    form.Show();
    HWND panel = form.Panel1->Handle();
    const COLORREF teal = RGB(0, 128, 128);
    ASSERT_NE(GetSysColor(COLOR_BTNFACE), teal);
    ASSERT_TRUE(PumpUntil([&] { return OnScreen(panel, 200, 130) == GetSysColor(COLOR_BTNFACE); }));

    ButtonFaceChanged changed(teal);
    EXPECT_TRUE(PumpUntil([&] { return OnScreen(panel, 200, 130) == teal; }, 1000))
        << "the panel's background is still 0x" << std::hex << OnScreen(panel, 200, 130);

    // The system tells only top-level windows; the form repaints its controls.
    ValidateRect(panel, nullptr);
    SendMessageA(form.Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_TRUE(GetUpdateRect(panel, nullptr, FALSE)) << "the panel was not repainted";
}

}  // namespace
