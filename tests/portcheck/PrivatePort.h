// A virtual port of the test's own behind entry points of the port
// library's kind, for PortCheck's session in-process: the test sets the
// chip up and reads the access log.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "PortLibrary.h"
#include "PortState.h"

inline std::unique_ptr<vport::PortState> g_port;
inline void (*g_afterWrite)() = nullptr;  // called after each write, when set

inline short __stdcall ReadPrivatePort(short port) { return g_port->Read(static_cast<uint16_t>(port)); }

inline void __stdcall WritePrivatePort(short port, short value) {
    g_port->Write(static_cast<uint16_t>(port), static_cast<uint8_t>(value));
    if (g_afterWrite) g_afterWrite();
}

inline const PortLibrary kPrivateLibrary{nullptr, &ReadPrivatePort, &WritePrivatePort};

class PrivatePortTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_port.reset(vport::PortState::CreatePrivate());
        g_port->Reset();
    }
    void TearDown() override {
        g_afterWrite = nullptr;
        g_port.reset();
    }

    static std::vector<vport::Access> Writes() {
        std::vector<vport::Access> writes;
        for (const vport::Access& access : g_port->Log())
            if (access.write) writes.push_back(access);
        return writes;
    }
    static std::vector<vport::Access> WritesTo(uint16_t port) {
        std::vector<vport::Access> writes;
        for (const vport::Access& access : Writes())
            if (access.port == port) writes.push_back(access);
        return writes;
    }
};

inline vport::Access W(uint16_t port, uint8_t value) { return {true, port, value}; }
inline vport::Access R(uint16_t port, uint8_t value) { return {false, port, value}; }

inline void ExpectAccesses(const std::vector<vport::Access>& seen, const std::vector<vport::Access>& expected) {
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].write, expected[i].write) << i;
        EXPECT_EQ(seen[i].port, expected[i].port) << i;
        EXPECT_EQ(seen[i].value, expected[i].value) << std::hex << "access " << i;
    }
}
