// A form opens where it can be seen: inside the work area of its monitor.
#include <gtest/gtest.h>

#include <string>

#include "Placement.h"
#include "ProbeForm.h"

namespace {

RECT Rect(LONG left, LONG top, LONG width, LONG height) {
    return {left, top, left + width, top + height};
}

// "left,top widthxheight", so that a failure shows both rectangles.
std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
           "x" + std::to_string(r.bottom - r.top);
}

const RECT kScreen = Rect(0, 0, 1024, 768);

// Where a window of width x height at left, top goes in `area`.
std::string Placed(LONG left, LONG top, LONG width, LONG height, const RECT& area = kScreen) {
    return Text(PlaceInside(Rect(left, top, width, height), area));
}

}  // namespace

TEST(PlaceInside, AWindowThatFitsStaysWhereItIs) {
    EXPECT_EQ(Placed(289, 122, 700, 500), "289,122 700x500");
    EXPECT_EQ(Placed(0, 0, 1024, 768), "0,0 1024x768") << "edge to edge";
}

TEST(PlaceInside, MovesTheLeastDistanceBackIntoTheArea) {
    // The panel's designed place: its right edge at 1236.
    EXPECT_EQ(Placed(289, 122, 947, 589), "77,122 947x589");
    EXPECT_EQ(Placed(289, 300, 600, 589), "289,179 600x589") << "off the bottom";
    EXPECT_EQ(Placed(900, 700, 300, 200), "724,568 300x200") << "off both";
    EXPECT_EQ(Placed(-50, -20, 300, 200), "0,0 300x200") << "off the top left";
}

TEST(PlaceInside, AWindowLargerThanTheAreaKeepsItsTopLeftInside) {
    EXPECT_EQ(Placed(289, 122, 947, 589, Rect(0, 0, 800, 600)), "0,11 947x589");
    EXPECT_EQ(Placed(-30, -40, 2000, 1000), "0,0 2000x1000");
}

TEST(PlaceInside, WorkAreaNotAtTheOrigin) {
    // A taskbar along the top, 30 high.
    const RECT belowTaskbar = {0, 30, 1024, 768};
    EXPECT_EQ(Placed(289, 10, 600, 400, belowTaskbar), "289,30 600x400");
    EXPECT_EQ(Placed(289, 122, 600, 800, belowTaskbar), "289,30 600x800") << "taller than the area";
    // One along the left, 60 wide.
    const RECT besideTaskbar = {60, 0, 1024, 768};
    EXPECT_EQ(Placed(289, 122, 947, 589, besideTaskbar), "77,122 947x589");
    EXPECT_EQ(Placed(100, 0, 1000, 400, besideTaskbar), "60,0 1000x400") << "wider than the area";
    // A second monitor to the left of the primary one.
    const RECT leftMonitor = {-1280, 0, 0, 1024};
    EXPECT_EQ(Placed(-400, 100, 947, 589, leftMonitor), "-947,100 947x589");
}

TEST(FormShow, MovesTheFormIntoTheWorkAreaOfItsMonitor) {
    TProbeForm form(nullptr, "PROBE");  // 300 x 200
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    const POINT origin = {0, 0};
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &monitor));
    const RECT work = monitor.rcWork;
    form.SetBounds(work.right - 100, work.bottom - 50, 300, 200);
    form.Show();
    EXPECT_EQ(form.Left(), work.right - 300);
    EXPECT_EQ(form.Top(), work.bottom - 200);
    EXPECT_EQ(form.Width(), 300);
    EXPECT_EQ(form.Height(), 200);
    RECT onScreen;
    ASSERT_TRUE(GetWindowRect(form.Handle(), &onScreen));
    EXPECT_EQ(Text(onScreen), Text(Rect(work.right - 300, work.bottom - 200, 300, 200)));
}

TEST(FormShow, LeavesAFormThatFitsAtItsDesignedPlace) {
    TProbeForm form(nullptr, "PROBE");  // at 10, 10 in its layout
    form.Show();
    EXPECT_EQ(form.Left(), 10);
    EXPECT_EQ(form.Top(), 10);
}
