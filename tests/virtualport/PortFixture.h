// A test fixture holding the port state named by TARNWICK_VPORT, reset to
// power-up before each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

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
