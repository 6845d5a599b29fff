// The tests' own thread helper: the body runs on another thread, join()
// waits for it, and what it throws comes out of join() instead of ending the
// process.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "TestThread.h"

TEST(TestThread, RunsTheBodyOnAnotherThreadAndJoinWaitsForIt) {
    const DWORD self = GetCurrentThreadId();
    DWORD ran = self;
    bool finished = false;
    TestThread thread([&] {
        Sleep(50);
        ran = GetCurrentThreadId();
        finished = true;
    });
    thread.join();
    EXPECT_TRUE(finished);
    EXPECT_NE(ran, self);
}

TEST(TestThread, AnExceptionOfTheBodyIsThrownByJoin) {
    TestThread thread([] { throw std::runtime_error("from the body"); });
    try {
        thread.join();
        FAIL() << "join() did not throw";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "from the body");
    }
    EXPECT_NO_THROW(thread.join());  // thrown once, joined once
}

TEST(TestThread, DestructorWaitsForAnUnjoinedBody) {
    bool finished = false;
    {
        TestThread thread([&] {
            Sleep(50);
            finished = true;
        });
    }
    EXPECT_TRUE(finished);
}

TEST(TestThread, FinishedWaitsAtMostItsTimeForTheBody) {
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    TestThread thread([go] { WaitForSingleObject(go, 10000); });
    EXPECT_FALSE(thread.Finished(50)) << "the body is still waiting";
    SetEvent(go);
    EXPECT_TRUE(thread.Finished(10000));
    thread.join();
    EXPECT_TRUE(thread.Finished(0)) << "joined";
    CloseHandle(go);
}
