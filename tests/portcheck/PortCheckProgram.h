// The built PortCheck.exe run against a virtual port of the test's own:
// from a folder of its own, with the port library build it needs beside it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PortState.h"
#include "TestSupport.h"

using vport_test::ProcessResult;


enum class Beside { Nothing, Library, LibraryWithoutInp32, LibraryWithoutOut32 };

// A folder holding PortCheck.exe and the given library; returns the exe.
inline std::string CaseFolder(const std::string& name, Beside beside) {
    const std::string root = vport_test::BuiltFile("../portcheck-cases");
    const std::string folder = root + "\\" + name;
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string exe = folder + "\\PortCheck.exe";
    const std::string library = folder + "\\inpout32.dll";
    CopyFileA(vport_test::BuiltFile(PORTCHECK_EXE).c_str(), exe.c_str(), FALSE);
    DeleteFileA(library.c_str());
    const char* built = beside == Beside::Library               ? VPORT_LIBRARY
                        : beside == Beside::LibraryWithoutInp32 ? VPORT_LIBRARY_NO_INP32
                        : beside == Beside::LibraryWithoutOut32 ? VPORT_LIBRARY_NO_OUT32
                                                                : nullptr;
    if (built) CopyFileA(vport_test::BuiltFile(built).c_str(), library.c_str(), FALSE);
    return exe;
}

class PortCheck : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        name_ = std::make_unique<vport_test::ScopedPortName>("portcheck-" + test);
        std::string error;
        port.reset(vport::PortState::Open(&error));  // held for the test: the port lives on
        ASSERT_NE(port, nullptr) << error;
        exe_ = CaseFolder(test, Beside::Library);
    }

    ProcessResult Run(const std::string& args) { return vport_test::RunProcess(exe_, args); }
    // PortCheck from the folder `folder` with `beside` in it.
    static ProcessResult RunBeside(const std::string& folder, Beside beside, const std::string& args) {
        return vport_test::RunProcess(CaseFolder(folder, beside), args);
    }

    std::unique_ptr<vport::PortState> port;

private:
    std::unique_ptr<vport_test::ScopedPortName> name_;
    std::string exe_;
};

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

