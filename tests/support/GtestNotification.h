// GoogleTest's Notification (a one-shot "go" signal for the threads it
// starts) on a Win32 event. GoogleTest's own is built on std::mutex and
// std::condition_variable, which the win32 thread model of our toolchain
// doesn't have. Force-included, with GTEST_HAS_NOTIFICATION_ set, into
// GoogleTest and every test program.
#pragma once

#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing
