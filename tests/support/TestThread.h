// A second thread for tests (a simulated user, a pipe reader). The win32
// thread model of our toolchain has no std::thread, so this is CreateThread.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>

class TestThread {
public:
    // Starts `body` on a new thread at once.
    explicit TestThread(std::function<void()> body);
    // Waits for the body to finish if join() has not.
    ~TestThread();
    TestThread(const TestThread&) = delete;
    TestThread& operator=(const TestThread&) = delete;

    // Waits for the body to finish; an exception it threw is thrown here.
    void join();
    // Waits up to timeoutMs for the body to finish; true once it has.
    bool Finished(DWORD timeoutMs) const;

private:
    static DWORD WINAPI Run(void* self);
    void CloseWhenDone();

    std::function<void()> body_;
    std::exception_ptr failure_;
    HANDLE handle_ = nullptr;
};
