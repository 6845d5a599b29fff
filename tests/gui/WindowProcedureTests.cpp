// What the runtime's window and timer procedures owe the system: nothing
// allocated at the boundary, no tick after a timer is stopped, no handle
// kept after its window is gone.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <new>
#include <vector>

#include "ProbeForm.h"
#include "Pump.h"

// Every allocation of this test program is counted.
namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(WindowProcedure, AMessageAndATickAllocateNothing) {
    // An allocation at the boundary could fail outside the exception barrier.
    TProbeForm form(nullptr, "PROBE");
    ASSERT_TRUE(PumpUntil([&] { return form.ticks > 0; }));
    const long before = allocations;
    SendMessageA(form.Panel1->Handle(), WM_NULL, 0, 0);
    const int ticks = form.ticks;
    ASSERT_TRUE(PumpUntil([&] { return form.ticks > ticks; }));
    EXPECT_EQ(allocations - before, 0);
}

TEST(Timer, IntervalZeroStopsItAndANewIntervalStartsIt) {
    TProbeForm form(nullptr, "PROBE");
    ASSERT_TRUE(PumpUntil([&] { return form.ticks > 0; }));
    form.Timer1->SetInterval(0);
    PumpUntil([] { return false; }, 20);  // a tick already queued may still come
    const int ticks = form.ticks;
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(form.ticks, ticks) << "ticks after the interval became 0";
    form.Timer1->SetInterval(10);
    EXPECT_TRUE(PumpUntil([&] { return form.ticks > ticks; }));
}

// Whether each window was still bound to its control once its WM_NCDESTROY was handled.
std::map<HWND, WNDPROC> chained;
std::map<HWND, bool> boundAfterNcDestroy;

LRESULT CALLBACK WatchNcDestroy(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(chained[window], window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) boundAfterNcDestroy[window] = TWinControl::FromHandle(window) != nullptr;
    return result;
}

TEST(WindowGone, ControlsForgetTheirWindowsWhenTheFormsWindowIsDestroyed) {
    TProbeForm form(nullptr, "PROBE");
    const std::vector<TWinControl*> controls{&form, form.Panel1, form.Button1, form.Edit1};
    for (TWinControl* c : controls)
        chained[c->Handle()] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(c->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchNcDestroy)));
    const std::map<HWND, WNDPROC> windows = chained;
    DestroyWindow(form.Handle());  // as closing the form does
    for (TWinControl* c : controls) EXPECT_EQ(c->Handle(), nullptr) << c->Name;
    for (const auto& w : windows) EXPECT_FALSE(boundAfterNcDestroy.at(w.first)) << "a window still bound";
}

}  // namespace
