// Test fixtures holding the port state named by TARNWICK_VPORT, reset to
// power-up before each test; on the system's clock, or on one the test moves.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Clock.h"
#include "PortState.h"

class PortTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        port.reset(vport::PortState::Open(&error));
        ASSERT_NE(port, nullptr) << error;
        port->Reset();
    }

    std::unique_ptr<vport::PortState> port;
};

// The time every access of the port sees is `now`, in microseconds, which
// the test sets.
class ClockedPortTest : public PortTest {
protected:
    void SetUp() override {
        now = 9000000;
        vport::SetClockForTesting([] { return now; });
        PortTest::SetUp();
    }
    void TearDown() override { vport::SetClockForTesting(nullptr); }

    static inline int64_t now = 0;
};
