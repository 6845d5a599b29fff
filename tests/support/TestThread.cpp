#include "TestThread.h"

#include <stdexcept>
#include <string>
#include <utility>

TestThread::TestThread(std::function<void()> body) : body_(std::move(body)) {
    handle_ = CreateThread(nullptr, 0, &TestThread::Run, this, 0, nullptr);
    if (!handle_)
        throw std::runtime_error("CreateThread failed: error " + std::to_string(GetLastError()));
}

TestThread::~TestThread() { CloseWhenDone(); }

void TestThread::join() {
    CloseWhenDone();
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

bool TestThread::Finished(DWORD timeoutMs) const {
    return !handle_ || WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

void TestThread::CloseWhenDone() {
    if (!handle_) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
    handle_ = nullptr;
}

DWORD WINAPI TestThread::Run(void* self) {
    auto* thread = static_cast<TestThread*>(self);
    // Nothing may unwind into the system's thread start: kept for join().
    try {
        thread->body_();
    } catch (...) {
        thread->failure_ = std::current_exception();
    }
    return 0;
}
